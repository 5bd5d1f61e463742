"""End-to-end scenarios of opening a database named on tomo.exe's command line, as "Open
with" and a shortcut's target do: no folder browser, the grid shows the records at once, and a
folder without a database gets the same message as the browser's choice of it."""

import os
import shutil
import subprocess

import zdb
from harness import check, wait_for


def wine_path(session, path):
    """The Windows name of a Linux path in the session's Wine."""
    result = subprocess.run(["winepath", "-w", path], env=session.env, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, encoding="utf-8", check=True)
    return result.stdout.strip()


def dialogs_open(session):
    """The visible dialog windows (class #32770) other than the main window, whose caption
    stays "TOMO BD" until the pointer moves over the grid: a folder browser or a message box."""
    lines = (session.probe_ok(["windows"]) or "").splitlines()
    return [line for line in lines
            if (parts := line.split(" ", 6))[1:2] == ["#32770"] and parts[6:] != ["TOMO BD"]]


def sample_named(session, sample_dir, name):
    """The sample database copied into HOME under another name, its files renamed to match."""
    folder = os.path.join(session.home, name)
    os.makedirs(folder)
    for extension in (".z04", ".zbd"):
        shutil.copy(os.path.join(sample_dir, "agenda" + extension),
                    os.path.join(folder, name + extension))
    return folder, zdb.read(folder)


def expect_records(session, db):
    wait_for(lambda: session.cell_has_text(session.shot(), 1, 0), "the grid to show records")
    check(not dialogs_open(session), "a dialog is open: %s" % dialogs_open(session))
    session.expect_cell_text(1, 0, "1")
    session.expect_cell_text(0, 1, db.fields[0].name)
    session.expect_cell_text(1, 1, db.shown(1, 1))
    session.expect_cell_text(2, 2, db.shown(2, 2))


def start_with_folder(session, sample_dir):
    """The folder's path, with spaces and characters beyond the ANSI code page."""
    folder, db = sample_named(session, sample_dir, "mi agenda \u00f1and\u00fa \u65e5")
    session.start_tomo(wine_path(session, folder) + "\\")
    expect_records(session, db)


def start_with_field_file(session, sample_dir):
    """The field definition file's path, in other letter case."""
    folder, db = sample_named(session, sample_dir, "agenda")
    session.start_tomo(wine_path(session, folder) + "\\AGENDA.Z04")
    expect_records(session, db)


def start_with_no_database(session):
    """A folder without a database: the message, nothing created there, the empty grid."""
    empty = os.path.join(session.home, "vacia")
    os.makedirs(empty)
    session.start_tomo(wine_path(session, empty))
    got = session.wait_message()
    check(got == "NO es Base de Datos ...", "the message reads %r" % got)
    session.close_message()
    check(os.listdir(empty) == [], "files appeared in the folder: %s" % os.listdir(empty))
    check(not session.cell_has_text(session.shot(), 1, 0), "the grid shows records")


SCENARIOS = [
    ("start with a database folder's path", start_with_folder, (1024, 768), True),
    ("start with a .z04 path", start_with_field_file, (1024, 768), True),
    ("start with a folder without a database", start_with_no_database, (1024, 768), False),
]
