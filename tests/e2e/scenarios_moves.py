"""Moving through a database and reading it again: typed input, page keys and the wheel,
closing while scrolling, a sparse database and an update after the files changed."""

import os
import re
import time

import screen
import zdb
from checks import SCROLL_STEP_SECONDS, cell_pixels, expect_data_cell_outline
from databases import (TOOLS, link_folder, make_database, make_generated_database,
                       start_with_sample)
from harness import check, wait_for


def update_after_change(session, sample_dir):
    """"Update" reads the database files afresh: a value changed on disk shows."""
    sample, _ = start_with_sample(session, sample_dir)
    db = sample.db
    session.expect_cell_text(1, 1, db.shown(1, 1))
    changed = "Zoë Añón"
    # The sample made again from its description, with the first value of record 1 changed.
    with open(TOOLS["sample_source"], encoding="utf-8") as f:
        source = f.read()
    source, count = re.subn(r"^(record 1\n%s: ).*$" % re.escape(db.fields[0].name),
                            lambda m: m.group(1) + changed, source, count=1, flags=re.M)
    check(count == 1, "the sample's description has no first value of record 1")
    make_database(session, source, sample.folder)
    check(zdb.read(sample.folder).shown(1, 1) == changed, "the database was not changed")
    session.expect_cell_text(1, 1, db.shown(1, 1))  # nothing re-read yet
    session.choose(2, 2, "update")
    session.expect_cell_text(1, 1, changed)


def close_while_scrolling(session, sample_dir):
    """Closing the window during "Scroll data" ends the program with exit code 0."""
    sample, _ = start_with_sample(session, sample_dir)
    row, value = sample.long_value(1, 20, shortest=25, longest=80)
    before = session.cell_interior(session.shot(), 1, row)
    session.choose(1, row, "scroll")
    wait_for(lambda: session.cell_interior(session.shot(), 1, row) != before,
             "the value to slide", timeout=3)
    session.keys("alt+F4")
    code = session.wait_exit(timeout=len(value) * SCROLL_STEP_SECONDS + 10)
    check(code == 0, "tomo.exe ended with exit code %d" % code)


def typed_input(session, sample_dir):
    """"Go to database record ..", "Search" and the not-found message in both languages."""
    sample, _ = start_with_sample(session, sample_dir)
    db = sample.db
    session.choose(2, 3, "goto")
    session.type_entry("0042")
    session.expect_cell_text(1, 0, "42")
    session.expect_cell_text(1, 1, db.shown(42, 1))
    # A record number with a blank ends the input silently and moves nothing.
    session.choose(2, 3, "goto")
    session.type_entry("12 3")
    time.sleep(0.5)
    check(session.message() is None, "a message box appeared")
    session.expect_cell_text(1, 0, "42")
    # Search a searchable field for a value typed as it is stored; its first record comes first.
    target = db.record_count // 2 + 3
    row = sample.text_field(
        lambda n, f: f.searchable and (v := db.stored(target, n)) is not None
        and v.isascii() and v.strip() == v and v != "", 20)
    value = db.stored(target, row)
    first = min(r for r in range(1, db.record_count + 1) if db.stored(r, row) == value)
    session.choose(0, row, "search")
    session.type_entry(value)
    session.expect_cell_text(1, 0, str(first))
    session.expect_cell_text(0, row, db.fields[row - 1].name)
    # A value that no record holds.
    for language, message in (("es", "Dato NO encontrado ..."), ("en", "Data NOT found ...")):
        if language == "en":
            session.choose(2, 2, "language")
        session.choose(0, row, "search")
        session.type_entry("no such value 7")
        got = session.wait_message()
        check(got == message, "the message reads %r, expected %r" % (got, message))
        session.close_message()
        session.expect_cell_text(1, 0, str(first))


SPARSE_SOURCE = """field Nombre; STRING; search
record 1
Nombre: A
record 2
Nombre: B
record 3
Nombre: C
record 2000000
Nombre: Z
"""


