"""Disk queries and the install-location decision on real Wine drives: a
scenario prefix gets a small tmpfs drive, a huge tmpfs drive and three
drives typed CD-ROM, network and floppy; install_location_served.exe checks
what the program sees. Needs root (mount); skipped otherwise."""

import os
import subprocess
import sys
import tempfile
import unittest

from orvtest.wine import WINERUN, WINESERVER, Scenario

PROGRAM = "install_location_served.exe"
SMALL_SIZE = "48m"
FILLED = 16 << 20  # bytes written to the small drive before the run
# Larger than any real disk of a test machine; tmpfs reserves nothing.
BIG_SIZE = "64t"
EXCLUDED = {"f": "cdrom", "g": "network", "h": "floppy"}


def mount_tmpfs(path: str, size: str) -> bool:
    os.makedirs(path, exist_ok=True)
    return subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", path],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def unmount(path: str) -> None:
    subprocess.run(["umount", "-l", path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class InstallLocation(unittest.TestCase):
    def setUp(self):
        if os.geteuid() != 0:
            self.skipTest("mounting a tmpfs drive needs root")
        self.scenario = Scenario("drives").__enter__()
        self.addCleanup(self.scenario.__exit__, None, None, None)
        self.mounts = []
        root = self.scenario.root
        small, big = os.path.join(root, "small"), os.path.join(root, "big")
        for path, size in ((small, SMALL_SIZE), (big, BIG_SIZE)):
            if not mount_tmpfs(path, size):
                self.skipTest("mount -t tmpfs is not permitted here")
            self.addCleanup(unmount, path)
        with open(os.path.join(small, "filler.bin"), "wb") as f:
            f.write(b"\x01" * FILLED)
        stat = os.statvfs(small)
        self.small_free = stat.f_bavail * stat.f_frsize

        dosdevices = os.path.join(self.scenario.prefix, "dosdevices")
        links = {"d:": small, "e:": big}
        for letter in EXCLUDED:
            folder = os.path.join(root, letter)
            os.makedirs(folder)
            links[letter + ":"] = folder
        for name, target in links.items():
            link = os.path.join(dosdevices, name)
            if os.path.lexists(link):
                os.remove(link)
            os.symlink(target, link)
        for letter, kind in EXCLUDED.items():
            self.wine("reg", "add", r"HKLM\Software\Wine\Drives", "/v", letter + ":", "/d", kind, "/f")
        # The drives are read when the prefix's server starts.
        subprocess.run([WINESERVER, "-k"], env=self.scenario.env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=self.scenario.env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)

    def wine(self, *args: str, **env) -> str:
        # Output goes to a file: the prefix's server would hold a pipe open.
        with tempfile.TemporaryFile() as output:
            proc = subprocess.run([WINERUN, *args], env=self.scenario.env(**env), stdout=output,
                                  stderr=subprocess.STDOUT, timeout=240)
            output.seek(0)
            text = output.read().decode(errors="replace")
        self.assertEqual(proc.returncode, 0, text[-6000:])
        return text

    def test_drives_and_decision(self):
        out = self.wine(Scenario.exe(PROGRAM), ORVANE_TEST_SMALL_DRIVE="D:", ORVANE_TEST_BIG_DRIVE="E:",
                        ORVANE_TEST_SMALL_FREE=str(self.small_free),
                        ORVANE_TEST_EXCLUDED_DRIVES="".join(EXCLUDED).upper())
        self.assertIn("[  PASSED  ]", out)
        self.assertNotIn("[  FAILED  ]", out)
        self.assertNotIn("SKIPPED", out)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
