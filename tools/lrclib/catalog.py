"""The stand-in LRCLIB's records and how it finds them, following LRCLIB's
server: names compared after its normalisation, /api/get's optional album and
duration filters, /api/search over an SQLite FTS5 table of the normalised
names. Every lyric here is written for Songlark's tests; the song names are
real-looking so that download names can be cleaned realistically.

    catalog = Catalog()
    status, body = catalog.answer("/api/get", [("artist_name", "a-ha"), ("track_name", "Take On Me")])
"""
import json
import re
import sqlite3
import threading
import unicodedata

ALBUM = "Stand-in Sessions"
MAX_SEARCH_ANSWERS = 20
DURATION_SLACK = 2.0  # seconds either side, as LRCLIB's /api/get

# The fixture records the tools and end-to-end tests rely on, ids 1 to 6.
FIXTURES = [
    # Plain lyrics (the synced ones are there too and must not be used).
    dict(artist="Some Artist", track="A Song",
         plain="Paper boats on the kitchen floor\nwe sail them to the door\n\nand back again",
         synced="[00:01.00] Paper boats on the kitchen floor\n[00:04.00] ignored"),
    dict(artist="Night Owls", track="Blue Hour", plain="Lamps hum low\nstreets go blue\nwe wait for you"),
    # Synced lyrics only: the time tags go, so does one blank after them.
    dict(artist="Night Owls", track="Don't Stop",
         synced="[00:12.34] Keep the engine running\n[00:15.00][01:15.00]  keep the lights on\n[00:18.5]\n"
                "[1:02:03] long songs too\n[0:2] not a tag\n[00:20.00]done"),
    # Instrumental, with no lyrics at all.
    dict(artist="Paper Kites Club", track="Kite Strings", instrumental=True),
    # Not ASCII: é and curly quotes are in code page 1252; the Japanese
    # character and the emoji (outside the Basic Multilingual Plane) are not.
    dict(artist="Zoë Lune", track="Été", plain="Café au lait, \u201cmon cœur\u201d\r\nit\u2019s 夜 now \U0001F319\nfin"),
    # An artist and a track holding every byte that must be encoded.
    dict(artist="AC/DC & Sons + 100% #1?", track="Don't Stop? Été € ’", plain="Special delivery\nfound"),
]

# Names and lyrics in other scripts (Greek, Japanese names with a Korean
# lyric and an emoji, Russian), last so that no other record's id moves.
OTHER_SCRIPTS = [
    dict(artist="Νυχτερινά Πουλιά", track="Γαλάζια Ώρα", plain="Οι λάμπες βουίζουν\nο δρόμος γίνεται μπλε"),
    dict(artist="Νυχτερινά Πουλιά", track="Μην Σταματάς", plain="Μην σταματάς τη μηχανή\nτα φώτα μένουν αναμμένα"),
    dict(artist="夜の鳥", track="青い時間", plain="등불이 낮게 울리고\n거리는 파랗게 \U0001F319"),
    dict(artist="Ночные Птицы", track="Синий Час", plain="Фонари гудят\nулицы синеют"),
]

