"""Drives the installer's skinned windows the way a user does: controls are
found through the probe that test builds answer (tools/wintool probe), the
pointer and the keyboard are moved with xdotool on the X display, and the
screen is saved with ImageMagick's import.

    ui = InstallerUI(sc, screens_dir)
    ui.wait_window(MAIN)
    ui.click(MAIN, "installnowbtn")
    ui.wait(MAIN, "tastenowbtn", what="the finish page")

Without a window manager the X root coordinates are the Windows screen
coordinates the probe reports, so a control's centre is where to click.
"""

import os
import subprocess
import time
from dataclasses import dataclass
from typing import Callable, List, Optional

MAIN = "cmainframe"
MESSAGE_BOX = "MessageBoxWindow"
EXIT_BOX = "box"
ERROR_BOX = "downloadErrorBox"
TIMEOUT = 60


@dataclass
class Control:
    visible: bool
    enabled: bool
    left: int
    top: int
    right: int
    bottom: int
    value: int
    text: str

    @property
    def centre(self):
        return (self.left + self.right) // 2, (self.top + self.bottom) // 2

    @staticmethod
    def parse(line: str) -> Optional["Control"]:
        parts = line.rstrip("\r\n").split(" ", 7)
        if len(parts) < 7:
            return None
        numbers = [int(p) for p in parts[:7]]
        return Control(numbers[0] == 1, numbers[1] == 1, *numbers[2:7], parts[7] if len(parts) > 7 else "")


def wait_until(what: str, check: Callable, timeout: float = TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = check()
        if value:
            return value
        time.sleep(0.3)
    raise AssertionError(f"timed out waiting for {what}")


class InstallerUI:
    def __init__(self, sc, screens: str):
        self.sc = sc
        self.screens = screens
        self.env = sc.display_env()
        self.shots: List[str] = []

    # --- reading the windows ---------------------------------------------------
    def wintool(self, *args) -> subprocess.CompletedProcess:
        return self.sc.run(self.sc.exe("wintool.exe"), *args)

    def probe(self, window: str, control: str) -> Optional[Control]:
        out = self.wintool("probe", window, control)
        if out.returncode != 0:
            return None
        return Control.parse(out.stdout.decode("utf-8", errors="replace"))

    def count(self, window: str) -> int:
        out = self.wintool("count", window)
        return int(out.stdout.decode().strip() or 0)

    def wait(self, window: str, control: str, check: Callable[[Control], bool] = lambda c: c.visible,
             what: str = "", timeout: float = TIMEOUT) -> Control:
        def ready():
            found = self.probe(window, control)
            return found if found and check(found) else None
        return wait_until(what or f"{control} in {window}", ready, timeout)

    def wait_window(self, window: str, timeout: float = TIMEOUT) -> Control:
        return self.wait(window, "*", what=f"the window {window}", timeout=timeout)

    def wait_gone(self, window: str, timeout: float = TIMEOUT) -> None:
        wait_until(f"{window} to go", lambda: self.count(window) == 0, timeout)

    # --- real input -------------------------------------------------------------
    def xdo(self, *args) -> str:
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True,
                              check=True).stdout

    def placed(self, window: str, control: str) -> Control:
        """The control once it is shown, enabled and laid out: a control on a page
        just selected gets its place at the window's next paint."""
        last = []

        def settled():
            found = self.probe(window, control)
            if not found or not (found.visible and found.enabled) or found.right <= found.left:
                return None
            same = last and last[-1] == found
            last.append(found)
            return found if same else None
        return wait_until(f"{control} in {window} to be clickable", settled)

    def click(self, window: str, control: str) -> Control:
        target = self.placed(window, control)
        x, y = target.centre
        self.xdo("mousemove", "--sync", x, y)
        time.sleep(0.2)  # let the window see the pointer arrive before the press
        self.xdo("click", 1)
        return target

    def type_into(self, window: str, control: str, text: str) -> None:
        """Clicks into an edit and replaces its text; the caller then leaves it."""
        self.click(window, control)
        time.sleep(0.5)  # the native edit takes the focus
        self.xdo("key", "ctrl+a")
        self.xdo("type", "--delay", "30", text)

    def click_at(self, x: int, y: int) -> None:
        self.xdo("mousemove", "--sync", x, y)
        self.xdo("click", 1)

    def key(self, name: str) -> None:
        self.xdo("key", name)

    # --- pictures -----------------------------------------------------------------
    def screenshot(self, name: str) -> str:
        os.makedirs(self.screens, exist_ok=True)
        path = os.path.join(self.screens, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        self.shots.append(path)
        return path
