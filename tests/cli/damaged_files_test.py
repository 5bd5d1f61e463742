#!/usr/bin/env python3
"""tomodb on damaged files: the export writes every record the files hold, in time and
memory that grow with the file, and says on standard error what it did otherwise; info and
check tell what they find.

    damaged_files_test.py --tomodb PATH --samples DIR GROUP
GROUP: damaged, check."""

import argparse
import csv
import json
import os
import resource
import sys
import tempfile
import unittest

import tomodb_test
from tomodb_test import tomodb, value_entries, write_database

ARGS = None
SANITIZED = False
HUGE = 4 * 10 ** 18


def numbered(records, fields):
    """Records 1..records, field f of record r holding "r.f", in the well-formed order."""
    return [e for r in range(1, records + 1) for f in range(1, fields + 1)
            for e in value_entries(b"F%d" % f, r, b"%d.%d" % (r, f))]


def limited():
    # AddressSanitizer reserves terabytes of address space for its shadow memory, so the
    # limit holds only the plain build; the sanitizers watch the other.
    if not SANITIZED:
        resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))


def zeroed():
    return [(b"\0", b"", 0, 0)]


class Damaged(unittest.TestCase):
    def test_every_record_written_with_warnings(self):
        """The damage at the end of a well-formed file of 64 records (3000 of 12 fields for
        the bound on memory): records written, and what standard error says."""
        some = list(range(1, 65))
        cases = [  # name, records, fields, appended entries, records written, warnings
            ("value appended out of order", 64, 2, value_entries(b"F2", 5, b"new"), some,
             ["59 records above the record count 5", "the highest is 64"]),
            ("zeroed entry appended", 64, 2, zeroed(), some,
             ["64 records above the record count 0", "1 record number below 1 has entries"]),
            ("last entry below 1", 64, 2, value_entries(b"F1", -3, b"x"), some,
             ["64 records above the record count -3", "1 record number below 1 has entries"]),
            ("jump from 64 to 4,000,000", 64, 2, value_entries(b"F1", 4 * 10 ** 6, b"x"),
             some + [4 * 10 ** 6], ["only the 65 records that have entries",
                                    "3999935 records without entries"]),
            ("record 4e18", 64, 2, value_entries(b"F1", HUGE, b"x"), some + [HUGE],
             ["only the 65 records that have entries"]),
            # Well formed, the empty records known to be too many only once read.
            ("jump from 64 to 2000", 64, 2, value_entries(b"F1", 2000, b"x"), some + [2000],
             ["1935 records without entries"]),
            # After the value, an entry of no field keeps the record count.
            ("out of order, under a memory limit", 3000, 12,
             value_entries(b"F7", 5, b"new") + [(b"x", b"?", 3000, 1)], list(range(1, 3001)), []),
        ]
        with tempfile.TemporaryDirectory() as tmp:
            for n, (name, records, fields, appended, written, warnings) in enumerate(cases):
                with self.subTest(damage=name):
                    folder = write_database(os.path.join(tmp, "db%d" % n),
                                            [(b"F%d" % f, 3, b"") for f in range(1, fields + 1)],
                                            numbered(records, fields) + appended)
                    run = tomodb("export", folder, timeout=20, preexec_fn=limited)
                    self.assertEqual(run.returncode, 0, run.stderr)
                    rows = list(csv.reader(run.stdout.decode().splitlines()))[1:]
                    self.assertEqual([int(row[0]) for row in rows], written)
                    # Every record keeps its own values.
                    self.assertEqual(rows[records - 1][1:], ["%d.%d" % (records, f)
                                                             for f in range(1, fields + 1)])
                    for warning in warnings:
                        self.assertIn(warning, run.stderr.decode())
                    # To a file, the same records after the stream started over.
                    out = os.path.join(tmp, "out%d.csv" % n)
                    self.assertEqual(tomodb("export", folder, "-o", out).returncode, 0)
                    with open(out, "rb") as f:
                        self.assertEqual(f.read(), run.stdout)


    def test_entry_cut_short_at_the_end(self):
        """A record file that ends inside an entry: every whole entry's record, and a warning."""
        with tempfile.TemporaryDirectory() as tmp:
            folder = write_database(os.path.join(tmp, "db"), [(b"F1", 3, b""), (b"F2", 3, b"")],
                                    numbered(64, 2), trailing=b"\x01\x00\x00\x00xF1")
            run = tomodb("export", folder)
            self.assertEqual(run.returncode, 0, run.stderr)
            rows = list(csv.reader(run.stdout.decode().splitlines()))[1:]
            self.assertEqual([int(row[0]) for row in rows], list(range(1, 65)))
            self.assertIn("ends inside an entry: its last 7 bytes", run.stderr.decode())


