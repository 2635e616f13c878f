#!/usr/bin/env python3
"""The real songlark.exe starts under Wine, shows "Peerpal", and ends on WM_CLOSE."""
import os
import subprocess
import time

import winetools


def test(args):
    with winetools.Prefix(args.bin_dir, "smoke") as wp:
        exe = winetools.install_exe(args.exe, os.path.join(wp.path, "drive_c", "Songlark"))
        proc = wp.start([exe])
        try:
            assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"
            start = time.time()
            wp.wintool("close", "Peerpal")
            try:
                proc.wait(timeout=15)
            except subprocess.TimeoutExpired:
                raise AssertionError("songlark.exe did not end within 15 s of WM_CLOSE")
            print("closed after %.2f s" % (time.time() - start))
        finally:
            if proc.poll() is None:
                proc.kill()

if __name__ == "__main__":
    winetools.main(test)
