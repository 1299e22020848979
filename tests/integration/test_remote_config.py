"""Worker A's three documents from a local content server: the C++ cases run
in model_documents_served.exe under Wine, one per process; this side serves
the documents (switching faults on per case) and checks which requests
reached the content server and what the report receiver got."""

import json
import os
import subprocess
import sys
import tempfile
import threading
import unittest

from orvtest import certs
from orvtest.receivers import IDENTITY_MEMBERS, ReportReceiver
from orvtest.server import LocalServer, Response
from orvtest.wine import WINERUN, Scenario

PROGRAM = "model_documents_served.exe"
PLAYER_PATH = "/player_files/en/kavora"
CHANNEL_PATH = "/player_files/openidconfig/12345.data"
CUSTOMER_PATH = "/player_files/en/kavoraex"
DOCUMENT_PATHS = (PLAYER_PATH, CHANNEL_PATH, CUSTOMER_PATH)
# What the system client (WinINet) sends with every document request; libcurl sends none.
SYSTEM_CLIENT_TYPE = "application/x-www-form-urlencoded"

# The C++ side expects exactly these values.
PLAYER = {
    "mnq4": {"url": "http://cdn.test/ov4.exe"},
    "mnq64": {"url": "http://cdn.test/ov64.exe"},
    "mnq9": {"url": "http://cdn.test/ov9.exe"},
    "mnq": {"url": "http://cdn.test/ov3.exe"},
}
CHANNEL = {
    "result": [
        {"app_download_url": "http://cdn.test/one.xapk", "app_package_name": "com.example.one",
         "gamename": "Café One", "gameid": "101", "xapk": "1", "from_appstore": "0"},
        {"gamename": "no address, no id", "app_icon": "http://cdn.test/x.ico"},
        "not a record",
        {"gameid": "202", "from_appstore": "1"},
    ],
    "title": "Café Channel",
    "ad": 0,
    "root": True,
    "shortcutname": "..\\..\\Startup\\evil",
}
CUSTOMER = {
    "en": {"installError": "Install failed", "customerLink": "http://help.test/en"},
    "jp": {"installError": "インストール失敗", "customerLink": "http://help.test/jp"},
}


def encoded(document) -> bytes:
    return json.dumps(document, ensure_ascii=False).encode("utf-8")


def windows_path(host_path: str) -> str:
    return "Z:" + os.path.abspath(host_path).replace("/", "\\")


def serve_documents(srv: LocalServer) -> None:
    for path, document in zip(DOCUMENT_PATHS, (PLAYER, CHANNEL, CUSTOMER)):
        srv.route(path, encoded(document), headers={"Content-Type": "application/json"})


def refuse_system_client(srv: LocalServer) -> None:
    """Every document answers 503 to the system client and 200 to libcurl."""
    for path, document in zip(DOCUMENT_PATHS, (PLAYER, CHANNEL, CUSTOMER)):
        body = encoded(document)
        srv.route(path, handler=lambda rec, body=body: Response(503, b"busy")
                  if rec.headers.get("content-type") == SYSTEM_CLIENT_TYPE else Response(200, body))