class Check(unittest.TestCase):
    def test_info(self):
        agenda = os.path.join(ARGS.samples, "agenda")
        info = json.loads(tomodb("info", agenda, "--json").stdout)
        self.assertEqual((info["FieldCount"], info["RecordCount"]), (len(info["fields"]), 64))
        self.assertEqual(info["recordFile"]["bytes"], os.path.getsize(os.path.join(agenda, "agenda.zbd")))
        self.assertEqual(info["entries"] * 54, info["recordFile"]["bytes"])
        self.assertEqual(info["fields"][2], {"number": 3, "name": "Fonética", "type": 0,
                                             "typeName": "PHONETICS", "searchable": True, "options": ""})
        self.assertNotIn("highestRecord", info)
        text = tomodb("info", agenda).stdout.decode()
        self.assertIn("RecordCount  64", text)
        self.assertIn("España|México|Argentina|Chile|Colombia|P...", text)

    def test_info_escapes_control_characters(self):
        with tempfile.TemporaryDirectory() as tmp:
            folder = write_database(os.path.join(tmp, "db"),
                                    [(b"a\nb\x1b[2J", 9, b"si\r\nno|\x81|\\")], [])
            table = tomodb("info", folder).stdout.decode()
            self.assertIn("a\\nb\\x1B[2J  ARRAY", table)
            self.assertTrue(table.endswith("si\\r\\nno|\\u0081|\\\\\n"), table)
            info = json.loads(tomodb("info", folder, "--json").stdout)
            self.assertEqual((info["fields"][0]["name"], info["fields"][0]["options"]),
                             ("a\nb\x1b[2J", "si\r\nno|\u0081|\\"))

    def test_records_beyond_the_count_and_jumps(self):
        """info's highest record, and check's notes, beside the faults or not."""
        fields = [(b"F1", 3, b""), (b"F2", 3, b"")]
        cases = [  # name, entries, check's exit status, its line, info's highest record
            ("appended", numbered(64, 2) + value_entries(b"F2", 5, b"new"), 1,
             "note: 59 records above RecordCount 5 have entries, up to record 64", 64),
            ("jump", numbered(64, 2) + value_entries(b"F1", 4 * 10 ** 6, b"x"), 0,
             "note: 1 jumps of more than 1000 record numbers above every record before "
             "(entries %d)" % (len(numbered(64, 2)) + 1), None),
            ("first record far", value_entries(b"F1", 5000, b"x"), 0, "(entries 1)", None),
        ]
        with tempfile.TemporaryDirectory() as tmp:
            for name, entries, status, line, highest in cases:
                with self.subTest(case=name):
                    folder = write_database(os.path.join(tmp, name), fields, entries)
                    run = tomodb("check", folder)
                    self.assertEqual(run.returncode, status, run.stdout)
                    self.assertIn(line, run.stdout.decode())
                    info = json.loads(tomodb("info", folder, "--json").stdout)
                    self.assertEqual(info.get("highestRecord"), highest)
                    shown = "highest      %d" % highest if highest else "RecordCount"
                    self.assertIn(shown, tomodb("info", folder).stdout.decode())

    def test_sample_is_well_formed(self):
        run = tomodb("check", os.path.join(ARGS.samples, "agenda"))
        self.assertEqual(run.returncode, 0, run.stdout)
        self.assertIn(b"well formed", run.stdout)

    def test_each_fault(self):
        AB = [(b"A", 3, b""), (b"B", 3, b"")]
        cases = [
            ("partial entry", AB, value_entries(b"A", 1, b"x"), b"\0" * 10,
             "1 partial entry at the end of the record file (entry 2)"),
            ("records", AB, value_entries(b"A", 2, b"x") + value_entries(b"A", 1, b"y"), b"",
             "1 runs of records out of ascending order (entries 2)"),
            ("interrupted", AB, [(b"x", b"A", 1, 0), (b"y", b"B", 1, 1), (b"z", b"A", 1, 1)], b"",
             "1 runs interrupted by other entries (entries 3)"),
            ("marks", AB, [(b"x", b"A", 1, 0), (b"y", b"A", 2, 2)], b"",
             "2 runs with no mark 1 at their end"),
            ("names", AB, [(b"x", b"C", 1, 1), (b"y", b"A" * 35, 1, 1)], b"",
             "1 entries whose name matches no field (entries 1)"),
            ("no zero byte", AB, [(b"y", b"A" * 35, 1, 1)], b"",
             "1 entries whose name has no zero byte (entries 1)"),
            ("below 1", AB, value_entries(b"A", 0, b"x") + value_entries(b"B", -3, b"y"), b"",
             "2 entries with a record number below 1 (entries 1, 2)"),
            ("duplicates", [(b"A", 3, b""), (b"A", 3, b"")], [], b"", "1 field names duplicated (fields 2)"),
            ("types", [(b"A", 10, b"")], [], b"", "1 type codes outside 0..9 (fields 1)"),
        ]
        with tempfile.TemporaryDirectory() as tmp:
            for n, (name, fields, entries, trailing, line) in enumerate(cases):
                with self.subTest(fault=name):
                    folder = write_database(os.path.join(tmp, "db%d" % n), fields, entries, trailing)
                    run = tomodb("check", folder)
                    self.assertEqual(run.returncode, 1, run.stdout)
                    self.assertIn(line, run.stdout.decode())


def main():
    global ARGS, SANITIZED
    parser = argparse.ArgumentParser()
    parser.add_argument("--tomodb", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("group", choices=["damaged", "check"])
    ARGS = tomodb_test.ARGS = parser.parse_args()
    with open(ARGS.tomodb, "rb") as program:
        SANITIZED = b"__asan_init" in program.read()
    group = {"damaged": Damaged, "check": Check}[ARGS.group]
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(group)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