# (artist, track, album, seconds): the songs the downloads of bench/ name,
# spelled as LRCLIB's users tend to publish them.
SONGS = [
    ("The Killers", "Mr. Brightside", "Hot Fuss", 222), ("a-ha", "Take On Me", "Hunting High and Low", 225),
    ("Jay-Z", "99 Problems", "The Black Album", 234), ("Michael Jackson", "P.Y.T. (Pretty Young Thing)", "Thriller", 239),
    ("Outkast", "Hey Ya!", "Speakerboxxx/The Love Below", 235), ("Coldplay", "Clocks", "A Rush of Blood to the Head", 307),
    ("Eminem", "Lose Yourself", "8 Mile", 326), ("Nelly Furtado", "I'm Like a Bird", "Whoa, Nelly!", 243),
    ("No Doubt", "Don't Speak", "Tragic Kingdom", 263), ("Britney Spears", "...Baby One More Time", "...Baby One More Time", 211),
    ("Red Hot Chili Peppers", "Scar Tissue", "Californication", 217), ("Linkin Park", "In the End", "Hybrid Theory", 216),
    ("Nirvana", "Smells Like Teen Spirit", "Nevermind", 301), ("Radiohead", "Karma Police", "OK Computer", 261),
    ("Oasis", "Wonderwall", "(What's the Story) Morning Glory?", 258), ("Blink-182", "All the Small Things", "Enema of the State", 168),
    ("Green Day", "Boulevard of Broken Dreams", "American Idiot", 262), ("Destiny's Child", "Survivor", "Survivor", 254),
    ("TLC", "No Scrubs", "FanMail", 214), ("Sisqó", "Thong Song", "Unleash the Dragon", 253),
    ("Björk", "Army of Me", "Post", 234), ("Sigur Rós", "Hoppípolla", "Takk...", 268),
    ("Mötley Crüe", "Kickstart My Heart", "Dr. Feelgood", 282), ("Beyoncé", "Crazy in Love (feat. Jay-Z)", "Dangerously in Love", 236),
    ("Santana", "Smooth (feat. Rob Thomas)", "Supernatural", 295), ("Eminem", "Stan", "The Marshall Mathers LP", 404),
    ("Nelly", "Dilemma (feat. Kelly Rowland)", "Nellyville", 289), ("Shakira", "Hips Don't Lie (feat. Wyclef Jean)", "Oral Fixation, Vol. 2", 218),
    ("Usher", "Yeah! (feat. Lil Jon & Ludacris)", "Confessions", 250), ("Gwen Stefani", "Hollaback Girl", "Love. Angel. Music. Baby.", 200),
    ("Simon & Garfunkel", "The Sound of Silence", "Sounds of Silence", 185), ("Hall & Oates", "Maneater", "H2O", 273),
    ("Earth, Wind & Fire", "September", "The Best of Earth, Wind & Fire, Vol. 1", 215), ("Mumford & Sons", "Little Lion Man", "Sigh No More", 245),
    ("Echo & the Bunnymen", "The Killing Moon", "Ocean Rain", 335), ("Kool & the Gang", "Celebration", "Celebrate!", 218),
    ("Bob Marley & The Wailers", "Is This Love", "Kaya", 232), ("Salt-N-Pepa", "Push It", "Hot, Cool & Vicious", 268),
    ("The Beatles", "Hey Jude", "Hey Jude", 431), ("The Rolling Stones", "Paint It Black", "Aftermath", 202),
    ("The White Stripes", "Seven Nation Army", "Elephant", 231), ("The Strokes", "Last Nite", "Is This It", 197),
    ("The Verve", "Bitter Sweet Symphony", "Urban Hymns", 358), ("The Cranberries", "Zombie", "No Need to Argue", 306),
    ("The Offspring", "Pretty Fly (for a White Guy)", "Americana", 188), ("The Police", "Every Breath You Take", "Synchronicity", 253),
    ("The Doors", "Light My Fire", "The Doors", 430), ("Black Eyed Peas", "Where Is the Love?", "Elephunk", 272),
    ("Gorillaz", "Feel Good Inc.", "Demon Days", 221), ("R.E.M.", "Losing My Religion", "Out of Time", 268),
    ("Guns N' Roses", "Sweet Child O' Mine", "Appetite for Destruction", 356), ("Sinéad O'Connor", "Nothing Compares 2 U", "I Do Not Want What I Haven't Got", 280),
    ("Don McLean", "American Pie", "American Pie", 516), ("Daft Punk", "One More Time", "Discovery", 320),
    ("Moby", "Porcelain", "Play", 241), ("Madonna", "Like a Prayer", "Like a Prayer", 339),
    ("Prince", "Purple Rain", "Purple Rain", 521), ("Queen", "Bohemian Rhapsody", "A Night at the Opera", 355),
    ("U2", "With or Without You", "The Joshua Tree", 296), ("Metallica", "Nothing Else Matters", "Metallica", 388),
    ("Weezer", "Buddy Holly", "Weezer", 159), ("Pearl Jam", "Alive", "Ten", 341),
    ("Foo Fighters", "Everlong", "The Colour and the Shape", 250), ("Alanis Morissette", "Ironic", "Jagged Little Pill", 229),
    ("Savage Garden", "Truly Madly Deeply", "Savage Garden", 277), ("Backstreet Boys", "I Want It That Way", "Millennium", 213),
    ("Christina Aguilera", "Genie in a Bottle", "Christina Aguilera", 217), ("Smash Mouth", "All Star", "Astro Lounge", 200),
    ("Lou Bega", "Mambo No. 5 (A Little Bit of...)", "A Little Bit of Mambo", 219), ("Eiffel 65", "Blue (Da Ba Dee)", "Europop", 283),
    ("Vanessa Carlton", "A Thousand Miles", "Be Not Nobody", 237), ("Avril Lavigne", "Complicated", "Let Go", 244),
    ("Evanescence", "Bring Me to Life", "Fallen", 236), ("50 Cent", "In da Club", "Get Rich or Die Tryin'", 193),
    ("Sean Paul", "Get Busy", "Dutty Rock", 211), ("Dido", "Thank You", "No Angel", 218),
    ("Alizée", "Moi... Lolita", "Gourmandises", 262), ("Céline Dion", "My Heart Will Go On", "Let's Talk About Love", 280),
    ("Mylène Farmer", "Désenchantée", "L'autre...", 321), ("Édith Piaf", "Non, je ne regrette rien", "Non, je ne regrette rien", 142),
    ("Motörhead", "Ace of Spades", "Ace of Spades", 169), ("Blue Öyster Cult", "(Don't Fear) The Reaper", "Agents of Fortune", 308),
    ("Amy Winehouse", "Rehab", "Back to Black", 214), ("Snow Patrol", "Chasing Cars", "Eyes Open", 267),
    ("Kelly Clarkson", "Since U Been Gone", "Breakaway", 188), ("Franz Ferdinand", "Take Me Out", "Franz Ferdinand", 237),
    ("Arctic Monkeys", "I Bet You Look Good on the Dancefloor", "Whatever People Say I Am, That's What I'm Not", 173),
    ("Kings of Leon", "Sex on Fire", "Only by the Night", 203), ("Maroon 5", "This Love", "Songs About Jane", 206),
    ("AC/DC", "Back in Black", "Back in Black", 255), ("Panic! at the Disco", "I Write Sins Not Tragedies", "A Fever You Can't Sweat Out", 186),
    ("Fall Out Boy", "Sugar, We're Goin Down", "From Under the Cork Tree", 229), ("My Chemical Romance", "Helena", "Three Cheers for Sweet Revenge", 204),
    ("System of a Down", "Chop Suey!", "Toxicity", 210), ("Rage Against the Machine", "Killing in the Name", "Rage Against the Machine", 314),
    ("Ben E. King", "Stand by Me", "Don't Play That Song!", 180), ("Marvin Gaye", "What's Going On", "What's Going On", 233),
    ("Aretha Franklin", "Respect", "I Never Loved a Man the Way I Love You", 147), ("Elvis Presley", "Can't Help Falling in Love", "Blue Hawaii", 182),
    ("Frank Sinatra", "My Way", "My Way", 276), ("Johnny Cash", "Hurt", "American IV: The Man Comes Around", 218),
    ("Cher", "Believe", "Believe", 239), ("Lauryn Hill", "Doo Wop (That Thing)", "The Miseducation of Lauryn Hill", 320),
    ("Fugees", "Killing Me Softly", "The Score", 298), ("Robbie Williams", "Angels", "Life thru a Lens", 265),
    ("Natalie Imbruglia", "Torn", "Left of the Middle", 245), ("Chumbawamba", "Tubthumping", "Tubthumper", 278),
    ("Semisonic", "Closing Time", "Feeling Strangely Fine", 273), ("Goo Goo Dolls", "Iris", "Dizzy Up the Girl", 289),
    ("Third Eye Blind", "Semi-Charmed Life", "Third Eye Blind", 268), ("Matchbox Twenty", "3AM", "Yourself or Someone Like You", 226),
    ("Train", "Drops of Jupiter (Tell Me)", "Drops of Jupiter", 260), ("Florence + the Machine", "Dog Days Are Over", "Lungs", 252),
    ("Sublime", "What I Got", "Sublime", 171), ("Creed", "With Arms Wide Open", "Human Clay", 274),
    ("Nine Inch Nails", "Hurt", "The Downward Spiral", 373), ("Gnarls Barkley", "Crazy", "St. Elsewhere", 178),
    ("Seal", "Crazy", "Seal", 357), ("Radiohead", "Creep", "Pablo Honey", 238),
    ("TLC", "Creep", "CrazySexyCool", 269), ("Coldplay", "Yellow", "Parachutes", 269),
    ("Led Zeppelin", "Thank You", "Led Zeppelin II", 289), ("Otis Redding", "Respect", "Otis Blue", 125),
    ("P.O.D.", "Alive", "Satellite", 203), ("The xx", "Angels", "Coexist", 171),
    ("Ednaswap", "Torn", "Ednaswap", 254), ("Misfits", "Helena", "Famous Monsters", 206),
    ("Whitney Houston", "I Will Always Love You", "The Bodyguard", 271), ("Dolly Parton", "I Will Always Love You", "Jolene", 173),
    ("Sugababes", "Push the Button", "Taller in More Ways", 218), ("Kylie Minogue", "Can't Get You Out of My Head", "Fever", 230),
    ("Toto", "Africa", "Toto IV", 295), ("Weezer", "Africa", "Weezer (Teal Album)", 271),
    ("Cyndi Lauper", "Time After Time", "She's So Unusual", 241), ("Counting Crows", "Mr. Jones", "August and Everything After", 272),
    ("Duran Duran", "Hungry Like the Wolf", "Rio", 221), ("Tears for Fears", "Everybody Wants to Rule the World", "Songs from the Big Chair", 251),
]

