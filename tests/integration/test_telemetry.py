"""Event reports and analytics events as the receivers get them: the C++
cases run in telemetry_served.exe under Wine, one case per process (the
reporter is process-wide); this side starts the receivers, points the
program at them and checks what arrived."""

import json
import os
import re
import shutil
import socket
import sys
import unittest
import urllib.error
import urllib.request

from orvtest import certs
from orvtest.receivers import ANALYTICS_PATH, CONTENT_TYPE, REPORT_PATH, AnalyticsReceiver, ReportReceiver, \
    report_signature
from orvtest.server import LocalServer
from orvtest.wine import Scenario

PROGRAM = "telemetry_served.exe"
OK_REPLY = '{"code":0,"msg":"ok"}'  # ReportReceiver's answer
IDENTITY = {"mnq_mac": "2-0123abcd", "device_id": "2-0123abcd", "openid": "1234", "language": "en"}
DEVICE_ID = re.compile(r"([0-9a-f]+-)?[0-9a-f]{32}|")


def windows_path(host_path: str) -> str:
    return "Z:" + os.path.abspath(host_path).replace("/", "\\")


def closed_port_origin() -> str:
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return f"http://127.0.0.1:{port}"


def event_keys(batch):
    return [e["eventKey"] for e in batch.events]


class Telemetry(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.cert_dir = certs.default_folder()
        cls.ca = certs.ensure(cls.cert_dir)["ca"]
        cls.scenario = Scenario("telemetry").__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.scenario.__exit__(None, None, None)

    def serve(self, tls=None):
        srv = LocalServer(tls=tls, cert_dir=self.cert_dir).start()
        reports, analytics = ReportReceiver(srv), AnalyticsReceiver(srv)
        self.addCleanup(srv.stop)
        self.addCleanup(reports.release)  # runs first: held requests end before the server
        return srv, reports, analytics

    def run_case(self, case: str, origin: str, reply: str = "=") -> str:
        """Runs one C++ case; a hang fails through the time-out."""
        proc = self.scenario.run(self.scenario.exe(PROGRAM), f"--gtest_filter={case}", timeout=180,
                                 ORVANE_TEST_HOST_REPORT=origin, ORVANE_TEST_HOST_ANALYTICS=origin,
                                 ORVANE_TEST_CA_FILE=windows_path(self.ca), ORVANE_TEST_REPORT_REPLY=reply)
        out = proc.stdout.decode(errors="replace") + proc.stderr.decode(errors="replace")
        self.assertEqual(proc.returncode, 0, out[-6000:])
        self.assertIn("[  PASSED  ] 1 test", out)
        return out

    # --- reports -------------------------------------------------------------
    def test_events_queued_before_init_arrive_signed_over_https(self):
        srv, reports, _ = self.serve(tls="localhost")
        self.run_case("Reporter.StopSendsWhatWasQueuedBeforeInit", srv.url(""), "=" + OK_REPLY)
        self.assertEqual(reports.rejected, [])
        [batch] = reports.accepted
        self.assertEqual(batch.signature, report_signature(str(batch.timestamp), 3))
        self.assertEqual(event_keys(batch), ["run_downloader", "download_fail", "download_duration"])
        ids = [e["eventId"] for e in batch.events]
        self.assertEqual(len(set(ids)), 3)
        self.assertTrue(all(len(i) == 36 for i in ids), ids)
        for event in batch.events:
            self.assertLessEqual(event["timestamp"], batch.timestamp)
            self.assertEqual({k: event["properties"][k] for k in IDENTITY}, IDENTITY)
        extras = [list(e["properties"].items())[6:] for e in batch.events]
        # "café" left the program in the code page and arrives UTF-8 encoded once.
        self.assertEqual(extras, [[], [("failure_reason", "9999_0")],
                                  [("duration", 1234), ("name", "café")]])

    def test_first_cycle_then_a_stop_during_its_post(self):
        srv, reports, _ = self.serve()
        reports.hold()  # the C++ side ends the hold after asking the reporter to stop
        self.run_case("Reporter.StopDuringAPostStillSendsWhatCameAfterIt", srv.url(""), "=" + OK_REPLY)
        self.assertEqual(reports.rejected, [])
        self.assertEqual([event_keys(b) for b in reports.accepted],
                         [["run_downloader"], ["start_downloader", "cancel_download"]])

    def test_nothing_queued_posts_nothing(self):
        srv, _, _ = self.serve()
        self.run_case("Reporter.NothingQueuedPostsNothing", srv.url(""))
        self.assertEqual(srv.requests, [])

    def test_a_failing_server_never_holds_up_stop(self):
        with self.subTest("down"):
            self.run_case("Reporter.StopSendsWhatWasQueuedBeforeInit", closed_port_origin(), "=")
        for name, reply in (("answers 500", "="), ("never answers", "never")):
            with self.subTest(name):
                srv, reports, _ = self.serve()
                if reply == "never":
                    reports.hold()
                else:
                    reports.answer_with(500)
                self.run_case("Reporter.StopSendsWhatWasQueuedBeforeInit", srv.url(""), reply)
                # The batch was sent, signed, once.
                self.assertEqual([len(b.events) for b in reports.accepted], [3])
                self.assertEqual(reports.rejected, [])

    # --- analytics -----------------------------------------------------------
    def test_analytics_events_in_order(self):
        srv, _, analytics = self.serve()
        out = self.run_case("Analytics.QueuedEventsGoOutInOrderThenAnImmediateOne", srv.url(""))
        client_id = re.search(r"^client_id=(.*?)\r?$", out, re.M).group(1)
        self.assertRegex(client_id, DEVICE_ID)
        self.assertEqual(analytics.rejected, [])
        events = analytics.accepted
        self.assertEqual([(e.name, e.label) for e in events],
                         [("download_run", "1234"), ("download_defaultUrl", "1234"),
                          ("download_installPlayerNotExit", "1234_1"), ("Download_googleDriver", ""),
                          ("label_text", "café"), ("userCancel", "1234")])
        for e in events:
            self.assertEqual((e.client_id, e.measurement_id, e.api_secret), (client_id, "G-TEST1", "secret1"))

    def test_model_hands_the_ids_on_and_its_stop_disables_analytics(self):
        srv, reports, analytics = self.serve()
        out = self.run_case("Model.InitWiresBothChannelsAndStopDisablesAnalytics", srv.url(""))
        printed = dict(re.findall(r"^(measurement_id|api_secret)=(.*?)\r?$", out, re.M))
        self.assertEqual(analytics.rejected, [])
        [event] = analytics.accepted  # nothing after the model's stop
        self.assertEqual((event.name, event.label), ("userCancel", "4321"))
        self.assertEqual((event.measurement_id, event.api_secret),
                         (printed["measurement_id"], printed["api_secret"]))
        self.assertTrue(event.measurement_id)
        [batch] = reports.accepted
        props = batch.events[0]["properties"]
        self.assertEqual((props["openid"], props["language"], props["device_id"]),
                         ("4321", "kr", event.client_id))

    # --- the installer itself ------------------------------------------------
    def test_installer_run_sends_its_start_events(self):
        """Start-up queues "download_run" and reports "run_downloader"; closing
        the window makes the reporter's last cycle send the report."""
        srv, reports, analytics = self.serve()
        exe = os.path.join(self.scenario.root, "orvane9_en_1234_x.exe")
        shutil.copy(self.scenario.exe("OrvaneInstaller.exe"), exe)
        proc = self.scenario.start(exe, ORVANE_TEST_HOST_REPORT=srv.url(""),
                                   ORVANE_TEST_HOST_ANALYTICS=srv.url(""))
        # Queued analytics events still waiting when the model goes are dropped.
        self.assertTrue(analytics.wait_for(1, timeout=120), self.scenario.read_log()[-3000:])
        self.scenario.run("taskkill", "/im", os.path.basename(exe))
        self.assertEqual(proc.wait(60), 0)

        self.assertEqual(analytics.rejected, [])
        [event] = analytics.accepted
        self.assertEqual((event.name, event.label), ("download_run", "1234"))
        self.assertEqual(reports.rejected, [])
        [batch] = reports.accepted
        self.assertIn("run_downloader", event_keys(batch))
        props = batch.events[event_keys(batch).index("run_downloader")]["properties"]
        self.assertEqual((props["openid"], props["device_id"]), ("1234", event.client_id))


def post(url: str, body: bytes, headers: dict) -> int:
    request = urllib.request.Request(url, body, {"Content-Type": CONTENT_TYPE, **headers}, method="POST")
    try:
        with urllib.request.urlopen(request) as response:
            return response.status
    except urllib.error.HTTPError as e:
        return e.code


class Receivers(unittest.TestCase):
    """The receivers refuse what the real services would, so an empty
    rejected list above means something."""

    EVENT = {"appId": 1, "eventId": "", "eventKey": "run_downloader", "timestamp": 1700000000000,
             "properties": {"mnq_version": "2.2", "mnq_mac": "m", "device_id": "m", "openid": "100",
                            "language": "en", "downloader_package": 1}}

    def test_report_receiver_checks_signature_and_body(self):
        def pretty(events):
            return json.dumps(events, indent=4).encode()
        swapped = dict(reversed(list(self.EVENT.items())))
        cases = [  # (name, body, event count signed, accepted)
            ("two events signed as two", pretty([self.EVENT, self.EVENT]), 2, True),
            ("two events signed as one", pretty([self.EVENT, self.EVENT]), 1, False),
            ("compact body", json.dumps([self.EVENT]).encode(), 1, False),
            ("members out of order", pretty([swapped]), 1, False),
            ("empty batch", b"[]", 0, False),
        ]
        with LocalServer() as srv:
            reports = ReportReceiver(srv)
            for name, body, signed, accepted in cases:
                with self.subTest(name):
                    signature = report_signature("1700000000123", signed)
                    status = post(srv.url(REPORT_PATH), body,
                                  {"timestamp": "1700000000123", "signature": signature})
                    self.assertEqual(status, 200 if accepted else 403)
            self.assertEqual(len(reports.accepted), 1)

    def test_analytics_receiver_checks_body_and_query(self):
        params = {"event_category": "2.2", "event_label": ""}
        event = {"client_id": "c", "events": [{"name": "n", "params": params}]}
        compact = json.dumps(event, separators=(",", ":")).encode()
        query = "?measurement_id=G-1&api_secret=s"
        cases = [  # (name, path and query, body, accepted)
            ("compact", ANALYTICS_PATH + query, compact, True),
            ("pretty", ANALYTICS_PATH + query, json.dumps(event, indent=4).encode(), False),
            ("ids swapped", ANALYTICS_PATH + "?api_secret=s&measurement_id=G-1", compact, False),
            ("label missing", ANALYTICS_PATH + query, compact.replace(b',"event_label":""', b""), False),
        ]
        with LocalServer() as srv:
            analytics = AnalyticsReceiver(srv)
            for name, path, body, accepted in cases:
                with self.subTest(name):
                    self.assertEqual(post(srv.url(path), body, {}), 204 if accepted else 400)
            self.assertEqual([(e.measurement_id, e.api_secret) for e in analytics.accepted], [("G-1", "s")])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
