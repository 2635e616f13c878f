#!/usr/bin/env python3
"""The real songlark.exe starts under Wine, shows "Peerpal", and ends on WM_CLOSE."""
import os
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
            proc.wait(timeout=15)
            assert proc.returncode is not None
            print("closed after %.2f s" % (time.time() - start))
        finally:
            if proc.poll() is None:
                proc.kill()
                raise AssertionError("songlark.exe did not end after WM_CLOSE")


if __name__ == "__main__":
    winetools.main(test)