def sparse_marks(session):
    """A sparse database, records 1 to 3 and 2,000,000 with one entry each: "Go to database
    record .." reaches record 2,000,000 and "Record" frames it; "Undo" takes the frame away."""
    folder = os.path.join(session.home, "disperso")
    make_database(session, SPARSE_SOURCE, folder)
    db = zdb.read(folder)
    check(db.record_count == 2000000 and len(db.values) == 4,
          "the sparse database holds %d values up to record %d" % (len(db.values),
                                                                 db.record_count))
    link_folder(session, "disperso")
    session.choose(2, 3, "goto")
    session.type_entry("2000000")
    session.expect_cell_text(1, 0, "2000000")
    session.expect_cell_text(1, 1, db.shown(2000000, 1))
    session.choose(1, 2, None, "record")
    def red():
        return cell_pixels(session, session.shot(), 1, 1)[0] == {screen.RED}

    wait_for(red, "record 2000000 to be framed")
    picture = session.shot()
    session.save(picture, "sparse-mark")
    rows = screen.grid_size(session.width, session.height)[1]
    for r in range(1, rows):
        expect_data_cell_outline(session, picture, 1, r, screen.RED)
        expect_data_cell_outline(session, picture, 2, r, screen.SILVER)
    session.choose(2, 2, None, "undo")
    wait_for(lambda: not red(), "the frame to go")
    expect_data_cell_outline(session, session.shot(), 1, 5, screen.SILVER)


def page_keys_and_wheel(session, sample_dir):
    """Page Down, End, Home and the wheel move the view as far as the arrows would; End on a
    large database shows its last record at once."""
    sample, _ = start_with_sample(session, sample_dir)
    db = sample.db
    columns, _ = screen.grid_size(session.width, session.height)
    before = session.cell_interior(session.shot(), 1, 0)
    session.keys("Next")  # Page Down: the record columns shown, on
    wait_for(lambda: session.cell_interior(session.shot(), 1, 0) != before,
             "the grid to show the next page")
    session.expect_cell_text(1, 0, str(columns))
    session.keys("End")
    session.expect_cell_text(1, 0, str(db.record_count))
    session.expect_cell_text(1, 1, db.shown(db.record_count, 1))
    session.keys("Next")  # at the last record: nothing moves
    session.keys("Home")
    session.expect_cell_text(1, 0, "1")
    # The wheel: one field per notch; with Shift and tilted, one record per notch.
    session.point_cell(3, 3)
    session.xdotool("click", 5)
    session.expect_cell_text(0, 1, db.fields[1].name)
    session.xdotool("click", 4)
    session.expect_cell_text(0, 1, db.fields[0].name)
    session.point_cell(3, 3)
    session.xdotool("keydown", "shift", "click", 5, "keyup", "shift")
    session.expect_cell_text(1, 0, "2")
    session.point_cell(3, 3)
    wait_for(lambda: session.caption() == "3x3", "the caption 3x3 after the moves")
    picture = session.shot()
    session.save(picture, "after-page-keys-and-wheel")
    check(session.cell_has_text(picture, 1, 0), "the grid shows records after the moves")

    # A large database: End shows its last record at once.
    folder = os.path.join(session.home, "grande")
    records = make_generated_database(folder, 1200000)
    last = zdb.read(folder, last_entries=2000)
    check(last.record_count == records, "the generated database ends at record %d" % records)
    session.link("grande")
    session.expect_cell_text(1, 0, "1")
    before = session.cell_interior(session.shot(), 1, 0)
    started = time.monotonic()
    session.keys("End")
    wait_for(lambda: session.cell_interior(session.shot(), 1, 0) != before,
             "the grid to show the last record")
    elapsed = time.monotonic() - started
    check(elapsed < 2, "End took %.1f s" % elapsed)
    session.expect_cell_text(1, 0, str(records))
    session.expect_cell_text(1, 2, last.shown(records, 2))


SCENARIOS = [
    ("update after the files changed", update_after_change, (1024, 768), True),
    ("close while scrolling", close_while_scrolling, (1024, 768), True),
    ("typed input: record jump and search", typed_input, (1024, 768), True),
    ("colour mark on record 2000000 of a sparse database", sparse_marks, (1024, 768), False),
    ("page keys, End and the wheel", page_keys_and_wheel, (1024, 768), True),
]
