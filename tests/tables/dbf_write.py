"""Writes two tables with the dbf module, as other programs would: dBase III and Visual FoxPro."""
import os
import sys

import dbf

folder = sys.argv[1]

db3 = dbf.Table(os.path.join(folder, "DB3.DBF"),
                "COD C(6); DIA N(3,0); HORA N(6,2); ACTIVO L; FECHA D",
                dbf_type="db3", codepage="cp1252")
db3.open(mode=dbf.READ_WRITE)
db3.append(("AÑ€", 3, 1.5, True, dbf.Date(2024, 3, 15)))
db3.append(("BORRA", 9, 9, False, None))
db3.append(("ñá Ç", None, None, None, None))
dbf.delete(db3[1])
db3.close()

vfp = dbf.Table(os.path.join(folder, "VFP.DBF"), "cod C(4); num I; dia N(5,1)",
                dbf_type="vfp", codepage="cp1252")
vfp.open(mode=dbf.READ_WRITE)
vfp.append(("Ü€", -2, 2.5))
vfp.append(("", 70000, None))
vfp.close()
