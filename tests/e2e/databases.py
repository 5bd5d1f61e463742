"""The databases the scenarios link: the sample copied into the session's HOME, and
databases made with make_sample, the project's own writer."""

import os
import shutil
import subprocess

import zdb
from harness import Failure, check, wait_for


# The project's own database writer, the sample's readable description and the Linux tomodb
# (set by main).
TOOLS = {"make_sample": None, "sample_source": None, "tomodb": None}


def make_database(session, source, folder):
    """Makes the database folder from its readable description (dbgen/sample_source.h) with
    make_sample, the project's own writer."""
    path = os.path.join(session.root, os.path.basename(folder) + ".txt")
    with open(path, "w", encoding="utf-8") as f:
        f.write(source)
    result = subprocess.run([TOOLS["make_sample"], path, folder], stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, encoding="utf-8", check=False)
    check(result.returncode == 0, "make_sample failed: %s" % result.stdout.strip())


def make_generated_database(folder, entries):
    """A large database of about `entries` entries made by make_sample; its record count."""
    result = subprocess.run([TOOLS["make_sample"], "--generated", str(entries), folder],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    check(result.returncode == 0, "make_sample failed: %s" % result.stdout.strip())
    return int(result.stdout)


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
