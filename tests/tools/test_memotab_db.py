#!/usr/bin/python3
"""memotab-db against tables written by an independent writer (python-dbf) and damaged
files: dump and check read correctly, report damage in one line, and change nothing."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import dbf

TOOL = None


def run(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, encoding="utf-8")


def snapshot(directory):
    return {name: open(os.path.join(directory, name), "rb").read() for name in sorted(os.listdir(directory))}


class MemotabDbTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="memotab-db-test-")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write_foxpro_table(self):
        """A FoxPro table with memo, Spanish text and a deleted record, by python-dbf."""
        table = dbf.Table(self.path("notas.dbf"),
                          "X1 N(3,0); Y1 N(3,0); CLRNOTA N(8,0); TEXTO M; FECHA D; HORA C(5); STATUS C(1); ACTIVADA L",
                          dbf_type="fp", codepage="cp1252")
        table.open(dbf.READ_WRITE)
        table.append((5, 5, 65535, "Café con leche\r\nmañana, ¿sí?", dbf.Date(2026, 12, 24), "09:05", ".", True))
        table.append((7, 3, 0, "borrada", None, "", "", False))
        table.append((90, 18, 16777215, "ñ" * 3000, None, "", "X", False))
        with table[1] as record:
            dbf.delete(record)
        table.close()
        return self.path("notas.dbf")

    def test_dump_reads_a_table_written_by_another_program(self):
        path = self.write_foxpro_table()
        before = snapshot(self.dir)
        result = run("dump", path)
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = [json.loads(line) for line in result.stdout.splitlines()]
        self.assertEqual(rows, [
            {"recno": 1, "deleted": False, "X1": 5, "Y1": 5, "CLRNOTA": 65535,
             "TEXTO": "Café con leche\r\nmañana, ¿sí?", "FECHA": "2026-12-24", "HORA": "09:05",
             "STATUS": ".", "ACTIVADA": True},
            {"recno": 2, "deleted": True, "X1": 7, "Y1": 3, "CLRNOTA": 0, "TEXTO": "borrada", "FECHA": None,
             "HORA": "", "STATUS": "", "ACTIVADA": False},
            {"recno": 3, "deleted": False, "X1": 90, "Y1": 18, "CLRNOTA": 16777215, "TEXTO": "ñ" * 3000,
             "FECHA": None, "HORA": "", "STATUS": "X", "ACTIVADA": False},
        ])
        self.assertEqual(list(rows[0].keys())[:3], ["recno", "deleted", "X1"])
        self.assertEqual(snapshot(self.dir), before)
        self.assertEqual(run("check", path).returncode, 0)

    def test_create_makes_an_empty_sound_note_table_and_never_overwrites(self):
        result = run("create", self.dir)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(os.listdir(self.dir)), ["MEMOTAB.DBF", "MEMOTAB.FPT"])
        table_path = self.path("MEMOTAB.DBF")
        self.assertEqual(run("check", table_path).returncode, 0)
        self.assertEqual(run("dump", table_path).stdout, "")

        table = dbf.Table(table_path)
        table.open(dbf.READ_ONLY)
        fields = {name: table.field_info(name) for name in table.field_names}
        table.close()
        self.assertEqual(list(fields), ["x1", "y1", "x2", "y2", "clrtexto", "clrnota", "texto", "fecha", "hora",
                                        "status", "activada"])
        self.assertEqual(fields["hora"].length, 5)
        self.assertEqual(fields["status"].length, 1)
        self.assertGreaterEqual(fields["clrnota"].length, 8)
        with open(table_path, "rb") as raw:
            header = raw.read(32)
        self.assertEqual(header[0], 0xF5)
        self.assertEqual(header[29], 0x03)

        before = snapshot(self.dir)
        again = run("create", self.dir)
        self.assertEqual(again.returncode, 1)
        self.assertEqual(snapshot(self.dir), before)

    def test_check_reports_damage_in_one_line_and_changes_nothing(self):
        path = self.write_foxpro_table()
        memo = self.path("notas.fpt")
        pristine = snapshot(self.dir)
        damages = {
            "header is truncated": lambda d, m: (d[:20], m),
            "version byte 0x07": lambda d, m: (b"\x07" + d[1:], m),
            "record count 9": lambda d, m: (d[:4] + (9).to_bytes(4, "little") + d[8:], m),
            "memo length": lambda d, m: (d, m[:-100]),
        }
        for words, damage in damages.items():
            with self.subTest(words):
                table_bytes, memo_bytes = damage(pristine["notas.dbf"], pristine["notas.fpt"])
                with open(path, "wb") as out:
                    out.write(table_bytes)
                with open(memo, "wb") as out:
                    out.write(memo_bytes)
                damaged = snapshot(self.dir)
                for command in ("check", "dump"):
                    result = run(command, path)
                    self.assertEqual(result.returncode, 1)
                    self.assertIn(words, result.stderr)
                    self.assertEqual(result.stderr.count("\n"), 1)
                self.assertEqual(snapshot(self.dir), damaged)

        os.remove(memo)
        result = run("check", path)
        self.assertEqual(result.returncode, 1)
        self.assertIn("memo file notas.fpt", result.stderr)

    def test_usage_errors(self):
        self.assertEqual(run().returncode, 2)
        self.assertEqual(run("frobnicate", self.dir).returncode, 2)
        self.assertEqual(run("check", self.path("nothing.dbf")).returncode, 1)


if __name__ == "__main__":
    TOOL = sys.argv.pop(1)
    unittest.main()
