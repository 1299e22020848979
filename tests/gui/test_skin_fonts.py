"""The fonts carried in the installer: started under Wine, the program unpacks
its fonts archive into the fonts folder on every start and adds its
language's font, which it logs."""
import filecmp
import os
import shutil
import subprocess
import sys
import unittest

from orvtest.wine import BUILD, Scenario

BUILT_FONTS = os.path.join(BUILD, "resources", "fonts")
MEMBERS = ["NanumGothic.otf", "NotoSans-Regular.otf", "Roboto-Regular.otf"]
FONT_ADD = "load Noto Sans fonts ret:"


def run_until_font_step(sc, launch_name):
    """Starts a copy of the installer under its launch name and returns the log
    once the font step has run."""
    exe = os.path.join(sc.root, launch_name + ".exe")
    shutil.copyfile(sc.exe("OrvaneInstaller.exe"), exe)
    proc = sc.start(exe)
    log = sc.wait_for_log("create main")
    sc.run("taskkill", "/im", launch_name + ".exe")
    proc.wait(60)
    return log


def font_add_lines(log):
    return [line for line in log.splitlines() if FONT_ADD in line]


def archive_facts(path):
    """(members' blocks, methods, solid flag) of a 7z archive."""
    out = subprocess.run(["7z", "l", "-slt", path], capture_output=True, text=True, check=True).stdout
    head, _, members = out.partition("----------")
    blocks = {line.split(" = ")[1] for line in members.splitlines() if line.startswith("Block = ")}
    methods = {line.split(" = ")[1].split(":")[0] for line in out.splitlines() if line.startswith("Method = ")}
    return blocks, methods, "Solid = +" in head


class EmbeddedFonts(unittest.TestCase):
    def test_archives_are_solid_lzma2(self):
        for name, blocks in (("skin.7z", 1), ("fonts.7z", 2)):
            with self.subTest(name):
                found, methods, solid = archive_facts(os.path.join(BUILD, "resources", name))
                self.assertTrue(solid)
                self.assertEqual({"LZMA2"}, methods)
                self.assertEqual(blocks, len(found))

    def test_archive_holds_the_profile_fonts_as_opentype(self):
        self.assertEqual(MEMBERS, sorted(os.listdir(BUILT_FONTS)))
        for name in MEMBERS:
            with open(os.path.join(BUILT_FONTS, name), "rb") as f:
                # CFF outlines ("OTTO"); a TrueType copy starts with 00 01 00 00.
                self.assertEqual(b"OTTO", f.read(4), name)

    def test_start_unpacks_the_fonts_and_adds_the_language_font(self):
        cases = [
            ("orvane9_en_1234_x", "Roboto-Regular.otf"),
            ("orvane9_kr_1234_x", "NotoSans-Regular.otf"),
        ]
        for launch_name, font in cases:
            with self.subTest(launch_name), Scenario("fonts") as sc:
                fonts = sc.appdata("rodavezeroru_da", "fonts")
                os.makedirs(fonts)
                # A stale copy from an earlier run is replaced.
                with open(os.path.join(fonts, font), "wb") as f:
                    f.write(b"stale")
                log = run_until_font_step(sc, launch_name)
                self.assertEqual(MEMBERS, sorted(os.listdir(fonts)))
                for name in MEMBERS:
                    self.assertTrue(filecmp.cmp(os.path.join(BUILT_FONTS, name), os.path.join(fonts, name),
                                                shallow=False), name)
                # One private font was added: AddFontResourceExW returned 1.
                lines = font_add_lines(log)
                self.assertEqual(1, len(lines), log)
                self.assertIn(FONT_ADD + "1  error:", lines[0])

    def test_thai_adds_no_font_but_still_unpacks(self):
        with Scenario("fonts-th") as sc:
            log = run_until_font_step(sc, "orvane9_th_1234_x")
            self.assertEqual([], font_add_lines(log))
            self.assertEqual(MEMBERS, sorted(os.listdir(sc.appdata("rodavezeroru_da", "fonts"))))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
