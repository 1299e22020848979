"""The shipped skin on screen: every page of the main window, the exit box,
the error box and the message box with and without icon, built from the
archives inside OrvaneInstaller.exe by tests/skinshots and filled the way the
installer fills them, in English, Korean, Arabic and Russian.

Screenshots are kept for review in <build>/gui-screens/skin_<locale>_<view>.png."""
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

from orvtest.wine import BUILD, Scenario

SCREENS = os.path.join(BUILD, "gui-screens")
TIMEOUT = 90
LOCALES = os.environ.get("ORVANE_SKIN_LOCALES", "en_US ko_KR ar_IL ru_RU").split()
# What a user of each language runs Wine with.
SYSTEM_LOCALE = {"en_US": "en_US.UTF-8", "ko_KR": "ko_KR.UTF-8", "ar_IL": "ar_EG.UTF-8", "ru_RU": "ru_RU.UTF-8"}
VIEWS = ["main_start", "main_folder", "main_folder_invalid", "main_page1_licence", "main_page2_download",
         "main_page2_install", "main_page3_packages", "main_page4_finish", "main_page5", "main_page6", "main_page7",
         "box_exit", "box_error", "box_message_icon", "box_message_noicon"]
# Box views: window size and the view of the same main window without the box.
BOXES = {"box_exit": (436, 236, "main_start"), "box_error": (456, 296, "main_page2_install"),
         "box_message_icon": (436, 266, "main_start"), "box_message_noicon": (436, 266, "main_start")}

# Windows falls back to fonts of the script where a face lacks it (Arabic,
# Hangul); the test prefix gets the same through font links from the faces
# the windows use (the layouts' face is mapped to WenQuanYi Micro Hei; Wine
# knows Noto Sans by its full name here) to host fonts of those scripts.
FONT_LINKS = r"""REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"WenQuanYi Micro Hei"=hex(7):{links}
"Roboto"=hex(7):{links}
"Noto Sans Regular"=hex(7):{links}
"""
LINKED = ["NotoSansArabic-Regular.ttf", "NanumGothic.ttf"]


def multi_sz(values):
    data = "".join(v + "\0" for v in values) + "\0"
    return ",".join(f"{b:02x}" for b in data.encode("utf-16-le"))


class PrivateDisplay:
    """A virtual display of this test alone (with a compositing manager for the
    layered boxes), so that no other GUI test's window covers the shots."""

    def __enter__(self):
        for n in range(150, 200):
            if os.path.exists(f"/tmp/.X{n}-lock"):
                continue
            self.name = f":{n}"
            self.xvfb = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            env = {**os.environ, "DISPLAY": self.name}
            up = lambda: self.xvfb.poll() is not None or subprocess.run(
                ["xdpyinfo"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
            wait_until("Xvfb", up, timeout=20)
            if self.xvfb.poll() is None:
                self.compositor = subprocess.Popen(["xcompmgr"], env=env, stdout=subprocess.DEVNULL,
                                                   stderr=subprocess.DEVNULL)
                time.sleep(0.5)
                return self
        raise AssertionError("no free display for the screenshots")

    def __exit__(self, *exc):
        for proc in (self.compositor, self.xvfb):
            proc.terminate()
            proc.wait(10)


def wait_until(what, check, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = check()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")


class Shots:
    def __init__(self, sc, locale, display):
        self.sc, self.locale = sc, locale
        self.env = {**os.environ, "DISPLAY": display}
        self.log_file = os.path.join(sc.root, "shots.log")
        self.go_file = os.path.join(sc.root, "shots.go")
        open(self.log_file, "w").close()
        open(self.go_file, "w").close()
        self.link_fonts()
        win = lambda p: "Z:" + p.replace("/", "\\")
        self.proc = sc.start(sc.exe("skinshots.exe"), win(sc.exe("OrvaneInstaller.exe")), locale, win(self.log_file),
                             win(self.go_file), DISPLAY=self.env["DISPLAY"], LC_ALL=SYSTEM_LOCALE[locale])

    def link_fonts(self):
        reg = os.path.join(self.sc.root, "links.reg")
        with open(reg, "w", encoding="utf-16") as f:
            f.write(FONT_LINKS.format(links=multi_sz(LINKED)).replace("\n", "\r\n"))
        self.sc.run("regedit", "/S", "Z:" + reg.replace("/", "\\"))

    def log(self):
        with open(self.log_file, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()

    def windows(self, name):
        return subprocess.run(["xdotool", "search", "--name", f"^{re.escape(name)}$"], env=self.env,
                              capture_output=True, text=True).stdout.split()

    def geometry(self, name):
        ids = wait_until(f"window {name!r}", lambda: self.windows(name))
        out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", ids[-1]], env=self.env, capture_output=True,
                             text=True, check=True).stdout
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def capture(self, view):
        """The main window's area (boxes sit inside it) as a PNG."""
        x, y, w, h = self.geometry(f"Orvane shot {view}")
        os.makedirs(SCREENS, exist_ok=True)
        path = os.path.join(SCREENS, f"skin_{self.locale}_{view}.png")
        subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", path], env=self.env,
                       check=True)
        return path, (x, y)

    def next(self, view):
        with open(self.go_file, "w") as f:
            f.write(view + "\n")


def pixel(path, point):
    out = subprocess.run(["convert", path, "-format", f"%[pixel:p{{{point[0]},{point[1]}}}]", "info:"],
                         capture_output=True, text=True, check=True).stdout
    return tuple(int(v) for v in re.findall(r"\d+", out)[:3])


def brightness(rgb):
    return sum(rgb) / 3


class SkinScreens(unittest.TestCase):
    def test_every_window_in_four_languages(self):
        with PrivateDisplay() as display:
            for locale in LOCALES:
                self.shoot(locale, display.name)

    def shoot(self, locale, display):
        with self.subTest(locale), Scenario(f"shots-{locale}") as sc:
            shots = Shots(sc, locale, display)
            taken = {}
            for view in VIEWS:
                wait_until(f"{locale} {view}; log: {shots.log()}", lambda: f"ready {view}" in shots.log())
                taken[view], _ = shots.capture(view)
                shots.next(view)
            wait_until("the end of the list", lambda: "done" in shots.log())
            self.assertEqual(0, shots.proc.wait(TIMEOUT))
            self.assertEqual([], [line for line in shots.log() if line.startswith("missing")])
            self.check_shadows(taken)

    def check_shadows(self, taken):
        """Around each layered box the window beneath shows through its
        shadow: darker than without the box, but neither black nor untouched."""
        for view, (w, h, beneath) in BOXES.items():
            background = taken[beneath]
            cx, cy = 320 - w // 2, 200 - h // 2  # the box's corner inside the main window
            # Just below the panel, halfway along: the heart of the shadow.
            probe = (320, cy + h - 15)
            under = brightness(pixel(background, probe))
            shaded = brightness(pixel(taken[view], probe))
            self.assertGreater(shaded, 3, f"{view}: the shadow is opaque black")
            self.assertLess(shaded, under - 2, f"{view}: no shadow over the window ({shaded} vs {under})")
            # Outside the box's window the main window is unchanged.
            outside = (cx - 6, cy + h // 2)
            self.assertEqual(pixel(background, outside), pixel(taken[view], outside), view)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
