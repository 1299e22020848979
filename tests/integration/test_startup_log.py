"""The installer, started under Wine, opens its log in the data folder,
marks the new run after what earlier runs wrote, and ends cleanly when its
window is closed."""

import os
import re
import sys
import unittest

from orvtest.wine import Scenario

RECORD = re.compile(r"^\d\d-\d\d\t\d\d:\d\d:\d\d\.\d{3}\t\d{4,}\twWinMain\t\(\d+\):$")


class StartupLog(unittest.TestCase):
    def test_start_line_follows_earlier_runs_and_exit_is_clean(self):
        with Scenario("startup") as sc:
            os.makedirs(os.path.dirname(sc.log_path()), exist_ok=True)
            earlier = "earlier run\r\n".encode()
            with open(sc.log_path(), "wb") as f:
                f.write(earlier)

            proc = sc.start(sc.exe("OrvaneInstaller.exe"))
            sc.wait_for_log("start run")
            # A plain close request (taskkill without /f posts WM_CLOSE).
            sc.run("taskkill", "/im", "OrvaneInstaller.exe")
            self.assertEqual(proc.wait(60), 0)

            with open(sc.log_path(), "rb") as f:
                data = f.read()
            self.assertTrue(data.startswith(earlier), data[:100])
            # The record's message is two line breaks then " start run".
            head, sep, tail = data[len(earlier):].partition(b"\r\n\r\n start run\r\n")
            self.assertTrue(sep, data)
            self.assertRegex(head.decode(), RECORD)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
