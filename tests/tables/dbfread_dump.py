"""Prints dBase tables as dbfread sees them: fields, language driver and live rows."""
import sys

import dbfread

sys.stdout.reconfigure(encoding="utf-8")
for path in sys.argv[1:]:
    table = dbfread.DBF(path, encoding="cp1252", char_decode_errors="strict")
    print("TABLE", table.name.upper(), "DRIVER", table.header.language_driver)
    for field in table.fields:
        print("FIELD", field.name, field.type, field.length, field.decimal_count)
    for record in table:
        print("ROW", "|".join(str(value) for value in record.values()))
