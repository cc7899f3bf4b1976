#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""Demo validation server: an FTP server on 127.0.0.1 that behaves like the office's
validation server closely enough to demonstrate and test a complete exchange.

It serves the office account ("ag" + patente) and the update account on one folder tree,
answers every file uploaded into an input folder a few seconds later (see answers.py), and
publishes the update folder's files (see update_folder.py). Run it with /usr/bin/python3,
where python3-pyftpdlib is installed.
"""

import argparse
import logging
import os
import signal
import sys
from datetime import datetime
from pathlib import Path

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer  # noqa: E402
from pyftpdlib.handlers import FTPHandler  # noqa: E402
from pyftpdlib.servers import FTPServer  # noqa: E402

import answers  # noqa: E402
import update_folder  # noqa: E402

UPDATE_USER = "actualizador"
UPDATE_PASSWORD = "tivuro"
UPDATE_FOLDER = "update"
ALL_PERMISSIONS = "elradfmwMT"

log = logging.getLogger("demo-server")


def write_atomically(path: Path, data: bytes) -> None:
    """Write under a temporary name and rename, so a reader never sees half a file."""
    temporary = path.with_name("." + path.name + ".part")
    temporary.write_bytes(data)
    os.replace(temporary, path)


class OfficeAuthorizer(DummyAuthorizer):
    """Passwords are compared without regard to letter case: the office program lower-cases the
    stored password before it logs in, so "--password CLAVE" goes with "init --ftp-password
    CLAVE". Also accepts the office password published in the update folder, once there is one."""

    def __init__(self, office_user: str, new_password):
        super().__init__()
        self.office_user = office_user
        self.new_password = new_password

    def validate_authentication(self, username, password, handler):
        accepted = [self.user_table[username]["pwd"]] if self.has_user(username) else []
        if username == self.office_user and self.new_password is not None:
            accepted.append(self.new_password)
        if not any(password.lower() == known.lower() for known in accepted):
            log.info("login refused for %r", username)
            raise AuthenticationFailed("Authentication failed.")


class Answerer:
    """Schedules and writes the answers to files uploaded into the input folders."""

    def __init__(self, root: Path, patente: str, delay: float):
        self.root = root
        self.patente = patente
        self.delay = delay

    def kind_folder(self, path: Path):
        for folder, kinds in answers.INPUT_FOLDERS.items():
            if path.parent == self.root / folder:
                return folder, kinds
        return None, ""

    def received(self, ioloop, path: Path) -> None:
        folder, kinds = self.kind_folder(path)
        if folder is None:
            log.info("received %s (not an input folder: no answer)", path.relative_to(self.root))
            return
        data = path.read_bytes()
        log.info("received /%s/%s (%d bytes)", folder, path.name, len(data))
        plan = answers.answer_plan(path.name)
        if plan is None or path.name[:1].upper() not in kinds:
            log.info("  %s is not a kind that /%s answers: no answer", path.name, folder)
            return
        # A file sent again must not be answered by what the server said last time.
        for answer_folder, name, _ in plan:
            stale = self.root / answer_folder / name
            if stale.exists():
                stale.unlink()
                log.info("  removed the earlier answer %s", self.remote(answer_folder, name))
        ioloop.call_later(self.delay, self.answer, path.name, data)

    def answer(self, name: str, data: bytes) -> None:
        try:
            self.write_answers(name, data)
        except Exception:  # logged; the server goes on serving
            log.exception("could not answer %s", name)

    def write_answers(self, name: str, data: bytes) -> None:
        patente = name[1:5] if name[1:5].isdigit() else self.patente
        sent = answers.Sent(name=name, data=data, patente=patente, at=datetime.now())
        for answer in answers.answers_for(sent):
            folder = self.root / answer.folder
            folder.mkdir(parents=True, exist_ok=True)
            write_atomically(folder / answer.name, answer.encoded())
            log.info("  answered %s with %s", name, self.remote(answer.folder, answer.name))

    @staticmethod
    def remote(folder: str, name: str) -> str:
        return "/" + (folder + "/" if folder else "") + name


def make_handler(authorizer, answerer: Answerer):
    class DemoHandler(FTPHandler):
        def arrived(self, file):
            try:
                answerer.received(self.ioloop, Path(file))
            except Exception:  # an odd upload must not take the server down
                log.exception("could not answer %s", file)

        def on_file_received(self, file):
            if Path(file).name.startswith("."):
                # Stored under a temporary name: answered once renamed to its own.
                log.info("stored %s under a temporary name", Path(file).name)
                return
            self.arrived(file)

        def ftp_RNTO(self, path):
            renamed = super().ftp_RNTO(path)  # (source, destination) once done
            if renamed and os.path.isfile(path) and not Path(path).name.startswith("."):
                self.arrived(path)
            return renamed

        def on_incomplete_file_received(self, file):
            log.info("upload of %s was cut short: no answer", file)

        def decode(self, data):
            # The office program sends its user and password as Windows-1252 bytes.
            return data.decode("cp1252", self.unicode_errors)

    DemoHandler.authorizer = authorizer
    DemoHandler.banner = "Servidor de validación de demostración"
    DemoHandler.auth_failed_timeout = 0
    return DemoHandler


