"""Starting the emulator and ending its processes under Wine, as the system
version and the user's shell decide: player_launch_served.exe runs in three
scenario prefixes (Windows 7; Windows 10 whose shell is Wine's own, which the
token launch does not accept; Windows 10 with a user shell at
C:\\windows\\explorer.exe)."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from orvtest.wine import WINERUN, Scenario

PROGRAM = "player_launch_served.exe"


class PlayerLaunch(unittest.TestCase):
    def scenario(self, name: str, windows10: bool, shell: bool = False) -> Scenario:
        sc = Scenario(name).__enter__()
        self.addCleanup(sc.__exit__, None, None, None)
        if windows10:
            self.wine(sc, "reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", "win10", "/f")
        if shell:
            explorer = sc.host_path("C:\\windows\\explorer.exe")
            # The prefix's system files are hard links to the template's:
            # unlink first, never write through.
            if os.path.lexists(explorer):
                os.remove(explorer)
            shutil.copyfile(Scenario.exe("orvane_standin.exe"), explorer)
        return sc

    def wine(self, sc: Scenario, *args: str, **env) -> str:
        # Output goes to a file: the prefix's server would hold a pipe open.
        with tempfile.TemporaryFile() as output:
            proc = subprocess.run([WINERUN, *args], env=sc.env(**env), stdout=output, stderr=subprocess.STDOUT,
                                  timeout=240)
            output.seek(0)
            text = output.read().decode(errors="replace")
        self.assertEqual(proc.returncode, 0, text[-6000:])
        return text

    def run_cases(self, sc: Scenario, cases: str, **env) -> None:
        out = self.wine(sc, Scenario.exe(PROGRAM), f"--gtest_filter={cases}", **env)
        self.assertIn("[  PASSED  ]", out)
        self.assertNotIn("[  FAILED  ]", out)

    def test_windows7_uses_the_shell_launch_and_kill_ends_each_name_once(self):
        sc = self.scenario("launch7", windows10=False)
        self.run_cases(sc, "Launch.BeforeWindows8TheShellStartsIt:Kill.*")

    def test_windows10_without_the_users_shell_falls_back(self):
        sc = self.scenario("launch10", windows10=True)
        self.run_cases(sc, "Launch.WithoutTheUsersShellTheTokenLaunchFailsAndTheShellFollows")

    def test_windows10_with_the_users_shell_uses_its_token(self):
        sc = self.scenario("launch10shell", windows10=True, shell=True)
        self.run_cases(sc, "Launch.WithTheUsersShellItsTokenStartsTheEmulator:Launch.TokenLaunch*",
                       ORVANE_TEST_SHELL="1")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
