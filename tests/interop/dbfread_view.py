#!/usr/bin/python3
"""Prints a table as an independent reader (dbfread) sees it: one JSON object per record,
live records first and then deleted ones, each group in record order, with the same value
forms as `memotab-db dump` (texts trimmed on the right, dates as YYYY-MM-DD or null)."""
import json
import sys

from dbfread import DBF


def value(v):
    if v is None:
        return None
    if isinstance(v, str):
        return v.rstrip(" ")
    if hasattr(v, "isoformat"):
        return v.isoformat()
    if isinstance(v, float) and v.is_integer():
        return int(v)
    return v


def main(path):
    table = DBF(path, encoding="cp1252", char_decode_errors="strict", ignore_missing_memofile=False)
    for deleted, records in ((False, table), (True, table.deleted)):
        for record in records:
            row = {"deleted": deleted}
            row.update({name: value(v) for name, v in record.items()})
            print(json.dumps(row, ensure_ascii=False, sort_keys=True))


if __name__ == "__main__":
    main(sys.argv[1])
