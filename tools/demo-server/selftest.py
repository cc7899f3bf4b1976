#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""Self-test of the demo validation server: starts it on a free port, sends files as the
office would, and checks the answers, the update folder and a clean stop.

Run: /usr/bin/python3 tools/demo-server/selftest.py   (about 5 seconds)
"""

import datetime
import ftplib
import io
import os
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
import unittest
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import catalog  # noqa: E402
import update_folder  # noqa: E402

# pyftpdlib is installed for the system interpreter.
SERVER_PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
PASSWORD = "clave15"
DELAY = 0.5
M_FILE = b"500|1|3912|6001234|\r\n501|3912|6001234|RFC|\r\n551|3912|6001234|\r\n"
SEVEN_TABLES = {"ERRORESM", "ERRORESB", "ERRORESS", "ERRORESA", "ERRORESC", "ERRORESD",
                "INFORMACION"}


def wait_for(predicate, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.05)
    return predicate()


class DemoServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.started = datetime.date.today()
        cls.folder = tempfile.TemporaryDirectory()
        base = Path(cls.folder.name)
        cls.root = base / "root"
        port_file = base / "port"
        cls.log = base / "server.log"
        cls.process = subprocess.Popen(
            [SERVER_PYTHON, str(HERE / "demo_server.py"), "--root", str(cls.root), "--port", "0",
             "--port-file", str(port_file), "--patente", "15", "--password", PASSWORD,
             "--answer-delay", str(DELAY), "--log", str(cls.log)])
        if not wait_for(port_file.exists, 10):
            cls.process.kill()
            raise RuntimeError("the demo server did not write its port")
        cls.port = int(port_file.read_text())

    @classmethod
    def tearDownClass(cls):
        if cls.process.poll() is None:
            cls.process.kill()
            cls.process.wait()
        cls.folder.cleanup()

    def session(self, user="ag0015", password=PASSWORD):
        ftp = ftplib.FTP()
        self.addCleanup(ftp.close)
        ftp.connect("127.0.0.1", self.port, timeout=10)
        ftp.login(user, password)
        return ftp

    def download(self, ftp, path):
        buffer = io.BytesIO()
        try:
            ftp.retrbinary("RETR " + path, buffer.write)
        except ftplib.error_perm:
            return None
        return buffer.getvalue()

    def package(self):
        """The catalogue package, inflated into an SQLite file and opened."""
        ftp = self.session("actualizador", "tivuro")
        database = Path(self.folder.name) / ("ACTE%d.mdb" % time.monotonic_ns())
        database.write_bytes(zlib.decompress(self.download(ftp, "/update/ACTE0002.mdb.mz")))
        connection = sqlite3.connect(str(database))
        self.addCleanup(connection.close)
        return connection

    def await_answer(self, ftp, path):
        answer = []
        wait_for(lambda: answer.append(self.download(ftp, path)) or answer[-1], 10)
        self.assertTrue(answer[-1], "no answer at " + path)
        return answer[-1]

    def test_m_file_gets_prevalidation_and_validation_answers(self):
        ftp = self.session()
        ftp.storbinary("STOR /valin/M0015001.341", io.BytesIO(M_FILE))
        self.assertIsNone(self.download(ftp, "/ag0015/M0015001.err"), "answered before the delay")
        report = self.await_answer(ftp, "/ag0015/k0015001.341").decode("cp1252")
        answer = self.await_answer(ftp, "/ag0015/M0015001.err").decode("cp1252")

        self.assertIn("M0015001.341", report)
        lines = answer.split("\r\n")
        self.assertEqual(lines[-1], "", "every line ends with CR LF")
        self.assertNotIn("\n", "".join(lines), "no bare line feed")
        errors = [line for line in lines if line.startswith("E")]
        signatures = [line for line in lines if line.startswith("F")]
        self.assertTrue(errors)
        self.assertEqual(len(signatures), 1)
        package = self.package()
        for line in errors:
            self.assertEqual(len(line), 21, line)
            self.assertEqual(line[1:8], "6001234", "pedimento taken from the file")
            tipo, numero = int(line[16]), int(line[19:21])
            registro, campo = int(line[8:11]), int(line[17:19])
            row = package.execute("select DESCRIPCION from ERRORESM where TIPO_ERROR=? and "
                                  "NUM_ERROR=? and REG=? and CAMPO=?",
                                  (tipo, numero, registro, campo)).fetchone()
            self.assertIsNotNone(row, "no catalogue row for " + line)
        self.assertRegex(signatures[0], r"^F[0-9]{7}[0-9A-F]{8}$")

    def test_every_kind_is_answered_under_its_names(self):
        ftp = self.session()
        sent = {
            "/valin/C0015002.341": ["/ag0015/C0015002.err"],
            "/valin/D0015002.341": ["/ag0015/D0015002.erp", "/ag0015/D0015002.err"],
            "/pagin/E0015002.341": ["/ke001502.341", "/kroout/a0015002.341"],
            "/sagarpain/S0015002.341": ["/sagarpaout/x0015002.341"],
        }
        for path in sent:
            ftp.storbinary("STOR " + path, io.BytesIO(M_FILE))
        got = {answer: self.await_answer(ftp, answer).decode("cp1252")
               for answers in sent.values() for answer in answers}

        carta = got["/ag0015/C0015002.err"].split("\r\n")
        self.assertRegex(carta[-2], r"^200\|0015\|[A-Z0-9]{18}\|[0-9]+\|[0-9A-F]{8}\|$")
        claves = {e.clave for e in catalog.CARTA_ERRORS}
        for line in carta[:-2]:
            fields = line.split("|")
            self.assertEqual(len(fields), 8, line)
            self.assertIn(int(fields[6]), claves)

        document = [line for line in got["/ag0015/D0015002.err"].split("\r\n") if line]
        self.assertEqual(len(document[-1]), 31)
        self.assertTrue(document[-1].startswith("F0015"))
        for line in document[:-1]:
            self.assertEqual(len(line), 20, line)

        paid, refused = got["/kroout/a0015002.341"].split("\r\n")[:2]
        self.assertGreater(len(paid), 78)
        self.assertLessEqual(len(refused), 78)
        self.assertEqual(paid[36:43], "6001234")
        self.assertIn(int(refused[75:78]), catalog.PAYMENT_ERRORS)

        sagarpa = got["/sagarpaout/x0015002.341"].split("\r\n")
        self.assertTrue(sagarpa[0].startswith("R|0015|OP"))
        codes = {(e.tipo, e.codigo) for e in catalog.SAGARPA_ERRORS}
        for line in filter(None, sagarpa[1:]):
            fields = line.split("|")
            self.assertEqual(fields[0], "E")
            self.assertIn((int(fields[1]), int(fields[2])), codes)

    def test_sending_again_withdraws_the_earlier_answer_until_the_new_one_is_written(self):
        ftp = self.session()
        ftp.storbinary("STOR /valin/C0015003.341", io.BytesIO(b"first"))
        first = self.await_answer(ftp, "/ag0015/C0015003.err")
        ftp.storbinary("STOR /valin/C0015003.341", io.BytesIO(M_FILE))
        self.assertIsNone(self.download(ftp, "/ag0015/C0015003.err"))
        second = self.await_answer(ftp, "/ag0015/C0015003.err")
        self.assertNotEqual(first, second)

    def test_unknown_kind_gets_no_answer(self):
        ftp = self.session()
        ftp.storbinary("STOR /valin/T0015001.341", io.BytesIO(M_FILE))
        ftp.storbinary("STOR /pagin/M0015009.341", io.BytesIO(M_FILE))
        # Answers are written in upload order, so once a later file is answered the two
        # above would have been too.
        ftp.storbinary("STOR /valin/C0015009.341", io.BytesIO(M_FILE))
        self.await_answer(ftp, "/ag0015/C0015009.err")
        self.assertIsNone(self.download(ftp, "/ag0015/T0015001.err"))
        self.assertIsNone(self.download(ftp, "/ag0015/M0015009.err"))
        self.assertEqual(self.process.poll(), None, "the server is still up")

    def test_wrong_password_is_refused(self):
        with self.assertRaises(ftplib.error_perm):
            self.session(password="otra")

    def test_update_folder(self):
        ftp = self.session("actualizador", "tivuro")
        payment = self.download(ftp, "/update/cfps0015.rgs")
        self.assertTrue(payment.endswith(b"\r\n"))
        self.assertEqual(payment[:1], b"N")
        self.assertEqual(update_folder.decodifica(payment[1:-2]), "pago123")

        self.assertEqual(self.download(ftp, "/update/revact.txt"), b"0002\r\n")
        connection = self.package()
        tables = {row[0] for row in connection.execute(
            "select name from sqlite_master where type='table'")}
        self.assertEqual(tables, SEVEN_TABLES)
        texts = dict(connection.execute("select CODIGO, TEXTO from INFORMACION"))
        self.assertEqual(set(texts), {7, 12})
        self.assertEqual(connection.execute(
            "select DESCRIPCION from ERRORESD where TIPO_ERROR='1' and CONSECUTIVO='5'").fetchone(),
            (catalog.DOCUMENT_ERRORS[0].descripcion,))

        bulletin = self.download(ftp, "/update/InfoKRO.txt").decode("cp1252")
        self.assertRegex(bulletin, r"^\d\d/\d\d/\d{4}\|\d\d:\d\d\|7\|12\|\r\n$")

        self.assertEqual(self.download(ftp, "/update/revactp.txt"), b"1\r\n")
        change = self.download(ftp, "/update/Actpm001.act")
        fields = change[:-2].split(b"|")
        self.assertEqual(len(fields), 4)
        self.assertEqual(update_folder.decodifica(fields[0]), "1")
        self.assertEqual(update_folder.decodifica(fields[1]),
                         update_folder.UpdateSettings.business_name)
        week = datetime.timedelta(days=7)
        in_a_week = {(day + week).strftime("%d/%m/%Y")
                     for day in (self.started, datetime.date.today())}
        self.assertIn(update_folder.decodifica(fields[2]), in_a_week)
        self.assertIsNone(self.download(ftp, "/update/Cpas0015.rgs"), "published by default")

    def test_zz_sigterm_stops_the_server_cleanly(self):
        self.process.send_signal(signal.SIGTERM)
        self.assertEqual(self.process.wait(timeout=10), 0)
        self.assertIn("stopped", self.log.read_text())


class ScramblingTest(unittest.TestCase):
    def test_codifica_shifts_by_position(self):
        self.assertEqual(update_folder.codifica("abc"), b"qsu")
        self.assertEqual(update_folder.decodifica(update_folder.codifica("pago123")), "pago123")
        self.assertEqual(update_folder.codifica(""), b"")

    def test_texts_that_would_scramble_into_a_separator_are_refused(self):
        with self.assertRaises(ValueError):
            update_folder.scrambled_field("AGENCIA ADUANAL DE DEMOSTRACION")
        with self.assertRaises(ValueError):
            update_folder.codifica("\xff")


if __name__ == "__main__":
    unittest.main(verbosity=2)
