"""songlark-cli tags over generated files and over files tagged by Debian's
id3v2, eyeD3 and mid3v2, natively and under Wine (--runner)."""
import argparse
import os
import shutil
import struct
import subprocess
import sys

# An MPEG-1 layer III frame header and its body, so that taggers take the
# file for audio.
AUDIO = (b"\xff\xfb\x90\x64" + b"\x00" * 413) * 12

failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


def id3(frames, flags=0, marker=b"ID3"):
    return marker + b"\x03\x00" + bytes([flags]) + b"\x00\x00\x07\x76" + frames


def frame(fid, content):
    return fid + struct.pack(">I", len(content)) + b"\x00\x00" + content


def latin1(fid, text):
    return frame(fid, b"\x00" + text)


def kazaa(name, items):
    body = b"".join(struct.pack("<II", t, len(v)) + v for t, v in items)
    block = (b"\x11\x22\x33\x44" + struct.pack("<I", 1) + name + b"\x00" + b"more\x00" + b"\x5a" * 139 +
             struct.pack("<I", len(items)) + body)
    return b"\x00" * 700 + block + b"KAZA" + struct.pack("<h", len(block)) + b"\x00" * 4


BOTH = latin1(b"TPE1", b"Artist") + latin1(b"TIT2", b"Title") + b"\x00" * 200

# name -> (bytes, expected (result, artist, title)); artist and title as
# text, printed in the tool's code page and escaped as the tool escapes. The
# rules' edge cases are the core tests' business; these are about what the
# tool adds: suffixes, escaping, paths, exit status, the tag's encodings.
GENERATED = {
    "plain.mp3": (id3(BOTH) + AUDIO, ("1", "Artist", "Title")),
    "upper.MP3": (id3(BOTH), ("1", "Artist", "Title")),
    "lower-marker.Mp3": (id3(BOTH, marker=b"id3"), ("1", "Artist", "Title")),
    "escapes.mp3": (id3(latin1(b"tpe1", b"AC\\DC\x01") + frame(b"tit2", b"\x00\x00Caf\xe9\tn\x7f\x00junk")),
                    ("1", "AC\\DC\x01", "Caf\u00e9\tn\x7f")),
    # The name after the last separator ("/" natively, "\\" on Windows) wins
    # over the tag.
    "T-4821-Name Artist - Name Song.mp3": (id3(BOTH), ("1", "Name Artist", "Name Song")),
    "good.dat": (kazaa(b"x - y - z.mp3", [(6, b"Item Artist\x00"), (4, b"Item Title\x00")]),
                 ("1", "Item Artist", "Item Title")),
    "named.DAT": (kazaa(b"Some Artist - A Song.mp3", []), ("1", "Some Artist", "A Song")),
    "mixed-case.dat": (kazaa(b"Song.Mp3", [(6, b"A\x00"), (4, b"T\x00")]), ("-1", "", "")),
    "short.dat": (b"KAZA\x08\x00\x00\x00\x00", ("-1", "", "")),
}

LONG = "L" * 200
# (tool and its arguments, expected): the ID3 rules applied to what each
# tool writes (checked by hand against the bytes once):
TAGGERS = [
    # id3v2 writes ID3v2.3 and converts the text to Latin-1.
    (["id3v2", "-a", "Björk", "-t", "Jóga"], ("1", "Björk", "Jóga")),
    (["id3v2", "-a", "AC\\DC", "-t", "Tab\tX"], ("1", "AC\\DC", "Tab\tX")),
    # eyeD3 writes ID3v2.4 in UTF-8 unless told.
    (["eyeD3", "-a", "Eye Artist", "-t", "Eye Title"], ("1", "Eye Artist", "Eye Title")),
    (["eyeD3", "--encoding", "latin1", "-a", "Eye Artist", "-t", "Eye Title"], ("1", "Eye Artist", "Eye Title")),
    # A 201-byte frame in ID3v2.4 has the synchsafe size 00 00 01 49, read as
    # 329 bytes: the walk lands in the padding.
    (["eyeD3", "--encoding", "latin1", "-a", "Eye Artist", "-t", LONG], ("-1", "", "")),
    (["eyeD3", "--to-v2.3", "--encoding", "latin1", "-a", "Eye Artist", "-t", LONG], ("1", "Eye Artist", LONG)),
    # ID3v2.3 with non-Latin-1-only defaults: UTF-16.
    (["eyeD3", "--to-v2.3", "-a", "Björk", "-t", "Jóga"], ("1", "Björk", "Jóga")),
    # mid3v2 always writes ID3v2.4 in UTF-8.
    (["mid3v2", "-a", "Mu Artist", "-t", "Mu Title"], ("1", "Mu Artist", "Mu Title")),
    (["mid3v2", "-a", "Мумий Тролль", "-t", "Όλα"], ("1", "Мумий Тролль", "Όλα")),
]


