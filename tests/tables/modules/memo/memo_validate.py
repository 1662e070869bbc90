#!/usr/bin/python3
"""Memo tables through python3-dbf, an independent reader and writer of the engine's memo files.

  memo_validate.py read TABLE             each record's memo as hex of its CP850 bytes, a line each
  memo_validate.py write TABLE KIND HEX   a table of kind db3 or fp with ID N(4,0) and NOTE M,
                                          record i holding the memo on line i of the file HEX
"""
import sys

import dbf


def read(path):
    table = dbf.Table(path, codepage="cp850")
    table.open(dbf.READ_ONLY)
    for record in table:
        print((record.note or "").encode("cp850").hex())
    table.close()


def write(path, kind, hex_file):
    with open(hex_file) as lines:
        memos = [bytes.fromhex(line.strip()).decode("cp850") for line in lines]
    table = dbf.Table(path, "ID N(4,0); NOTE M", dbf_type=kind, codepage="cp850")
    table.open(dbf.READ_WRITE)
    for number, memo in enumerate(memos, 1):
        table.append((number, memo))
    table.close()


if __name__ == "__main__":
    if sys.argv[1] == "read":
        read(sys.argv[2])
    else:
        write(sys.argv[2], sys.argv[3], sys.argv[4])
