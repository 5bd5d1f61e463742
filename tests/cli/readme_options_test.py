#!/usr/bin/env python3
"""The README's list of tomodb's options and tomodb's --help agree: the same options, each
taken by the same commands, and the same exit statuses.

    readme_options_test.py TOMODB README.md

The README's list is the lines "- `OPTION` (COMMAND, ...): ..." of its tomodb section."""

import re
import subprocess
import sys
import unittest

TOMODB = README = None


def help_of(*command):
    run = subprocess.run([TOMODB, *command, "--help"], capture_output=True, text=True, check=True)
    return run.stdout


def options_of(help_text):
    """The options that a help lists, as written in its first column."""
    section = help_text.split("\noptions:\n", 1)[1].split("\n\n", 1)[0]
    return {m.group(1) for m in re.finditer(r"^  (-\S*(?: \S+)*?)(?:  |$)", section, re.M)}


def exit_statuses(text):
    return set(re.findall(r"\b(\d+) [a-z]", re.search(r"(?is)exit status:(.*?)(\n\n|$)", text)[1]))


class ReadmeAgreesWithHelp(unittest.TestCase):
    def setUp(self):
        with open(README, encoding="utf-8") as f:
            readme = f.read()
        self.section = re.search(r"(?s)\n## [^\n]*tomodb\n(.*?)(\n## |$)", readme)[1]
        self.listed = {m[1]: set(m[2].split(", ")) for m in
                       re.finditer(r"^- `(-[^`]+)` \(([a-z, ]+)\):", self.section, re.M)}

    def test_every_option_in_both(self):
        self.assertTrue(self.listed)
        self.assertEqual(options_of(help_of()), set(self.listed))

    def test_each_command_help_lists_its_options(self):
        commands = set().union(*self.listed.values())
        self.assertEqual(commands, {"info", "export", "check"})
        for command in commands:
            with self.subTest(command=command):
                self.assertEqual(options_of(help_of(command)),
                                 {o for o, taken in self.listed.items() if command in taken})

    def test_exit_statuses(self):
        self.assertEqual(exit_statuses(help_of()), {"0", "1", "2", "129", "130", "143"})
        self.assertEqual(exit_statuses(self.section), exit_statuses(help_of("export")))


if __name__ == "__main__":
    TOMODB, README = sys.argv[1:3]
    unittest.main(argv=sys.argv[:1])
