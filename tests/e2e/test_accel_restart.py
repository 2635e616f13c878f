#!/usr/bin/env python3
"""Kazaa restarted while the real songlark.exe accelerates it: the next tick
finds the new Kazaa's windows and drives them, where the old handles would
leave acceleration idle for ever behind its "Stop Acceleration" button."""
import os
import subprocess

import winetools
from test_accel import KAZAA_CMD_ITEM, KAZAA_CMD_PANE, pick, read_log, win_path

ITEMS = 2


def start_kazaa(wp, kazaa_exe, log):
    proc = wp.start([kazaa_exe, "--items", str(ITEMS), "--log", win_path(log)])
    assert winetools.wait_for(lambda: os.path.exists(log) and " ready " in open(log).read(), 20), \
        "the stand-in Kazaa did not come up"
    return proc


def stop_kazaa(wp, proc):
    wp.wintool("close", "Kazaa Media Desktop", check=False)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()


def test(args):
    with winetools.Prefix(args.bin_dir, "accel-restart") as wp:
        exe = winetools.install_exe(args.exe, os.path.join(wp.path, "drive_c", "Songlark"))
        kazaa_exe = os.path.join(args.bin_dir, "tools", "fakekazaa.exe")
        first_log = os.path.join(wp.path, "kazaa-1.log")
        second_log = os.path.join(wp.path, "kazaa-2.log")
        first = start_kazaa(wp, kazaa_exe, first_log)
        proc = wp.start([exe])
        second = None
        try:
            assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"
            wp.wintool("click", "Peerpal", 1017)
            assert wp.wintool("text", "Peerpal", 1017).stdout.decode() == "Stop Acceleration"

            # Kazaa is closed and started again before the first pass (one
            # 20 s period after the press): its windows are new ones.
            stop_kazaa(wp, first)
            assert wp.wintool("gone", "Kazaa Media Desktop", 10000, check=False).returncode == 0
            second = start_kazaa(wp, kazaa_exe, second_log)
            assert winetools.wait_for(
                lambda: len(pick(read_log(second_log), "pane", "WM_COMMAND", KAZAA_CMD_ITEM)) >= ITEMS, 40), \
                "the restarted Kazaa was not driven: %s" % read_log(second_log)
            assert pick(read_log(second_log), "pane", "WM_COMMAND", KAZAA_CMD_PANE), read_log(second_log)
            print("the restarted Kazaa was found and driven")
            wp.wintool("click", "Peerpal", 1017)
            wp.wintool("close", "Peerpal")
            proc.wait(timeout=20)
        finally:
            if proc.poll() is None:
                proc.kill()
            if second:
                stop_kazaa(wp, second)


if __name__ == "__main__":
    winetools.main(test)
