"""A small HTTP(S) server on 127.0.0.1 for the tests and the demo.

It serves routes (fixed bodies or handlers) and files from a folder, picks a
free port itself and records every request so tests can check what arrived.

    with LocalServer() as srv:
        srv.route("/player.json", json_body={"url": "..."})
        url = srv.url("/player.json")
        ...
        assert srv.requests[0].path == "/player.json"

Faults are switched on per path, for a route or a file alike:

    srv.fault("/big.bin", framing="chunked")        # no Content-Length
    srv.fault("/big.bin", cut_after=1000)           # connection dropped mid-body
    srv.fault("/big.bin", trickle=(1024, 0.05))     # 1 KiB every 50 ms
    srv.fault("/big.bin", stall_after=1000)         # then silence until stop()
    srv.fault("/doc", status=500) / body=b"" / location="/elsewhere"
    srv.redirect_chain("/a", 3, "/doc"); srv.redirect_loop("/loop")
    srv.malformed("/doc"); srv.oversized("/doc", 64 << 20)

HTTPS: LocalServer(tls="localhost") serves with a certificate of the test CA
(orvtest.certs); "wronghost", "untrusted" and "expired" serve certificates a
client must refuse. URLs of a TLS server use the host name localhost.

Run as a program it serves a folder until stopped and writes its port to a
file:  python3 -m orvtest.server --root DIR --port-file FILE [--tls KIND]
"""

import argparse
import json
import mimetypes
import os
import posixpath
import socket
import ssl
import threading
import urllib.parse
from dataclasses import dataclass, field, replace
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from typing import Callable, Dict, List, Optional, Tuple


@dataclass
class Recorded:
    method: str
    path: str
    query: str
    headers: Dict[str, str]
    body: bytes
    # The header lines exactly as sent, in order ("Name:value" spacing kept).
    raw_headers: List[str] = field(default_factory=list)


@dataclass
class Response:
    status: int = 200
    body: bytes = b""
    headers: Dict[str, str] = field(default_factory=dict)


@dataclass
class Fault:
    status: Optional[int] = None        # answer with this status instead
    body: Optional[bytes] = None        # answer with this body instead
    location: Optional[str] = None      # redirect there (302 unless status is set)
    framing: str = "length"             # "length", "chunked" or "close" (no Content-Length)
    cut_after: Optional[int] = None     # send this many body bytes, then drop the connection
    stall_after: Optional[int] = None   # send this many body bytes, then say nothing until stop()
    trickle: Optional[Tuple[int, float]] = None  # (bytes per piece, seconds between pieces)


Handler = Callable[[Recorded], Response]

FRAMINGS = ("length", "chunked", "close")
TLS_KINDS = ("localhost", "wronghost", "untrusted", "expired")


class _LineTee:
    """Reads through to the socket file and keeps the header lines."""

    def __init__(self, inner):
        self.inner = inner
        self.lines: List[str] = []

    def readline(self, *args):
        line = self.inner.readline(*args)
        text = line.decode("iso-8859-1").rstrip("\r\n")
        if text:
            self.lines.append(text)
        return line

    def __getattr__(self, name):
        return getattr(self.inner, name)


