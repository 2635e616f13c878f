#!/usr/bin/env python3
"""The program's main job on the real songlark.exe under Wine: songs dropped
into the watched folders get their lyrics fetched from the stand-in site and
stored beside the exe; the next start lists them; closing is prompt, also
while the watcher waits on a silent site."""
import os
import struct
import time

import sites
import winetools

KEY = r"HKLM\Software\Hollowfen\Songlark"
MARK = b"\xef\xbb\xbf"


def kazaa_dat(download_name):
    """A .dat download: some bytes, then Kazaa's metadata block and trailer."""
    block = b"\0\0\0\0" + struct.pack("<I", 1) + download_name + b"\0" + b"\0" + b"\0" * 150
    trailer = b"KAZA" + struct.pack("<H", len(block)) + b"\0" * 4
    return b"\x55" * 4000 + block + trailer


def configure(wp, lime, kazaa, site):
    wp.reg_add(KEY, "CheckLimeWire", "REG_DWORD", "1")
    wp.reg_add(KEY, "LimeWirePath", "REG_SZ", lime)
    wp.reg_add(KEY, "CheckKazaa", "REG_DWORD", "1")
    wp.reg_add(KEY, "KazaaPath", "REG_SZ", kazaa)
    wp.reg_add(KEY, "LyricsSite", "REG_SZ", site)


def rows(wp):
    out = wp.wintool("rows", "Peerpal", 1007).stdout.decode("latin-1")
    return [tuple(line.split("\t")) for line in out.splitlines() if line]


def close_and_wait(wp, proc, limit):
    start = time.time()
    wp.wintool("close", "Peerpal")
    try:
        proc.wait(timeout=limit)
    except Exception:
        proc.kill()
        raise AssertionError("songlark.exe did not end within %d s of WM_CLOSE" % limit)
    return time.time() - start


def test(args):
    with winetools.Prefix(args.bin_dir, "watch") as wp, sites.StandInSite(args.source_dir) as site:
        drive_c = os.path.join(wp.path, "drive_c")
        app_dir = os.path.join(drive_c, "Songlark")
        lime = os.path.join(drive_c, "lime")
        kazaa = os.path.join(drive_c, "kazaa")
        os.makedirs(lime)
        os.makedirs(kazaa)
        exe = winetools.install_exe(args.exe, app_dir)
        configure(wp, r"C:\lime", r"C:\kazaa", site.address)

        proc = wp.start([exe])
        assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"

        # A LimeWire download, named by LimeWire's rule.
        t0 = time.time()
        with open(os.path.join(lime, "T-4821-Some Artist - A Song.mp3"), "wb") as f:
            f.write(b"\xff\xfb" * 500)
        lyric_file = os.path.join(app_dir, "Lyrics", "Some Artist", "A Song.lyric")
        assert winetools.wait_for(lambda: os.path.exists(lyric_file), 15), "no lyric file within 15 s"
        took = time.time() - t0
        # UTF-8 with its byte-order mark: the manifest makes the code page UTF-8.
        expected = MARK + b"Some Artist - A Song\r\n\r\n" + sites.expected_lyric(args.source_dir, "some-artist--a-song.lyric")
        assert winetools.wait_for(lambda: open(lyric_file, "rb").read() == expected, 5), "lyric bytes differ"
        print("LimeWire song stored after %.1f s" % took)

        # A Kazaa download with its metadata trailer.
        t0 = time.time()
        with open(os.path.join(kazaa, "download-7.dat"), "wb") as f:
            f.write(kazaa_dat(b"Night Owls - Blue Hour.mp3"))
        kazaa_file = os.path.join(app_dir, "Lyrics", "Night Owls", "Blue Hour.lyric")
        assert winetools.wait_for(lambda: os.path.exists(kazaa_file), 15), "no Kazaa lyric within 15 s"
        expected = MARK + b"Night Owls - Blue Hour\r\n\r\n" + sites.expected_lyric(args.source_dir, "night-owls--blue-hour.lyric")
        assert winetools.wait_for(lambda: open(kazaa_file, "rb").read() == expected, 5), "Kazaa lyric bytes differ"
        print("Kazaa song stored after %.1f s" % (time.time() - t0))

        # A song the site does not have: its row turns FALSE, no file.
        with open(os.path.join(lime, "T-1-Nobody Known - No Such Song.mp3"), "wb") as f:
            f.write(b"\0" * 10)
        assert winetools.wait_for(lambda: ("FALSE", "Nobody Known", "No Such Song") in rows(wp), 20), rows(wp)
        assert not os.path.exists(os.path.join(app_dir, "Lyrics", "Nobody Known", "No Such Song.lyric"))
        table = rows(wp)
        assert ("OK", "Some Artist", "A Song") in table and ("OK", "Night Owls", "Blue Hour") in table, table

        print("closed in %.2f s" % close_and_wait(wp, proc, 5))

        # The next start lists what is stored, before the watcher reports anything.
        configure(wp, r"C:\empty", r"C:\empty", site.address)
        proc = wp.start([exe])
        assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0
        listed = sorted(rows(wp))
        assert listed == [("OK", "Night Owls", "Blue Hour"), ("OK", "Some Artist", "A Song")], listed
        close_and_wait(wp, proc, 5)

    # Closing while the watcher waits on a site that never answers.
    with winetools.Prefix(args.bin_dir, "watch-busy") as wp, sites.StandInSite(args.source_dir, mode="hang") as site:
        drive_c = os.path.join(wp.path, "drive_c")
        lime = os.path.join(drive_c, "lime")
        os.makedirs(lime)
        exe = winetools.install_exe(args.exe, os.path.join(drive_c, "Songlark"))
        configure(wp, r"C:\lime", "", site.address)
        with open(os.path.join(lime, "T-1-Some Artist - A Song.mp3"), "wb") as f:
            f.write(b"\0")
        proc = wp.start([exe])
        assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0
        assert winetools.wait_for(lambda: ("SEARCH", "Some Artist", "A Song") in rows(wp), 15), rows(wp)
        time.sleep(1)  # the fetch is under way and the site is silent
        print("closed while fetching in %.2f s" % close_and_wait(wp, proc, 5))


if __name__ == "__main__":
    winetools.main(test)
