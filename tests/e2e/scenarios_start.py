"""Start-up and linking: the empty grid, the folder browser, and folders without a database."""

import os
import time

import screen
from checks import expect_empty_grid, grid_area, message_boxes
from databases import start_with_sample
from harness import check, wait_for


def empty_grid(session):
    """Start-up: the caption, the empty grid of exactly the cells that fit, Esc, and close."""
    session.start_tomo()
    check(session.caption() == "TOMO BD", "the caption reads %r" % session.caption())
    columns, rows = screen.grid_size(session.width, session.height)
    # Where the surface sits: at (1, 1) of the main window's client area, the screen's size
    # less 3 by 25.
    client_x, client_y, _, _ = session.client
    frame = wait_for(lambda: session.probe_ok(["surface-frame"]), "the surface's frame")
    frame_x, frame_y, frame_w, frame_h = (int(v) for v in frame.split())
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


SCENARIOS = [
    ("empty grid at 1024x768", empty_grid_1024, (1024, 768), False),
    ("empty grid at 1920x1080", empty_grid_1920, (1920, 1080), False),
    ("link the sample and browse it", link_and_browse, (1024, 768), True),
    ("link a folder without a database", not_a_database, (1024, 768), True),
    ("keys beside the not-a-database message", keys_beside_a_message, (1024, 768), True),
]
