"""One run of the installer for the window tests: the content server with a
channel's documents and the emulator's full installer (the stand-in), the
report and analytics receivers, a private Wine prefix whose browser is a
recorder, and the installer started under a campaign's launch name.

    with InstallerRun(self) as run:
        run.start()
        run.ui.click(MAIN, "installnowbtn")
        ...
        run.wait_exit()

Screenshots go to <build>/gui-screens/.
"""

import os
import shutil
import subprocess
import time
from typing import List, Optional

from orvtest.demo import INSTALLER_PATH, documents, full_installer
from orvtest.installer_ui import InstallerUI
from orvtest.receivers import AnalyticsReceiver, ReportReceiver
from orvtest.server import LocalServer
from orvtest.wine import BUILD, Scenario

SCREENS = os.path.join(BUILD, "gui-screens")
CHANNEL = "5678"
LAUNCH_NAME = f"orvane9_en_{CHANNEL}_x.exe"
INSTALL_FOLDER = "C:\\Orvane\\Orvane9\\"
ERROR_TEXT = "The emulator could not be installed."
BROWSER_LOG = "C:\\browser.txt"


class InstallerRun:
    def __init__(self, name: str):
        self.name = name
        self.content = LocalServer()
        self.telemetry = LocalServer()
        self.sc = Scenario(name)
        self.proc: Optional[subprocess.Popen] = None
        self.ui: Optional[InstallerUI] = None
        self.mounts: List[str] = []

    # --- set-up -------------------------------------------------------------------
    def __enter__(self) -> "InstallerRun":
        self.content.start()
        self.telemetry.start()
        self.origin = self.content.url("").rstrip("/")
        for path, document in documents(self.origin, CHANNEL).items():
            self.content.route(path, json_body=document)
        self.content.route(INSTALLER_PATH, full_installer(), headers={"Content-Type": "application/octet-stream"})
        self.installer_url = self.origin + INSTALLER_PATH
        self.reports = ReportReceiver(self.telemetry)
        self.analytics = AnalyticsReceiver(self.telemetry)
        self.sc.__enter__()
        self.ui = InstallerUI(self.sc, SCREENS)
        self._record_browser()
        return self

    def __exit__(self, *exc) -> None:
        if exc and exc[0] is not None:
            print(f"--- installer log of {self.name} ---\n{self.sc.read_log()[-6000:]}")
        try:
            if self.proc and self.proc.poll() is None:
                self.sc.run("taskkill", "/im", LAUNCH_NAME)
                try:
                    self.proc.wait(60)
                except subprocess.TimeoutExpired:
                    self.proc.kill()
        finally:
            self.sc.__exit__(*exc)
            for mount in self.mounts:
                subprocess.run(["umount", mount], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.content.stop()
            self.telemetry.stop()

    def _record_browser(self) -> None:
        """The prefix's handler of web addresses appends them to BROWSER_LOG."""
        command = rf"C:\windows\system32\cmd.exe /c echo %1>>{BROWSER_LOG}"
        for scheme in ("http", "https"):
            self.sc.run("reg", "add", rf"HKLM\Software\Classes\{scheme}\shell\open\command", "/ve", "/d", command,
                        "/f")

    def small_drive(self, letter: str, megabytes: int) -> bool:
        """Drive letter: backed by a tmpfs of that size (needs root); false when it cannot be made."""
        folder = os.path.join(self.sc.root, f"drive_{letter}")
        os.makedirs(folder)
        made = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={megabytes}m", "tmpfs", folder],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
        if made:
            self.mounts.append(folder)
            os.symlink(folder, os.path.join(self.sc.prefix, "dosdevices", letter.lower() + ":"))
        return made

    # --- the run --------------------------------------------------------------------
    def start(self, **env) -> None:
        folder = os.path.join(self.sc.root, "Downloads")
        os.makedirs(folder, exist_ok=True)
        exe = os.path.join(folder, LAUNCH_NAME)
        shutil.copy(self.sc.exe("OrvaneInstaller.exe"), exe)
        telemetry = self.telemetry.url("").rstrip("/")
        # The pointer starts off the window, as a user's would.
        self.ui.xdo("mousemove", 1, 1)
        self.proc = self.sc.start(exe, ORVANE_TEST_HOST=self.origin, ORVANE_TEST_HOST_REPORT=telemetry,
                                  ORVANE_TEST_HOST_ANALYTICS=telemetry, **env)

    def wait_exit(self, timeout: float = 60) -> int:
        return self.proc.wait(timeout)

    def shot(self, name: str) -> str:
        return self.ui.screenshot(f"{self.name}_{name}")

    # --- what it left ---------------------------------------------------------------
    def browser_calls(self) -> List[str]:
        path = self.sc.host_path(BROWSER_LOG)
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8", errors="replace") as f:
            return [line.strip() for line in f if line.strip()]

    def wait_browser(self, timeout: float = 30) -> List[str]:
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and not self.browser_calls():
            time.sleep(0.3)
        return self.browser_calls()

    def standin_record(self) -> List[List[str]]:
        """The stand-ins' record in the install folder: [program, command line] per start."""
        path = self.sc.host_path(INSTALL_FOLDER + "standin_record.txt")
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8", errors="replace") as f:
            return [line.rstrip("\r\n").split("\t", 1) for line in f if line.strip()]

    def report_keys(self) -> List[str]:
        return [e["eventKey"] for batch in self.reports.accepted for e in batch.events]

    def report_events(self, key: str) -> List[dict]:
        return [e for batch in self.reports.accepted for e in batch.events if e["eventKey"] == key]
