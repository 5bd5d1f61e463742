"""End-to-end scenarios of tomo.exe: each runs in a session of its own (fresh display, Wine
prefix and HOME) and is reported by name. The last line is "N passed, N failed"."""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import traceback

import scenarios_opening
import screen
import zdb
from harness import Failure, Session, check, wait_for

SCENARIO_SECONDS = 240
SCROLL_STEP_SECONDS = 0.2

# The project's own database writer and the sample's readable description (set by main).
TOOLS = {"make_sample": None, "sample_source": None}


# -- pixel checks ------------------------------------------------------------------------------

def cell_pixels(session, picture, c, r):
    """The cell's outline pixels at the middle of its four edges, and its fill near the corners.
    GDI draws the 2-pixel outline of the box (left, top)-(right, bottom) over the pixels
    left-1..left, right-2..right-1 (and so for top and bottom)."""
    left, top, right, bottom = screen.cell_box(c, r)
    mx, my = (left + right) // 2, (top + bottom) // 2
    outline = [(left - 1, my), (left, my), (right - 2, my), (right - 1, my),
               (mx, top - 1), (mx, top), (mx, bottom - 2), (mx, bottom - 1)]
    fill = [(left + 1, top + 1), (right - 3, top + 1), (left + 1, bottom - 3),
            (right - 3, bottom - 3)]
    def px(points):
        return {session.surface_pixel(picture, x, y) for x, y in points if session.visible(x, y)}

    return px(outline), px(fill)


def expect_cell(session, picture, c, r, outline, fill):
    got_outline, got_fill = cell_pixels(session, picture, c, r)
    check(got_outline == {outline} and got_fill == {fill},
          "cell (%d, %d): outline %s and fill %s, expected %06x and %06x" % (
              c, r, sorted("%06x" % v for v in got_outline),
              sorted("%06x" % v for v in got_fill), outline, fill))


def expect_data_cell_outline(session, picture, c, r, outline):
    expect_cell(session, picture, c, r, outline, screen.WHITE)


def expect_empty_grid(session, picture, columns, rows):
    for r in range(rows):
        for c in range(columns):
            if r == 0 or c == 0:
                expect_cell(session, picture, c, r, screen.BLACK, screen.SILVER)
            else:
                expect_cell(session, picture, c, r, screen.SILVER, screen.WHITE)
            check(not session.cell_has_text(picture, c, r),
                  "cell (%d, %d) shows text before a database is linked" % (c, r))
    # Nothing right of the last column or below the last row: white up to the surface's edge
    # (as far as the main window shows it).
    _, _, width, height = session.surface
    beyond_x = screen.cell_box(columns, 0)[0] - 1
    beyond_y = screen.cell_box(0, rows)[1] - 1
    for name, (x0, y0) in (("right of column %d" % (columns - 1), (beyond_x, 0)),
                           ("below row %d" % (rows - 1), (0, beyond_y))):
        for y in range(y0, height):
            for x in range(x0, width):
                if not session.visible(x, y):
                    continue
                sx, sy = session.to_screen(x, y)
                check(picture.pixel(sx, sy) == screen.WHITE,
                      "something is drawn %s: pixel (%d, %d) is %06x" % (
                          name, x, y, picture.pixel(sx, sy)))


def grid_is_gone(session, picture):
    """A report page covers the grid: no header cell shows its silver fill."""
    return all(cell_pixels(session, picture, c, r)[1] != {screen.SILVER}
               for c, r in ((0, 0), (0, 3), (2, 0), (0, 8)))


def dark_pixels(session, picture, width, height):
    x0, y0 = session.to_screen(0, 0)
    area = picture.region(x0, y0, x0 + width, y0 + height)
    return sum(1 for i in range(0, len(area), 3) if max(area[i:i + 3]) < 0x50)


