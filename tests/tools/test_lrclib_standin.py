"""The LRCLIB stand-in matches as LRCLIB does: its normalisation of names,
/api/get's filters and lowest id, /api/search's answers and their limit,
and both routes through the server on loopback. The tier's options are
accepted; the stand-in needs no songlark-cli."""
import argparse
import json
import os
import sys
import tempfile
import urllib.error
import urllib.parse
import urllib.request

from test_cli_lrclib import stand_in  # the stand-in started as the companion's tests start it

failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


def rec(id, artist, track, album="Album", duration=200.0):
    return dict(id=id, artist=artist, track=track, album=album, duration=duration, plain="words", synced=None,
                instrumental=False)


# Lowest id first, lengths either side of 200 s, an album that differs, two
# matches that rank against their ids, and 24 records sharing one word for the
# search's limit of 20.
RECORDS = [rec(1, "Björk", "Army of Me", duration=234.0), rec(2, "Guns N' Roses", "Sweet Child O' Mine"),
           rec(3, "Queen", "Bohemian Rhapsody", album="A Night at the Opera", duration=355.0),
           rec(4, "Queen", "Bohemian Rhapsody", album="Live at Wembley", duration=368.0),
           rec(5, "Seal", "Crazy"), rec(6, "Gnarls Barkley", "Crazy"), rec(7, "Crazy Town", "Butterfly"),
           rec(8, "Rage Against the Machine", "Killing in the Name of the Machine Age"),
           rec(10, "Long Player", "Love Me Do Now and Then in the Long Night"), rec(11, "Short", "Love Me Do Now")] + \
          [rec(100 + i, "Filler %d" % i, "Echo %d" % i) for i in range(24)]

NORMALISED = [
    ("Sinéad O\u2019Connor", "sinead oconnor"),
    ("AC/DC & Sons + 100% #1?", "ac dc sons 100 1"),
    ("  Mr.  Brightside\t(Live) ", "mr brightside live"),
    ("Guns N' Roses", "guns n roses"),
    ("`~!@#$%^&*()_|+-=?;:\",.<>{}[]\\/", ""),
    ("MÖTLEY CRÜE", "motley crue"),
]

# (path, query, status, ids answered: one for /api/get, a list for /api/search)
ANSWERS = [
    ("/api/get", "artist_name=bjork&track_name=ARMY+OF+ME", 200, 1),
    ("/api/get", "artist_name=Guns+N+Roses&track_name=Sweet+Child+O+Mine", 200, 2),
    ("/api/get", "artist_name=Queen&track_name=Bohemian+Rhapsody", 200, 3),
    ("/api/get", "artist_name=Queen&track_name=Bohemian+Rhapsody&duration=366", 200, 4),
    ("/api/get", "artist_name=Queen&track_name=Bohemian+Rhapsody&duration=357", 200, 3),
    ("/api/get", "artist_name=Queen&track_name=Bohemian+Rhapsody&duration=357.5", 404, None),
    ("/api/get", "artist_name=Queen&track_name=Bohemian+Rhapsody&album_name=live+at+WEMBLEY", 200, 4),
    ("/api/get", "artist_name=Queen&track_name=Bohemian+Rhapsody&album_name=Greatest+Hits", 404, None),
    ("/api/get", "artist_name=Queen&track_name=Bohemian+Rhapsody&album_name=%3F%3F", 200, 3),
    ("/api/get", "artist_name=Bjork&track_name=Army+of+Me&format=json", 200, 1),
    ("/api/get", "artist_name=%3F&track_name=Army+of+Me", 404, None),
    ("/api/get", "artist_name=Bjork", 400, None),
    ("/api/get", "artist_name=Bjork&track_name=", 400, None),
    ("/api/get", "artist_name=Bjork&track_name=a&track_name=b", 400, None),
    ("/api/get", "artist_name=Bjork&track_name=Army+of+Me&duration=0.5", 400, None),
    ("/api/get", "artist_name=Bjork&track_name=Army+of+Me&duration=3m54s", 400, None),
    ("/api/search", "track_name=crazy", 200, [5, 6]),
    ("/api/search", "track_name=Crazy&artist_name=Seal", 200, [5]),
    ("/api/search", "q=seal+crazy", 200, [5]),
    ("/api/search", "q=crazy", 200, [5, 6, 7]),
    ("/api/search", "track_name=Bohemian+Rhapsody&album_name=Live+at+Wembley", 200, [4]),
    ("/api/search", "artist_name=Queen", 200, []),
    # Up to three words come in the index's order, more by rank.
    ("/api/search", "q=love+me+do", 200, [10, 11]),
    ("/api/search", "q=love+me+do+now", 200, [11, 10]),
    ("/api/search", "q=echo", 200, [100 + i for i in range(20)]),
    ("/api/search", "track_name=Echo&sort=asc", 200, [100 + i for i in range(20)]),
]


def ids(status, body):
    value = json.loads(body) if status == 200 else None
    if isinstance(value, list):
        return [v["id"] for v in value]
    return value["id"] if value else None


def through_server(args, work):
    """Both routes through server.py, with Songlark's user agent and encoding."""
    with stand_in(args, work) as (base, _):
        with open(os.path.join(args.source_dir, "core", "Version.h")) as f:
            version = f.read().split('SONGLARK_VERSION_TEXT "', 1)[1].split('"', 1)[0]
        for query, status, want in [
            ("/api/get?artist_name=A-HA&track_name=take%20on%20me&album_name=Hunting%20High%20and%20Low&duration=225",
             200, ("a-ha", "Take On Me")),
            ("/api/search?track_name=Crazy&artist_name=Gnarls%20Barkley", 200, [("Gnarls Barkley", "Crazy")]),
            ("/api/get?artist_name=Some%20Artist&track_name=A%20Song", 200, ("Some Artist", "A Song")),
            ("/api/lyrics?artist_name=Some%20Artist&track_name=A%20Song", 400, None),
        ]:
            request = urllib.request.Request(base + query, headers={"User-Agent": "Songlark/" + version})
            try:
                with urllib.request.urlopen(request, timeout=10) as r:
                    got = (r.status, json.loads(r.read()))
            except urllib.error.HTTPError as e:
                got = (e.code, None)
            if isinstance(got[1], dict):
                got = (got[0], (got[1]["artistName"], got[1]["trackName"]))
            elif isinstance(got[1], list):
                got = (got[0], [(v["artistName"], v["trackName"]) for v in got[1]])
            check("server " + query, got, (status, want))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli")
    ap.add_argument("--runner")
    ap.add_argument("--source-dir", required=True)
    ap.add_argument("--work-dir", required=True)
    args = ap.parse_args()
    sys.path.insert(0, os.path.join(args.source_dir, "tools", "lrclib"))
    import catalog

    for text, want in NORMALISED:
        check(f"normalised {text!r}", catalog.prepare_input(text), want)
    stand_in = catalog.Catalog(RECORDS)
    for path, query, status, want in ANSWERS:
        pairs = urllib.parse.parse_qsl(query, keep_blank_values=True)
        got_status, body = stand_in.answer(path, pairs)
        check(f"{path}?{query}", (got_status, ids(got_status, body)), (status, want))

    os.makedirs(args.work_dir, exist_ok=True)
    with tempfile.TemporaryDirectory(dir=args.work_dir) as work:
        through_server(args, work)
    for f in failures:
        print("FAIL:", f)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
