#!/usr/bin/env python3
"""tomodb run as a user runs it. Exports of random databases are read back with Python's csv
and json modules and compared with the reference's whole-database fill; SQLite files are
opened by the sqlite3 shell; code pages, refusals (exit status, message, no file left, the
database folder unchanged) and check.

    tomodb_test.py --tomodb PATH --databases PATH --samples DIR GROUP
GROUP: exports, sqlite, typed, code_pages, refusals, check."""

import argparse
import csv
import json
import os
import signal
import sqlite3
import stat
import struct
import subprocess
import sys
import tempfile
import time
import unittest

ARGS = None
FIELD_RECORD = 12042


def tomodb(*args, **kwargs):
    return subprocess.run([ARGS.tomodb, *map(str, args)], capture_output=True, **kwargs)


def write_database(folder, fields, entries, trailing=b""):
    """fields: (name bytes, type, options bytes); entries: (character byte, name bytes,
    record, mark). Writes the folder's two files, as the program's format lays them out."""
    os.makedirs(folder, exist_ok=True)
    name = os.path.basename(folder)
    definitions = bytearray()
    for field_name, type_code, options in fields:
        record = bytearray(FIELD_RECORD)
        struct.pack_into("<i", record, 0, 1)
        record[4:4 + len(field_name)] = field_name
        struct.pack_into("<h", record, 35, type_code)
        record[41:41 + len(options)] = options
        definitions += record
    with open(os.path.join(folder, name + ".z04"), "wb") as f:
        f.write(definitions)
    body = bytearray()
    for character, entry_name, record, mark in entries:
        body += struct.pack("<4xc35sqxxi", character, entry_name, record, mark)
    with open(os.path.join(folder, name + ".zbd"), "wb") as f:
        f.write(bytes(body) + trailing)
    return folder


def value_entries(name, record, text):
    return [(bytes([c]), name, record, 1 if k == len(text) - 1 else 0) for k, c in enumerate(text)]


def snapshot(folder):
    files = {}
    for root, _, names in os.walk(folder):
        for n in names:
            path = os.path.join(root, n)
            mode = os.lstat(path).st_mode
            # Only regular files are read: a named pipe would wait, a link to a device not end.
            if not stat.S_ISREG(mode):
                files[os.path.relpath(path, folder)] = (stat.S_IFMT(mode), os.path.islink(path)
                                                        and os.readlink(path))
                continue
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = f.read()
    return files


def text(latin1):
    return None if latin1 is None else latin1.encode("latin-1").decode("cp1252")


