#!/usr/bin/env python3
"""Every language on the real songlark.exe under Wine, whose manifest makes
its ANSI code page UTF-8 (and the command-line companion's too): settings and
a lyric file left by an earlier version in code page 1252 still work and read
right, To Clipboard gives Unicode text, a manual search typed in Greek stores
its lyric under its real name in UTF-8 with a byte-order mark, and LimeWire
downloads named in Japanese or tagged in Cyrillic (UTF-16) and Greek (UTF-8)
get rows and lyrics with the right text. Texts are read back in Unicode
(LVM_GETITEMTEXTW, WM_GETTEXT, CF_UNICODETEXT) whatever wintool's own code
page."""
import os
import struct
import xml.etree.ElementTree as ET

import peinfo
import sites
import winetools

KEY = r"HKEY_LOCAL_MACHINE\Software\Hollowfen\Songlark"
IDOK, IDC_SONG, IDC_LYRIC, IDC_SONG_LIST, IDC_ARTIST, IDC_TO_CLIPBOARD = 1, 1002, 1005, 1007, 1008, 1014
WS_2019 = "{http://schemas.microsoft.com/SMI/2019/WindowsSettings}"
MARK = b"\xef\xbb\xbf"

GREEK = ("Νυχτερινά Πουλιά", "Γαλάζια Ώρα", "Οι λάμπες βουίζουν\r\nο δρόμος γίνεται μπλε")
# (file name, ID3v2 tag or None, artist, title, lyric as stored): a name the
# rule takes, and names it does not take, whose tags tell the song.
DOWNLOADS = [
    ("T-1-夜の鳥 - 青い時間.mp3", None, "夜の鳥", "青い時間", "등불이 낮게 울리고\r\n거리는 파랗게 \U0001F319"),
    ("T-2-トラック2.mp3", "utf16", "Ночные Птицы", "Синий Час", "Фонари гудят\r\nулицы синеют"),
    ("T-3-トラック3.mp3", "utf8", "Νυχτερινά Πουλιά", "Μην Σταματάς",
     "Μην σταματάς τη μηχανή\r\nτα φώτα μένουν αναμμένα"),
]


def synchsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def id3(kind, artist, title):
    """An ID3v2.3 tag of UTF-16 frames with a byte-order mark, or an ID3v2.4
    one of UTF-8 frames."""
    frames = b""
    for fid, text in ((b"TPE1", artist), (b"TIT2", title)):
        if kind == "utf16":
            data = b"\x01" + text.encode("utf-16")
            frames += fid + struct.pack(">I", len(data)) + b"\0\0" + data
        else:
            data = b"\x03" + text.encode("utf-8")
            frames += fid + synchsafe(len(data)) + b"\0\0" + data
    version = b"\x03\x00" if kind == "utf16" else b"\x04\x00"
    return b"ID3" + version + b"\0" + synchsafe(len(frames)) + frames


def import_settings(wp, values):
    """Registry values as an earlier version left them: Windows keeps them in
    UTF-16 whatever the code page of the program that wrote them."""
    lines = ["Windows Registry Editor Version 5.00", "", "[%s]" % KEY]
    for name, value in values.items():
        if isinstance(value, int):
            lines.append('"%s"=dword:%08x' % (name, value))
        else:
            lines.append('"%s"="%s"' % (name, value.replace("\\", "\\\\")))
    path = os.path.join(wp.path, "drive_c", "settings.reg")
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("utf-16"))
    wp.run(["reg", "import", r"C:\settings.reg"])


def hexed(text):
    return text.encode("utf-8").hex()


def panel(wp):
    # wintool writes in text mode: each LF of the panel's CR LF reaches us as CR LF.
    return wp.wintool("utext", "Peerpal", IDC_LYRIC).stdout.replace(b"\r\r\n", b"\r\n").decode("utf-8")


def search(wp, artist, song):
    wp.wintool("usettext", "Peerpal", IDC_ARTIST, hexed(artist))
    wp.wintool("usettext", "Peerpal", IDC_SONG, hexed(song))
    wp.wintool("click", "Peerpal", IDOK, timeout=60)
    return panel(wp)


