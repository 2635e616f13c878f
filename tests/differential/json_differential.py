#!/usr/bin/env python3
"""The JSON reader against Python's json module over a generated corpus.

    json_differential.py --probe PATH [--count N] [--seed S] [--extra-dir DIR]

Generates N texts from a fixed seed: JSON written with every escape form,
number form and blank, nested near the reader's depth limit, and as many
again mutated byte by byte (most of them no longer JSON). Each goes to
json_probe; for each, whether it is accepted and what the three LRCLIB
members hold must match Python's reading, where Python is held to the same
contract: strict UTF-8, no NaN or Infinity, no unpaired surrogate escape, a
top-level object, nesting within the limit. Files in --extra-dir (the fuzz
seed corpus) are compared too. Prints the corpus size; exit 1 on any
difference (the first few are shown).
"""
import argparse
import json
import os
import random
import struct
import subprocess
import sys

NAMES = ("plainLyrics", "syncedLyrics", "instrumental")
MAX_DEPTH = 64  # kJsonMaxDepth


class Refused(Exception):
    pass


def refuse_constant(name):
    raise Refused(name)


def depth(v):
    if isinstance(v, dict):
        return 1 + max((depth(x) for x in v.values()), default=0)
    if isinstance(v, list):
        return 1 + max((depth(x) for x in v), default=0)
    return 0


def unpaired(v):
    def bad(s):
        return any(0xD800 <= ord(c) <= 0xDFFF for c in s)
    if isinstance(v, str):
        return bad(v)
    if isinstance(v, list):
        return any(unpaired(x) for x in v)
    if isinstance(v, dict):
        return any(bad(k) or unpaired(x) for k, x in v.items())
    return False


def describe(v):
    if v is None:
        return "Null:"
    if v is True:
        return "True:"
    if v is False:
        return "False:"
    if isinstance(v, (int, float)):
        return "Number:"
    if isinstance(v, str):
        return "String:" + v.encode("utf-8").hex()
    if isinstance(v, list):
        return "Array:"
    return "Object:"


def oracle(data):
    try:
        v = json.loads(data.decode("utf-8"), parse_constant=refuse_constant)
    except (UnicodeDecodeError, ValueError, RecursionError, Refused):
        return "0"
    if not isinstance(v, dict) or unpaired(v) or depth(v) > MAX_DEPTH:
        return "0"
    return "1 " + " ".join(describe(v[n]) if n in v else "Missing:" for n in NAMES)


