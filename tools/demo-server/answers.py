# SPDX-License-Identifier: Apache-2.0
"""Answers of the demo validation server: where each sent kind is answered, and what it says.

Every answer is derived from the sent file's name and content only (plus the moment it is
answered, which shows in dates and times), so the same file always gets the same records.
Answers are Windows-1252 text with CR LF line ends, as the real server writes them.
"""

import re
import zlib
from dataclasses import dataclass
from datetime import datetime
from typing import Callable, List, Optional, Sequence, Tuple

import catalog

# Remote input folders of a demo office and the kinds each one accepts.
INPUT_FOLDERS = {"valin": "MCD", "pagin": "E", "sagarpain": "S"}
PAYMENT_ANSWER_FOLDER = "kroout"
SAGARPA_ANSWER_FOLDER = "sagarpaout"
DEMO_CURP = "ROPA750315HDFDRL07"


@dataclass(frozen=True)
class Sent:
    """A file uploaded into an input folder."""
    name: str
    data: bytes
    patente: str  # four digits
    at: datetime

    @property
    def seed(self) -> int:
        return zlib.crc32(self.name.encode("latin-1", "replace") + self.data)

    @property
    def stem(self) -> str:  # the name without its three-character julian day; the dot stays
        return self.name[:-3]

    @property
    def rest(self) -> str:  # the name without its kind letter
        return self.name[1:]


@dataclass(frozen=True)
class Answer:
    folder: str  # relative to the server root; "" is the accounts' home folder (the root)
    name: str
    text: str

    def encoded(self) -> bytes:
        return self.text.encode("cp1252", "replace")


# ---------------------------------------------------------------------------------------------
# Derived values


def pedimentos(sent: Sent, count: int) -> List[str]:
    """Seven-digit pedimento numbers: those the file holds first, then made up from its seed."""
    found: List[str] = []
    for match in re.finditer(rb"(?<![0-9])([0-9]{7})(?![0-9])", sent.data):
        number = match.group(1).decode("ascii")
        if number not in found:
            found.append(number)
        if len(found) == count:
            return found
    seed = sent.seed
    while len(found) < count:
        number = "%07d" % (6000000 + seed % 1000000)
        if number not in found:
            found.append(number)
        seed = seed * 1103515245 + 12345 & 0x7FFFFFFF
    return found


