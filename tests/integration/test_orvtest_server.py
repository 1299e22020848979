"""The loopback server's own switches that the transfer tests do not reach
through a client: status and body overrides, the document faults, and the
standalone mode with HTTPS."""

import json
import os
import ssl
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request

from orvtest import certs
from orvtest.server import LocalServer


def fetch(url: str, context=None):
    try:
        with urllib.request.urlopen(url, timeout=30, context=context) as r:
            return r.status, r.read()
    except urllib.error.HTTPError as e:
        return e.code, e.read()


class ServerSwitches(unittest.TestCase):
    def test_overrides_apply_to_routes_and_files(self):
        with tempfile.TemporaryDirectory() as root:
            with open(os.path.join(root, "a.txt"), "wb") as f:
                f.write(b"file body")
            with LocalServer(root) as srv:
                srv.route("/r", b"route body")
                srv.fault("/r", status=503)
                srv.fault("/a.txt", body=b"")
                self.assertEqual(fetch(srv.url("/r")), (503, b"route body"))
                self.assertEqual(fetch(srv.url("/a.txt")), (200, b""))
                srv.clear_fault("/r")
                self.assertEqual(fetch(srv.url("/r")), (200, b"route body"))

    def test_document_faults(self):
        with LocalServer() as srv:
            srv.malformed("/bad.json")
            srv.oversized("/big.json", 1 << 20)
            status, body = fetch(srv.url("/bad.json"))
            self.assertEqual(status, 200)
            with self.assertRaises(json.JSONDecodeError):
                json.loads(body)
            status, body = fetch(srv.url("/big.json"))
            self.assertEqual((status, len(body)), (200, 1 << 20))
            self.assertEqual(set(json.loads(body)), {"pad"})

    def test_standalone_https_with_port_file(self):
        cert_dir = certs.default_folder()
        ca = certs.ensure(cert_dir)["ca"]
        with tempfile.TemporaryDirectory() as root:
            with open(os.path.join(root, "x.bin"), "wb") as f:
                f.write(b"standalone")
            port_file = os.path.join(root, "port")
            proc = subprocess.Popen([sys.executable, "-m", "orvtest.server", "--root", root, "--port-file",
                                     port_file, "--tls", "localhost", "--cert-dir", cert_dir],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                deadline = time.monotonic() + 30
                while not os.path.exists(port_file) and time.monotonic() < deadline:
                    time.sleep(0.05)
                with open(port_file) as f:
                    port = int(f.read())
                trusting = ssl.create_default_context(cafile=ca)
                self.assertEqual(fetch(f"https://localhost:{port}/x.bin", trusting), (200, b"standalone"))
            finally:
                proc.terminate()
                proc.wait(10)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
