#!/usr/bin/env python3
"""Builds SOLUC.DBF, the timetable of the example school, from its readable form soluc.csv.

The table is laid out the way the timetabling program stores it: dBase III with the texts in
Windows-1252 and DIA, HORA and SESIONES as numbers ('N'). A row with DIA 0 is a session the
program could not place.

Usage: make_soluc.py soluc.csv SOLUC.DBF
"""
import csv
import sys

import dbf

LAYOUT = ("ASIG C(4); PROF C(4); CODGRUPO C(4); TURNO C(1); NIVEL C(5); CURSO C(3); "
          "GRUPO C(1); AULA C(4); TAREA C(4); DIA N(2,0); HORA N(2,0); SESIONES N(2,0)")
TEXTS = ("ASIG", "PROF", "CODGRUPO", "TURNO", "NIVEL", "CURSO", "GRUPO", "AULA", "TAREA")
NUMBERS = ("DIA", "HORA", "SESIONES")


def main(csv_path, dbf_path):
    table = dbf.Table(dbf_path, LAYOUT, dbf_type="db3", codepage="cp1252")
    table.open(dbf.READ_WRITE)
    with open(csv_path, encoding="utf-8", newline="") as rows:
        for row in csv.DictReader(rows):
            table.append(tuple(row[name] for name in TEXTS) +
                         tuple(int(row[name]) for name in NUMBERS))
    table.close()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