class RemoteConfig(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.cert_dir = certs.default_folder()
        cls.ca = certs.ensure(cls.cert_dir)["ca"]
        cls.scenario = Scenario("remote-config").__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.scenario.__exit__(None, None, None)

    def server(self, tls=None) -> LocalServer:
        srv = LocalServer(tls=tls, cert_dir=self.cert_dir).start()
        self.addCleanup(srv.stop)
        return srv

    def reports(self):
        srv = self.server()
        receiver = ReportReceiver(srv)
        self.addCleanup(receiver.release)
        return srv, receiver

    def run_case(self, case: str, content: LocalServer, report: LocalServer = None) -> None:
        """Runs one C++ case; a hang fails through the time-out."""
        env = {"ORVANE_TEST_HOST_CONTENT": content.url("").rstrip("/"),
               "ORVANE_TEST_HOST_REPORT": (report or content).url("").rstrip("/"),
               "ORVANE_TEST_CA_FILE": windows_path(self.ca)}
        # A file, not a pipe: the prefix's wineserver would hold a pipe open.
        with tempfile.TemporaryFile() as output:
            proc = subprocess.run(
                [WINERUN, Scenario.exe(PROGRAM), f"--gtest_filter=WorkerA.{case}"], env=self.scenario.env(**env),
                stdout=output, stderr=subprocess.STDOUT, timeout=240)
            output.seek(0)
            out = output.read().decode(errors="replace")
        self.assertEqual(proc.returncode, 0, out[-6000:])
        self.assertIn("[  PASSED  ] 1 test", out)

    def requests(self, srv: LocalServer, path: str):
        return [r for r in srv.requests if r.path == path]

    # --- the documents arrive ------------------------------------------------
    def test_all_three_documents_through_the_system_client(self):
        srv = self.server()
        serve_documents(srv)
        self.run_case("ReadsAllThreeDocumentsThroughTheSystemClient", srv)
        for path in DOCUMENT_PATHS:
            [rec] = self.requests(srv, path)
            self.assertEqual((rec.method, rec.headers.get("content-type")), ("GET", SYSTEM_CLIENT_TYPE), path)
        self.assertEqual(len(srv.requests), 3)

    def test_libcurl_takes_over_when_the_system_client_is_refused(self):
        srv = self.server(tls="localhost")
        refuse_system_client(srv)
        self.run_case("FallsBackToLibcurlWhenTheSystemClientFails", srv)
        for path in DOCUMENT_PATHS:
            kinds = [r.headers.get("content-type") for r in self.requests(srv, path)]
            self.assertEqual(kinds, [SYSTEM_CLIENT_TYPE, None], path)

    def test_a_game_from_the_command_line_fetches_only_the_player_document(self):
        srv = self.server()
        serve_documents(srv)
        self.run_case("AGameFromTheCommandLineSkipsTheChannelDocuments", srv)
        self.assertEqual([r.path for r in srv.requests], [PLAYER_PATH])

    def test_init_starts_worker_a(self):
        srv = self.server()
        serve_documents(srv)
        self.run_case("InitRunsItOnItsOwnThread", srv)
        self.assertEqual(len(self.requests(srv, PLAYER_PATH)), 1)
        self.assertEqual(len(self.requests(srv, CHANNEL_PATH)), 1)

    def test_a_shutdown_during_a_fetch_starts_no_fall_back_and_reports_nothing(self):
        srv = self.server()
        serve_documents(srv)
        arrived = threading.Event()
        # Long enough to be under way for a minute; its size does not matter,
        # it is never read whole.
        player = encoded(PLAYER)[:-1] + b', "pad": "' + b"x" * (1 << 20) + b'"}'

        def slow_player(_rec):
            arrived.set()
            return Response(200, player)

        srv.route(PLAYER_PATH, handler=slow_player)
        srv.fault(PLAYER_PATH, trickle=(16384, 0.1))
        srv.route("/_arrived", handler=lambda _rec: Response(200 if arrived.is_set() else 404, b""))
        report_srv, receiver = self.reports()
        self.run_case("AShutdownDuringAFetchEndsItQuietly", srv, report_srv)
        documents = [r for r in srv.requests if r.path in DOCUMENT_PATHS]
        self.assertEqual([(r.path, r.headers.get("content-type")) for r in documents],
                         [(PLAYER_PATH, SYSTEM_CLIENT_TYPE)])
        events = [e["eventKey"] for batch in receiver.accepted for e in batch.events]
        self.assertNotIn("download_address_fail", events)

    # --- bad documents ---------------------------------------------------------
    def test_a_bad_player_document_is_reported_once(self):
        huge = encoded(PLAYER)[:-1] + b', "pad": "' + b"x" * (2 << 20) + b'"}'
        variants = {
            # name: (fault switches, requests the player path gets)
            "cut off": ({"body": encoded(PLAYER)[:25]}, 1),
            "not an object": ({"body": b'[{"mnq9": {"url": "http://cdn.test/ov9.exe"}}]'}, 1),
            "huge": ({"body": huge}, 1),
            "refused by both stacks": ({"status": 500}, 2),
        }
        for name, (switches, requests) in variants.items():
            with self.subTest(name):
                srv = self.server()
                serve_documents(srv)
                srv.fault(PLAYER_PATH, **switches)
                report_srv, receiver = self.reports()
                self.run_case("ABadPlayerDocumentIsReported", srv, report_srv)
                self.assertEqual(len(self.requests(srv, PLAYER_PATH)), requests)
                self.assert_reported_once(receiver)
        with self.subTest("certificate nobody trusts"):
            srv = self.server(tls="untrusted")
            serve_documents(srv)
            report_srv, receiver = self.reports()
            self.run_case("ABadPlayerDocumentIsReported", srv, report_srv)
            self.assertEqual(srv.requests, [])  # both stacks refused before sending anything
            self.assert_reported_once(receiver)

    def assert_reported_once(self, receiver: ReportReceiver) -> None:
        self.assertEqual(receiver.rejected, [])
        [batch] = receiver.accepted
        [event] = batch.events
        self.assertEqual(event["eventKey"], "download_address_fail")
        self.assertEqual(list(event["properties"]), IDENTITY_MEMBERS)  # no properties of its own

    def test_bad_channel_and_customer_documents_fail_silently(self):
        variants = {
            "cut off": {"body": b'{"result": [{"gameid": "1"}], "title": "t'},
            "not an object": {"body": b'[{"result": [{"gameid": "1"}]}]'},
            "refused by both stacks": {"status": 404},
            "empty": {"body": b""},
        }
        for name, switches in variants.items():
            with self.subTest(name):
                srv = self.server()
                serve_documents(srv)
                srv.fault(CHANNEL_PATH, **switches)
                srv.fault(CUSTOMER_PATH, **switches)
                report_srv, receiver = self.reports()
                self.run_case("BadChannelAndCustomerDocumentsFailSilently", srv, report_srv)
                self.assertEqual(receiver.accepted + receiver.rejected, [])
                self.assertEqual(report_srv.requests, [])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
