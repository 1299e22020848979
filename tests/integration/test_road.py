"""The installer's road under Wine, from DownloaderModel::init to
onInstallFinished: road_served.exe plays the main window; this side serves
the documents, the package (the installer stand-in, over 1 MiB), the splash
images and the icon, receives the reports and the analytics events, and
checks what the run left in the scenario prefix. One scenario per case."""

import json
import os
import subprocess
import sys
import tempfile
import unittest

from orvtest.receivers import AnalyticsReceiver, ReportReceiver
from orvtest.server import LocalServer, Response
from orvtest.wine import WINERUN, WINESERVER, Scenario

PROGRAM = "road_served.exe"
OPENID = "12345"
PACKAGE_PATH = "/packages/orvane9.exe"
DEFAULT_PATH = "/download/package/Orvane9.0.exe"  # the 9 edition's built-in address
INSTALL = "C:\\Orvane\\Orvane9\\"
ARGUMENTS = '-silence -downloader -openid=12345 -language=en -path="C:\\Orvane\\Orvane9\\" -googleid=GA1.2'
FORM_TYPE = "application/x-www-form-urlencoded"  # what the system client sends with every GET

IMAGES = {"/images/launch_h.jpg": b"\xff\xd8 landscape", "/images/launch_v.jpg": b"\xff\xd8 portrait",
          "/images/game.ico": b"\x00\x00\x01\x00 icon"}


def campaign(srv: LocalServer) -> dict:
    return {
        "result": [],
        "launch_h": srv.url("/images/launch_h.jpg"),
        "launch_V": srv.url("/images/launch_v.jpg"),
        "title": "Orvane Test",
        "runapp": "com.example.game",
        "qqlink": "https://example.invalid/qq",
        "shortcutname": "Orvane Game",
        "shortcuturl": srv.url("/images/game.ico"),
        "heapsize": "2048",
        "ad": 0,
        "cleanmodel": 1,
        "runappstore": 0,
        "root": False,
    }


DATA_INI = ("[setting]\r\nadshow=0\r\ncleanmodel=1\r\nuseroot=0\r\nrunappstore=0\r\ntitle=Orvane Test\r\n"
            "heapsize=2048\r\nqqlink=https://example.invalid/qq\r\nrunapp=com.example.game\r\n").encode()


def system_client(rec) -> bool:
    return rec.headers.get("content-type") == FORM_TYPE


