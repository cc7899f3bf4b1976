# SPDX-License-Identifier: Apache-2.0
"""Files of the server's update folder: bulletin, payment password, catalogue package,
parameter changes and (optionally) a new office password.

Texts that the office reads scrambled are scrambled here the way the office unscrambles them:
the byte at 1-based position i (Windows-1252 code c) becomes c + i + 15.
"""

import os
import sqlite3
import tempfile
import zlib
from dataclasses import dataclass
from datetime import date, datetime, timedelta
from pathlib import Path
from typing import Dict, Optional

import catalog


def codifica(text: str) -> bytes:
    units = text.encode("cp1252")
    if len(units) > 254:
        raise ValueError("texto demasiado largo para codificar: %r" % text)
    shifted = [code + position + 15 for position, code in enumerate(units, start=1)]
    if any(code > 255 for code in shifted):
        raise ValueError("el texto %r no se puede codificar" % text)
    return bytes(shifted)


def decodifica(units: bytes) -> str:
    return bytes(code - position - 15 for position, code in enumerate(units, start=1)).decode(
        "cp1252")


def scrambled_field(text: str) -> bytes:
    """One "|"-ended field of a scrambled line; a scrambled byte may not look like a separator."""
    units = codifica(text)
    if b"|" in units:
        raise ValueError("el texto %r codificado contiene '|'" % text)
    return units + b"|"


def short_date(day: date) -> str:
    return day.strftime("%d/%m/%Y")


@dataclass
class UpdateSettings:
    patente: str  # four digits
    payment_password: str = "pago123"
    payment_flag: str = "N"
    catalog_version: int = 2
    parameter_version: int = 1
    business_name: str = "AGENCIA ADUANAL DEMOSTRACION, S.C."
    new_ftp_password: Optional[str] = None  # publishes "Cpas" + patente + ".rgs" when set


# ---------------------------------------------------------------------------------------------
# Catalogue package

TABLES = {
    "ERRORESM": "NUMERO INTEGER, REG INTEGER, CAMPO INTEGER, TIPO_ERROR INTEGER, "
                "NUM_ERROR INTEGER, DESCRIPCION TEXT",
    "ERRORESB": "NUM_ERROR INTEGER, DESCRIPCION TEXT",
    "ERRORESS": "NUMERO INTEGER, TIPO INTEGER, CODIGO INTEGER, DESCRIPCION TEXT",
    "ERRORESA": "NUM_ERROR INTEGER, DESCRIPCION TEXT",
    "ERRORESC": "TIPO_ERROR INTEGER, NUM_ERROR INTEGER, DESCRIPCION TEXT, SOLUCION TEXT",
    "ERRORESD": "REG INTEGER, CAMPO INTEGER, TIPO_ERROR TEXT, CONSECUTIVO TEXT, "
                "DESCRIPCION TEXT, SOLUCION TEXT",
    "INFORMACION": "CODIGO INTEGER, TEXTO TEXT",
}


def catalog_rows() -> Dict[str, list]:
    """Exactly the codes the demo answers use (no demo answer uses ERRORESA)."""
    return {
        "ERRORESM": [(number, e.registro, e.campo, e.tipo, e.numero, e.descripcion)
                     for number, e in enumerate(catalog.SAAI_ERRORS, start=1)],
        "ERRORESB": sorted(catalog.PAYMENT_ERRORS.items()),
        "ERRORESS": [(number, e.tipo, e.codigo, e.descripcion)
                     for number, e in enumerate(catalog.SAGARPA_ERRORS, start=1)],
        "ERRORESA": [],
        "ERRORESC": [(e.clase, e.clave, e.descripcion, e.solucion) for e in catalog.CARTA_ERRORS],
        "ERRORESD": [(e.registro, e.campo, e.tipo, str(e.consecutivo), e.descripcion, e.solucion)
                     for e in catalog.DOCUMENT_ERRORS],
        "INFORMACION": sorted(catalog.BULLETIN_TEXTS.items()),
    }


def catalog_database() -> bytes:
    """The bytes of an SQLite file holding the seven catalogue tables."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "catalogo.db")
        connection = sqlite3.connect(path)
        try:
            for table, rows in catalog_rows().items():
                connection.execute("CREATE TABLE %s (%s)" % (table, TABLES[table]))
                if rows:
                    marks = ",".join("?" * len(rows[0]))
                    connection.executemany("INSERT INTO %s VALUES (%s)" % (table, marks), rows)
            connection.commit()
        finally:
            connection.close()
        return Path(path).read_bytes()


# ---------------------------------------------------------------------------------------------
# The folder's files


def update_files(settings: UpdateSettings, now: datetime) -> Dict[str, bytes]:
    """Name -> bytes of every file the update folder holds."""
    patente = settings.patente
    version = "%04d" % settings.catalog_version
    bulletin = "%s|%s|%s|" % (short_date(now.date()), now.strftime("%H:%M"),
                              "|".join(str(code) for code in sorted(catalog.BULLETIN_TEXTS)))
    change = (scrambled_field("1") + scrambled_field(settings.business_name) +
              scrambled_field(short_date(now.date() + timedelta(days=7))))
    files = {
        "InfoKRO.txt": bulletin.encode("cp1252") + b"\r\n",
        "cfps%s.rgs" % patente: settings.payment_flag.encode("cp1252") +
                                codifica(settings.payment_password) + b"\r\n",
        "revact.txt": version.encode("ascii") + b"\r\n",
        "ACTE%s.mdb.mz" % version: zlib.compress(catalog_database()),
        "revactp.txt": b"%d\r\n" % settings.parameter_version,
        "Actpm%03d.act" % settings.parameter_version: change + b"\r\n",
    }
    if settings.new_ftp_password is not None:
        files["Cpas%s.rgs" % patente] = (scrambled_field(settings.new_ftp_password) +
                                         scrambled_field(settings.new_ftp_password) +
                                         scrambled_field(short_date(now.date())) + b"\r\n")
    return files
