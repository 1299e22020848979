"""Test certificates for the HTTPS servers, made with the openssl command line.

One folder holds a test CA (trusted inside the test Wine prefix only) and the
server certificates signed by it or by a CA nobody trusts:

    localhost     signed by the test CA for "localhost": must be accepted
    wronghost     signed by the test CA for another host name: must be refused
    untrusted     for "localhost", signed by a CA outside every trust store
    expired       signed by the test CA for "localhost", validity in the past

Made once per folder and reused; nothing here is ever committed.
    python3 -m orvtest.certs DIR
"""

import fcntl
import os
import subprocess
import sys
import tempfile
from typing import Dict

KINDS = ("localhost", "wronghost", "untrusted", "expired")
WRONG_HOST = "not-this-host.invalid"

_CA_CONFIG = """\
[ca]
default_ca = test
[test]
database = {db}
new_certs_dir = {dir}
serial = {serial}
default_md = sha256
policy = anything
copy_extensions = copy
unique_subject = no
[anything]
commonName = supplied
"""

_SERVER_EXT = """\
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:{host}
"""


def _openssl(*args: str) -> None:
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def _make_ca(folder: str, name: str, subject: str) -> None:
    _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "3650",
             "-subj", subject, "-keyout", os.path.join(folder, name + ".key"),
             "-out", os.path.join(folder, name + ".pem"),
             "-addext", "basicConstraints=critical,CA:TRUE",
             "-addext", "keyUsage=critical,keyCertSign,cRLSign")


def _make_server(folder: str, kind: str, ca: str, host: str, dates) -> None:
    key = os.path.join(folder, kind + ".key")
    with tempfile.TemporaryDirectory() as work:
        csr = os.path.join(work, "req.csr")
        ext = os.path.join(work, "ext.cnf")
        with open(ext, "w") as f:
            f.write(_SERVER_EXT.format(host=host))
        _openssl("req", "-new", "-newkey", "rsa:2048", "-nodes", "-subj", f"/CN={host}",
                 "-keyout", key, "-out", csr)
        # "openssl ca" is the one subcommand that takes explicit dates, which
        # the expired certificate needs.
        db = os.path.join(work, "index.txt")
        open(db, "w").close()
        serial = os.path.join(work, "serial")
        with open(serial, "w") as f:
            f.write(os.urandom(8).hex() + "\n")
        cnf = os.path.join(work, "ca.cnf")
        with open(cnf, "w") as f:
            f.write(_CA_CONFIG.format(db=db, dir=work, serial=serial))
        _openssl("ca", "-batch", "-config", cnf, "-cert", os.path.join(folder, ca + ".pem"),
                 "-keyfile", os.path.join(folder, ca + ".key"), "-in", csr,
                 "-out", os.path.join(folder, kind + ".pem"), "-extfile", ext, "-notext",
                 "-startdate", dates[0], "-enddate", dates[1])


def ensure(folder: str) -> Dict[str, str]:
    """Creates what is missing in folder; returns the paths: "ca" (PEM of the
    test CA) and, per kind, "<kind>" (certificate) and "<kind>.key"."""
    folder = os.path.abspath(folder)
    paths = {"ca": os.path.join(folder, "ca.pem")}
    for kind in KINDS:
        paths[kind] = os.path.join(folder, kind + ".pem")
        paths[kind + ".key"] = os.path.join(folder, kind + ".key")
    if all(os.path.exists(p) for p in paths.values()):
        return paths
    os.makedirs(folder, exist_ok=True)
    # The build and test runs may ask at the same time.
    with open(os.path.join(folder, ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        _make_missing(folder, paths)
    return paths


def _make_missing(folder: str, paths: Dict[str, str]) -> None:
    if not os.path.exists(paths["ca"]):
        _make_ca(folder, "ca", "/CN=Orvane Test CA")
    if not os.path.exists(os.path.join(folder, "rogue-ca.pem")):
        _make_ca(folder, "rogue-ca", "/CN=Orvane Untrusted CA")
    current = ("20200101000000Z", "20450101000000Z")
    plan = {
        "localhost": ("ca", "localhost", current),
        "wronghost": ("ca", WRONG_HOST, current),
        "untrusted": ("rogue-ca", "localhost", current),
        "expired": ("ca", "localhost", ("20200101000000Z", "20200201000000Z")),
    }
    for kind, (ca, host, dates) in plan.items():
        if not os.path.exists(paths[kind]):
            _make_server(folder, kind, ca, host, dates)


def default_folder() -> str:
    """The build's certificate folder (ORVANE_BUILD/testca)."""
    from orvtest.wine import BUILD
    return os.path.join(BUILD, "testca")


if __name__ == "__main__":
    print(ensure(sys.argv[1] if len(sys.argv) > 1 else default_folder())["ca"])
