"""Helpers for end-to-end tests: a throwaway Wine prefix per test, the real
songlark.exe started in it, and wintool.exe to reach its windows. The build
under test decides the architecture: a 32-bit songlark.exe runs under the
32-bit loader in a 32-bit prefix, a 64-bit one under wine64."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

import peinfo

# The loader of each architecture. parse_args sets ARCH and WINE to those of
# the exe under test.
LOADERS = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}
ARCH = "win64"
WINE = LOADERS[ARCH]
WINESERVER = "/usr/lib/wine/wineserver"
PE_MACHINES = {0x14C: "win32", 0x8664: "win64"}


def exe_arch(path):
    """"win32" or "win64", from the machine field of a Windows exe's PE header."""
    with open(path, "rb") as f:
        machine = peinfo.PeFile(f.read()).machine
    if machine not in PE_MACHINES:
        raise peinfo.PeError("%s: machine %#x is neither i386 nor x86-64" % (path, machine))
    return PE_MACHINES[machine]


def parse_args():
    global ARCH, WINE
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--bin-dir", required=True)
    ap.add_argument("--source-dir", required=True)
    args = ap.parse_args()
    ARCH = exe_arch(args.exe)
    WINE = LOADERS[ARCH]
    return args


class Prefix:
    """A fresh WINEPREFIX under the build folder, removed at the end, of the
    architecture of the exe under test unless `arch` says otherwise. Only this
    prefix's wineserver is stopped."""

    def __init__(self, bin_dir, name, arch=None):
        root = os.path.join(bin_dir, "e2e-prefixes")
        os.makedirs(root, exist_ok=True)
        self.path = tempfile.mkdtemp(prefix=name + "-", dir=root)
        self.env = dict(os.environ, WINEPREFIX=self.path, WINEDEBUG="-all")
        self.arch = arch or ARCH
        self.wine = LOADERS[self.arch]
        self.bin_dir = bin_dir
        self.wintool_exe = os.path.join(bin_dir, "tools", "wintool.exe")

    def __enter__(self):
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "wine-prefix.sh")
        subprocess.run([script, self.path, self.arch], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180)
        return self

    def __exit__(self, *exc):
        subprocess.run([WINESERVER, "-k"], env=self.env, timeout=60)
        for _ in range(50):
            if subprocess.run([WINESERVER, "-k"], env=self.env, stderr=subprocess.DEVNULL).returncode != 0:
                break
            time.sleep(0.1)
        shutil.rmtree(self.path, ignore_errors=True)
        return False

    def run(self, args, timeout=60, check=True, **kw):
        # Output goes through files, not pipes: a helper process that Wine
        # starts on the way may keep a pipe open long after the program ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            r = subprocess.run([self.wine] + args, env=self.env, timeout=timeout, check=False,
                               stdout=out, stderr=err, **kw)
            out.seek(0)
            err.seek(0)
            r.stdout, r.stderr = out.read(), err.read()
        if check and r.returncode != 0:
            raise subprocess.CalledProcessError(r.returncode, r.args, r.stdout, r.stderr)
        return r

    def start(self, args, **kw):
        return subprocess.Popen([self.wine] + args, env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, **kw)

    def wintool(self, *args, timeout=60, check=True):
        r = self.run([self.wintool_exe] + [str(a) for a in args], timeout=timeout, check=False)
        if check and r.returncode != 0:
            raise AssertionError("wintool %s failed (%d): %s" % (args, r.returncode, r.stderr.decode(errors="replace")))
        return r

    def reg_add(self, key, name, typ, data):
        self.run(["reg", "add", key, "/v", name, "/t", typ, "/d", data, "/f"])


def install_exe(exe, dest_dir):
    """Copies songlark.exe into its own folder, where its Lyrics folder will be."""
    os.makedirs(dest_dir, exist_ok=True)
    target = os.path.join(dest_dir, "songlark.exe")
    shutil.copy(exe, target)
    return target


def install_legacy_exe(exe, dest_dir):
    """install_exe, but the copy runs in the prefix's legacy ANSI code page, as
    on a Windows older than 10 version 1903: its manifest asks for a code page
    value no Windows knows (of the same length, so the resource stays whole)."""
    target = install_exe(exe, dest_dir)
    with open(target, "rb") as f:
        data = f.read()
    ask = b">UTF-8</activeCodePage>"
    assert data.count(ask) == 1, "%s: the manifest does not ask for UTF-8 once" % exe
    with open(target, "wb") as f:
        f.write(data.replace(ask, b">ANSI_</activeCodePage>"))
    return target


def song_rows(wp):
    """The main window's song table, (status, artist, title) per row, read in
    Unicode (LVM_GETITEMTEXTW) whatever the program's code page."""
    out = wp.wintool("urows", "Peerpal", 1007).stdout.decode("utf-8")
    return [tuple(line.split("\t")) for line in out.splitlines() if line]


def wait_for(predicate, timeout, interval=0.2):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return predicate()


def main(test):
    """Runs one test function and turns its outcome into an exit status."""
    args = parse_args()
    try:
        test(args)
    except AssertionError as e:
        print("FAIL:", e)
        sys.exit(1)
    print("PASS")
