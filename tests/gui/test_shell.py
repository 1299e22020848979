"""The start-up spine as a user's desktop sees it: the launch name chooses
edition and campaign, a second copy hands over to the running one and ends,
the emulator installer's failure message reaches the log, and the start-up
checks of old and 32-bit systems offer their box and report it."""

import os
import shutil
import sys
import time
import unittest

from orvtest.receivers import ReportReceiver
from orvtest.server import LocalServer
from orvtest.wine import Scenario

INSTANCE = "{2266E930-7040-4A6B-B7C8-E44663785cdd}"
MAIN_CLASS = "cmainframe"
BOX_CLASS = "MessageBoxWindow"


def launch_copy(sc: Scenario, name: str) -> str:
    """The installer under a launch name, as a browser would have saved it."""
    folder = os.path.join(sc.root, "Downloads")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    shutil.copy(sc.exe("OrvaneInstaller.exe"), path)
    return path


def wait_until(predicate, timeout=30, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")


class Shell(unittest.TestCase):
    def setUp(self):
        self.sc = Scenario("shell").__enter__()
        self.addCleanup(self.sc.__exit__, None, None, None)

    def wintool(self, *args):
        return self.sc.run(self.sc.exe("wintool.exe"), *args)

    def window_state(self, cls):
        out = self.wintool("state", cls)
        if out.returncode != 0:
            return None
        visible, iconic, foreground = out.stdout.decode().split()
        return {"visible": visible == "1", "iconic": iconic == "1", "foreground": foreground == "1"}

    def end_run(self, proc, image):
        self.sc.run("taskkill", "/im", image)
        self.assertEqual(proc.wait(60), 0)

    def test_launch_name_chooses_edition_and_campaign(self):
        name = "orvane64_ens_5678_GA1.2.33.44_z.exe"
        proc = self.sc.start(launch_copy(self.sc, name))
        log = self.sc.wait_for_log("create main")
        self.assertIn("type: orvane64, package:, openID:5678 google id GA1.2.33.44", log)
        self.assertIn("player is 64", log)
        self.assertIn("openid is 5678, package is ", log)
        self.end_run(proc, name)

    def test_second_copy_brings_the_first_back_and_ends(self):
        first = self.sc.start(self.sc.exe("OrvaneInstaller.exe"))
        self.sc.wait_for_log("create main")
        wait_until(lambda: self.window_state(INSTANCE) is not None, what="the IPC endpoint")
        self.assertEqual(self.wintool("minimize", MAIN_CLASS).returncode, 0)
        wait_until(lambda: self.window_state(MAIN_CLASS)["iconic"], what="the minimised window")

        second = self.sc.run(self.sc.exe("OrvaneInstaller.exe"), timeout=60)
        self.assertEqual(second.returncode, 0)
        log = self.sc.wait_for_log("onHandleWindowIPC, msg = 11123")
        self.assertIn("wnd exist", log)
        self.assertIn("It's exist", log)
        wait_until(lambda: not self.window_state(MAIN_CLASS)["iconic"], what="the restored window")
        state = self.window_state(MAIN_CLASS)
        self.assertTrue(state["visible"] and state["foreground"], state)
        self.assertIsNone(first.poll())
        self.end_run(first, "OrvaneInstaller.exe")

    def test_installer_failure_message_is_logged_with_its_code(self):
        proc = self.sc.start(self.sc.exe("OrvaneInstaller.exe"))
        self.sc.wait_for_log("create main")
        wait_until(lambda: self.window_state(INSTANCE) is not None, what="the IPC endpoint")
        self.assertEqual(self.wintool("post", INSTANCE, "11124", "-1").returncode, 0)
        log = self.sc.wait_for_log("player install error! -1")
        self.assertIn("onHandleWindowIPC, msg = 11124", log)
        self.end_run(proc, "OrvaneInstaller.exe")

    def test_old_and_32_bit_systems_get_their_box_and_report(self):
        cases = [
            # system, launch name, box answer that ends the run, reported reason
            ("xp", "orvane9_en_1234_x.exe", "#1", "xp"),
            ("x86", "orvane9_en_1234_x.exe", "#2", "system32"),
        ]
        for system, name, button, reason in cases:
            with self.subTest(system=system), LocalServer() as srv:
                reports = ReportReceiver(srv)
                with Scenario("checks") as sc:
                    self.sc = sc
                    proc = sc.start(launch_copy(sc, name), ORVANE_TEST_SYSTEM=system,
                                    ORVANE_TEST_HOST=srv.url("").rstrip("/"))
                    wait_until(lambda: self.window_state(BOX_CLASS) is not None, what="the box")
                    self.assertEqual(self.wintool("click", BOX_CLASS, button).returncode, 0)
                    self.assertEqual(proc.wait(60), 0)  # the answer ends the run
                    batch = reports.wait_for(1)[-1]
                    failures = [e for e in batch.events if e["eventKey"] == "download_fail"]
                    self.assertEqual([e["properties"]["failure_reason"] for e in failures], [reason])
                    self.assertIn("run_downloader", [e["eventKey"] for e in batch.events])
                    self.assertFalse(reports.rejected)

    def test_32_bit_system_on_the_4_edition_only_logs(self):
        with LocalServer() as srv:
            reports = ReportReceiver(srv)
            name = "orvane4_en_1234_x.exe"
            proc = self.sc.start(launch_copy(self.sc, name), ORVANE_TEST_SYSTEM="x86",
                                 ORVANE_TEST_HOST=srv.url("").rstrip("/"))
            log = self.sc.wait_for_log("32 system!!!")
            self.assertIn("player is 4", log)
            self.assertIsNone(self.window_state(BOX_CLASS))
            self.end_run(proc, name)
            keys = [e["eventKey"] for e in reports.wait_for(1)[-1].events]
            self.assertIn("run_downloader", keys)
            self.assertNotIn("download_fail", keys)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
