"""The installer's window under real input, end to end: a user installs the
emulator through it (licence ticked, install, the progress page, the finish
page, the emulator started), and the ways of leaving early: the close button
before the install and during the download, and Escape. Checked through
the window's controls, the files and record the stand-ins leave, the
browser the prefix records, and what reached the report and analytics
receivers. Screenshots of every page and box are kept in <build>/gui-screens/."""

import re
import sys
import unittest

from installer_run import INSTALL_FOLDER, InstallerRun
from orvtest.demo import INSTALLER_PATH
from orvtest.installer_ui import EXIT_BOX, MAIN, MESSAGE_BOX, wait_until

COUNTER = re.compile(r"^\d+\.\d\d(B|KB|M)/\d+\.\d\dM$")


class InstallerFlow(unittest.TestCase):
    def run_installer(self, name: str) -> InstallerRun:
        run = InstallerRun(name).__enter__()
        self.addCleanup(run.__exit__, None, None, None)
        return run

    def test_a_user_installs_and_starts_the_emulator(self):
        run = self.run_installer("install")
        # Slow enough to watch: 64 KiB every quarter second.
        run.content.fault(INSTALLER_PATH, trickle=(65536, 0.25))
        run.start()
        ui = run.ui
        ui.wait_window(MAIN)
        self.assertTrue(ui.probe(MAIN, "acceptprotocolopt").value)
        run.shot("start_page")
        ui.click(MAIN, "installnowbtn")

        bars, counters, statuses = [], [], []
        def finished():
            bar = ui.probe(MAIN, "installprogressbar")
            counter = ui.probe(MAIN, "downloadProgressLabel")
            status = ui.probe(MAIN, "loadingprogresslabel")
            if bar and bar.visible:
                bars.append(bar.value)
                statuses.append(status.text)
                if counter.visible and counter.text:
                    counters.append(counter.text)
                for prefix, shot in (("Downloading", "progress_page_download"), ("Installing", "progress_page_install")):
                    if status.text.startswith(prefix) and not any(s.startswith(prefix) for s in statuses[:-1]):
                        run.shot(shot)
            finish = ui.probe(MAIN, "tastenowbtn")
            return finish and finish.visible
        wait_until("the finish page", finished, timeout=120)
        run.shot("finish_page")

        self.assertEqual(bars, sorted(bars), "the bar never goes back")
        self.assertGreaterEqual(len(set(b for b in bars if b < 64)), 2, f"a rising download bar: {bars}")
        self.assertTrue(counters and all(COUNTER.match(c) for c in counters), counters)
        self.assertTrue(any(re.match(r"^Downloading\.\.\.\(\d+%\)$", s) for s in statuses), statuses)
        self.assertEqual(100, ui.probe(MAIN, "installprogressbar").value)
        self.assertEqual("Start Orvane", ui.probe(MAIN, "tastenowbtn").text)

        ui.click(MAIN, "tastenowbtn")
        self.assertEqual(0, run.wait_exit())
        record = run.standin_record()
        programs = [program for program, _ in record]
        self.assertEqual(["Orvane.exe", "doririda.exe"], programs)
        self.assertTrue(record[0][1].endswith(
            f' -silence -downloader -openid=5678 -language=en -path="{INSTALL_FOLDER}"'), record[0][1])
        # No launch-name package: the emulator starts without arguments.
        self.assertEqual(f'"{INSTALL_FOLDER}\\doririda.exe"', record[1][1].strip())

        keys = run.report_keys()
        for key in ("run_downloader", "start_downloader", "download_success", "download_duration",
                    "install_success", "downloader_full_duration"):
            self.assertIn(key, keys)
        self.assertNotIn("cancel_download", keys)
        self.assertIn(("download_run", "5678"), [(e.name, e.label) for e in run.analytics.accepted])
        self.assertFalse(run.reports.rejected or run.analytics.rejected)

    def test_close_before_the_install_asks_and_yes_ends_the_run(self):
        run = self.run_installer("close_start")
        run.start()
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "closebtn")
        ui.wait_window(EXIT_BOX)
        self.assertEqual("Are you sure you want to cancel the installation?", ui.probe(EXIT_BOX, "descriptlabel").text)
        self.assertFalse(ui.probe(MAIN, "*").enabled)
        run.shot("exit_confirmation")
        # "No" leaves everything as it was.
        ui.click(EXIT_BOX, "btnRight")
        ui.wait_gone(EXIT_BOX)
        self.assertTrue(ui.probe(MAIN, "*").enabled)
        self.assertIsNone(run.proc.poll())
        # "Yes" ends the run and tells analytics.
        ui.click(MAIN, "closebtn")
        ui.click(EXIT_BOX, "btnLeft")
        self.assertEqual(0, run.wait_exit())
        self.assertIn(("userCancel", "5678"), [(e.name, e.label) for e in run.analytics.accepted])
        self.assertNotIn("start_downloader", run.report_keys())

    def test_close_during_the_download_offers_the_browser(self):
        run = self.run_installer("close_download")
        run.content.fault(INSTALLER_PATH, stall_after=200000)  # the download hangs on
        run.start()
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "installnowbtn")
        ui.wait(MAIN, "downloadProgressLabel", lambda c: c.visible and c.text, what="download progress")
        ui.click(MAIN, "closebtn")
        box = ui.wait(MESSAGE_BOX, "descriptlabel")
        self.assertEqual("Closing now stops the download. Would you like to download Orvane in your browser "
                         "instead?", box.text)
        self.assertEqual(0, ui.count(EXIT_BOX))
        self.assertEqual("Use browser", ui.probe(MESSAGE_BOX, "#1").text)
        self.assertEqual("Close", ui.probe(MESSAGE_BOX, "#2").text)
        run.shot("download_slowtip")
        ui.click(MESSAGE_BOX, "#1")
        self.assertEqual(0, run.wait_exit())
        self.assertEqual([run.installer_url], run.wait_browser())
        self.assertIn("cancel_download", run.report_keys())
        self.assertNotIn("download_success", run.report_keys())

    def test_escape_while_the_installer_runs_ends_the_run(self):
        run = self.run_installer("escape_install")
        run.start(ORVANE_STANDIN_INSTALLER="hang")  # the emulator's installer never ends
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "installnowbtn")
        ui.wait(MAIN, "loadingprogresslabel", lambda c: c.text.startswith("Installing"), what="the install phase")
        ui.wait(MAIN, "installprogressbar", lambda c: c.value >= 66, what="the install timer")
        run.shot("progress_page_install_timer")
        ui.click(MAIN, "loadingprogresslabel")  # the installer's console had the keyboard
        ui.key("Escape")
        self.assertEqual(0, run.wait_exit())
        self.assertEqual(["Orvane.exe"], [program for program, _ in run.standin_record()])
        self.assertNotIn("install_success", run.report_keys())

    def test_escape_ends_the_run_at_once(self):
        run = self.run_installer("escape")
        run.start()
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "LicenseAgreementText")  # the window has the keyboard
        ui.key("Escape")
        self.assertEqual(0, run.wait_exit())
        self.assertEqual([], run.browser_calls())
        self.assertIn("run_downloader", run.report_keys())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