def prepare_root(root: Path, office_user: str, settings) -> None:
    for folder in list(answers.INPUT_FOLDERS) + [UPDATE_FOLDER, office_user,
                                                  answers.PAYMENT_ANSWER_FOLDER,
                                                  answers.SAGARPA_ANSWER_FOLDER]:
        (root / folder).mkdir(parents=True, exist_ok=True)
    for name, data in update_folder.update_files(settings, datetime.now()).items():
        write_atomically(root / UPDATE_FOLDER / name, data)
        log.info("published /%s/%s (%d bytes)", UPDATE_FOLDER, name, len(data))


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, type=Path, help="the server's folder tree")
    parser.add_argument("--port", type=int, default=0, help="listening port (0: any free one)")
    parser.add_argument("--port-file", type=Path, help="write the chosen port into this file")
    parser.add_argument("--patente", type=int, default=15, help="the office's patente")
    parser.add_argument("--password", default="demo", help="the office account's password")
    parser.add_argument("--answer-delay", type=float, default=3.0, metavar="SECONDS",
                        help="seconds between an upload and its answers (default 3)")
    parser.add_argument("--log", type=Path, help="log file (default: standard output)")
    parser.add_argument("--payment-password", default="pago123")
    parser.add_argument("--payment-flag", default="N", choices=["N", "S"],
                        help="S makes every sending run ask for the payment password")
    parser.add_argument("--catalog-version", type=int, default=2)
    parser.add_argument("--parameter-version", type=int, default=1)
    parser.add_argument("--business-name", default=update_folder.UpdateSettings.business_name,
                        help="the business name the parameter file schedules for next week")
    parser.add_argument("--new-ftp-password", metavar="PASS",
                        help="publish Cpas<patente>.rgs with this office password (the server "
                             "then accepts it as well)")
    arguments = parser.parse_args(argv)
    if not 0 <= arguments.patente <= 9999:
        parser.error("--patente must have at most four digits")
    if not 0 <= arguments.catalog_version <= 9999 or not 0 <= arguments.parameter_version <= 999:
        parser.error("--catalog-version has at most four digits, --parameter-version three")
    if arguments.answer_delay < 0:
        parser.error("--answer-delay cannot be negative")
    return arguments


def configure_logging(path) -> None:
    handler = logging.FileHandler(path, encoding="utf-8") if path else \
        logging.StreamHandler(sys.stdout)
    handler.setFormatter(logging.Formatter("%(asctime)s %(message)s", "%H:%M:%S"))
    for name in ("demo-server", "pyftpdlib"):
        logger = logging.getLogger(name)
        logger.addHandler(handler)
        logger.setLevel(logging.INFO)
        logger.propagate = False


def stop_on_signal(signum, frame):
    raise SystemExit(0)


def main(argv=None) -> int:
    arguments = parse_arguments(argv)
    configure_logging(arguments.log)
    patente = "%04d" % arguments.patente
    office_user = "ag" + patente
    root = arguments.root.resolve()
    settings = update_folder.UpdateSettings(
        patente=patente, payment_password=arguments.payment_password,
        payment_flag=arguments.payment_flag, catalog_version=arguments.catalog_version,
        parameter_version=arguments.parameter_version, business_name=arguments.business_name,
        new_ftp_password=arguments.new_ftp_password)
    try:
        prepare_root(root, office_user, settings)
    except ValueError as error:  # a text the scrambling cannot carry
        print("demo_server: %s" % error, file=sys.stderr)
        return 2

    authorizer = OfficeAuthorizer(office_user, arguments.new_ftp_password)
    authorizer.add_user(office_user, arguments.password, str(root), perm=ALL_PERMISSIONS)
    authorizer.add_user(UPDATE_USER, UPDATE_PASSWORD, str(root), perm=ALL_PERMISSIONS)
    handler = make_handler(authorizer, Answerer(root, patente, arguments.answer_delay))
    server = FTPServer(("127.0.0.1", arguments.port), handler)
    port = server.address[1]
    log.info("listening on 127.0.0.1:%d, root %s, office account %s, answers after %g s",
             port, root, office_user, arguments.answer_delay)
    if arguments.port_file:
        write_atomically(arguments.port_file.resolve(), b"%d\n" % port)

    # Also SIGINT: a shell starts background jobs with it ignored, and scripts stop us with it.
    for number in (signal.SIGTERM, signal.SIGINT):
        signal.signal(number, stop_on_signal)
    server.serve_forever(timeout=1.0, handle_exit=True)
    log.info("stopped")
    return 0


if __name__ == "__main__":
    sys.exit(main())