def stored(app_dir, artist, title):
    path = os.path.join(app_dir, "Lyrics", artist, title + ".lyric")
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def asks_for_utf8(path):
    with open(path, "rb") as f:
        found = peinfo.PeFile(f.read()).resources(peinfo.RT_MANIFEST)
    assert len(found) == 1, "%s: %d manifests" % (path, len(found))
    return [e.text for e in ET.fromstring(found[0][2]).iter(WS_2019 + "activeCodePage")] == ["UTF-8"]


def test(args):
    cli = os.path.join(args.bin_dir, "tools", "songlark-cli.exe")
    for path in (args.exe, cli):
        assert asks_for_utf8(path), "%s: the manifest does not ask for the UTF-8 code page" % path
    # Wine hands Unix arguments and names to Windows in Unicode from UTF-8.
    os.environ["LANG"] = "C.UTF-8"
    with winetools.Prefix(args.bin_dir, "unicode") as wp, sites.StandInLrclib(args.source_dir) as server:
        drive_c = os.path.join(wp.path, "drive_c")
        app_dir = os.path.join(drive_c, "Songlark")
        lime = os.path.join(drive_c, "Téléchargements")
        os.makedirs(lime)
        exe = winetools.install_exe(args.exe, app_dir)
        # A lyric stored by an earlier version, in code page 1252.
        old = ("Zoë Lune", "Été", "Zoë Lune - Été\r\n\r\nCafé au lait, it’s “fin”")
        os.makedirs(os.path.join(app_dir, "Lyrics", old[0]))
        with open(os.path.join(app_dir, "Lyrics", old[0], old[1] + ".lyric"), "wb") as f:
            f.write(old[2].encode("cp1252"))
        import_settings(wp, {"CheckLimeWire": 1, "LimeWirePath": "C:\\Téléchargements", "LrclibUrl": server.url})

        proc = wp.start([exe])
        try:
            assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"
            assert ("OK", old[0], old[1]) in winetools.song_rows(wp), winetools.song_rows(wp)
            shown = search(wp, old[0], old[1])
            assert shown == old[2], repr(shown)
            wp.wintool("click", "Peerpal", IDC_TO_CLIPBOARD)
            clip = wp.wintool("clipboard", "-").stdout.replace(b"\r\r\n", b"\r\n").decode("utf-8")
            assert clip == old[2], repr(clip)
            assert stored(app_dir, old[0], old[1]) == old[2].encode("cp1252"), "reading changed the old file"

            # Typed in Greek, found, shown and stored under its real name.
            artist, title, lyric = GREEK
            text = "%s - %s\r\n\r\n%s" % (artist, title, lyric)
            assert search(wp, artist, title) == text, panel(wp)
            assert stored(app_dir, artist, title) == MARK + text.encode("utf-8"), stored(app_dir, artist, title)
            assert ("OK", artist, title) in winetools.song_rows(wp), winetools.song_rows(wp)

            # Downloads into the folder whose path the settings give with é.
            for name, tag, artist, title, _lyric in DOWNLOADS:
                with open(os.path.join(lime, name), "wb") as f:
                    f.write((id3(tag, artist, title) if tag else b"") + b"\xff\xfb\x90\x00" * 200)

            def settled():
                table = winetools.song_rows(wp)
                return all(any(r[1:] == (a, t) and r[0] != "SEARCH" for r in table) for _, _, a, t, _ in DOWNLOADS) \
                    and table
            table = winetools.wait_for(settled, 120, interval=1)
            assert table, winetools.song_rows(wp)
            for _name, _tag, artist, title, lyric in DOWNLOADS:
                assert ("OK", artist, title) in table, (artist, title, table)
                want = MARK + ("%s - %s\r\n\r\n%s" % (artist, title, lyric)).encode("utf-8")
                assert stored(app_dir, artist, title) == want, (artist, title, stored(app_dir, artist, title))
            asked = server.requests()
            assert (GREEK[0], GREEK[1], None) in asked, asked
        finally:
            wp.wintool("close", "Peerpal", check=False)
            try:
                proc.wait(timeout=20)
            except Exception:
                proc.kill()

        # The companion takes its arguments and prints its answer in UTF-8.
        r = wp.run([cli, "fetch", "--lrclib", server.url, GREEK[0], GREEK[1]], check=False, timeout=120)
        assert r.returncode == 0, (r.returncode, r.stderr)
        assert GREEK[2].replace("\r\n", "\n").encode("utf-8") in r.stdout.replace(b"\r\n", b"\n"), r.stdout


if __name__ == "__main__":
    winetools.main(test)