class Road(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(Scenario.exe("orvane_standin.exe"), "rb") as f:
            cls.package = f.read()
        assert len(cls.package) >= 1 << 20

    def setUp(self):
        self.srv = LocalServer().start()
        self.addCleanup(self.srv.stop)
        self.reports, self.analytics = ReportReceiver(self.srv), AnalyticsReceiver(self.srv)
        self.addCleanup(self.reports.release)
        self.srv.route("/_test/analytics", handler=lambda _r: Response(200, str(len(self.analytics.accepted)).encode()))
        self.serve_player_url(self.srv.url(PACKAGE_PATH))
        self.srv.route(f"/player_files/openidconfig/{OPENID}.data", json_body=campaign(self.srv))
        self.srv.route("/player_files/en/kavoraex", json_body={"en": {"installError": "x", "customerLink": "y"}})
        for path in (PACKAGE_PATH, DEFAULT_PATH):
            self.srv.route(path, self.package, headers={"Content-Type": "application/octet-stream"})
        for path, body in IMAGES.items():
            self.srv.route(path, body)

        self.sc = Scenario("road").__enter__()
        self.addCleanup(self.sc.__exit__, None, None, None)
        # Z: (the host's root) becomes a network drive, so C: is the only
        # fixed drive and the install folder lands inside the prefix.
        self.wine("reg", "add", r"HKLM\Software\Wine\Drives", "/v", "z:", "/d", "network", "/f")
        subprocess.run([WINESERVER, "-k"], env=self.sc.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=self.sc.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)

    def serve_player_url(self, url: str) -> bytes:
        body = json.dumps({"mnq9": {"url": url}, "mnq64": {"url": "/64"}}).encode()
        self.srv.route("/player_files/en/kavora", body, headers={"Content-Type": "application/json"})
        return body

    def wine(self, *args: str, **env) -> str:
        # Output goes to a file: the prefix's server would hold a pipe open.
        with tempfile.TemporaryFile() as output:
            proc = subprocess.run([WINERUN, *args], env=self.sc.env(**env), stdout=output, stderr=subprocess.STDOUT,
                                  timeout=420)
            output.seek(0)
            text = output.read().decode(errors="replace")
        self.assertEqual(proc.returncode, 0, text[-6000:])
        return text

    def run_case(self, case: str, **env) -> None:
        out = self.wine(Scenario.exe(PROGRAM), f"--gtest_filter=Road.{case}",
                        ORVANE_TEST_HOST=self.srv.url("").rstrip("/"), **env)
        self.assertIn("[  PASSED  ] 1 test", out)

    # --- what arrived ---------------------------------------------------------
    def events(self) -> dict:
        """Report events by key (the last of each), after checking none was refused."""
        self.assertEqual(self.reports.rejected, [])
        return {e["eventKey"]: e for batch in self.reports.accepted for e in batch.events}

    def own_properties(self, event: dict) -> dict:
        props = dict(event["properties"])
        for key in ("mnq_version", "mnq_mac", "device_id", "openid", "language", "downloader_package"):
            props.pop(key)
        return props

    def analytics_events(self):
        self.assertEqual(self.analytics.rejected, [])
        return [(e.name, e.label) for e in self.analytics.accepted]

    def requests(self, path: str):
        return [r for r in self.srv.requests if r.path == path]

    def read(self, windows_path: str) -> bytes:
        with open(self.sc.host_path(windows_path), "rb") as f:
            return f.read()

    # --- cases ----------------------------------------------------------------
    def test_from_init_to_install_finished(self):
        self.run_case("FromInitToInstallFinished")
        # The package came once, through the system client.
        [get] = self.requests(PACKAGE_PATH)
        self.assertTrue(system_client(get))
        self.assertEqual(self.requests(DEFAULT_PATH), [])
        self.assertEqual(self.read(INSTALL + "Orvane.exe"), self.package)
        self.assertTrue(os.path.exists(self.sc.host_path(INSTALL + "doririda.exe")))
        self.assertTrue(os.path.exists(self.sc.host_path(INSTALL + "rkconsole.exe")))
        record = self.read(INSTALL + "standin_record.txt").decode()
        self.assertTrue(record.endswith(" " + ARGUMENTS + "\r\n"), record)
        # Exactly the settings the campaign asked for, in the emulator's order.
        self.assertEqual(self.read(INSTALL + "data\\data.ini"), DATA_INI)
        self.assertEqual(self.read(INSTALL + "data\\launch_1920.jpg"), IMAGES["/images/launch_h.jpg"])
        self.assertEqual(self.read(INSTALL + "data\\launch_1080.jpg"), IMAGES["/images/launch_v.jpg"])
        self.assertEqual(self.read(INSTALL + "data\\Orvane Game.ico"), IMAGES["/images/game.ico"])
        link = os.path.join(self.sc.user_dir(), "Desktop", "Orvane Game.lnk")
        self.assertTrue(os.path.exists(link))
        with open(link, "rb") as f:
            shortcut = f.read()
        for text in ("package=com.example.game", "doririda.exe", "Orvane Game.ico"):
            self.assertIn(text.encode("utf-16-le"), shortcut, text)

        events = self.events()
        for key in ("download_success", "download_duration", "install_success", "downloader_full_duration"):
            self.assertIn(key, events)
            self.assertEqual(events[key]["properties"]["openid"], OPENID)
        self.assertEqual(self.own_properties(events["download_success"]), {})
        self.assertEqual(self.own_properties(events["install_success"]), {})
        download = self.own_properties(events["download_duration"])["duration"]
        full = self.own_properties(events["downloader_full_duration"])["duration"]
        self.assertIsInstance(download, int)
        self.assertIsInstance(full, int)
        self.assertGreaterEqual(full, download)
        self.assertNotIn("download_fail", events)
        self.assertNotIn("install_fail", events)
        self.assertNotIn("download_defaultUrl", [name for name, _ in self.analytics_events()])

    def test_not_found_on_both_stacks(self):
        self.serve_player_url(self.srv.url("/missing.exe"))
        self.run_case("NotFoundFailsOnBothStacks")
        gets = self.requests("/missing.exe")
        # Two tries of the system client, then libcurl.
        self.assertEqual([system_client(r) for r in gets], [True, True, False])
        events = self.events()
        self.assertEqual(self.own_properties(events["download_fail"]), {"failure_reason": "-1_404"})
        self.assertNotIn("download_success", events)

    def serve_to_libcurl_only(self, path: str, body: bytes) -> None:
        """The system client gets 503, libcurl the body."""
        def answer(rec):
            if system_client(rec):
                return Response(503, b"busy")
            return Response(200, body, {"Content-Type": "application/octet-stream"})
        self.srv.route(path, handler=answer)
        self.serve_player_url(self.srv.url(path))

    def test_libcurl_file_under_a_mebibyte_fails(self):
        self.serve_to_libcurl_only("/small.exe", b"<html>" + b"x" * (4096 - 6))
        self.run_case("LibcurlFileUnderAMebibyteIsAFailure")
        self.assertEqual(self.own_properties(self.events()["download_fail"]), {"failure_reason": "-1_503"})

    def test_libcurl_file_of_a_mebibyte_is_taken(self):
        self.serve_to_libcurl_only("/big.exe", self.package)
        self.run_case("LibcurlFileOfAMebibyteIsTheDownload")
        events = self.events()
        self.assertIn("download_success", events)
        self.assertNotIn("download_fail", events)

    def test_address_never_arrives(self):
        self.srv.route("/player_files/en/kavora", json_body={"mnq64": {"url": self.srv.url(PACKAGE_PATH)}})
        self.run_case("AddressNeverArrivesDefaultAfterThreeTicks")
        self.assertEqual(self.requests(PACKAGE_PATH), [])
        self.assertEqual(len(self.requests(DEFAULT_PATH)), 1)
        self.assertEqual(self.analytics_events(), [("download_defaultUrl", OPENID)])

    def test_late_address_is_waited_for(self):
        # The document arrives in two halves, 1.5 s apart.
        body = self.serve_player_url(self.srv.url(PACKAGE_PATH))
        self.srv.fault("/player_files/en/kavora", trickle=(len(body) // 2 + 1, 1.5))
        self.run_case("LateAddressIsWaitedFor")
        self.assertEqual(len(self.requests(PACKAGE_PATH)), 1)
        self.assertEqual(self.requests(DEFAULT_PATH), [])
        self.assertEqual(self.analytics_events(), [])

    def test_missing_installer(self):
        self.run_case("MissingInstallerIsReportedAndTheSettingsStillApplied")
        self.assertEqual(self.own_properties(self.events()["install_fail"]), {"failure_reason": "package_error"})
        self.assertNotIn("install_success", self.events())
        self.assertEqual(self.analytics_events(), [("download_installPlayerNotExit", OPENID + "_1")])
        self.assertEqual(self.read(INSTALL + "data\\data.ini"), DATA_INI)

    def test_hanging_installer(self):
        self.run_case("HangingInstallerTimesOut", ORVANE_STANDIN_INSTALLER="hang")
        self.assertEqual(self.own_properties(self.events()["install_fail"]), {"failure_reason": "timeout"})
        self.assertEqual(self.read(INSTALL + "data\\data.ini"), DATA_INI)
        self.assertTrue(os.path.exists(os.path.join(self.sc.user_dir(), "Desktop", "Orvane Game.lnk")))

    def test_installer_failure_message(self):
        self.run_case("InstallerFailureMessageReachesTheEndpoint", ORVANE_STANDIN_INSTALLER="post11124")
        self.assertIn("install_success", self.events())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
