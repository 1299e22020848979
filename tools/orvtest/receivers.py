"""Stand-ins for the report server and the analytics collection endpoint.

Each receiver sits on a LocalServer (several may share one), checks every
request the way the real service would, answers it, and records what it
accepted and what it refused:

    with LocalServer() as srv:
        reports = ReportReceiver(srv)        # POST /collection/biz/upload
        analytics = AnalyticsReceiver(srv)   # POST /mp/collect?measurement_id=..&api_secret=..
        ... run the program with ORVANE_TEST_HOST_REPORT=srv.url("") ...
        batch = reports.accepted[0]          # Batch: timestamp, signature, events
        assert not reports.rejected

The report receiver recomputes the signature from the "timestamp" header and
the number of events in the body and refuses a mismatch (403); it also
refuses a body that is not the pretty-printed batch with its members in
order. The analytics receiver refuses a body that is not the compact event
object with its members in order (400).

Switches: answer_with(status) replaces the success answer (e.g. 500);
hold() keeps every request unanswered until release() (also reachable as
GET /_release on the server, so the program under test can end the hold
itself) or stop.

Run as a program it serves both on one port until stopped and prints a line
per request:  python3 -m orvtest.receivers [--port-file FILE] [--tls localhost]
"""

import argparse
import hashlib
import json
import os
import re
import threading
import time
import urllib.parse
import weakref
from dataclasses import dataclass
from typing import Any, Callable, List, Optional

from orvtest.server import TLS_KINDS, LocalServer, Recorded, Response, serve_until_interrupted

REPORT_PATH = "/collection/biz/upload"
ANALYTICS_PATH = "/mp/collect"
RELEASE_PATH = "/_release"
SALT = "gooivnwe*hkaswyqif="
CONTENT_TYPE = "application/json;charset=UTF-8"

EVENT_MEMBERS = ["appId", "eventId", "eventKey", "timestamp", "properties"]
IDENTITY_MEMBERS = ["mnq_version", "mnq_mac", "device_id", "openid", "language", "downloader_package"]

# The receivers on each server, for the release route they share.
_on_server: "weakref.WeakKeyDictionary[LocalServer, List[_Receiver]]" = weakref.WeakKeyDictionary()


def report_signature(timestamp: str, event_count: int) -> str:
    """The last 8 hex digits of md5(salt + T + N * 1024)."""
    text = f"{SALT}{timestamp}{event_count * 1024}"
    return hashlib.md5(text.encode("ascii")).hexdigest()[-8:]


class Refused(Exception):
    """A request the service would not take; the text says why."""


@dataclass
class Batch:
    timestamp: int      # T from the header
    signature: str
    events: List[dict]  # members in the order they arrived
    request: Recorded


@dataclass
class AnalyticsEvent:
    client_id: str
    name: str
    category: str
    label: str
    measurement_id: str
    api_secret: str
    request: Recorded


@dataclass
class Rejection:
    reason: str
    request: Recorded


def _json(body: bytes) -> Any:
    try:
        return json.loads(body.decode("utf-8"))
    except (UnicodeDecodeError, ValueError) as e:
        raise Refused(f"body is not UTF-8 JSON: {e}")


def _same_json_text(sent: bytes, value: Any, **dump_options) -> bool:
    """True when sent is value serialised with those options; the case of
    \\u escapes (upper in RapidJSON, lower in Python) does not count."""
    lower = lambda m: m.group().lower()
    ours = json.dumps(value, ensure_ascii=False, **dump_options).encode("utf-8")
    return re.sub(rb"\\u[0-9A-Fa-f]{4}", lower, sent) == re.sub(rb"\\u[0-9A-Fa-f]{4}", lower, ours)


def _expect(condition: bool, reason: str) -> None:
    if not condition:
        raise Refused(reason)


def _members(value: Any, names: List[str], where: str) -> None:
    _expect(isinstance(value, dict), f"{where} is not an object")
    _expect(list(value) == names, f"{where} members are {list(value)}, want {names}")


class _Receiver:
    """Shared part: routing, switches, the records."""

    path = ""
    ok = Response(200)

    def __init__(self, server: LocalServer, on_record: Optional[Callable[[str, Any], None]] = None):
        self.server = server
        self.on_record = on_record
        self._lock = threading.Lock()
        self._accepted: List[Any] = []
        self._rejected: List[Rejection] = []
        self._answer: Optional[int] = None
        self._released = threading.Event()
        self._released.set()
        _on_server.setdefault(server, []).append(self)
        server.route(self.path, handler=self._handle)
        server.route(RELEASE_PATH, handler=self._release_route)

    # --- switches ----------------------------------------------------------
    def answer_with(self, status: Optional[int]) -> None:
        """Answers accepted requests with this status (None: success)."""
        self._answer = status

    def hold(self) -> None:
        self._released.clear()

    def release(self) -> None:
        self._released.set()

    # --- what arrived ------------------------------------------------------
    @property
    def accepted(self) -> List[Any]:
        with self._lock:
            return list(self._accepted)

    @property
    def rejected(self) -> List[Rejection]:
        with self._lock:
            return list(self._rejected)

    def wait_for(self, count: int, timeout: float = 30) -> List[Any]:
        """The accepted records once there are at least count of them."""
        deadline = time.monotonic() + timeout
        while len(self.accepted) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        return self.accepted

    # --- handling ----------------------------------------------------------
    def check(self, rec: Recorded) -> Any:
        raise NotImplementedError

    def _handle(self, rec: Recorded) -> Response:
        try:
            _expect(rec.method == "POST", f"method {rec.method}")
            _expect(rec.headers.get("content-type") == CONTENT_TYPE,
                    f"content type {rec.headers.get('content-type')!r}")
            record = self.check(rec)
        except Refused as e:
            with self._lock:
                self._rejected.append(Rejection(str(e), rec))
            self._notify("refused", str(e))
            return self.refusal(str(e))
        with self._lock:
            self._accepted.append(record)
        self._notify("accepted", record)
        self._released.wait()
        if self._answer is not None:
            return Response(self._answer, b'{"code":-1}', {"Content-Type": "application/json"})
        return self.ok

    def refusal(self, reason: str) -> Response:
        body = json.dumps({"error": reason}).encode("utf-8")
        return Response(400, body, {"Content-Type": "application/json"})

    def _release_route(self, _rec: Recorded) -> Response:
        for receiver in _on_server.get(self.server, []):
            receiver.release()
        return Response(200, b"released")

    def _notify(self, what: str, detail: Any) -> None:
        if self.on_record:
            self.on_record(what, detail)