class _RequestHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "OrvaneTest/1"
    timeout = 60  # a client that stops reading cannot pin a thread for ever

    def log_message(self, fmt, *args):  # keep test output quiet
        pass

    def parse_request(self):
        real, tee = self.rfile, _LineTee(self.rfile)
        self.rfile = tee
        try:
            return super().parse_request()
        finally:
            self.rfile = real
            self.raw_header_lines = tee.lines

    def _handle(self):
        srv: "LocalServer" = self.server.owner
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        parsed = urllib.parse.urlsplit(self.path)
        rec = Recorded(self.command, urllib.parse.unquote(parsed.path), parsed.query,
                       {k.lower(): v for k, v in self.headers.items()}, body,
                       list(getattr(self, "raw_header_lines", [])))
        srv._record(rec)
        fault = srv._fault_for(rec.path)
        response = srv._apply(fault, srv._respond(rec))
        self._send(response, fault)

    do_GET = do_POST = do_HEAD = do_PUT = _handle

    def _send(self, response: Response, fault: Fault) -> None:
        self.send_response(response.status)
        headers = dict(response.headers)
        if fault.framing == "chunked":
            headers["Transfer-Encoding"] = "chunked"
        elif fault.framing == "close":
            headers["Connection"] = "close"
            self.close_connection = True
        else:
            headers.setdefault("Content-Length", str(len(response.body)))
        for k, v in headers.items():
            self.send_header(k, v)
        self.end_headers()
        if self.command != "HEAD":
            self._send_body(response.body, fault)

    def _send_body(self, body: bytes, fault: Fault) -> None:
        stopping = self.server.owner._stopping
        stop_at = fault.cut_after if fault.cut_after is not None else fault.stall_after
        limit = len(body) if stop_at is None else min(stop_at, len(body))
        piece = fault.trickle[0] if fault.trickle else 1 << 16
        sent = 0
        while sent < limit:
            data = body[sent:min(sent + piece, limit)]
            self._write(data, fault.framing == "chunked")
            sent += len(data)
            if fault.trickle and sent < limit and stopping.wait(fault.trickle[1]):
                return self._drop()
        if fault.stall_after is not None:
            stopping.wait()
            return self._drop()
        if fault.cut_after is not None:
            return self._drop()
        if fault.framing == "chunked":
            self.wfile.write(b"0\r\n\r\n")

    def _write(self, data: bytes, chunked: bool) -> None:
        if chunked:
            self.wfile.write(b"%x\r\n%s\r\n" % (len(data), data))
        else:
            self.wfile.write(data)

    def _drop(self) -> None:
        """Ends the connection without finishing the response."""
        self.close_connection = True
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


