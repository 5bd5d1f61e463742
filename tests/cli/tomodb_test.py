#!/usr/bin/env python3
"""tomodb run as a user runs it. Exports of random databases are read back with Python's csv
and json modules and compared with each record as the reference shows it when gone to;
SQLite files are opened by the sqlite3 shell; code pages and refusals (exit status, message,
no file left, the database folder unchanged).

    tomodb_test.py --tomodb PATH --databases PATH --samples DIR GROUP
GROUP: exports, sqlite, code_pages, refusals."""

import argparse
import csv
import json
import os
import shutil
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


def unique_names(names):
    """A field named like an earlier one, or "record", takes the first free "_2", "_3", ..."""
    taken, unique = {"record"}, []
    for name in names:
        key, n = name, 2
        while key in taken:
            key, n = f"{name}_{n}", n + 1
        taken.add(key)
        unique.append(key)
    return unique


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
                records = expected["records"]
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
                            self.compare(fmt, data, fields, records, cells)

    def compare(self, fmt, data, fields, records, cells):
        if fmt == "csv":
            rows = list(csv.reader(data.decode("utf-8").splitlines(keepends=True)))
            self.assertTrue(data.endswith(b"\r\n"))
            self.assertEqual(rows[0], ["record"] + unique_names(fields))
            self.assertEqual(len(rows) - 1, len(cells))
            for r, row, expected in zip(records, rows[1:], cells):
                self.assertEqual(row, [str(r)] + ["" if v is None else v for v in expected])
        else:
            lines = data.decode("utf-8").splitlines()
            self.assertEqual(len(lines), len(cells))
            for r, line, expected in zip(records, lines, cells):
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

    def test_many_batches_equal_the_csv(self):
        """Several rows go to one statement and several batches to the writing thread: rows
        across both seams, converted texts and absent values come out as in the CSV export,
        streamed and read as shown (records in reverse order)."""
        with tempfile.TemporaryDirectory() as tmp:
            fields = [(b"A", 3, b""), (b"B", 3, b""), (b"C", 3, b"")]
            records = range(1, 12346)  # 37,035 values: more than one batch holds
            def values(r):
                yield b"A", r, b"a%d" % r
                if r % 7:
                    yield b"B", r, b"\xf1%d\xe1" % r  # not ASCII: converted to UTF-8
                yield b"C", r, b"c" * (r % 5 + 1)
            for order in ("streamed", "reversed"):
                with self.subTest(order=order):
                    entries = []
                    for r in (records if order == "streamed" else reversed(records)):
                        for name, record, value in values(r):
                            entries += value_entries(name, record, value)
                    folder = write_database(os.path.join(tmp, order), fields, entries)
                    db, out = os.path.join(tmp, order + ".sqlite"), os.path.join(tmp, order + ".csv")
                    self.assertEqual(tomodb("export", folder, "-o", db).returncode, 0)
                    self.assertEqual(tomodb("export", folder, "-o", out).returncode, 0)
                    with open(out, encoding="utf-8", newline="") as f:
                        expected = list(csv.reader(f))[1:]
                    with sqlite3.connect(db) as connection:
                        rows = connection.execute("SELECT * FROM records ORDER BY record").fetchall()
                    self.assertEqual(len(rows), len(records))
                    self.assertEqual([[str(v) if v is not None else "" for v in row] for row in rows],
                                     expected)
                    self.assertEqual(rows[6][2], None)

    def test_names_and_no_datos(self):
        with tempfile.TemporaryDirectory() as tmp:
            folder = write_database(
                os.path.join(tmp, "db"),
                [(b"A", 3, b""), (b"a", 3, b""), (b"record", 4, b""), (b'q"t', 9, b"x|y")],
                value_entries(b"A", 1, b"No datos") + value_entries(b"record", 1, b"1")
                + value_entries(b"a", 2, b"z") + value_entries(b'q"t', 2, b"7"))
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
            # Option 7 of two shows as empty text: present, so not NULL.
            self.assertEqual(json.loads(lines[1])['q"t'], "")
            self.assertEqual(self.sql(db, 'SELECT typeof("q""t") FROM records ORDER BY record'),
                             "null\ntext")
            # CSV names its columns as JSON Lines does, so that readers by name lose none.
            run = tomodb("export", folder)
            self.assertEqual(run.stdout.splitlines()[0], b'record,A,a,record_2,"q""t"')
            self.assertIn(b'its key is "record_2"', run.stderr)


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
            # A full disk under standard output, for every command that writes there.
            for args in (["info", sample], ["info", sample, "--json"], ["check", sample], ["--help"],
                         ["--version"], ["export", sample], ["export", sample, "--format", "jsonl"]):
                with self.subTest(args=args), open("/dev/full", "wb") as full:
                    run = subprocess.run([ARGS.tomodb, *args], stdout=full, stderr=subprocess.PIPE)
                    self.assertEqual(run.returncode, 1)
                    self.assertIn(b"cannot write to standard output", run.stderr)

    def test_a_full_disk_keeps_what_was_there(self):
        """An export that fills the disk stops with its message, leaves no file of its own and
        replaces nothing: on a 16 KiB file system of its own, in a mount namespace of its own."""
        if os.geteuid() != 0 or not shutil.which("unshare"):
            self.skipTest("needs root and unshare to mount a small file system")
        script = """
mount -t tmpfs -o size=16k tmpfs "$1" || exit 77
printf keep > "$1/kept.csv"; printf keep > "$1/kept.sqlite"
for target in new.csv new.jsonl new.sqlite kept.csv kept.sqlite; do
  "$2" export "$3" -o "$1/$target" --force; echo "$target $?"
done
for f in "$1"/* "$1"/.??*; do [ -e "$f" ] && echo "$(basename "$f") $(cat "$f")"; done
exit 0
"""
        sample = os.path.join(ARGS.samples, "agenda")
        with tempfile.TemporaryDirectory() as tmp:
            run = subprocess.run(["unshare", "-m", "sh", "-c", script, "sh", tmp, ARGS.tomodb,
                                  sample], capture_output=True, timeout=60)
            if run.returncode == 77:
                self.skipTest("no tmpfs can be mounted here")
            self.assertEqual(run.stdout.decode().split("\n"),
                             ["new.csv 1", "new.jsonl 1", "new.sqlite 1", "kept.csv 1",
                              "kept.sqlite 1", "kept.csv keep", "kept.sqlite keep", ""])
            err = run.stderr.decode()
            self.assertEqual(err.count("No space left on device"), 3, err)
            self.assertEqual(err.count("database or disk is full"), 2, err)
            self.assertEqual(os.listdir(tmp), [])

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


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--tomodb", required=True)
    parser.add_argument("--databases", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("group", choices=["exports", "sqlite", "code_pages", "refusals"])
    ARGS = parser.parse_args()
    group = {"exports": Exports, "sqlite": Sqlite, "code_pages": CodePages,
             "refusals": Refusals}[ARGS.group]
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(group)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
