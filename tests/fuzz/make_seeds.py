#!/usr/bin/python3
"""Writes seed inputs for table_fuzzer into DIR: table pairs made by memotab-db and by
python-dbf, each as two length bytes, the table file and the memo file."""
import os
import subprocess
import sys
import tempfile

import dbf


def seed(out_dir, name, table_path, memo_path):
    table = open(table_path, "rb").read()
    memo = open(memo_path, "rb").read() if memo_path else b""
    with open(os.path.join(out_dir, name), "wb") as out:
        out.write(len(table).to_bytes(2, "little") + table + memo)


def main(tool, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([tool, "create", work], check=True, capture_output=True)
        seed(out_dir, "empty-notes", os.path.join(work, "MEMOTAB.DBF"), os.path.join(work, "MEMOTAB.FPT"))
        table = dbf.Table(os.path.join(work, "notas.dbf"),
                          "X1 N(3,0); CLRNOTA N(8,0); TEXTO M; FECHA D; HORA C(5); STATUS C(1); ACTIVADA L",
                          dbf_type="fp", codepage="cp1252")
        table.open(dbf.READ_WRITE)
        table.append((5, 65535, "Café\r\nmañana", dbf.Date(2026, 12, 24), "09:05", ".", True))
        table.append((7, 0, "borrada", None, "", "", False))
        table.append((9, 255, "x" * 300, None, "", "X", False))
        with table[1] as record:
            dbf.delete(record)
        table.close()
        seed(out_dir, "foxpro-notes", os.path.join(work, "notas.dbf"), os.path.join(work, "notas.fpt"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