# Records a careless match would take: live, remix and acoustic recordings,
# karaoke and cover versions by other names, the same song at another length,
# and tracks with no lyric yet (LRCLIB holds them too).
DECOYS = [
    ("The Killers", "Mr. Brightside (Live)", "Live from the Royal Albert Hall", 236),
    ("a-ha", "Take On Me (Live)", "MTV Unplugged", 243), ("a-ha", "Take On Me (Remix)", "Remixes", 301),
    ("Linkin Park", "In the End (Live)", "Live in Texas", 221), ("Eminem", "Lose Yourself (Remix)", "Remixes", 298),
    ("The White Stripes", "Seven Nation Army (The Glitch Mob Remix)", "Remixes", 262),
    ("The Cranberries", "Zombie (Acoustic)", "Something Else", 241), ("Nirvana", "Smells Like Teen Spirit (Live)", "From the Muddy Banks", 310),
    ("Oasis", "Wonderwall (Live)", "Familiar to Millions", 268), ("Coldplay", "Clocks (Live)", "Live 2003", 321),
    ("Karaoke All Stars", "Mr. Brightside", "Karaoke Hits", 223), ("Karaoke All Stars", "Take On Me", "Karaoke Hits", 226),
    ("Karaoke All Stars", "Hey Ya!", "Karaoke Hits", 236), ("Killers Tribute Band", "Mr. Brightside", "Tribute", 221),
    ("Various Artists", "Clocks", "Piano Covers", 305), ("Eminem feat. Dido", "Stan (Live)", "Live", 412),
    ("Aerosmith Tribute", "Crazy", "Tribute", 316),
    # The same artist and track at another length: a different recording.
    ("Queen", "Bohemian Rhapsody", "Live at Wembley", 368), ("The Beatles", "Hey Jude", "Past Masters", 425),
    ("Metallica", "Nothing Else Matters", "S&M", 389 + 40),
    ("Snow Patrol", "Chasing Cars (Live)", "Live at Somerset House", 281),
]