def pick(errors: Sequence, sent: Sent) -> list:
    """One to all of the kind's errors, starting at a place chosen by the file."""
    n = len(errors)
    start = sent.seed % n
    count = 1 + (sent.seed // n) % n
    return [errors[(start + k) % n] for k in range(count)]


def signature(*parts: str) -> str:
    return "%08X" % zlib.crc32("|".join(parts).encode("utf-8", "replace"))


def line_of_record(sent: Sent, record: int, fallback: int) -> int:
    """The 1-based line of the sent file that starts with the record number, if any."""
    prefix = str(record).encode("ascii") + b"|"
    for number, line in enumerate(sent.data.split(b"\n"), start=1):
        if line.startswith(prefix):
            return number
    return fallback


def crlf(lines: Sequence[str]) -> str:
    return "".join(line + "\r\n" for line in lines)


def stamp(at: datetime) -> str:
    return at.strftime("%d/%m/%Y %H:%M:%S")


def fixed(width: int, fields: Sequence[Tuple[int, str]]) -> str:
    """A line of the given width with each text placed at its 1-based position."""
    line = [" "] * width
    for position, text in fields:
        line[position - 1:position - 1 + len(text)] = list(text)
    return "".join(line)


# ---------------------------------------------------------------------------------------------
# Plain-text prevalidation reports (shown by the program exactly as stored)


def prevalidation_report(sent: Sent, title: str, findings: Sequence[str]) -> str:
    lines = [
        "PREVALIDADOR DE DEMOSTRACIÓN  -  " + title,
        "Archivo: %-16s Fecha: %s" % (sent.name, stamp(sent.at)),
        "Patente: %s   Tamaño: %d bytes" % (sent.patente, len(sent.data)),
        "-" * 70,
    ]
    if findings:
        lines.append("Observaciones de la prevalidación:")
        lines += ["  " + finding for finding in findings]
    else:
        lines.append("Sin observaciones.")
    lines += ["-" * 70, "El archivo fue turnado a validación.", ""]
    return crlf(lines)


# ---------------------------------------------------------------------------------------------
# M: SAAI M3 validation answer and its "k" prevalidation report


def saai_records(sent: Sent) -> List[Tuple[str, catalog.SaaiError, int]]:
    rejected = pedimentos(sent, 1)[0]
    errors = sorted(pick(catalog.SAAI_ERRORS, sent), key=lambda error: error.registro)
    return [(rejected, error, line_of_record(sent, error.registro, 12 + 7 * index))
            for index, error in enumerate(errors)]


def saai_answer(sent: Sent) -> str:
    rejected, accepted = pedimentos(sent, 2)
    lines = ["*** VALIDACIÓN SAAI M3  %s  %s ***" % (sent.name.upper(), stamp(sent.at))]
    for pedimento, error, line in saai_records(sent):
        lines.append("E%s%03d%05d%d%02d%02d" % (pedimento, error.registro, line, error.tipo,
                                               error.campo, error.numero))
    lines.append("F%s%s" % (accepted, signature(sent.name, accepted)))
    return crlf(lines)


def saai_prevalidation(sent: Sent) -> str:
    findings = ["Pedimento %s  registro %03d  línea %d: revisar el campo %d" %
                (pedimento, error.registro, line, error.campo)
                for pedimento, error, line in saai_records(sent)]
    return prevalidation_report(sent, "SAAI M3", findings)


# ---------------------------------------------------------------------------------------------
# C: cartas cupo validation answer


def carta_answer(sent: Sent) -> str:
    rejected, accepted = pedimentos(sent, 2)
    folio = "%05d" % (sent.seed % 90000 + 10000)
    lines = []
    for index, error in enumerate(pick(catalog.CARTA_ERRORS, sent)):
        lines.append("%d|%s|%d|%d|%d|%d|%d|" % (index + 1, folio, index + 1, index + 2,
                                                 error.clase, index + 3, error.clave))
    lines.append("200|%s|%s|%d|%s|" % (sent.patente, DEMO_CURP, int(folio) + 1,
                                       signature(sent.name, accepted)))
    return crlf(lines)


# ---------------------------------------------------------------------------------------------
# D: validation answer (".err") and prevalidation report (".erp")


def document_records(sent: Sent) -> List[Tuple[str, catalog.DocumentError, int]]:
    rejected = pedimentos(sent, 1)[0]
    errors = sorted(pick(catalog.DOCUMENT_ERRORS, sent), key=lambda error: error.registro)
    return [(rejected, error, line_of_record(sent, error.registro, 12 + 7 * index))
            for index, error in enumerate(errors)]


def document_answer(sent: Sent) -> str:
    rejected, accepted = pedimentos(sent, 2)
    lines = []
    for pedimento, error, line in document_records(sent):
        # A field-independent description (campo 0) still names a field in the answer.
        field = error.campo or 6
        lines.append("E%s%03d%04d%s%02d%02d" % (pedimento, error.registro, line, error.tipo,
                                               field, error.consecutivo))
        lines.append("")
    acuse = signature(sent.name, accepted)
    lines.append("F%s%s%s%s%05d%s" % (sent.patente, accepted, "3470", "01",
                                      sent.seed % 100000, acuse))
    return crlf(lines)


def document_prevalidation(sent: Sent) -> str:
    findings = ["Pedimento %s  registro %03d  línea %d: %s" %
                (pedimento, error.registro, line, error.descripcion)
                for pedimento, error, line in document_records(sent)]
    return prevalidation_report(sent, "DOCUMENTOS", findings)


# ---------------------------------------------------------------------------------------------
# E: electronic-payment answer ("a") and prevalidation report ("ke")


def payment_error(sent: Sent) -> int:
    numbers = sorted(catalog.PAYMENT_ERRORS)
    return numbers[sent.seed % len(numbers)]


def capture_line(sent: Sent, pedimento: str) -> str:
    return "%02d%s%s%07d" % (sent.at.year % 100, sent.patente, pedimento,
                             zlib.crc32(pedimento.encode()) % 10000000)


def payment_answer(sent: Sent) -> str:
    accepted, rejected = pedimentos(sent, 2)
    amount = "%011d" % (sent.seed % 5000000 * 100 + 150000)
    paid = fixed(125, [
        (1, sent.patente + "1"),
        (6, capture_line(sent, accepted)),
        (26, amount),
        (37, accepted),
        (44, "BANCO DE DEMOSTRACION 3470 0001"),
        (76, sent.at.strftime("%d/%m/%y")),
        (84, sent.at.strftime("%H:%M:%S")),
        (92, "%014d" % (sent.seed % 10**14)),
        (106, "SAT" + "%017d" % (zlib.crc32(accepted.encode()) * 7919 % 10**17)),
    ])
    refused = fixed(78, [
        (1, sent.patente + "2"),
        (6, capture_line(sent, rejected)),
        (26, amount),
        (37, rejected),
        (44, "BANCO DE DEMOSTRACION 3470 0001"),
        (76, "%03d" % payment_error(sent)),
    ])
    return crlf([paid, refused])


def payment_prevalidation(sent: Sent) -> str:
    accepted, rejected = pedimentos(sent, 2)
    findings = [
        "Pedimento %s: línea de captura %s turnada al banco" % (accepted,
                                                               capture_line(sent, accepted)),
        "Pedimento %s: %s" % (rejected, catalog.PAYMENT_ERRORS[payment_error(sent)]),
    ]
    return prevalidation_report(sent, "PAGO ELECTRÓNICO", findings)


# ---------------------------------------------------------------------------------------------
# S: SAGARPA answer ("x")


def sagarpa_answer(sent: Sent) -> str:
    pedimento = pedimentos(sent, 1)[0]
    errors = pick(catalog.SAGARPA_ERRORS, sent)
    operation = "OP%s%08d" % (sent.patente, sent.seed % 10**8)
    lines = ["R|%s|%s|%s|%s|RECHAZADO CON %d ERROR%s" % (
        sent.patente, operation, pedimento, sent.at.strftime("%d/%m/%Y"), len(errors),
        "" if len(errors) == 1 else "ES")]
    for index, error in enumerate(errors):
        lines.append("E|%d|%d|%d|%03d|" % (error.tipo, error.codigo, 2 + index, index + 1))
    return crlf(lines)


# ---------------------------------------------------------------------------------------------
# Routing: which answers a sent file gets, under which names, in which folders

Builder = Callable[[Sent], str]


def answer_plan(name: str) -> Optional[List[Tuple[str, str, Builder]]]:
    """(folder, answer name, builder) for each answer of a sent file; None if it has none."""
    kind = name[:1].upper()
    if len(name) < 6:
        return None
    stem, rest = name[:-3], name[1:]
    if kind == "M":
        folder = "ag" + name[1:5]
        return [(folder, "k" + rest, saai_prevalidation), (folder, stem + "err", saai_answer)]
    if kind == "C":
        return [("ag" + name[1:5], stem + "err", carta_answer)]
    if kind == "D":
        folder = "ag" + name[1:5]
        return [(folder, stem + "erp", document_prevalidation),
                (folder, stem + "err", document_answer)]
    if kind == "E":
        return [("", "ke" + name[1:5] + name[6:], payment_prevalidation),
                (PAYMENT_ANSWER_FOLDER, "a" + rest, payment_answer)]
    if kind == "S":
        return [(SAGARPA_ANSWER_FOLDER, "x" + rest, sagarpa_answer)]
    return None


def answers_for(sent: Sent) -> List[Answer]:
    plan = answer_plan(sent.name) or []
    return [Answer(folder, name, build(sent)) for folder, name, build in plan]
