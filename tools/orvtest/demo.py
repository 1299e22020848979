"""The demo: a content server with a channel's three documents and the
emulator's full installer, the report and analytics receivers, and the
installer itself under Wine, started under a campaign's launch name and
pointed at them. On the user's display the user installs; on a headless
machine (no DISPLAY) the demo clicks through the install itself on a
virtual display and saves a screenshot of each page. Prints where the
emulator (its stand-in) was installed, the screenshots' folder, and what
the receivers got once the installer ends.

    python3 -m orvtest.demo [--channel 5678] [--language en] [--timeout SECONDS]
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
from typing import Optional

from orvtest.receivers import AnalyticsReceiver, ReportReceiver
from orvtest.server import LocalServer
from orvtest.wine import BUILD, WINERUN, Scenario, copy_prefix, template_prefix

INSTALLER_PATH = "/player_files/demo/OrvaneFullInstaller.exe"


def documents(origin: str, channel: str) -> dict:
    installer = origin + INSTALLER_PATH
    return {
        "/player_files/en/kavora": {key: {"url": installer} for key in ("mnq4", "mnq64", "mnq9", "mnq")},
        f"/player_files/openidconfig/{channel}.data": {
            "result": [], "title": "Orvane demo channel", "ad": 1, "shortcutname": "Orvane Demo"},
        "/player_files/en/kavoraex": {
            "en": {"installError": "The emulator could not be installed.", "customerLink": origin + "/help"}},
    }


def full_installer() -> bytes:
    """The stand-in for the emulator's full installer, when the build has one."""
    for name in ("orvane_standin.exe", "standin_installer.exe"):
        path = os.path.join(BUILD, "bin", name)
        if os.path.exists(path):
            with open(path, "rb") as f:
                data = f.read()
            # Installers this small are treated as error pages; pad like a real one.
            return data + b"\0" * max(0, (1 << 20) + 1 - len(data))
    return b""


def demo_prefix() -> str:
    prefix = os.path.join(os.path.dirname(BUILD), "demo-prefix")
    if not os.path.exists(os.path.join(prefix, ".orvane-ready")):
        shutil.rmtree(prefix, ignore_errors=True)
        copy_prefix(template_prefix(), prefix)
    return prefix


class DemoPrefix(Scenario):
    """The demo's persistent prefix, used the way a test scenario is."""

    def __init__(self, prefix: str):
        super().__init__("demo")
        self.prefix = prefix
        self.root = os.path.dirname(prefix)


def click_through(prefix: DemoPrefix, screens: str) -> None:
    """The user's part on a headless machine: install, then start the emulator."""
    from orvtest.installer_ui import MAIN, InstallerUI, wait_until
    ui = InstallerUI(prefix, screens)
    ui.xdo("mousemove", 1, 1)
    ui.wait_window(MAIN)
    ui.screenshot("1_start_page")
    ui.click(MAIN, "installnowbtn")
    phases = {"Downloading": "2_progress_download", "Installing": "3_progress_install"}

    def finished():
        status = ui.probe(MAIN, "loadingprogresslabel")
        for start, shot in list(phases.items()):
            if status and status.visible and status.text.startswith(start):
                ui.screenshot(shot)
                del phases[start]
        finish = ui.probe(MAIN, "tastenowbtn")
        return finish and finish.visible
    wait_until("the finish page", finished, timeout=600)
    ui.screenshot("4_finish_page")
    ui.click(MAIN, "tastenowbtn")


def this_run(log: str) -> str:
    """The log records of the latest run (the file keeps earlier ones)."""
    at = log.rfind(" start run")
    return log[at:] if at >= 0 else log


def install_folder(prefix: DemoPrefix) -> Optional[str]:
    """The folder the installer handed to the emulator's installer, from its log."""
    found = re.findall(r'install player param: .* -path="([^"]+)"', this_run(prefix.read_log()))
    return found[-1] if found else None


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--channel", default="5678")
    ap.add_argument("--language", default="en")
    ap.add_argument("--timeout", type=float, default=None, help="end the run after this many seconds")
    args = ap.parse_args()

    with LocalServer() as content, LocalServer() as telemetry:
        origin = content.url("").rstrip("/")
        for path, document in documents(origin, args.channel).items():
            content.route(path, json_body=document)
        installer = full_installer()
        if installer:
            content.route(INSTALLER_PATH, installer, headers={"Content-Type": "application/octet-stream"})
        reports, analytics = ReportReceiver(telemetry), AnalyticsReceiver(telemetry)

        prefix = demo_prefix()
        headless = not os.environ.get("DISPLAY")
        screens = os.path.join(os.path.dirname(BUILD), "demo-screens")
        launch_dir = os.path.join(os.path.dirname(BUILD), "demo-downloads")
        os.makedirs(launch_dir, exist_ok=True)
        exe = os.path.join(launch_dir, f"orvane9_{args.language}_{args.channel}_demo.exe")
        shutil.copy(os.path.join(BUILD, "bin", "OrvaneInstaller.exe"), exe)
        env = {**os.environ, "WINEPREFIX": prefix, "ORVANE_TEST_HOST": origin,
               "ORVANE_TEST_HOST_REPORT": telemetry.url("").rstrip("/"),
               "ORVANE_TEST_HOST_ANALYTICS": telemetry.url("").rstrip("/")}
        print(f"demo: content server {origin}, receivers {telemetry.url('')}")
        demo = DemoPrefix(prefix)
        if headless:
            env["DISPLAY"] = demo.display_env()["DISPLAY"]
            print(f"demo: no display; running {os.path.basename(exe)} on {env['DISPLAY']} and installing")
        else:
            print(f"demo: running {os.path.basename(exe)} in {prefix}; close its window to end")
        proc = subprocess.Popen([WINERUN, exe], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            if headless:
                click_through(demo, screens)
            proc.wait(args.timeout)
        except (subprocess.TimeoutExpired, AssertionError) as problem:
            if isinstance(problem, AssertionError):
                print(f"demo: {problem}")
            subprocess.run([WINERUN, "taskkill", "/im", os.path.basename(exe)], env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            proc.wait(60)
        print(f"demo: the installer ended with code {proc.returncode}")
        folder = install_folder(demo)
        if folder:
            print(f"demo: the emulator (stand-in) was installed in {folder} = {demo.host_path(folder)}")
            print("demo: installed files:", ", ".join(sorted(os.listdir(demo.host_path(folder)))))
            record = os.path.join(demo.host_path(folder), "standin_record.txt")
            if os.path.exists(record):
                with open(record, encoding="utf-8", errors="replace") as f:
                    for line in f:
                        print("demo: started:", line.strip().replace("\t", " "))
        else:
            print("demo: nothing was installed")
        if headless:
            print(f"demo: screenshots of each page are in {screens}")
        print("demo: content requests:", ", ".join(f"{r.method} {r.path}" for r in content.requests) or "none")
        for batch in reports.accepted:
            print("demo: report batch:", ", ".join(e["eventKey"] for e in batch.events))
        for event in analytics.accepted:
            print(f"demo: analytics event: {event.name} label={event.label!r}")
        if reports.rejected or analytics.rejected:
            print("demo: refused:", reports.rejected + analytics.rejected)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