# Tracks with no lyric yet, ids before their songs' own records: on LRCLIB
# the first upload of a track often carries none.
UNFINISHED = [("Snow Patrol", "Chasing Cars", "Eyes Open", 266), ("Moby", "Porcelain", "Play", 241)]

PUNCTUATION = re.compile(r"[`~!@#$%^&*()_|+\-=?;:\",.<>{}\[\]\\/]")
APOSTROPHES = re.compile(r"['\u2019]")


def fold_diacritics(text):
    return "".join(c for c in unicodedata.normalize("NFD", text) if not unicodedata.combining(c))


def prepare_input(text):
    """LRCLIB's normalisation of a name: lower case without diacritics, its
    punctuation blanked, apostrophes dropped, blanks collapsed."""
    text = fold_diacritics(text.lower())
    text = APOSTROPHES.sub("", PUNCTUATION.sub(" ", text))
    return " ".join(text.lower().split())


def process_param(value):
    """A parameter as LRCLIB uses it: normalised, None when nothing is left."""
    if value is None:
        return None
    value = prepare_input(value)
    return value if value.strip() else None


def stand_in_lyric(artist, track):
    return "%s\n(words written for Songlark's tests)\nno real lyric of %s here" % (track, artist)


def all_records():
    """Every record in id order, as dicts with LRCLIB's fields."""
    rows = [dict(dict(album=ALBUM, duration=180.0, plain=None, synced=None, instrumental=False), **f) for f in FIXTURES]
    for artist, track, album, seconds in UNFINISHED:
        rows.append(dict(artist=artist, track=track, album=album, duration=float(seconds),
                         plain=None, synced=None, instrumental=False))
    for n, (artist, track, album, seconds) in enumerate(SONGS + DECOYS):
        plain = stand_in_lyric(artist, track)
        # Every third record is timed too, as many on LRCLIB are.
        synced = "".join("[00:%02d.50] %s\n" % (12 + 3 * i, line) for i, line in enumerate(plain.split("\n")))
        rows.append(dict(artist=artist, track=track, album=album, duration=float(seconds),
                         plain=plain, synced=synced if n % 3 == 0 else None, instrumental=False))
    rows += [dict(dict(album=ALBUM, duration=180.0, plain=None, synced=None, instrumental=False), **f)
             for f in OTHER_SCRIPTS]
    for number, r in enumerate(rows, start=1):
        r["id"] = number
    return rows


