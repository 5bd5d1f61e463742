"""End-to-end scenario of "Export ...": the Save dialog driven by keyboard, and the file it
writes compared byte for byte with what the Linux tomodb writes of the same database."""

import os
import struct
import subprocess
import time

import screen
import zdb
from databases import TOOLS, Sample, link_folder, start_with_sample
from harness import check, wait_for
from scenarios_opening import wine_path


def snapshot(folder):
    """Every file of the folder with its bytes."""
    files = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            files[name] = f.read()
    return files


def tomodb_csv(session, folder):
    target = os.path.join(session.root, "tomodb.csv")
    result = subprocess.run([TOOLS["tomodb"], "export", "--format", "csv", "--bom", folder,
                             "-o", target], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            encoding="utf-8", check=False)
    check(result.returncode == 0, "tomodb failed: %s" % result.stdout.strip())
    with open(target, "rb") as f:
        return f.read()


def save_dialog_picture(session):
    """The Save dialog over the grid, for the documentation: a screenshot with the dialog as
    it paints itself put where it stands (Xvfb's screenshots show it black)."""
    time.sleep(1)  # the dialog's first paint
    picture = session.shot()
    painted = os.path.join(session.root, "dialog.ppm")
    rect = session.probe_ok(["picture", "*", wine_path(session, painted)])
    check(rect is not None, "the probe could not paint the Save dialog")
    x, y, _, _ = (int(v) for v in rect.split())
    picture.paste(x, y, screen.read_ppm(painted))
    session.save(picture, "export-dialog")


def append_value(folder, record, field):
    """Appends, as an edit by appending leaves it, a value of the field for the record: a copy
    of its stored one with every character X, after the record file's last entry."""
    path = os.path.join(folder, os.path.basename(folder) + ".zbd")
    with open(path, "rb") as f:
        entries = f.read()
    appended = b""
    for i in range(len(entries) // zdb.ENTRY):
        e = entries[i * zdb.ENTRY:(i + 1) * zdb.ENTRY]
        (number,) = struct.unpack_from("<q", e, 40)
        if number == record and e[5:40].split(b"\0", 1)[0] == field.encode(zdb.ENCODING):
            appended += e[:4] + b"X" + e[5:]
    check(appended, "record %d has no value of %s" % (record, field))
    with open(path, "ab") as f:
        f.write(appended)


def export_to_typed_name(session, sample_dir):
    """Export ... to a name typed in the Save dialog: the box says how many records went where,
    the file is tomodb's CSV with the byte order mark, the database folder is unchanged."""
    sample, _ = start_with_sample(session, sample_dir)
    export_and_compare(session, sample, picture=True)


def export_with_a_value_appended(session, sample_dir):
    """The same of a database with a value appended out of order at the end: every record
    goes out, as tomodb writes it."""
    sample = Sample(session, sample_dir)
    append_value(sample.folder, 5, sample.db.fields[1].name)
    link_folder(session, "agenda")
    export_and_compare(session, sample, picture=False)


def export_and_compare(session, sample, picture):
    before = snapshot(sample.folder)
    home_before = set(os.listdir(session.home))
    session.choose(2, 2, "export")
    wait_for(lambda: session.dialog_open("ComboBox"), "the Save dialog", timeout=60)
    if picture:
        save_dialog_picture(session)
    target = os.path.join(session.home, "exportado.csv")
    typed = wine_path(session, target)
    session.focus_control("Edit")
    session.keys("End", "shift+Home")
    session.type_text(typed)
    session.keys("Return")
    got = session.wait_message(timeout=60)
    check(got == "Exportados %d registros a %s" % (sample.db.record_count, typed),
          "the message reads %r" % got)
    session.close_message()
    with open(target, "rb") as f:
        written = f.read()
    check(written == tomodb_csv(session, sample.folder),
          "the exported file differs from tomodb's CSV")
    check(snapshot(sample.folder) == before, "the database folder changed")
    left = sorted(set(os.listdir(session.home)) - home_before)
    check(left == ["exportado.csv"], "the export left %s" % left)


SCENARIOS = [
    ("export to a name typed in the Save dialog", export_to_typed_name, (1024, 768), True),
    ("export of a database with a value appended out of order", export_with_a_value_appended,
     (1024, 768), True),
]
