"""The skin engine under real input: the gallery window (tests/gallery) is
driven with xdotool on a virtual display and checked through the
notifications it logs and through screenshots.

Screenshots are kept in <build>/gui-screens/."""
import os
import re
import subprocess
import sys
import time
import unittest

from orvtest.wine import BUILD, SOURCE, Scenario

SCREENS = os.path.join(BUILD, "gui-screens")
SKIN = "Z:" + os.path.join(SOURCE, "tests", "data", "skin").replace("/", "\\") + "\\"
TIMEOUT = 60

# Client positions from tests/data/skin/gallery/gallery.xml.
CLICKME = (50, 70)
DISABLED = (140, 70)
CHECK = (240, 70)
EDIT = (110, 113)
COMBO = (295, 113)
COMBO_ITEM_1 = (295, 128 + 28 + 14)
BACKGROUND = (400, 300)
TITLE = (200, 20)
CLOSE = (460, 20)


def wait_until(what, check, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = check()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")


class Gallery:
    def __init__(self, sc, layout="gallery\\gallery.xml"):
        self.sc = sc
        self.env = sc.display_env()
        self.log_file = os.path.join(sc.root, "gallery.log")
        open(self.log_file, "w").close()
        log_arg = "Z:" + self.log_file.replace("/", "\\")
        self.proc = sc.start(sc.exe("gallery.exe"), SKIN, layout, log_arg, DISPLAY=self.env["DISPLAY"])

    # --- what the window reported ---------------------------------------
    def log(self):
        with open(self.log_file, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()

    def wait_log(self, line):
        return wait_until(f"log line {line!r}; log: {self.log()}", lambda: line in self.log())

    # --- the X side --------------------------------------------------------
    def xdo(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True,
                              check=True).stdout

    def window(self, name="Orvane Gallery"):
        ids = wait_until(f"window {name!r}", lambda: self.sc.windows(name))
        return ids[-1]

    def geometry(self, wid):
        out = self.xdo("getwindowgeometry", "--shell", wid)
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    def move_to(self, wid, point):
        x, y = self.geometry(wid)
        self.xdo("mousemove", x + point[0], y + point[1])

    def click(self, wid, point):
        self.move_to(wid, point)
        self.xdo("click", 1)

    def small_visible_windows(self):
        """Visible windows lower than 40 pixels (tool-tips)."""
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ""], env=self.env,
                             capture_output=True, text=True).stdout.split()
        small = []
        for w in out:
            geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", w], env=self.env,
                                      capture_output=True, text=True).stdout
            values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
            if values and int(values["HEIGHT"]) < 40:
                small.append(w)
        return small

    def screenshot(self, name):
        os.makedirs(SCREENS, exist_ok=True)
        path = os.path.join(SCREENS, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return path

    def pixel(self, wid, point):
        x, y = self.geometry(wid)
        path = self.screenshot("probe")
        out = subprocess.run(["convert", path, "-format", f"%[pixel:p{{{x + point[0]},{y + point[1]}}}]", "info:"],
                             capture_output=True, text=True, check=True).stdout
        return tuple(int(v) for v in re.findall(r"\d+", out)[:3])


class GalleryTest(unittest.TestCase):
    def test_controls_answer_real_input(self):
        with Scenario() as sc:
            g = Gallery(sc)
            g.wait_log("windowinit - 0 0")
            wid = g.window()
            g.screenshot("gallery_start")
            self.assertEqual((255, 255, 0), g.pixel(wid, (DISABLED[0], DISABLED[1] + 15)))  # disabled slice

            # Hover, then press: the state slices follow the pointer.
            g.move_to(wid, CLICKME)
            wait_until("hot state", lambda: g.pixel(wid, (CLICKME[0], CLICKME[1] + 15)) == (0, 255, 0))
            # Resting on it shows its tool-tip ("@gallery_tip" resolved).
            wait_until("tool-tip", g.small_visible_windows)
            g.screenshot("gallery_hot")
            g.xdo("mousedown", 1)
            wait_until("pushed state", lambda: g.pixel(wid, (CLICKME[0], CLICKME[1] + 15)) == (0, 0, 255))
            g.screenshot("gallery_pushed")
            g.xdo("mouseup", 1)
            g.wait_log("click clickme 0 0")
            g.wait_log("handler clickme")  # through the window's notification map

            # A click on the disabled button raises nothing.
            g.click(wid, DISABLED)
            g.click(wid, CHECK)
            g.wait_log("selectchanged check 0 0 selected=0")
            self.assertNotIn("click disabled 0 0", g.log())
            g.click(wid, CHECK)
            g.wait_log("selectchanged check 0 0 selected=1")

            # Typing goes into the native edit; leaving it hands the text back.
            g.click(wid, EDIT)
            g.wait_log("setfocus edit 0 0 text=")
            g.xdo("type", "--delay", "50", "hello")
            g.wait_log("textchanged edit 0 0 text=hello")
            g.screenshot("gallery_editing")
            g.click(wid, BACKGROUND)
            g.wait_log("killfocus edit 0 0 text=hello")

            # The combo's list opens under it; picking an item reports new and old index.
            g.click(wid, COMBO)
            # The open list covers the rich edit (#F4F4F4) with its white items.
            wait_until("drop-down list", lambda: g.pixel(wid, COMBO_ITEM_1) == (255, 255, 255))
            g.screenshot("gallery_combo_open")
            g.click(wid, COMBO_ITEM_1)
            g.wait_log("itemselect combo 1 0 text=ko_KR")
            g.screenshot("gallery_combo_picked")

            # Dragging the title label moves the window; the close button does not drag.
            before = g.geometry(wid)
            g.move_to(wid, TITLE)
            g.xdo("mousedown", 1)
            for step in range(1, 7):
                g.xdo("mousemove", before[0] + TITLE[0] + 10 * step, before[1] + TITLE[1] + 5 * step)
                time.sleep(0.1)
            g.xdo("mouseup", 1)
            after = wait_until("window moved", lambda: g.geometry(wid) if g.geometry(wid) != before else None)
            self.assertEqual((before[0] + 60, before[1] + 30), after)
            g.screenshot("gallery_moved")
            # Pressing on the close button and dragging neither moves nor closes it.
            g.move_to(wid, CLOSE)
            g.xdo("mousedown", 1)
            for step in range(1, 7):
                g.xdo("mousemove", after[0] + CLOSE[0] - 10 * step, after[1] + CLOSE[1] + 5 * step)
                time.sleep(0.1)
            g.xdo("mouseup", 1)
            g.click(wid, CHECK)  # a later event, so the press has been handled
            g.wait_log("killfocus closebtn 0 0")
            self.assertEqual(after, g.geometry(wid))
            self.assertNotIn("click closebtn 0 0", g.log())

            # Escape closes the window and the program ends.
            g.xdo("key", "Escape")
            g.wait_log("final")
            self.assertEqual(0, g.proc.wait(timeout=TIMEOUT))

    def test_close_button_falls_through_to_the_base_map(self):
        with Scenario() as sc:
            g = Gallery(sc)
            g.wait_log("windowinit - 0 0")
            wid = g.window()
            g.click(wid, CLOSE)
            g.wait_log("click closebtn 0 0")
            g.wait_log("final")
            self.assertEqual(0, g.proc.wait(timeout=TIMEOUT))

    def test_layered_window_blends_with_what_lies_beneath(self):
        with Scenario() as sc:
            g = Gallery(sc, layout="gallery\\layered.xml")
            g.wait_log("windowinit - 0 0")
            wid = g.window()
            g.screenshot("gallery_layered")
            self.assertEqual((0, 0, 255), g.pixel(wid, (100, 60)))
            # Half-transparent red over the grey desktop: neither red nor black.
            r, gr, b = g.pixel(wid, (10, 10))
            self.assertTrue(150 <= r <= 235 and 30 <= gr <= 100 and 30 <= b <= 100, (r, gr, b))
            g.xdo("windowfocus", "--sync", wid)
            g.xdo("key", "Escape")
            g.wait_log("final")
            self.assertEqual(0, g.proc.wait(timeout=TIMEOUT))

    def test_broken_layout_shows_the_error_and_exits_with_1(self):
        with Scenario() as sc:
            g = Gallery(sc, layout="gallery\\broken.xml")
            box = g.window("Duilib")
            g.screenshot("gallery_broken_layout")
            g.xdo("windowfocus", "--sync", box)
            g.xdo("key", "Return")
            self.assertEqual(1, g.proc.wait(timeout=TIMEOUT))
            self.assertEqual([], g.log())


if __name__ == "__main__":
    unittest.main(verbosity=2)