def has_colour(session, picture, colour, width, height):
    x0, y0 = session.to_screen(0, 0)
    area = picture.region(x0, y0, x0 + width, y0 + height)
    rgb = bytes(((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF))
    return any(area[i:i + 3] == rgb for i in range(0, len(area), 3))


def grid_area(session, picture):
    """The pixels of the grid surface as far as the screen shows it."""
    x0, y0 = session.to_screen(0, 0)
    cx, cy, cw, ch = session.client
    return picture.region(x0, y0, min(cx + cw, session.width), min(cy + ch, session.height))


def message_boxes(session):
    """How many message boxes titled TOMO are open."""
    lines = (session.probe_ok(["windows"]) or "").splitlines()
    return sum(1 for line in lines
               if (parts := line.split(" ", 6))[1:2] == ["#32770"] and parts[6:] == ["TOMO"])


# -- databases ---------------------------------------------------------------------------------

def make_database(session, source, folder):
    """Makes the database folder from its readable description (tools/sample_source.h) with
    make_sample, the project's own writer."""
    path = os.path.join(session.root, os.path.basename(folder) + ".txt")
    with open(path, "w", encoding="utf-8") as f:
        f.write(source)
    result = subprocess.run([TOOLS["make_sample"], path, folder], stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, encoding="utf-8", check=False)
    check(result.returncode == 0, "make_sample failed: %s" % result.stdout.strip())


def link_folder(session, name):
    """Starts tomo.exe and links the database folder of that name in HOME."""
    session.start_tomo()
    session.click_cell(1, 1)
    texts = session.link(name)
    wait_for(lambda: session.cell_has_text(session.shot(), 1, 0), "the grid to show the database")
    return texts


class Sample:
    """The sample database copied into the session's HOME, with what the grid should show."""

    def __init__(self, session, source):
        self.folder = os.path.join(session.home, "agenda")
        shutil.copytree(source, self.folder)
        self.db = zdb.read(self.folder)

    def text_field(self, predicate, rows):
        """The first text-type field shown in grid rows 1..rows that satisfies predicate."""
        for number, field in enumerate(self.db.fields[:rows], start=1):
            if field.type_code not in (zdb.LOGIC, zdb.ARRAY) and predicate(number, field):
                return number
        raise Failure("the sample database has no field for this scenario")

    def long_value(self, record, rows, shortest=14, longest=40):
        """A field (row) of the record whose shown value is longer than a cell shows."""
        number = self.text_field(
            lambda n, f: shortest <= len(self.db.shown(record, n)) <= longest, rows)
        return number, self.db.shown(record, number)


def start_with_sample(session, sample_dir):
    sample = Sample(session, sample_dir)
    return sample, link_folder(session, "agenda")


# -- scenarios ---------------------------------------------------------------------------------

def empty_grid(session):
    """Start-up: the caption, the empty grid of exactly the cells that fit, Esc, and close."""
    session.start_tomo()
    check(session.caption() == "TOMO BD", "the caption reads %r" % session.caption())
    columns, rows = screen.grid_size(session.width, session.height)
    # Where the surface sits: at (1, 1) of the main window's client area, the screen's size
    # less 3 by 25.
    client_x, client_y, _, _ = session.client
    frame_x, frame_y, frame_w, frame_h = (
        int(v) for v in session.probe_ok(["surface-frame"]).split())
    offset = (frame_x - client_x, frame_y - client_y)
    check(offset == (1, 1), "the surface sits at %s of the client area" % (offset,))
    check((frame_w, frame_h) == (session.width - 3, session.height - 25),
          "the surface is %dx%d" % (frame_w, frame_h))
    picture = session.shot()
    session.save(picture, "empty-grid")
    expect_empty_grid(session, picture, columns, rows)
    session.click_cell(2, 2)
    session.keys("Escape")
    time.sleep(1)  # Esc must change nothing: give it time to do harm
    check(session.running() and session.caption() is not None, "Esc closed the window")
    session.keys("alt+F4")
    code = session.wait_exit()
    check(code == 0, "closing the window ended tomo.exe with exit code %d" % code)


def empty_grid_1024(session):
    check(screen.grid_size(1024, 768) == (9, 23), "1024x768 must give 9x23 cells")
    empty_grid(session)


def empty_grid_1920(session):
    check(screen.grid_size(1920, 1080) == (18, 33), "1920x1080 must give 18x33 cells")
    empty_grid(session)


def link_and_browse(session, sample_dir):
    """Link the sample by the folder browser; values, arrows and the pointer's caption."""
    sample, texts = start_with_sample(session, sample_dir)
    db = sample.db
    check("Elige Carpeta de Base Datos ..." in texts and "\u00ae" in texts,
          "the folder browser's prompt reads %r" % texts)
    session.expect_cell_text(1, 0, "1")
    session.expect_cell_text(0, 1, db.fields[0].name)
    session.expect_cell_text(1, 1, db.shown(1, 1))  # accented letters read back as written
    row, value = sample.long_value(2, 20)
    session.expect_cell_text(2, row, value)  # the whole text, not the 13 shown
    session.expect_cell_text(0, 0, "")
    # Right arrow: one record on; Down arrow: one field on (the sample has more fields than rows).
    session.keys("Right")
    session.expect_cell_text(1, 0, "2")
    session.expect_cell_text(1, 1, db.shown(2, 1))
    session.keys("Down")
    session.expect_cell_text(0, 1, db.fields[1].name)
    session.expect_cell_text(1, 1, db.shown(2, 2))
    session.keys("Left", "Up")
    session.expect_cell_text(1, 0, "1")
    session.expect_cell_text(0, 1, db.fields[0].name)
    session.keys("Left", "Up")  # at the first record and field: nothing moves
    session.expect_cell_text(1, 0, "1")
    session.expect_cell_text(0, 1, db.fields[0].name)
    # The pointer: the caption names the cell under it, and keeps it off the grid.
    session.point_cell(4, 7)
    wait_for(lambda: session.caption() == "4x7", "the caption 4x7")
    x, _ = session.to_screen(session.surface[2] - 2, 0)
    session.xdotool("mousemove", x, session.to_screen(0, 100)[1])
    time.sleep(0.5)
    check(session.caption() == "4x7", "off the grid the caption became %r" % session.caption())


def menu_items(session, sample_dir, english):
    """Each command of the menu has its effect; in English after the language item."""
    sample, _ = start_with_sample(session, sample_dir)
    db = sample.db
    spanish_report = None
    if english:
        # The switch redraws nothing: a Spanish report stays until it is drawn again.
        spanish_report = show_report(session)
        session.choose(3, 3, "language")
        time.sleep(0.5)
        check(report_area(session, session.shot()) == spanish_report,
              "the language switch redrew the report")
        session.choose(2, 2, "update")
        wait_for(lambda: not grid_is_gone(session, session.shot()), "the grid to come back")
    # "First record" after moving on.
    session.keys("Right", "Right")
    session.expect_cell_text(1, 0, "3")
    session.choose(2, 2, "first")
    session.expect_cell_text(1, 0, "1")
    # "Go to database record ..": typed on any cell.
    session.choose(3, 5, "goto")
    session.type_entry("5")
    session.expect_cell_text(1, 0, "5")
    session.expect_cell_text(1, 1, db.shown(5, 1))
    # "Scroll data": the long value slides through its cell and comes back.
    row, value = sample.long_value(5, 20, longest=20)
    before = session.cell_interior(session.shot(), 1, row)
    session.choose(1, row, "scroll")
    wait_for(lambda: session.cell_interior(session.shot(), 1, row) != before,
             "the value to slide", timeout=3)
    wait_for(lambda: session.cell_interior(session.shot(), 1, row) == before,
             "the value to stand at its start again",
             timeout=len(value) * SCROLL_STEP_SECONDS + 10)
    # "Info DataBase": a page of text replaces the grid; "Update" brings the grid back.
    report = show_report(session)
    check(report != spanish_report, "the report was drawn in Spanish after the switch")
    session.choose(2, 2, "update")
    wait_for(lambda: not grid_is_gone(session, session.shot()), "the grid to come back")
    session.expect_cell_text(1, 0, "5")
    # "Author": a page with the maker's address in red.
    session.choose(2, 2, "author")
    wait_for(lambda: grid_is_gone(session, session.shot()), "the author page")
    check(has_colour(session, session.shot(), screen.RED, 900, 300),
          "the author page shows nothing in red")
    # Copy does nothing while a page covers the grid; "First record" brings the grid back.
    check(session.probe(["set-clipboard", "unchanged"]).returncode == 0, "clipboard")
    session.choose(1, 1, "copy")
    time.sleep(0.5)
    check(session.clipboard() == "unchanged", "Copy on a report page changed the clipboard")
    session.choose(1, 1, "first")
    session.expect_cell_text(1, 0, "1")


def report_area(session, picture):
    x0, y0 = session.to_screen(0, 0)
    return picture.region(x0, y0, x0 + 600, y0 + 200)


def show_report(session):
    """"Info DataBase": a page of text replaces the grid. Returns the page's top part."""
    session.choose(2, 2, "info")
    wait_for(lambda: grid_is_gone(session, session.shot()), "the report page")
    picture = session.shot()
    check(dark_pixels(session, picture, 600, 200) > 200, "the report page shows no text")
    return report_area(session, picture)


def menu_items_spanish(session, sample_dir):
    menu_items(session, sample_dir, english=False)


def menu_items_english(session, sample_dir):
    menu_items(session, sample_dir, english=True)


def not_a_database(session, sample_dir):
    """Linking a folder without a database: the message in each language; nothing is created
    in that folder and the linked database stays on the grid."""
    sample, _ = start_with_sample(session, sample_dir)
    empty = os.path.join(session.home, "vacia")
    os.makedirs(empty)
    for language, prompt, message in (
            ("es", "Elige Carpeta de Base Datos ...", "NO es Base de Datos ..."),
            ("en", "Choose database folder ...", "It's not a Database")):
        if language == "en":
            session.choose(2, 2, "language")
        texts = session.link("vacia", cell=(2, 3))
        check(prompt in texts, "the folder browser's prompt reads %r" % texts)
        got = session.wait_message()
        check(got == message, "the message reads %r, expected %r" % (got, message))
        session.close_message()
        check(os.listdir(empty) == [], "files appeared in the folder: %s" % os.listdir(empty))
        session.expect_cell_text(0, 1, sample.db.fields[0].name)


def keys_beside_a_message(session, sample_dir):
    """While "NO es Base de Datos ..." is up, keys typed over the grid reach no typed input:
    no echo is drawn, no second message comes and nothing moves."""
    start_with_sample(session, sample_dir)
    os.makedirs(os.path.join(session.home, "vacia"))
    shown = session.shot()
    before, echo_cell = grid_area(session, shown), session.cell_interior(shown, 2, 3)
    session.link("vacia", cell=(2, 3))  # the cell an echo would be drawn in
    check(session.wait_message() == "NO es Base de Datos ...", "no message about the folder")
    session.click_cell(3, 5)  # the grid gets the keyboard focus; the box stays up
    session.type_text("abc")
    session.keys("Return")
    time.sleep(1)  # give the keys time to do harm
    picture = session.shot()
    session.save(picture, "keys-beside-the-message")
    check(session.cell_interior(picture, 2, 3) == echo_cell, "an echo was drawn in cell (2, 3)")
    check(message_boxes(session) == 1, "%d message boxes are up" % message_boxes(session))
    session.close_message()
    # Input is handled in order: once the caption follows the pointer again, the keys are done.
    session.point_cell(4, 7)
    wait_for(lambda: session.caption() == "4x7", "the caption 4x7")
    check(session.message() is None, "a second message box came up")
    check(grid_area(session, session.shot()) == before, "the grid changed")
    session.expect_cell_text(1, 0, "1")


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


def colours(session, sample_dir):
    """Choose a colour in the colour dialog, frame a cell and a record, undo and reset."""
    start_with_sample(session, sample_dir)
    session.choose(2, 2, None, "choose")
    wait_for(lambda: session.probe_ok(["control-rect", "*", "706"]), "the colour dialog")
    # Type the colour into the red, green and blue fields: pure blue.
    for control, value in ((706, "0"), (707, "0"), (708, "255")):
        session.focus_control("Edit", control)
        session.keys("Home", "shift+End")
        session.type_text(value)
    session.keys("Tab", "Return")
    wait_for(lambda: not session.probe_ok(["control-rect", "*", "706"]),
             "the colour dialog to close")
    blue = 0x0000FF
    rows = screen.grid_size(session.width, session.height)[1]
    session.choose(2, 3, None, "cell")
    session.choose(4, 5, None, "record")
    picture = session.shot()
    session.save(picture, "marks")
    expect_data_cell_outline(session, picture, 2, 3, blue)
    expect_data_cell_outline(session, picture, 2, 4, screen.SILVER)
    for r in range(1, rows):
        expect_data_cell_outline(session, picture, 4, r, blue)
    expect_data_cell_outline(session, picture, 3, 5, screen.SILVER)
    # Marks follow their record: one record on, the record mark is one column to the left.
    session.keys("Right")
    picture = session.shot()
    expect_data_cell_outline(session, picture, 3, 5, blue)
    expect_data_cell_outline(session, picture, 1, 3, blue)
    session.keys("Left")
    # "Undo" removes the last mark only; "Reset" removes them all.
    session.choose(2, 2, None, "undo")
    picture = session.shot()
    expect_data_cell_outline(session, picture, 4, 5, screen.SILVER)
    expect_data_cell_outline(session, picture, 2, 3, blue)
    session.choose(2, 2, None, "reset")
    picture = session.shot()
    expect_data_cell_outline(session, picture, 2, 3, screen.SILVER)


def swatch_file_kept(session):
    """A color.bmp of the user's beside tomo.exe survives the menus."""
    path = os.path.join(session.bin, "color.bmp")
    content = b"BM user's own picture " + bytes(range(256))
    with open(path, "wb") as f:
        f.write(content)
    session.start_tomo()
    for c, r in ((1, 1), (2, 3), (0, 0)):
        session.dismiss_menu(c, r)
    session.open_menu(3, 3)
    session.keys(*["Down"] * 8, "Right")  # the colours submenu, with the swatch shown
    wait_for(lambda: session.menus_open() > 1, "the colours submenu")
    session.keys("Escape", "Escape")
    wait_for(lambda: session.menus_open() == 0, "the menus to close")
    with open(path, "rb") as f:
        check(f.read() == content, "color.bmp beside tomo.exe was changed or removed")


def make_generated_database(folder, entries):
    """A large database of about `entries` entries made by make_sample; its record count."""
    result = subprocess.run([TOOLS["make_sample"], "--generated", str(entries), folder],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    check(result.returncode == 0, "make_sample failed: %s" % result.stdout.strip())
    return int(result.stdout)


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
    ("empty grid at 1024x768", empty_grid_1024, (1024, 768), False),
    ("empty grid at 1920x1080", empty_grid_1920, (1920, 1080), False),
    ("link the sample and browse it", link_and_browse, (1024, 768), True),
    ("menu items in Spanish", menu_items_spanish, (1024, 768), True),
    ("menu items in English", menu_items_english, (1024, 768), True),
    ("link a folder without a database", not_a_database, (1024, 768), True),
    ("keys beside the not-a-database message", keys_beside_a_message, (1024, 768), True),
    ("update after the files changed", update_after_change, (1024, 768), True),
    ("close while scrolling", close_while_scrolling, (1024, 768), True),
    ("typed input: record jump and search", typed_input, (1024, 768), True),
    ("colour marks", colours, (1024, 768), True),
    ("colour mark on record 2000000 of a sparse database", sparse_marks, (1024, 768), False),
    ("color.bmp beside tomo.exe is kept", swatch_file_kept, (1024, 768), False),
    ("page keys, End and the wheel", page_keys_and_wheel, (1024, 768), True),
]
SCENARIOS += scenarios_opening.SCENARIOS


class ScenarioTimeout(Exception):
    pass


def run(name, function, size, takes_sample, options):
    artifacts = os.path.join(options.artifacts, name.replace(" ", "-").replace(":", ""))
    shutil.rmtree(artifacts, ignore_errors=True)

    def on_alarm(*_):
        raise ScenarioTimeout("scenario took longer than %ds" % SCENARIO_SECONDS)

    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(SCENARIO_SECONDS)
    started = time.monotonic()
    session = None
    try:
        with Session(options.tomo, options.probe, size[0], size[1], artifacts) as session:
            try:
                if takes_sample:
                    function(session, options.sample)
                else:
                    function(session)
            except BaseException:
                try:
                    session.save(session.shot(), "failure")
                except Exception:  # the screenshot is a help, not a result
                    pass
                raise
        outcome, detail = True, ""
    except (Failure, ScenarioTimeout) as error:
        outcome, detail = False, str(error)
    except Exception:  # a fault of the harness or the program counts as a failure
        outcome, detail = False, traceback.format_exc().strip().splitlines()[-1]
    finally:
        signal.alarm(0)
    elapsed = time.monotonic() - started
    print("%s %s (%.0fs)%s" % ("PASS" if outcome else "FAIL", name, elapsed,
                               "" if outcome else ": " + detail), flush=True)
    return outcome


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--tomo", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--sample", default=os.path.join(here, "..", "..", "samples", "agenda"))
    parser.add_argument("--sample-source",
                        default=os.path.join(here, "..", "..", "samples", "agenda.txt"))
    parser.add_argument("--make-sample", required=True, help="tools/make_sample of a native build")
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--only", help="run the scenarios whose name contains this text")
    options = parser.parse_args()
    TOOLS["make_sample"] = os.path.abspath(options.make_sample)
    TOOLS["sample_source"] = os.path.abspath(options.sample_source)
    passed = failed = 0
    for name, function, size, takes_sample in SCENARIOS:
        if options.only and options.only not in name:
            continue
        if run(name, function, size, takes_sample, options):
            passed += 1
        else:
            failed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
