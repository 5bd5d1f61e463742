#!/usr/bin/env python3
"""tomodb export --typed, run as a user runs it: each format read back with Python's csv,
json and sqlite3, values in their types only where the shown text reads exactly as one.

    typed_export_test.py --tomodb PATH"""

import argparse
import csv
import json
import os
import sqlite3
import sys
import tempfile
import unittest

import tomodb_test
from tomodb_test import tomodb, value_entries, write_database


class Typed(unittest.TestCase):
    """--typed read back in each format: Python's types, SQLite's storage classes."""

    FIELDS = [(b"I", 2, b""), (b"D", 1, b""), (b"L", 4, b""), (b"C", 7, b""), (b"A", 8, b""),
              (b"S", 3, b"")]
    STORED = [[b"42", b"12.5", b"1", b"29/02/2000", b"31/12/1999", b"42"],
              [b"007", b"1.50", b"0", b"31/02/2000", b"1/1/2000", b"x"],
              [b"-9223372036854775808", b"-3", b"2", None, None, None]]
    TYPED = [[42, 12.5, True, "2000-02-29", "1999-12-31", "42"],
             ["007", "1.50", False, "31/02/2000", "1/1/2000", "x"],
             [-9223372036854775808, -3, "", None, None, None]]
    CLASSES = {type(None): "null", bool: "integer", int: "integer", float: "real", str: "text"}

    def read(self, fmt, path):
        if fmt == "csv":
            with open(path, encoding="utf-8", newline="") as f:
                return [row[1:] for row in list(csv.reader(f))[1:]]
        if fmt == "jsonl":
            with open(path, encoding="utf-8") as f:
                return [[(type(v), v) for v in list(json.loads(line).values())[1:]] for line in f]
        db = sqlite3.connect(path)
        rows = db.execute("SELECT " + ", ".join(f"typeof({n}), {n}" for n in "IDLCAS")
                          + " FROM records ORDER BY record").fetchall()
        db.close()
        return [[row[k:k + 2] for k in range(0, len(row), 2)] for row in rows]

    def expected(self, fmt, v):
        if fmt == "csv":
            return "" if v is None else json.dumps(v) if isinstance(v, bool) else str(v)
        if fmt == "jsonl":
            return type(v), v
        return self.CLASSES[type(v)], int(v) if isinstance(v, bool) else v

    def test_each_format(self):
        entries = [e for r, row in enumerate(self.STORED, start=1)
                   for (name, _, _), v in zip(self.FIELDS, row) if v for e in value_entries(name, r, v)]
        with tempfile.TemporaryDirectory() as tmp:
            folder = write_database(os.path.join(tmp, "db"), self.FIELDS, entries)
            for fmt in ("csv", "jsonl", "sqlite"):
                with self.subTest(format=fmt):
                    out = os.path.join(tmp, "out." + fmt)
                    run = tomodb("export", folder, "-o", out, "--typed")
                    self.assertEqual(run.returncode, 0, run.stderr)
                    self.assertEqual(self.read(fmt, out),
                                     [[self.expected(fmt, v) for v in row] for row in self.TYPED])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tomodb", required=True)
    tomodb_test.ARGS = parser.parse_args()
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(Typed)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