class ReportReceiver(_Receiver):
    path = REPORT_PATH
    ok = Response(200, b'{"code":0,"msg":"ok"}', {"Content-Type": "application/json"})

    def refusal(self, reason: str) -> Response:
        body = json.dumps({"code": 1, "msg": reason}).encode("utf-8")
        return Response(403, body, {"Content-Type": "application/json"})

    def check(self, rec: Recorded) -> Batch:
        timestamp = rec.headers.get("timestamp", "")
        signature = rec.headers.get("signature", "")
        _expect(re.fullmatch(r"[1-9][0-9]*", timestamp) is not None, f"timestamp header {timestamp!r}")
        _expect(re.fullmatch(r"[0-9a-f]{8}", signature) is not None, f"signature header {signature!r}")
        events = _json(rec.body)
        _expect(isinstance(events, list) and events, "body is not a non-empty array")
        _expect(signature == report_signature(timestamp, len(events)), "signature mismatch")
        _expect(_same_json_text(rec.body, events, indent=4), "body is not the pretty-printed batch")
        for i, event in enumerate(events):
            self._check_event(event, f"event {i}")
        return Batch(int(timestamp), signature, events, rec)

    @staticmethod
    def _check_event(event: Any, where: str) -> None:
        _members(event, EVENT_MEMBERS, where)
        _expect(event["appId"] == 1, f"{where} appId {event['appId']!r}")
        _expect(isinstance(event["eventId"], str), f"{where} eventId")
        _expect(isinstance(event["eventKey"], str) and event["eventKey"], f"{where} eventKey")
        stamp = event["timestamp"]
        _expect(isinstance(stamp, int) and stamp > 0 and stamp % 1000 == 0, f"{where} timestamp {stamp!r}")
        props = event["properties"]
        _expect(isinstance(props, dict), f"{where} properties")
        _expect(list(props)[:len(IDENTITY_MEMBERS)] == IDENTITY_MEMBERS, f"{where} properties {list(props)}")
        _expect(props["mnq_version"] == "2.2", f"{where} mnq_version")
        _expect(props["device_id"] == props["mnq_mac"], f"{where} device_id differs from mnq_mac")
        _expect(props["downloader_package"] == 1, f"{where} downloader_package")


class AnalyticsReceiver(_Receiver):
    path = ANALYTICS_PATH
    ok = Response(204)

    def check(self, rec: Recorded) -> AnalyticsEvent:
        query = urllib.parse.parse_qsl(rec.query, keep_blank_values=True)
        _expect([k for k, _ in query] == ["measurement_id", "api_secret"], f"query {rec.query!r}")
        body = _json(rec.body)
        _expect(_same_json_text(rec.body, body, separators=(",", ":")), "body is not compact")
        _members(body, ["client_id", "events"], "body")
        events = body["events"]
        _expect(isinstance(events, list) and len(events) == 1, "events is not one event")
        _members(events[0], ["name", "params"], "event")
        params = events[0]["params"]
        _members(params, ["event_category", "event_label"], "params")
        texts = [body["client_id"], events[0]["name"], params["event_category"], params["event_label"]]
        _expect(all(isinstance(t, str) for t in texts), "a member is not a string")
        _expect(params["event_category"] == "2.2", f"event_category {params['event_category']!r}")
        return AnalyticsEvent(body["client_id"], events[0]["name"], params["event_category"],
                              params["event_label"], query[0][1], query[1][1], rec)


def _printer(kind: str) -> Callable[[str, Any], None]:
    def show(what: str, detail: Any) -> None:
        if isinstance(detail, Batch):
            keys = ", ".join(e["eventKey"] for e in detail.events)
            text = f"T={detail.timestamp} signature={detail.signature} events: {keys}"
        elif isinstance(detail, AnalyticsEvent):
            text = f"{detail.name} label={detail.label!r} client_id={detail.client_id!r}"
        else:
            text = str(detail)
        print(f"{kind} {what}: {text}", flush=True)
    return show


def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--port-file", help="write the port here once serving")
    ap.add_argument("--tls", choices=TLS_KINDS, help="serve HTTPS with this test certificate")
    ap.add_argument("--cert-dir", help="folder of the test certificates (default: the build's)")
    args = ap.parse_args()
    srv = LocalServer(tls=args.tls, cert_dir=args.cert_dir).start()
    ReportReceiver(srv, _printer("report"))
    AnalyticsReceiver(srv, _printer("analytics"))
    serve_until_interrupted(srv, args.port_file, f"report server and analytics endpoint on {srv.url('')}")


if __name__ == "__main__":
    main()
