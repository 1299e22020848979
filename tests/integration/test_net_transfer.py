"""Both transfer stacks (the WinINet client and libcurl) against loopback
servers with faults switched on: the C++ checks run in net_transfer_served.exe
under Wine; this side starts the servers, hands their addresses over in the
environment and checks what reached them."""

import os
import socket
import subprocess
import sys
import tempfile
import unittest

from orvtest import certs
from orvtest.server import LocalServer
from orvtest.wine import WINERUN, Scenario

BODY_SIZE = 300000  # as kBodySize in net_transfer_served.cpp
DOCUMENT = b'{"mnq9": {"url": "http://127.0.0.1/ov.exe"}}'


def pattern() -> bytes:
    return bytes((i * 31 + 7) % 251 for i in range(BODY_SIZE))


def windows_path(host_path: str) -> str:
    return "Z:" + os.path.abspath(host_path).replace("/", "\\")


def closed_port() -> int:
    """A loopback port nothing listens on."""
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def serve_content(srv: LocalServer) -> None:
    body = pattern()
    for path in ("/file.bin", "/chunked.bin", "/close.bin", "/cut.bin", "/cut-chunked.bin",
                 "/stall.bin", "/trickle.bin"):
        srv.route(path, body, headers={"Content-Type": "application/octet-stream"})
    srv.route("/doc.json", DOCUMENT, headers={"Content-Type": "application/json"})
    srv.route("/empty", b"")
    srv.fault("/chunked.bin", framing="chunked")
    srv.fault("/close.bin", framing="close")
    srv.fault("/cut.bin", cut_after=BODY_SIZE // 3)
    srv.fault("/cut-chunked.bin", framing="chunked", cut_after=BODY_SIZE // 3)
    # More than one 32 KiB read: a blocking read returns only full buffers.
    srv.fault("/stall.bin", stall_after=BODY_SIZE // 3)
    # About three seconds of body, for the progress throttle.
    srv.fault("/trickle.bin", trickle=(BODY_SIZE // 30, 0.1))
    srv.redirect_chain("/chain", 3, "/file.bin")
    srv.redirect_loop("/loop")
    srv.redirect_loop("/loop-curl")
    srv.route("/post", b'{"ok":1}', headers={"Content-Type": "application/json"})
    srv.route("/post-fail", b'{"error":1}', status=500)


class NetTransfer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cert_dir = certs.default_folder()
        ca = certs.ensure(cert_dir)["ca"]
        cls.http = LocalServer().start()
        cls.https = {kind: LocalServer(tls=kind, cert_dir=cert_dir).start() for kind in certs.KINDS}
        for srv in [cls.http, *cls.https.values()]:
            serve_content(srv)
        cls.http.route("/downgrade-target", DOCUMENT)
        cls.https["localhost"].fault("/downgrade", location=cls.http.url("/downgrade-target"))
        cls.env = {
            "ORVANE_TEST_HTTP": cls.http.url("").rstrip("/"),
            "ORVANE_TEST_HTTPS": cls.https["localhost"].url("").rstrip("/"),
            "ORVANE_TEST_HTTPS_WRONGHOST": cls.https["wronghost"].url("").rstrip("/"),
            "ORVANE_TEST_HTTPS_UNTRUSTED": cls.https["untrusted"].url("").rstrip("/"),
            "ORVANE_TEST_HTTPS_EXPIRED": cls.https["expired"].url("").rstrip("/"),
            "ORVANE_TEST_CLOSED": f"http://127.0.0.1:{closed_port()}",
            "ORVANE_TEST_CA_FILE": windows_path(ca),
        }
        cls.scenario = Scenario("net").__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.scenario.__exit__(None, None, None)
        for srv in [cls.http, *cls.https.values()]:
            srv.stop()

    def run_cases(self, pattern_: str) -> None:
        """Runs the C++ cases matching the GoogleTest filter; a hang fails
        through the time-out."""
        # Output goes to a file, not a pipe: the prefix's wineserver, started
        # by the first run, would hold a pipe open long after the program ends.
        with tempfile.TemporaryFile() as output:
            proc = subprocess.run([WINERUN, Scenario.exe("net_transfer_served.exe"), f"--gtest_filter={pattern_}"],
                                  env=self.scenario.env(**self.env), stdout=output, stderr=subprocess.STDOUT,
                                  timeout=240)
            output.seek(0)
            out = output.read().decode(errors="replace")
        self.assertEqual(proc.returncode, 0, out[-6000:])
        self.assertIn("[  PASSED  ]", out)
        self.assertNotIn("[  FAILED  ]", out)

    def requests_to(self, srv: LocalServer, prefix: str):
        return [r for r in srv.requests if r.path == prefix or r.path.startswith(prefix + "/")]

    def test_system_client(self):
        before = len(self.http.requests)
        self.run_cases("SystemClient.*")
        # Redirect loops end after five redirects: two transfers of 1 + 5 requests.
        self.assertLessEqual(len(self.requests_to(self.http, "/loop")), 2 * 6)
        # WinINet asks for the documents with the form content type and GET only.
        gets = [r for r in self.http.requests[before:] if r.path == "/doc.json"]
        self.assertTrue(gets)
        for rec in gets:
            self.assertEqual(rec.method, "GET")
            self.assertEqual(rec.headers.get("content-type"), "application/x-www-form-urlencoded")

    def test_curl_client(self):
        self.run_cases("CurlClient.*")
        # A redirect loop stops after at most five redirects per transfer:
        # downloadFile and downloadMemory made one request each plus five.
        self.assertLessEqual(len(self.requests_to(self.http, "/loop-curl")), 2 * 6)

        posts = [r for r in self.http.requests if r.path == "/post"]
        self.assertEqual(len(posts), 1)
        post = posts[0]
        self.assertEqual(post.method, "POST")
        self.assertEqual(post.body, '{"name":"café"}'.encode("utf-8"))
        lines = post.raw_headers
        content_type = "Content-Type:application/json;charset=UTF-8"
        self.assertIn(content_type, lines)
        self.assertEqual([l for l in lines if l.lower().startswith("content-type")], [content_type])
        at = lines.index(content_type)
        self.assertEqual(lines[at + 1:at + 3], ["X-First: 1", "X-Second:two"])

    def test_https(self):
        self.run_cases("Https.*")
        self.assertTrue(self.https["localhost"].requests)
        # Neither stack followed the secure server's redirect to plain http.
        self.assertEqual(self.requests_to(self.http, "/downgrade-target"), [])
        # A refused certificate ends the transfer before any request is sent.
        for kind in ("wronghost", "untrusted", "expired"):
            self.assertEqual(self.https[kind].requests, [], kind)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