def as_answer(r):
    """A record as LRCLIB's JSON object, fields in its order."""
    return {"id": r["id"], "name": r["track"], "trackName": r["track"], "artistName": r["artist"],
            "albumName": r["album"], "duration": r["duration"], "instrumental": r["instrumental"],
            "plainLyrics": r["plain"], "syncedLyrics": r["synced"]}


# What serde accepts for an f64 from text (Rust's float grammar).
FLOAT = re.compile(r"[+-]?(?:inf|infinity|nan|(?:\d+\.?\d*|\.\d+)(?:e[+-]?\d+)?)", re.IGNORECASE)
GET_FIELDS = ("track_name", "artist_name", "album_name", "duration")
SEARCH_FIELDS = ("q", "track_name", "artist_name", "album_name")


def json_body(value):
    return json.dumps(value, ensure_ascii=False).encode("utf-8")


def not_found():
    return 404, json_body({"message": "Failed to find specified track", "name": "TrackNotFound", "statusCode": 404})


def validation_error(message):
    return 400, json_body({"message": message, "name": "ValidationError", "statusCode": 400})


def query_rejected(message):
    # The web framework refuses the query before LRCLIB's code runs, in plain text.
    return 400, ("Failed to deserialize query string: " + message).encode("utf-8")


class Catalog:
    def __init__(self, records=None):
        self.records = records if records is not None else all_records()
        self.by_id = {r["id"]: r for r in self.records}
        self.lock = threading.Lock()
        self.db = sqlite3.connect(":memory:", check_same_thread=False)
        self.db.executescript("""
            CREATE TABLE tracks (id INTEGER PRIMARY KEY, name_lower TEXT, artist_name_lower TEXT,
                                 album_name_lower TEXT, duration FLOAT);
            CREATE VIRTUAL TABLE tracks_fts USING fts5(name_lower, album_name_lower, artist_name_lower,
                                                       content='tracks', content_rowid='id');
            CREATE TRIGGER tracks_ai AFTER INSERT ON tracks BEGIN
              INSERT INTO tracks_fts (rowid, name_lower, album_name_lower, artist_name_lower)
              VALUES (new.id, new.name_lower, new.album_name_lower, new.artist_name_lower);
            END;""")
        self.db.executemany("INSERT INTO tracks VALUES (?, ?, ?, ?, ?)",
                            [(r["id"], prepare_input(r["track"]), prepare_input(r["artist"]),
                             prepare_input(r["album"]), r["duration"]) for r in self.records])
        self.db.commit()

    def answer(self, path, pairs):
        """(status, body bytes) for a decoded query, a list of (name, value);
        names LRCLIB does not know are ignored, as it ignores them."""
        fields = GET_FIELDS if path == "/api/get" else SEARCH_FIELDS
        params = {}
        for name, value in pairs:
            if name in fields:
                if name in params:
                    return query_rejected("duplicate field `%s`" % name)
                params[name] = value
        if path == "/api/get":
            return self.get(params)
        return self.search(params)

    def get(self, params):
        for name in ("track_name", "artist_name"):
            if name not in params:
                return query_rejected("missing field `%s`" % name)
        duration = params.get("duration")
        if duration is not None:
            if not FLOAT.fullmatch(duration):
                return query_rejected("invalid float literal")
            duration = float(duration)
            if not 1.0 <= duration <= 3600.0:
                return validation_error("duration: must be between 1 and 3600")
        for name in ("track_name", "artist_name"):
            if params[name] == "":
                return validation_error("%s: cannot be empty" % name)
        track, artist = process_param(params["track_name"]), process_param(params["artist_name"])
        album = process_param(params.get("album_name"))
        if track is None or artist is None:
            return not_found()
        where, values = ["name_lower = ?", "artist_name_lower = ?"], [track, artist]
        if duration is not None:
            where.append("duration >= ? AND duration <= ?")
            values += [duration - DURATION_SLACK, duration + DURATION_SLACK]
        if album is not None:
            where.append("album_name_lower = ?")
            values.append(album)
        with self.lock:
            row = self.db.execute("SELECT id FROM tracks WHERE %s ORDER BY id LIMIT 1" % " AND ".join(where),
                                  values).fetchone()
        if row is None:
            return not_found()
        return 200, json_body(as_answer(self.by_id[row[0]]))

    def search(self, params):
        q = process_param(params.get("q"))
        track = process_param(params.get("track_name"))
        artist = process_param(params.get("artist_name"))
        album = process_param(params.get("album_name"))
        if q is None and track is None:
            return 200, json_body([])
        # LRCLIB ranks only longer or combined queries; short ones come in
        # the index's own order.
        if q is not None:
            ordered = len(q.split()) > 3
        elif artist is None and album is None:
            ordered = len(track.split()) > 3
        else:
            ordered = True
        if q is not None:
            match = q
        else:
            # Built as LRCLIB builds it: the track a phrase, the artist bare
            # words of which only the first is bound to its column.
            match = '(name_lower : "%s")' % track
            if artist is not None:
                match += "AND (artist_name_lower : %s)" % artist
            if album is not None:
                match += 'AND (album_name_lower : "%s")' % album
        sql = "SELECT rowid FROM tracks_fts WHERE tracks_fts MATCH ? %sLIMIT %d" % (
            "ORDER BY rank " if ordered else "", MAX_SEARCH_ANSWERS)
        try:
            with self.lock:
                ids = [row[0] for row in self.db.execute(sql, (match,))]
        except sqlite3.Error:
            return 500, json_body({"message": "Something bad happened when processing your request",
                                   "name": "UnknownError", "statusCode": 500})
        return 200, json_body([as_answer(self.by_id[i]) for i in ids])