class Writer:
    """Writes values as JSON text with randomly chosen spellings."""

    def __init__(self, rng):
        self.rng = rng

    def blank(self):
        return self.rng.choice(["", "", "", " ", "\n", "\t", "\r\n  "])

    def string(self, s):
        out = ['"']
        for c in s:
            r = self.rng.random()
            o = ord(c)
            if c == '"' or c == "\\":
                out.append("\\" + c if r < 0.7 else "\\u%04x" % o)
            elif o < 0x20:
                short = {"\b": "\\b", "\f": "\\f", "\n": "\\n", "\r": "\\r", "\t": "\\t"}.get(c)
                out.append(short if short and r < 0.6 else "\\u%04X" % o)
            elif c == "/" and r < 0.5:
                out.append("\\/")
            elif r < 0.15:
                if o > 0xFFFF:
                    o -= 0x10000
                    out.append("\\u%04x\\u%04X" % (0xD800 + (o >> 10), 0xDC00 + (o & 0x3FF)))
                else:
                    out.append(("\\u%04x" if r < 0.07 else "\\u%04X") % o)
            else:
                out.append(c)
        out.append('"')
        return "".join(out)

    def number(self):
        rng = self.rng
        text = rng.choice(["", "-"]) + rng.choice(["0", str(rng.randint(1, 10 ** rng.randint(1, 30)))])
        if rng.random() < 0.4:
            text += "." + str(rng.randint(0, 10 ** rng.randint(1, 8)))
        if rng.random() < 0.3:
            text += rng.choice("eE") + rng.choice(["", "+", "-"]) + str(rng.randint(0, 400))
        return text

    def text(self):
        rng = self.rng
        pool = ["a", "Z", " ", "\n", "\r\n", "\t", "\"", "\\", "/", "\x00", "\x1f", "\x7f", "é", "€", "’", "夜",
                "\U0001F319", "\U0010FFFF", "\uFFFD", "[00:01.00] "]
        return "".join(rng.choice(pool) for _ in range(rng.randint(0, 12)))

    def value(self, level):
        rng = self.rng
        r = rng.random()
        if level < 4 and r < 0.15:
            items = [self.value(level + 1) for _ in range(rng.randint(0, 4))]
            return "[" + self.blank() + ("," + self.blank()).join(items) + self.blank() + "]"
        if level < 4 and r < 0.3:
            return self.obj(level + 1, [])
        if r < 0.55:
            return self.string(self.text())
        if r < 0.75:
            return self.number()
        return rng.choice(["true", "false", "null"])

    def obj(self, level, names):
        rng = self.rng
        keys = [rng.choice(["a", "id", "plainLyrics", "syncedLyrics", "instrumental", "é", ""])
                for _ in range(rng.randint(0, 4))] + names
        rng.shuffle(keys)
        members = [self.blank() + self.string(k) + self.blank() + ":" + self.blank() + self.value(level)
                   for k in keys]
        return "{" + ",".join(members) + self.blank() + "}"

    def document(self):
        rng = self.rng
        r = rng.random()
        if r < 0.05:
            return self.value(0)  # often not an object
        if r < 0.1:
            n = rng.randint(MAX_DEPTH - 3, MAX_DEPTH + 2)
            opener, closer = rng.choice([("[", "]"), ('{"a":', "}")])
            return '{"plainLyrics":' + opener * (n - 1) + closer * (n - 1) + "}"
        if r < 0.15:
            return rng.choice(['{"plainLyrics":"\\ud800"}', '{"plainLyrics":"\\udc00x"}', '{"a":NaN}',
                               '{"a":-Infinity}', '{"a":"\\ud83c\\udf19"}', '\ufeff{}', '{"a":1}\x00'])
        names = [n for n in NAMES if rng.random() < 0.6]
        return self.blank() + self.obj(1, names) + self.blank()


def mutate(rng, data):
    data = bytearray(data)
    tokens = [b"{", b"}", b"[", b"]", b",", b":", b'"', b"\\", b"\\u", b"e", b"E", b"+", b"-", b".", b"0",
              b"9", b"t", b"n", b" ", b"\x00", b"\x1f", b"\x80", b"\xc3", b"\xed\xa0\x80", b"\xf4\x90", b"\xff"]
    for _ in range(rng.randint(1, 3)):
        at = rng.randint(0, len(data))
        r = rng.random()
        if r < 0.3 and data:
            del data[min(at, len(data) - 1)]
        elif r < 0.6:
            data[at:at] = rng.choice(tokens)
        elif r < 0.8 and data:
            data[min(at, len(data) - 1)] = rng.randrange(256)
        else:
            del data[at:]
    return bytes(data)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--probe", required=True)
    ap.add_argument("--count", type=int, default=10000)
    ap.add_argument("--seed", type=int, default=2025)
    ap.add_argument("--extra-dir")
    args = ap.parse_args()

    rng = random.Random(args.seed)
    writer = Writer(rng)
    corpus = []
    for _ in range(args.count):
        doc = writer.document().encode("utf-8", "surrogatepass")
        corpus.append(doc)
        corpus.append(mutate(rng, doc))
    if args.extra_dir:
        for name in sorted(os.listdir(args.extra_dir)):
            with open(os.path.join(args.extra_dir, name), "rb") as f:
                corpus.append(f.read())

    stream = b"".join(struct.pack("<I", len(d)) + d for d in corpus)
    r = subprocess.run([args.probe], input=stream, capture_output=True, timeout=600)
    if r.returncode != 0:
        print("json_probe failed:", r.returncode, r.stderr.decode(errors="replace"))
        return 1
    got = r.stdout.decode().splitlines()
    if len(got) != len(corpus):
        print("json_probe answered %d of %d texts" % (len(got), len(corpus)))
        return 1
    differences = [(d, g, oracle(d)) for d, g in zip(corpus, got) if g != oracle(d)]
    accepted = sum(1 for g in got if g != "0")
    print("corpus: %d texts (%d accepted, %d refused), %d differences" %
          (len(corpus), accepted, len(corpus) - accepted, len(differences)))
    for d, g, want in differences[:10]:
        print("DIFF %r\n  reader: %s\n  python: %s" % (d[:200], g[:200], want[:200]))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
