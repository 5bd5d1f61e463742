"""The menus: their items in both languages, the report pages, and the colour marks."""

import os
import time

import screen
from checks import (SCROLL_STEP_SECONDS, dark_pixels, expect_data_cell_outline, grid_is_gone,
                    has_colour)
from databases import start_with_sample
from harness import check, wait_for


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


SCENARIOS = [
    ("menu items in Spanish", menu_items_spanish, (1024, 768), True),
    ("menu items in English", menu_items_english, (1024, 768), True),
    ("colour marks", colours, (1024, 768), True),
    ("color.bmp beside tomo.exe is kept", swatch_file_kept, (1024, 768), False),
]