class _Server(ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False  # stop() must not wait for a stalled client

    def __init__(self, address, tls: Optional[ssl.SSLContext]):
        super().__init__(address, _RequestHandler)
        if tls:
            # The handshake runs in the request thread, so a client that
            # refuses the certificate never holds up the accept loop.
            self.socket = tls.wrap_socket(self.socket, server_side=True, do_handshake_on_connect=False)

    def handle_error(self, request, client_address):
        # Refused handshakes and dropped connections are what the faults are for.
        self.owner._note_error()


class LocalServer:
    """Threaded loopback HTTP(S) server; start() picks a free port."""

    def __init__(self, root: Optional[str] = None, host: str = "127.0.0.1", tls: Optional[str] = None,
                 cert_dir: Optional[str] = None):
        if tls is not None and tls not in TLS_KINDS:
            raise ValueError(f"tls must be one of {TLS_KINDS}")
        self.root = root
        self.host = host
        self.tls = tls
        self.cert_dir = cert_dir
        self._routes: Dict[str, Handler] = {}
        self._faults: Dict[str, Fault] = {}
        self._lock = threading.Lock()
        self._requests: List[Recorded] = []
        self._errors = 0
        self._stopping = threading.Event()
        self._httpd: Optional[_Server] = None
        self._thread: Optional[threading.Thread] = None

    # --- lifecycle ---------------------------------------------------------
    def start(self) -> "LocalServer":
        self._stopping.clear()
        self._httpd = _Server((self.host, 0), self._tls_context())
        self._httpd.owner = self
        self._thread = threading.Thread(target=self._httpd.serve_forever, daemon=True)
        self._thread.start()
        return self

    def stop(self) -> None:
        if self._httpd:
            self._stopping.set()
            self._httpd.shutdown()
            self._httpd.server_close()
            self._thread.join(5)
            self._httpd = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    @property
    def port(self) -> int:
        return self._httpd.server_address[1]

    def url(self, path: str = "/", host: Optional[str] = None) -> str:
        # Certificates name localhost; WinINet does not match them to 127.0.0.1.
        host = host or ("localhost" if self.tls else "127.0.0.1")
        scheme = "https" if self.tls else "http"
        return f"{scheme}://{host}:{self.port}{path}"

    def _tls_context(self) -> Optional[ssl.SSLContext]:
        if not self.tls:
            return None
        from orvtest import certs
        paths = certs.ensure(self.cert_dir or certs.default_folder())
        ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        ctx.load_cert_chain(paths[self.tls], paths[self.tls + ".key"])
        return ctx

    # --- content -----------------------------------------------------------
    def route(self, path: str, body: bytes = b"", status: int = 200, json_body=None,
              headers: Optional[Dict[str, str]] = None, handler: Optional[Handler] = None) -> None:
        if handler is None:
            if json_body is not None:
                body = json.dumps(json_body).encode("utf-8")
                headers = {"Content-Type": "application/json", **(headers or {})}
            fixed = Response(status, body, dict(headers or {}))
            handler = lambda _rec: fixed
        with self._lock:
            self._routes[path] = handler

    # --- faults ------------------------------------------------------------
    def fault(self, path: str, **switches) -> None:
        """Switches faults on for path (see Fault); replaces earlier ones."""
        fault = Fault(**switches)
        if fault.framing not in FRAMINGS:
            raise ValueError(f"framing must be one of {FRAMINGS}")
        with self._lock:
            self._faults[path] = fault

    def clear_fault(self, path: str) -> None:
        with self._lock:
            self._faults.pop(path, None)

    def redirect_chain(self, path: str, hops: int, target: str) -> None:
        """path -> path/1 -> ... -> path/<hops-1> -> target: hops redirects."""
        names = [path] + [f"{path}/{i}" for i in range(1, hops)]
        for here, there in zip(names, names[1:] + [target]):
            self.fault(here, location=there)

    def redirect_loop(self, path: str) -> None:
        """path -> path/again -> path -> ... for ever."""
        self.fault(path, location=path + "/again")
        self.fault(path + "/again", location=path)

    def malformed(self, path: str) -> None:
        """A JSON document that ends in the middle."""
        self.fault(path, status=200, body=b'{"mnq9": {"url": "http://')

    def oversized(self, path: str, size: int) -> None:
        """A valid JSON document of exactly size bytes."""
        frame = b'{"pad":""}'
        self.fault(path, status=200, body=frame[:8] + b"x" * max(0, size - len(frame)) + frame[8:])

    # --- what arrived ------------------------------------------------------
    @property
    def requests(self) -> List[Recorded]:
        with self._lock:
            return list(self._requests)

    @property
    def errors(self) -> int:
        """Connections that ended in an error (refused handshakes, drops)."""
        with self._lock:
            return self._errors

    def _record(self, rec: Recorded) -> None:
        with self._lock:
            self._requests.append(rec)

    def _note_error(self) -> None:
        with self._lock:
            self._errors += 1

    def _fault_for(self, path: str) -> Fault:
        with self._lock:
            return self._faults.get(path) or Fault()

    @staticmethod
    def _apply(fault: Fault, response: Response) -> Response:
        if fault.location is not None:
            return Response(fault.status or 302, b"", {"Location": fault.location})
        changed = replace(response, headers=dict(response.headers))
        if fault.status is not None:
            changed.status = fault.status
        if fault.body is not None:
            changed.body = fault.body
        return changed

    def _respond(self, rec: Recorded) -> Response:
        with self._lock:
            handler = self._routes.get(rec.path)
        if handler:
            return handler(rec)
        return self._serve_file(rec.path)

    def _serve_file(self, path: str) -> Response:
        if not self.root:
            return Response(404, b"not found")
        rel = posixpath.normpath(path).lstrip("/")
        full = os.path.realpath(os.path.join(self.root, rel))
        if not full.startswith(os.path.realpath(self.root) + os.sep) or not os.path.isfile(full):
            return Response(404, b"not found")
        with open(full, "rb") as f:
            data = f.read()
        ctype = mimetypes.guess_type(full)[0] or "application/octet-stream"
        return Response(200, data, {"Content-Type": ctype})


def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--root", required=True)
    ap.add_argument("--port-file")
    ap.add_argument("--tls", choices=TLS_KINDS, help="serve HTTPS with this test certificate")
    ap.add_argument("--cert-dir", help="folder of the test certificates (default: the build's)")
    args = ap.parse_args()
    srv = LocalServer(args.root, tls=args.tls, cert_dir=args.cert_dir).start()
    serve_until_interrupted(srv, args.port_file, f"serving {args.root} on {srv.url()}")


def serve_until_interrupted(srv: "LocalServer", port_file: Optional[str], banner: str) -> None:
    """For the standalone programs: publish the port (atomically), then serve until Ctrl-C."""
    if port_file:
        with open(port_file + ".tmp", "w") as f:
            f.write(str(srv.port))
        os.replace(port_file + ".tmp", port_file)
    print(banner, flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        pass
    finally:
        srv.stop()


if __name__ == "__main__":
    main()
