#!/usr/bin/env python3
"""The real songlark.exe under Wine with the ANSI code page 932, from a
Japanese locale generated under the build folder, its manifest's UTF-8 code
page turned off as a Windows older than 10 version 1903 ignores it. 表 is 95 5C there: its
second byte is a backslash that separates nothing, so a LimeWire download
named by the artist 表 still gives its song, and the stored artist folder 表
is listed under its own name at start-up."""
import os
import subprocess

import winetools

KEY = r"HKLM\Software\Hollowfen\Songlark"


def japanese_locale(bin_dir):
    """Compiles ja_JP.UTF-8 into a folder of the build, for LOCPATH."""
    root = os.path.join(bin_dir, "e2e-locales")
    os.makedirs(root, exist_ok=True)
    r = subprocess.run(["localedef", "-i", "ja_JP", "-f", "UTF-8", os.path.join(root, "ja_JP.UTF-8")],
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
    assert r.returncode == 0, "localedef could not build ja_JP.UTF-8 (are the i18n locale sources installed?): " \
        + r.stdout.decode(errors="replace")
    return root


def rows(wp):
    out = wp.wintool("rows", "Peerpal", 1007).stdout.decode("cp932", errors="replace")
    return [tuple(line.split("\t")) for line in out.splitlines() if line]


def test(args):
    os.environ.update(LOCPATH=japanese_locale(args.bin_dir), LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8")
    with winetools.Prefix(args.bin_dir, "cp932") as wp:
        acp = wp.run(["reg", "query", r"HKLM\System\CurrentControlSet\Control\Nls\CodePage", "/v", "ACP"]).stdout
        assert b"932" in acp, "Wine did not take code page 932 from the locale: %r" % acp

        drive_c = os.path.join(wp.path, "drive_c")
        app_dir = os.path.join(drive_c, "Songlark")
        lime = os.path.join(drive_c, "lime")
        os.makedirs(lime)
        exe = winetools.install_legacy_exe(args.exe, app_dir)
        # Wine keeps Unix file names in UTF-8 and hands them to the program in code page 932.
        stored = os.path.join(app_dir, "Lyrics", "表")
        os.makedirs(stored)
        with open(os.path.join(stored, "Old Song.lyric"), "wb") as f:
            f.write("表 - Old Song\r\n\r\nla".encode("cp932"))
        with open(os.path.join(lime, "T-1-表 - Song.mp3"), "wb") as f:
            f.write(b"\xff\xfb" * 500)  # no tag: only the name can give the song
        wp.reg_add(KEY, "CheckLimeWire", "REG_DWORD", "1")
        wp.reg_add(KEY, "LimeWirePath", "REG_SZ", r"C:\lime")
        wp.reg_add(KEY, "LyricsSite", "REG_SZ", "127.0.0.1:9")  # refused at once

        proc = wp.start([exe])
        try:
            assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"
            assert ("OK", "表", "Old Song") in rows(wp), rows(wp)
            assert winetools.wait_for(lambda: [r for r in rows(wp) if r[1:] == ("表", "Song")], 20), rows(wp)
        finally:
            wp.wintool("close", "Peerpal", check=False)
            try:
                proc.wait(timeout=20)
            except subprocess.TimeoutExpired:
                proc.kill()


if __name__ == "__main__":
    winetools.main(test)
