"""Runs the win64 build's programs under Wine for scenario tests.

Each scenario gets its own copy of the build's template prefix, so what one
test leaves behind (files, registry, a running wineserver) never reaches
another. Use it as a context manager:

    with Scenario() as sc:
        proc = sc.start(sc.exe("OrvaneInstaller.exe"))
        sc.wait_for_log("start run")
"""

import glob
import os
import shutil
import subprocess
import tempfile
import time
from typing import List, Optional

SOURCE = os.environ.get("ORVANE_SOURCE", os.path.dirname(os.path.dirname(os.path.dirname(__file__))))
BUILD = os.environ.get("ORVANE_BUILD", os.path.join(SOURCE, "build", "win64"))
WINERUN = os.path.join(SOURCE, "tools", "winerun")
WINESERVER = "/usr/lib/wine/wineserver64" if os.path.exists("/usr/lib/wine/wineserver64") else "wineserver"


def template_prefix() -> str:
    """The build's shared prefix, created on first use by tools/winerun."""
    prefix = os.path.join(BUILD, "wineprefix")
    if not os.path.exists(os.path.join(prefix, ".orvane-ready")):
        subprocess.run([WINERUN, "--prepare"], env={**os.environ, "WINEPREFIX": prefix},
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300, check=True)
    return prefix


def copy_prefix(template: str, dest: str) -> None:
    """A private prefix in a second: system files are hard links (Wine never
    writes them in place); the registry and the user folders are real copies."""
    subprocess.run(["cp", "-al", template, dest], check=True)
    for name in ("system.reg", "user.reg", "userdef.reg"):
        os.remove(os.path.join(dest, name))
        shutil.copy2(os.path.join(template, name), os.path.join(dest, name))
    users = os.path.join(dest, "drive_c", "users")
    shutil.rmtree(users)
    shutil.copytree(os.path.join(template, "drive_c", "users"), users, symlinks=True)


class Scenario:
    def __init__(self, name: str = "scenario"):
        self.name = name
        self.root: Optional[str] = None
        self.prefix: Optional[str] = None
        self.procs: List[subprocess.Popen] = []

    def __enter__(self) -> "Scenario":
        template = template_prefix()
        self.root = tempfile.mkdtemp(prefix=f"orvane-{self.name}-")
        self.prefix = os.path.join(self.root, "prefix")
        copy_prefix(template, self.prefix)
        return self

    def __exit__(self, *exc) -> None:
        for p in self.procs:
            if p.poll() is None:
                p.kill()
                p.wait(10)
            for stream in (p.stdout, p.stderr):
                if stream:
                    stream.close()
        subprocess.run([WINESERVER, "-k"], env=self.env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        if os.environ.get("ORVANE_KEEP_SCENARIO"):
            print(f"scenario kept in {self.root}")
        else:
            shutil.rmtree(self.root, ignore_errors=True)

    # --- paths ---------------------------------------------------------------
    def env(self, **extra) -> dict:
        return {**os.environ, "WINEPREFIX": self.prefix, **extra}

    @staticmethod
    def exe(name: str) -> str:
        return os.path.join(BUILD, "bin", name)

    def user_dir(self) -> str:
        users = [d for d in glob.glob(os.path.join(self.prefix, "drive_c", "users", "*"))
                 if os.path.basename(d) != "Public"]
        return users[0]

    def appdata(self, *parts: str) -> str:
        return os.path.join(self.user_dir(), "AppData", "Roaming", *parts)

    def log_path(self) -> str:
        return self.appdata("rodavezeroru_da", "downloader.log")

    def host_path(self, windows_path: str) -> str:
        """C:\\x\\y inside the prefix as a host path."""
        drive, rest = windows_path[0].lower(), windows_path[2:].replace("\\", "/").lstrip("/")
        return os.path.join(os.path.realpath(os.path.join(self.prefix, "dosdevices", drive + ":")), rest)

    # --- programs ------------------------------------------------------------
    def start(self, program: str, *args: str, **env) -> subprocess.Popen:
        p = subprocess.Popen([WINERUN, program, *args], env=self.env(**env),
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.procs.append(p)
        return p

    def run(self, program: str, *args: str, timeout: float = 120, **env) -> subprocess.CompletedProcess:
        return subprocess.run([WINERUN, program, *args], env=self.env(**env), capture_output=True,
                              timeout=timeout)

    def read_log(self) -> str:
        try:
            with open(self.log_path(), "rb") as f:
                return f.read().decode("utf-8", errors="replace")
        except FileNotFoundError:
            return ""

    def wait_for_log(self, text: str, timeout: float = 60) -> str:
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            log = self.read_log()
            if text in log:
                return log
            time.sleep(0.2)
        raise AssertionError(f"log never showed {text!r}; log was:\n{self.read_log()[-4000:]}")

    def windows(self, name: str) -> List[str]:
        """X window ids whose title matches name (xdotool search)."""
        out = subprocess.run(["xdotool", "search", "--name", name], env=self.display_env(),
                             capture_output=True, text=True)
        return out.stdout.split()

    def display_env(self) -> dict:
        env = dict(os.environ)
        if not env.get("DISPLAY"):
            env["DISPLAY"] = subprocess.run([os.path.join(SOURCE, "tools", "xdisplay")], capture_output=True,
                                            text=True, check=True).stdout.strip()
        return env