class Exports(unittest.TestCase):
    """Random databases, well formed and broken: every cell of every export equals the
    reference's, rendered and raw, in CSV and in JSON Lines, to a file and to standard output."""

    def test_random_databases_equal_the_reference(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([ARGS.databases, tmp, "250", "5"], check=True)
            names = sorted(n[:-5] for n in os.listdir(tmp) if n.endswith(".json"))
            for n in names:
                with open(os.path.join(tmp, n + ".json")) as f:
                    expected = json.load(f)
                fields = [text(name) for name in expected["fields"]]
                for raw in (False, True):
                    cells = [[text(v) for v in row] for row in expected["raw" if raw else "rendered"]]
                    for fmt in ("csv", "jsonl"):
                        with self.subTest(database=n, format=fmt, raw=raw):
                            out = os.path.join(tmp, "out")
                            options = ["--raw"] if raw else []
                            run = tomodb("export", os.path.join(tmp, n), "-o", out, "--format", fmt,
                                         "--force", *options)
                            self.assertEqual(run.returncode, 0, run.stderr)
                            with open(out, "rb") as f:
                                data = f.read()
                            if n == names[0]:
                                # Standard output carries the same bytes.
                                piped = tomodb("export", os.path.join(tmp, n), "--format", fmt, *options)
                                self.assertEqual(piped.stdout, data)
                            self.compare(fmt, data, fields, cells)

    def compare(self, fmt, data, fields, cells):
        if fmt == "csv":
            rows = list(csv.reader(data.decode("utf-8").splitlines(keepends=True)))
            self.assertTrue(data.endswith(b"\r\n"))
            self.assertEqual(rows[0], ["record"] + fields)
            self.assertEqual(len(rows) - 1, len(cells))
            for r, (row, expected) in enumerate(zip(rows[1:], cells), start=1):
                self.assertEqual(row, [str(r)] + ["" if v is None else v for v in expected])
        else:
            lines = data.decode("utf-8").splitlines()
            self.assertEqual(len(lines), len(cells))
            for r, (line, expected) in enumerate(zip(lines, cells), start=1):
                record = json.loads(line)
                values = list(record.values())
                self.assertEqual(values[0], r)
                self.assertEqual(values[1:], expected)
                self.assertEqual(len(record), len(fields) + 1)


class Sqlite(unittest.TestCase):
    """The SQLite export read by the sqlite3 shell."""

    def sql(self, db, query):
        return subprocess.run(["sqlite3", db, query], capture_output=True, check=True,
                              text=True).stdout.strip()

    def test_sample(self):
        with tempfile.TemporaryDirectory() as tmp:
            db, out = os.path.join(tmp, "agenda.sqlite"), os.path.join(tmp, "agenda.csv")
            agenda = os.path.join(ARGS.samples, "agenda")
            self.assertEqual(tomodb("export", agenda, "--format", "sqlite", "-o", db).returncode, 0)
            self.assertEqual(tomodb("export", agenda, "-o", out).returncode, 0)
            with open(out, encoding="utf-8", newline="") as f:
                rows = list(csv.reader(f))
            self.assertEqual(self.sql(db, "SELECT count(*) FROM records"), str(len(rows) - 1))
            self.assertEqual(self.sql(db, 'SELECT "Nombre", "Apellidos" FROM records WHERE record = 2'),
                             "|".join(rows[2][1:3]))
            # Absent values are NULL, exactly where the CSV has empty cells.
            empty = sum(1 for row in rows[1:] if row[13] == "")
            self.assertGreater(empty, 0)
            self.assertEqual(self.sql(db, f'SELECT count(*) FROM records WHERE "{rows[0][13]}" IS NULL'),
                             str(empty))
            self.assertEqual(self.sql(db, "SELECT number, name, type, type_name, searchable FROM fields "
                                          "WHERE number = 3"), "3|Fonética|0|PHONETICS|1")
            self.assertEqual(self.sql(db, "SELECT count(*) FROM fields"), str(len(rows[0]) - 1))
            self.assertEqual(os.listdir(tmp).__len__(), 2)  # no journal or temporary file left

    def test_names_and_no_datos(self):
        with tempfile.TemporaryDirectory() as tmp:
            folder = write_database(
                os.path.join(tmp, "db"),
                [(b"A", 3, b""), (b"a", 3, b""), (b"record", 4, b""), (b'q"t', 9, b"x|y")],
                value_entries(b"A", 1, b"No datos") + value_entries(b"record", 1, b"1")
                + value_entries(b"a", 2, b"z"))
            db = os.path.join(tmp, "out.sqlite")
            run = tomodb("export", folder, "--format", "sqlite", "-o", db)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertIn(b"warning", run.stderr)
            self.assertEqual(self.sql(db, "SELECT * FROM records ORDER BY record"),
                             "1|No datos||si|\n2||z||")
            self.assertEqual(self.sql(db, "SELECT name FROM pragma_table_info('records')").split(),
                             ["record", "A", "a_2", "record_2", 'q"t'])
            lines = tomodb("export", folder, "--format", "jsonl").stdout.decode().splitlines()
            self.assertEqual(json.loads(lines[0]),
                             {"record": 1, "A": "No datos", "a": None, "record_2": "si", 'q"t': None})


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


class CodePages(unittest.TestCase):
    VALUE = b"\xe1\xf1\xfc\xae\x80"  # á ñ ü ® € in code page 1252

    def test_code_pages(self):
        with tempfile.TemporaryDirectory() as tmp:
            folder = write_database(os.path.join(tmp, "db"), [(b"Se\xf1al", 3, b"")],
                                    value_entries(b"Se\xf1al", 1, self.VALUE))
            for options, expected in (([], "record,Señal\r\n1,áñü®€\r\n"),
                                      (["--code-page", "850"],
                                       "record," + b"Se\xf1al".decode("cp850") + "\r\n1,"
                                       + self.VALUE.decode("cp850") + "\r\n")):
                with self.subTest(options=options):
                    run = tomodb("export", folder, *options)
                    self.assertEqual(run.returncode, 0, run.stderr)
                    self.assertEqual(run.stdout.decode("utf-8"), expected)
            bom = tomodb("export", folder, "--bom").stdout
            self.assertTrue(bom.startswith(b"\xef\xbb\xbfrecord,"))
            # JSON readers reject a byte order mark.
            self.assertEqual(tomodb("export", folder, "--bom", "--format", "jsonl").returncode, 2)
            self.assertEqual(tomodb("export", folder, "--code-page", "99999").returncode, 2)


class Refusals(unittest.TestCase):
    """Each refusal: its exit status and message, no file left, the database unchanged."""

    def test_refusals(self):
        with tempfile.TemporaryDirectory() as tmp:
            folder = write_database(os.path.join(tmp, "db"), [(b"A", 3, b"")],
                                    value_entries(b"A", 1, b"x"))
            empty = os.path.join(tmp, "empty")
            os.makedirs(empty)
            open(os.path.join(empty, "empty.z04"), "wb").close()
            out_dir = os.path.join(tmp, "out")
            os.makedirs(out_dir)
            far = write_database(os.path.join(tmp, "far"), [(b"A", 3, b"")],
                                 value_entries(b"A", 10 ** 9, b"x"))
            # Out of field order, so read by the whole-database fill: too many values for it.
            big = write_database(os.path.join(tmp, "big"), [(b"A", 3, b""), (b"B", 3, b"")],
                                 value_entries(b"B", 1, b"x") + value_entries(b"A", 1, b"y")
                                 + value_entries(b"A", 3 * 10 ** 6, b"z"))
            existing = os.path.join(out_dir, "existing.csv")
            with open(existing, "w") as f:
                f.write("keep")
            a_file = os.path.join(out_dir, "existing.csv")
            before = snapshot(tmp)
            cases = [
                (["export", empty], 1, "not a database: " + os.path.join(empty, "empty.z04")
                 + " has no field definitions (0 bytes)"),
                (["info", os.path.join(tmp, "missing")], 1, "no such folder"),
                (["export", folder, "-o", os.path.join(folder, "db.zbd"), "--force"], 1,
                 "refusing to write over the database file"),
                (["export", folder, "-o", os.path.join(folder, "db.z04")], 1,
                 "refusing to write over the database file"),
                (["export", folder, "-o", os.path.join(folder, "new.csv")], 1, "into the database folder"),
                (["export", folder, "-o", existing], 1, "exists; add --force"),
                (["export", folder, "-o", os.path.join(tmp, "no", "such", "x.csv")], 1, "cannot write"),
                (["export", folder, "-o", os.path.join(a_file, "x.csv")], 1, "cannot write"),
                (["export", far, "-o", os.path.join(out_dir, "far.csv")], 1, "a damaged record number"),
                (["export", big, "-o", os.path.join(out_dir, "big.csv")], 1, "not in the well-formed order"),
                (["export", folder, "--format", "sqlite"], 2, "usage:"),
                (["export", folder, "--format", "xls"], 2, "unknown format"),
                (["export"], 2, "needs a database folder"),
                (["frobnicate", folder], 2, "unknown command"),
            ]
            for args, status, message in cases:
                with self.subTest(args=args):
                    run = tomodb(*args)
                    self.assertEqual(run.returncode, status, run.stderr)
                    self.assertIn(message, run.stderr.decode())
                    self.assertEqual(run.stdout, b"")
                    self.assertEqual(snapshot(tmp), before)
            run = tomodb("export", folder, "-o", existing, "--force")
            self.assertEqual(run.returncode, 0, run.stderr)
            with open(existing, "rb") as f:
                self.assertEqual(f.read(), b"record,A\r\n1,x\r\n")
            self.assertEqual(sorted(os.listdir(out_dir)), ["existing.csv"])

    def test_damaged_files(self):
        """Files tomodb cannot read as the database's, or must not replace, and output it
        cannot write: each refused (or warned of) in time, nothing changed but the target."""
        sample = os.path.join(ARGS.samples, "agenda")
        with tempfile.TemporaryDirectory() as tmp:
            def damaged(name, damage, suffix=".zbd", replace=False):
                folder = write_database(os.path.join(tmp, name), [(b"A", 3, b"")],
                                        value_entries(b"A", 1, b"x"))
                path = os.path.join(folder, name + suffix)
                if replace:
                    os.remove(path)
                damage(path)
                return folder

            def grow(path):
                with open(path, "ab") as f:
                    f.write(b"\0")

            os.mkfifo(os.path.join(tmp, "pipe"))
            os.makedirs(os.path.join(tmp, "out"))
            named = os.path.join(tmp, "out", "named.csv")
            open(named, "w").close()
            os.mkfifo(os.path.join(tmp, "out", "fifo.csv"))
            os.symlink("/dev/null", os.path.join(tmp, "out", "device.csv"))
            os.symlink("named.csv", os.path.join(tmp, "out", "link.csv"))
            each = ("info", "check", "export")
            cases = [  # commands, folder, -o target, exit status, message on standard error
                (each, damaged("partial", grow, ".z04"), None, 1, "is 12043 bytes, not a whole number"),
                (each, damaged("dir", os.mkdir, replace=True), None, 1, "(a folder)"),
                (each, damaged("fifo", os.mkfifo, replace=True), None, 1, "(a named pipe)"),
                (each, damaged("ffifo", os.mkfifo, ".z04", replace=True), None, 1, "(a named pipe)"),
                (each, damaged("dev", lambda p: os.symlink("/dev/zero", p), replace=True), None, 1, "(a device)"),
                (each, damaged("loop", lambda p: os.symlink(p, p), replace=True), None, 1, "cannot read"),
                (each, damaged("missing", os.remove), None, 0, "missing: a database without records"),
                (each, os.path.join(tmp, "pipe"), None, 1, "no database folder"),
                (["export"], sample, "fifo.csv", 1, "a named pipe: tomodb replaces only regular files"),
                (["export"], sample, "device.csv", 1, "a device: tomodb replaces only regular files"),
                (["export"], sample, "link.csv", 0, ""),
            ]
            if os.geteuid() != 0:  # root reads any file whatever its permissions
                cases.append((each, damaged("closed", lambda p: os.chmod(p, 0)), None, 1, "no permission"))
            before = snapshot(tmp)
            for commands, folder, target, status, message in cases:
                for command in commands:
                    with self.subTest(folder=folder, command=command, target=target):
                        out = ["-o", os.path.join(tmp, "out", target), "--force"] if target else []
                        run = tomodb(command, folder, *out, timeout=20)
                        self.assertEqual(run.returncode, status, run.stderr)
                        self.assertIn(message, run.stderr.decode())
                        before["out/named.csv"] = snapshot(tmp)["out/named.csv"]
                        self.assertEqual(snapshot(tmp), before)
            self.assertEqual(tomodb("export", cases[6][1]).stdout, b"record,A\r\n")
            self.assertTrue(before["out/named.csv"].startswith(b"record,Nombre"))
            for args in (["info", sample], ["info", sample, "--json"], ["check", sample], ["--help"],
                         ["--version"]):
                with self.subTest(args=args), open("/dev/full", "wb") as full:
                    run = subprocess.run([ARGS.tomodb, *args], stdout=full, stderr=subprocess.PIPE)
                    self.assertEqual(run.returncode, 1)
                    self.assertIn(b"cannot write to standard output", run.stderr)

    def test_interrupts_leave_no_file(self):
        with tempfile.TemporaryDirectory() as tmp:
            # About three million entries: long enough to be interrupted midway.
            fields = [(b"F%d" % f, 3, b"") for f in range(1, 21)]
            one = b"".join(struct.pack("<4xc35sqxxi", b"v", b"F%d" % f, 0, m)
                           for f in range(1, 21) for m in (0, 0, 0, 0, 0, 0, 0, 1))
            folder = write_database(os.path.join(tmp, "big"), fields, [])
            with open(os.path.join(folder, "big.zbd"), "wb") as f:
                record = bytearray(one)
                for r in range(1, 20001):
                    for k in range(160):
                        struct.pack_into("<q", record, k * 54 + 40, r)
                    f.write(record)
            before = snapshot(folder)
            out_dir = os.path.join(tmp, "out")
            os.makedirs(out_dir)
            # Ctrl+C and the requests to end from elsewhere alike. The export may finish
            # before the signal arrives on a busy machine: try again.
            for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
                with self.subTest(signal=sig.name):
                    self.interrupt(folder, out_dir, sig)
            self.assertEqual(snapshot(folder), before)

    def interrupt(self, folder, out_dir, sig):
        for attempt in range(5):
            process = subprocess.Popen(
                [ARGS.tomodb, "export", folder, "--format", "sqlite", "-o",
                 os.path.join(out_dir, "big.sqlite"), "--force"], stderr=subprocess.PIPE)
            deadline = time.time() + 30
            while not os.listdir(out_dir) and time.time() < deadline:
                time.sleep(0.001)
            process.send_signal(sig)
            _, err = process.communicate(timeout=60)
            if process.returncode == 0:
                self.assertEqual(os.listdir(out_dir), ["big.sqlite"])
                os.remove(os.path.join(out_dir, "big.sqlite"))
                continue
            self.assertEqual(process.returncode, 128 + sig, err)
            self.assertIn(b"interrupted", err)
            self.assertEqual(os.listdir(out_dir), [])
            return
        self.fail("every export finished before the signal")


class Check(unittest.TestCase):
    def test_info(self):
        agenda = os.path.join(ARGS.samples, "agenda")
        info = json.loads(tomodb("info", agenda, "--json").stdout)
        self.assertEqual((info["FieldCount"], info["RecordCount"]), (len(info["fields"]), 64))
        self.assertEqual(info["recordFile"]["bytes"], os.path.getsize(os.path.join(agenda, "agenda.zbd")))
        self.assertEqual(info["entries"] * 54, info["recordFile"]["bytes"])
        self.assertEqual(info["fields"][2], {"number": 3, "name": "Fonética", "type": 0,
                                             "typeName": "PHONETICS", "searchable": True, "options": ""})
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
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--tomodb", required=True)
    parser.add_argument("--databases", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("group", choices=["exports", "sqlite", "typed", "code_pages", "refusals",
                                          "check"])
    ARGS = parser.parse_args()
    group = {"exports": Exports, "sqlite": Sqlite, "typed": Typed, "code_pages": CodePages,
             "refusals": Refusals, "check": Check}[ARGS.group]
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(group)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
