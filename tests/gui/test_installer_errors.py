"""Failures as the user meets them: a download both transfer stacks are
refused, and an emulator installer that reports a failed installation
(message 11124). Each shows the download-error box once, with the customer
information's text and contact link, over the progress page. Screenshots
are kept in <build>/gui-screens/."""

import os
import sys
import time
import unittest

from installer_run import ERROR_TEXT, INSTALL_FOLDER, InstallerRun
from orvtest.demo import INSTALLER_PATH
from orvtest.installer_ui import ERROR_BOX, MAIN, wait_until


class Failures(unittest.TestCase):
    def run_installer(self, name: str) -> InstallerRun:
        run = InstallerRun(name).__enter__()
        self.addCleanup(run.__exit__, None, None, None)
        return run

    def wait_error_box(self, run: InstallerRun):
        ui = run.ui
        box = ui.wait(ERROR_BOX, "descriptlabel", what="the error box")
        self.assertEqual(1, ui.count(ERROR_BOX))
        self.assertEqual(ERROR_TEXT, ui.probe(ERROR_BOX, "descriptlabel").text)
        self.assertEqual("Error", ui.probe(ERROR_BOX, "titlelabel").text)
        self.assertFalse(ui.probe(MAIN, "*").enabled)
        return box

    def test_a_refused_download_shows_the_error_box_once(self):
        run = self.run_installer("download_failed")
        run.content.fault(INSTALLER_PATH, status=404, body=b"not here")
        run.start()
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "installnowbtn")
        self.wait_error_box(run)
        run.shot("error_box_download")
        self.assertTrue(ui.probe(MAIN, "installprogressbar").visible)  # over the progress page

        ui.click(ERROR_BOX, "loadingContactUsBtn")
        self.assertEqual([run.origin + "/help"], run.wait_browser())
        self.assertEqual(1, ui.count(ERROR_BOX))
        ui.click(ERROR_BOX, "btnRight")
        self.assertEqual(0, run.wait_exit())
        reasons = [e["properties"]["failure_reason"] for e in run.report_events("download_fail")]
        self.assertEqual(["-1_404"], reasons)
        self.assertNotIn("install_success", run.report_keys())

    def test_an_installer_reporting_failure_shows_the_error_box_once(self):
        run = self.run_installer("installer_failed")
        run.start(ORVANE_STANDIN_INSTALLER="post11124")
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "installnowbtn")
        self.wait_error_box(run)
        run.shot("error_box_installer")
        self.assertIn("player install error! 7", run.sc.read_log())
        # The install task goes on to the settings, then reports its end to
        # the window: that arrives under the box and shows no finish page.
        settings = run.sc.host_path(INSTALL_FOLDER + "data")
        wait_until("the install's settings step", lambda: os.path.isdir(settings))
        time.sleep(1)  # the task's last post reaches the window
        self.assertEqual(1, ui.count(ERROR_BOX))
        self.assertFalse(ui.probe(MAIN, "tastenowbtn").visible)
        ui.click(ERROR_BOX, "btnLeft")
        self.assertEqual(0, run.wait_exit())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
