"""The start page under real input: the licence box gates the install
button, a typed folder is completed or refused with the error notice, a
folder on another disk that is short of room gets the prompt towards the
recommended disk, and a disk with less than 1 GiB free is refused when the
install is asked for (a small tmpfs-backed Wine drive). Screenshots of
every page and box are kept in <build>/gui-screens/."""

import os
import sys
import unittest

from installer_run import INSTALL_FOLDER, InstallerRun
from orvtest.installer_ui import MAIN, MESSAGE_BOX, wait_until

FOLDER_DIALOG = "#32770"


class StartPage(unittest.TestCase):
    def run_installer(self, name: str) -> InstallerRun:
        run = InstallerRun(name).__enter__()
        self.addCleanup(run.__exit__, None, None, None)
        return run

    def type_folder(self, run: InstallerRun, text: str) -> None:
        run.ui.type_into(MAIN, "pathedit", text)
        run.ui.click(MAIN, "LicenseAgreementText")  # leaving the edit applies the folder

    def install_button(self, run: InstallerRun):
        return run.ui.probe(MAIN, "installnowbtn")

    def test_licence_box_gates_the_install_button(self):
        run = self.run_installer("licence")
        run.start()
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "acceptprotocolopt")
        ui.wait(MAIN, "installnowbtn", lambda c: not c.enabled, what="a disabled install button")
        self.assertEqual(0, ui.probe(MAIN, "acceptprotocolopt").value)
        run.shot("licence_unticked")
        ui.click(MAIN, "acceptprotocolopt")
        ui.wait(MAIN, "installnowbtn", lambda c: c.enabled, what="an enabled install button")
        ui.key("Escape")
        self.assertEqual(0, run.wait_exit())

    def test_typed_folders_are_completed_or_refused(self):
        run = self.run_installer("folders")
        run.start()
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "userdefinitionBtn")
        ui.wait(MAIN, "pathedit", what="the folder section")
        self.assertEqual("Install", self.install_button(run).text)
        self.assertEqual(INSTALL_FOLDER, ui.probe(MAIN, "pathedit").text)
        run.shot("folder_section")

        # A forbidden character: kept as typed and completed, refused.
        self.type_folder(run, "C:\\My|Games")
        ui.wait(MAIN, "errorpathnoticeui", what="the error notice")
        self.assertEqual("C:\\My|Games\\Orvane\\Orvane9\\", ui.probe(MAIN, "pathedit").text)
        self.assertFalse(self.install_button(run).enabled)
        self.assertEqual(0, ui.count(MESSAGE_BOX))  # the recommended disk: no prompt
        run.shot("folder_invalid")

        # Slashes and doubled separators on the same disk: normalised.
        self.type_folder(run, "C:/Games//Orvane9")
        ui.wait(MAIN, "errorpathnoticeui", lambda c: not c.visible, what="the notice to go")
        self.assertEqual("C:\\Games\\Orvane9\\", ui.probe(MAIN, "pathedit").text)
        self.assertTrue(self.install_button(run).enabled)

        # A drive that does not exist: refused, and the prompt suggests the recommended disk.
        self.type_folder(run, "Q:\\Games")
        box = ui.wait(MESSAGE_BOX, "descriptlabel", what="the low-space prompt")
        self.assertIn("it's recommended to use Disk C,", box.text)
        self.assertEqual("Install location", ui.probe(MESSAGE_BOX, "titlelabel").text)
        self.assertEqual("Q:\\Games\\Orvane\\Orvane9\\", ui.probe(MAIN, "pathedit").text)
        self.assertTrue(ui.probe(MAIN, "errorpathnoticeui").visible)
        self.assertFalse(ui.probe(MAIN, "*").enabled)
        run.shot("path_more_prompt")
        ui.click(MESSAGE_BOX, "#2")  # "Change path"
        ui.wait_gone(MESSAGE_BOX)
        ui.wait(MAIN, "errorpathnoticeui", lambda c: not c.visible, what="the notice to go")
        self.assertEqual(INSTALL_FOLDER, ui.probe(MAIN, "pathedit").text)
        self.assertTrue(self.install_button(run).enabled)
        self.assertTrue(ui.probe(MAIN, "*").enabled)

        ui.click(MAIN, "backBtn")
        ui.wait(MAIN, "userdefinitionsui", lambda c: not c.visible, what="the section to close")
        self.assertEqual("Install Now", self.install_button(run).text)
        ui.key("Escape")
        self.assertEqual(0, run.wait_exit())

    def test_the_folder_dialog_after_the_warning(self):
        run = self.run_installer("folder_dialog")
        run.start()
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "userdefinitionBtn")

        def open_dialog_box():
            ui.click(MAIN, "browsebtn")
            return ui.wait(MESSAGE_BOX, "descriptlabel", what="the warning")
        box = open_dialog_box()
        self.assertEqual("The recommended folder gives the best performance. Do you still want to change it?",
                         box.text)
        self.assertEqual(["Cancel", "OK"], [ui.probe(MESSAGE_BOX, b).text for b in ("#1", "#2")])
        run.shot("change_path_warning")
        ui.click(MESSAGE_BOX, "#1")  # "Cancel": nothing more
        ui.wait_gone(MESSAGE_BOX)
        self.assertEqual(0, ui.count(FOLDER_DIALOG))

        # "OK" opens the system's folder dialog on drive C; cancelling it changes nothing.
        open_dialog_box()
        ui.click(MESSAGE_BOX, "#2")
        wait_until("the folder dialog", lambda: ui.count(FOLDER_DIALOG) == 1)
        run.shot("folder_dialog")
        ui.key("Escape")
        wait_until("the dialog to go", lambda: ui.count(FOLDER_DIALOG) == 0)
        self.assertEqual(INSTALL_FOLDER, ui.probe(MAIN, "pathedit").text)

        # Choosing the next drive in the dialog: its root completed to the product folder.
        open_dialog_box()
        ui.click(MESSAGE_BOX, "#2")
        wait_until("the folder dialog", lambda: ui.count(FOLDER_DIALOG) == 1)
        ui.key("Down")  # from (C:) to (Z:)
        ui.key("Return")
        ui.wait(MAIN, "pathedit", lambda c: c.text == "Z:\\Orvane\\Orvane9\\", what="the chosen folder")
        self.assertTrue(ui.probe(MAIN, "installnowbtn").enabled)
        ui.key("Escape")
        self.assertEqual(0, run.wait_exit())

    def test_a_disk_without_1_gib_free_is_refused(self):
        run = self.run_installer("small_disk")
        if not run.small_drive("D", 48):
            self.skipTest("a tmpfs drive needs root")
        run.start()
        ui = run.ui
        ui.wait_window(MAIN)
        ui.click(MAIN, "userdefinitionBtn")
        self.type_folder(run, "D:\\Games")
        # Less than 17 GiB: the prompt first; the user keeps the folder.
        box = ui.wait(MESSAGE_BOX, "descriptlabel", what="the low-space prompt")
        self.assertIn("Disk C", box.text)
        self.assertEqual("Keep current", ui.probe(MESSAGE_BOX, "#1").text)
        ui.click(MESSAGE_BOX, "#1")
        ui.wait_gone(MESSAGE_BOX)
        self.assertEqual("D:\\Games\\Orvane\\Orvane9\\", ui.probe(MAIN, "pathedit").text)
        self.assertTrue(self.install_button(run).enabled)

        ui.click(MAIN, "installnowbtn")
        box = ui.wait(MESSAGE_BOX, "descriptlabel", what="the refusal")
        self.assertEqual("Not enough free disk space. At least 1 GB is needed to install.", box.text)
        self.assertEqual("Error", ui.probe(MESSAGE_BOX, "titlelabel").text)
        self.assertEqual("confirm", ui.probe(MESSAGE_BOX, "#1").text)  # an id the table lacks shows itself
        run.shot("disk_not_enough")
        ui.click(MESSAGE_BOX, "#1")
        ui.wait_gone(MESSAGE_BOX)
        # Still on the start page; nothing was started.
        self.assertFalse(ui.probe(MAIN, "installprogressbar").visible)
        self.assertTrue(ui.probe(MAIN, "installnowbtn").visible)
        ui.key("Escape")
        self.assertEqual(0, run.wait_exit())
        self.assertNotIn("start_downloader", run.report_keys())
        self.assertFalse(os.path.exists(os.path.join(run.sc.root, "drive_D", "Games")))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
