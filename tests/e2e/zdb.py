"""Reads database folders (a .z04 field definition file and a .zbd record file) entry by
entry, so the end-to-end scenarios know what the grid should show: a check of the program
that shares no code with it or with the tool that writes the databases (tools/make_sample).
Text is Windows-1252 in the files and str here."""

import os
import struct

FIELD_RECORD = 12042
ENTRY = 54
ENCODING = "cp1252"

STRING, LOGIC, ARRAY = 3, 4, 9


def _text(raw, limit):
    return raw.split(b"\0", 1)[0][:limit].decode(ENCODING)


class Field:
    def __init__(self, name, type_code=STRING, searchable=True, options=""):
        self.name = name
        self.type_code = type_code
        self.searchable = searchable
        self.options = options


class Database:
    """A database folder's contents: its fields and the stored value of every (record, field)."""

    def __init__(self, fields, values, record_count):
        self.fields = fields
        self.values = values  # {(record, field name): stored text}
        self.record_count = record_count

    def stored(self, record, field_number):
        """The stored value of a field (1-based) in a record, or None when absent."""
        return self.values.get((record, self.fields[field_number - 1].name))

    def shown(self, record, field_number):
        """The cell text of a text-type field, as the grid shows it."""
        field = self.fields[field_number - 1]
        assert field.type_code not in (LOGIC, ARRAY), "only text types are rendered here"
        value = self.stored(record, field_number)
        return "No datos" if value is None else value.strip(" ")


def read(folder, last_entries=None):
    """Reads a well-formed database folder entry by entry; with last_entries, only that many
    entries at the end of the record file (enough for the last records of a large one)."""
    name = os.path.basename(os.path.normpath(folder))
    with open(os.path.join(folder, name + ".z04"), "rb") as f:
        definitions = f.read()
    fields = []
    for i in range(len(definitions) // FIELD_RECORD):
        rec = definitions[i * FIELD_RECORD:(i + 1) * FIELD_RECORD]
        (flag,) = struct.unpack_from("<i", rec, 0)
        (type_code,) = struct.unpack_from("<h", rec, 35)
        fields.append(Field(_text(rec[4:35], 30), type_code, flag == 1, _text(rec[41:], 12000)))
    with open(os.path.join(folder, name + ".zbd"), "rb") as f:
        if last_entries is not None:
            length = f.seek(0, os.SEEK_END)
            f.seek(max(0, length // ENTRY - last_entries) * ENTRY)
        entries = f.read()
    values, collected, last_record = {}, {}, 0
    for i in range(len(entries) // ENTRY):
        e = entries[i * ENTRY:(i + 1) * ENTRY]
        field = _text(e[5:40], 34)
        (record,) = struct.unpack_from("<q", e, 40)
        (mark,) = struct.unpack_from("<i", e, 50)
        key = (record, field)
        collected[key] = collected.get(key, b"") + e[4:5]
        if mark == 1:
            values[key] = collected.pop(key).decode(ENCODING)
        last_record = record
    return Database(fields, values, last_record)