def escaped(data):
    return "".join(chr(c) if 0x20 <= c <= 0x7E and c != 0x5C else f"\\x{c:02x}" for c in data)


def printed(want, encodings):
    """What the tool may print for the expected texts: each in one of the
    process code pages it may run in; a text one cannot hold is not read."""
    result, artist, title = want
    forms = set()
    for enc in encodings:
        try:
            forms.add((result, escaped(artist.encode(enc)), escaped(title.encode(enc))))
        except UnicodeEncodeError:
            forms.add(("-1", "", ""))
    return forms


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--runner")
    ap.add_argument("--source-dir", required=True)
    ap.add_argument("--work-dir", required=True)
    args = ap.parse_args()

    work = os.path.join(os.path.abspath(args.work_dir), "cli_tags")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    under_wine = bool(args.runner)
    # Natively the process speaks UTF-8; under Wine code page 1252, or UTF-8
    # where the manifest asks for it.
    encodings = ("cp1252", "utf-8") if under_wine else ("utf-8",)

    def arg_path(p):  # what the tool is given for a file on disk
        return "Z:" + p.replace("/", "\\") if under_wine else p

    def run(paths):
        cmd = ([args.runner] if args.runner else []) + [os.path.abspath(args.cli), "tags"] + paths
        r = subprocess.run(cmd, capture_output=True, timeout=120, cwd=work)
        lines = [l.decode("latin-1") for l in r.stdout.split(b"\n")]
        check("output ends with a newline", lines[-1] if lines else None, "")
        return r.returncode, {l.split("\t")[0]: tuple(l.split("\t")[1:]) for l in lines[:-1]}, r.stderr

    expected = {}
    for name, (data, want) in GENERATED.items():
        path = os.path.join(work, name)
        with open(path, "wb") as f:
            f.write(data)
        expected[arg_path(path)] = want
    # A name that fits is never opened.
    ghost = os.path.join(work, "T-1-Ghost - Not There.mp3")
    expected[arg_path(ghost)] = ("1", "Ghost", "Not There")
    expected[arg_path(os.path.join(work, "missing.dat"))] = ("-1", "", "")

    for i, (cmd, want) in enumerate(TAGGERS):
        if shutil.which(cmd[0]) is None:
            failures.append(f"{cmd[0]} is not installed (scripts/setup.sh installs it)")
            continue
        path = os.path.join(work, f"tagger{i}-{cmd[0]}.mp3")
        with open(path, "wb") as f:
            f.write(AUDIO)
        r = subprocess.run(cmd + [path], capture_output=True, timeout=60)
        check(f"{' '.join(cmd)} exit status", r.returncode, 0)
        expected[arg_path(path)] = want

    code, got, _ = run(list(expected))
    check("exit status when every file was read", code, 0)
    check("one line per file", len(got), len(expected))
    for path, want in expected.items():
        if got.get(path) not in printed(want, encodings):
            failures.append(f"{os.path.basename(path.replace(chr(92), '/'))}: got {got.get(path)!r}, "
                            f"want one of {sorted(printed(want, encodings))!r}")

    notes = os.path.join(work, "notes.txt")
    with open(notes, "wb") as f:
        f.write(id3(BOTH))
    plain = arg_path(os.path.join(work, "plain.mp3"))
    code, got, err = run([arg_path(notes), plain])
    check("exit status with a skipped file", code, 1)
    check("skipped file gets no output line", sorted(got), [plain])
    check("skipped file is named on stderr", arg_path(notes).encode() in err, True)
    code, got, _ = run([])
    check("exit status without files", code, 2)
    check("no output without files", got, {})

    for f in failures:
        print("FAIL", f)
    print(f"{len(failures)} checks failed" if failures else
          f"all {len(expected)} files as expected, usage and skipping as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
