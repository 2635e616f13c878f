"""Downloads named the way file sharing names them, for measuring the lyric
lookup against the LRCLIB stand-in (tools/lrclib/catalog.py holds the songs).

Each download is a LimeWire partial file "T-<size>-<name>.mp3" (the complete
file's size; the first bytes: an optional ID3v2.3 tag with TIT2, TPE1, TALB
and TLEN, then constant-bit-rate MPEG frames) or a Kazaa ".dat" (some bytes,
then Kazaa's metadata block with the download's name and its artist and
title items). Every download names the song it is (or None for a song the
stand-in lacks); `right_ids` says which records are that song.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools", "lrclib"))
import catalog  # noqa: E402

CATEGORIES = ["clean", "case", "underscores", "track numbers", "feat.", "junk suffixes", "The", "&/and",
              "diacritics and apostrophes", "swapped", "tag clean, name junk", "absent"]

# MPEG-1 layer III, 44.1 kHz: header bytes and frame length per bit rate.
FRAMES = {128: (b"\xff\xfb\x90\x64", 417), 192: (b"\xff\xfb\xb0\x64", 626)}


class Download:
    def __init__(self, category, client, name, song, tag=None, seconds=None, offset=0, tlen=True, kbps=128,
                 utf16=False):
        assert category in CATEGORIES, category
        self.category, self.client, self.name, self.song = category, client, name, song
        self.tag, self.tlen, self.kbps, self.utf16 = tag, tlen, kbps, utf16
        if song is not None:
            seconds = song_record(song)["duration"]
        self.seconds = seconds + offset  # the download's own length

    def file_name(self):
        if self.client == "kazaa":
            return self.name[:-len(".mp3")] + ".dat"
        return "T-%d-%s.mp3" % (self.size(), self.name)

    def size(self):
        return len(self.tag_bytes()) + int(self.seconds * self.kbps * 1000 // 8)

    def tag_bytes(self):
        if self.tag is None:
            return b""
        artist, title, album = self.tag
        frames = text_frame(b"TPE1", artist, self.utf16) + text_frame(b"TIT2", title, self.utf16)
        if album:
            frames += text_frame(b"TALB", album, self.utf16)
        if self.tlen:
            frames += text_frame(b"TLEN", str(int(self.seconds * 1000)))
        frames += b"\0" * 256  # padding, as taggers leave
        n = len(frames)
        return b"ID3\x03\x00\x00" + bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127]) + frames

    def content(self):
        if self.client == "kazaa":
            return kazaa_dat(self.name, self.tag)
        header, length = FRAMES[self.kbps]
        return self.tag_bytes() + (header + b"\0" * (length - 4)) * 12


def text_frame(fid, text, utf16=False):
    """A text frame in ISO-8859-1 when it fits, else (or when asked, as some
    taggers always do) UTF-16 with a byte order mark."""
    if not utf16:
        try:
            body = b"\x00" + text.encode("latin-1")
        except UnicodeEncodeError:
            utf16 = True
    if utf16:
        body = b"\x01" + text.encode("utf-16")
    return fid + struct.pack(">I", len(body)) + b"\0\0" + body


def kazaa_dat(download_name, items):
    """A Kazaa download: audio bytes, then the metadata block (artist item 6,
    title item 4, in the legacy code page) and the 10-byte trailer."""
    body = b""
    count = 0
    if items:
        for kind, text in ((6, items[0]), (4, items[1])):
            value = text.encode("cp1252") + b"\0"
            body += struct.pack("<II", kind, len(value)) + value
            count += 1
    block = (b"\0\0\0\0" + struct.pack("<I", 1) + download_name.encode("cp1252") + b"\0" + b"\0" + b"\0" * 139 +
             struct.pack("<I", count) + body)
    return b"\x55" * 4000 + block + b"KAZA" + struct.pack("<H", len(block)) + b"\0" * 4


RECORDS = catalog.all_records()


def song_record(song):
    """The catalogue's record of (artist, track), spelled as there."""
    for r in RECORDS:
        if (r["artist"], r["track"]) == song:
            return r
    raise KeyError(song)


def same_song(download):
    """The records of the download's song: its artist and track after
    LRCLIB's normalisation, lyric or not."""
    if download.song is None:
        return []
    key = [catalog.prepare_input(x) for x in download.song]
    return [r for r in RECORDS if [catalog.prepare_input(r["artist"]), catalog.prepare_input(r["track"])] == key]


def right_ids(download):
    """The records that are the download's song with a lyric; of several,
    those within 2 s of the download's length when there are such. Empty
    for a song the stand-in lacks."""
    same = [r for r in same_song(download) if r["plain"] or r["synced"]]
    close = [r for r in same if abs(r["duration"] - download.seconds) <= catalog.DURATION_SLACK]
    return {r["id"] for r in (close or same)}


def lime(category, name, song, tag=None, **kw):
    """tag=True: the song's own clean tag (artist, title, album)."""
    if tag is True:
        r = song_record(song)
        tag = (r["artist"], r["track"], r["album"])
    return Download(category, "lime", name, song, tag, **kw)


def kazaa(category, name, song, items=None, **kw):
    if items is True:
        items = song
    return Download(category, "kazaa", name + ".mp3", song, items, **kw)


def absent(category, name, seconds, tag=None, client="lime"):
    if client == "kazaa":
        return Download(category, "kazaa", name + ".mp3", None, tag, seconds=seconds)
    return Download(category, "lime", name, None, tag, seconds=seconds)


NOW = "Now That's What I Call Music! 58"  # a compilation: its album name makes /api/get miss
HITS = "Greatest Hits"

CORPUS = [
    # Names and tags as published.
    lime("clean", "The Killers - Mr. Brightside", ("The Killers", "Mr. Brightside"), tag=True),
    lime("clean", "The Killers - Mr. Brightside", ("The Killers", "Mr. Brightside"), kbps=192),
    lime("clean", "a-ha - Take On Me", ("a-ha", "Take On Me")),
    lime("clean", "Jay-Z - 99 Problems", ("Jay-Z", "99 Problems"), tag=("Jay-Z", "99 Problems", NOW)),
    lime("clean", "Coldplay - Clocks", ("Coldplay", "Clocks"), tag=True),
    lime("clean", "Eminem - Lose Yourself", ("Eminem", "Lose Yourself"), tag=("Eminem", "Lose Yourself", "")),
    kazaa("clean", "Radiohead - Karma Police", ("Radiohead", "Karma Police")),
    kazaa("clean", "Oasis - Wonderwall", ("Oasis", "Wonderwall"), items=True),
    lime("clean", "The Beatles - Hey Jude", ("The Beatles", "Hey Jude"), tag=True),
    lime("clean", "The White Stripes - Seven Nation Army", ("The White Stripes", "Seven Nation Army"), kbps=192),
    lime("clean", "The Cranberries - Zombie", ("The Cranberries", "Zombie"), tag=True, offset=3),
    lime("clean", "Queen - Bohemian Rhapsody", ("Queen", "Bohemian Rhapsody"), tag=("Queen", "Bohemian Rhapsody", HITS)),
    lime("clean", "Metallica - Nothing Else Matters", ("Metallica", "Nothing Else Matters"), tag=True),
    kazaa("clean", "Foo Fighters - Everlong", ("Foo Fighters", "Everlong")),
    lime("clean", "Amy Winehouse - Rehab", ("Amy Winehouse", "Rehab"), tag=True, tlen=False),
    lime("clean", "Snow Patrol - Chasing Cars", ("Snow Patrol", "Chasing Cars"), tag=True),
    lime("clean", "Moby - Porcelain", ("Moby", "Porcelain")),
    lime("clean", "Gorillaz - Feel Good Inc.", ("Gorillaz", "Feel Good Inc."), tag=True),
    lime("clean", "Alanis Morissette - Ironic", ("Alanis Morissette", "Ironic")),
    # Another recording under the same names: only its length tells.
    lime("clean", "Queen - Bohemian Rhapsody", ("Queen", "Bohemian Rhapsody"), offset=13),
    lime("clean", "Metallica - Nothing Else Matters", ("Metallica", "Nothing Else Matters"), offset=41, kbps=192),

    # Case as typed by whoever shared it.
    lime("case", "linkin park - in the end", ("Linkin Park", "In the End")),
    lime("case", "NIRVANA - SMELLS LIKE TEEN SPIRIT", ("Nirvana", "Smells Like Teen Spirit"), tag=True),
    lime("case", "Red Hot Chili Peppers - Scar tissue", ("Red Hot Chili Peppers", "Scar Tissue")),
    kazaa("case", "no doubt - don't speak", ("No Doubt", "Don't Speak")),
    lime("case", "TLC - no scrubs", ("TLC", "No Scrubs"), tag=("tlc", "no scrubs", "fanmail")),
    lime("case", "destiny's child - survivor", ("Destiny's Child", "Survivor")),
    lime("case", "WEEZER - Buddy Holly", ("Weezer", "Buddy Holly")),
    lime("case", "pearl jam - alive", ("Pearl Jam", "Alive"), tag=True),
    lime("case", "Robbie williams - ANGELS", ("Robbie Williams", "Angels")),
    kazaa("case", "natalie imbruglia - torn", ("Natalie Imbruglia", "Torn")),
    lime("case", "goo goo dolls - iris", ("Goo Goo Dolls", "Iris"), kbps=192),
    lime("case", "JOHNNY CASH - HURT", ("Johnny Cash", "Hurt"), tag=("JOHNNY CASH", "HURT", "")),
    lime("case", "cher - believe", ("Cher", "Believe")),
    lime("case", "aretha franklin - respect", ("Aretha Franklin", "Respect")),
    lime("case", "radiohead - creep", ("Radiohead", "Creep"), tag=True),
    lime("case", "coldplay - yellow", ("Coldplay", "Yellow")),
    kazaa("case", "GNARLS BARKLEY - CRAZY", ("Gnarls Barkley", "Crazy")),
    lime("case", "dido - thank you", ("Dido", "Thank You")),

    # Underscores for blanks (the name rule still splits at the dashes).
    lime("underscores", "Green_Day_-_Boulevard_of_Broken_Dreams", ("Green Day", "Boulevard of Broken Dreams")),
    lime("underscores", "Blink_182_-_All_the_Small_Things", ("Blink-182", "All the Small Things")),
    lime("underscores", "Avril_Lavigne_-_Complicated", ("Avril Lavigne", "Complicated"), tag=True),
    lime("underscores", "Evanescence_-_Bring_Me_To_Life", ("Evanescence", "Bring Me to Life")),
    lime("underscores", "Smash_Mouth_-_All_Star", ("Smash Mouth", "All Star")),
    lime("underscores", "Savage_Garden_-_Truly_Madly_Deeply", ("Savage Garden", "Truly Madly Deeply")),
    lime("underscores", "Backstreet_Boys_-_I_Want_It_That_Way", ("Backstreet Boys", "I Want It That Way"), tag=True),
    lime("underscores", "Christina_Aguilera_-_Genie_In_A_Bottle", ("Christina Aguilera", "Genie in a Bottle")),
    lime("underscores", "Vanessa_Carlton_-_A_Thousand_Miles", ("Vanessa Carlton", "A Thousand Miles"), kbps=192),
    kazaa("underscores", "Kelly_Clarkson - Since_U_Been_Gone", ("Kelly Clarkson", "Since U Been Gone")),
    lime("underscores", "Franz_Ferdinand_-_Take_Me_Out", ("Franz Ferdinand", "Take Me Out")),
    lime("underscores", "Kings_Of_Leon_-_Sex_On_Fire", ("Kings of Leon", "Sex on Fire")),
    lime("underscores", "Maroon_5_-_This_Love", ("Maroon 5", "This Love"), tag=True),
    lime("underscores", "Sean_Paul_-_Get_Busy", ("Sean Paul", "Get Busy")),
    kazaa("underscores", "Chumbawamba - Tubthumping_", ("Chumbawamba", "Tubthumping")),
    lime("underscores", "Semisonic_-_Closing_Time", ("Semisonic", "Closing Time")),
    lime("underscores", "Third_Eye_Blind_-_Semi_Charmed_Life", ("Third Eye Blind", "Semi-Charmed Life")),

    # Track numbers from the album the file was ripped from.
    lime("track numbers", "01 - Linkin Park - In the End", ("Linkin Park", "In the End"), tag=True),
    lime("track numbers", "Radiohead - 06 - Karma Police", ("Radiohead", "Karma Police")),
    lime("track numbers", "Dido - 02. Thank You", ("Dido", "Thank You")),
    lime("track numbers", "03. Red Hot Chili Peppers - Scar Tissue", ("Red Hot Chili Peppers", "Scar Tissue")),
    lime("track numbers", "Coldplay - 05 - Clocks", ("Coldplay", "Clocks"), tag=True),
    lime("track numbers", "Nirvana - 01 Smells Like Teen Spirit", ("Nirvana", "Smells Like Teen Spirit")),
    lime("track numbers", "Moby - 11 - Porcelain", ("Moby", "Porcelain")),
    lime("track numbers", "Daft Punk - 01 - One More Time", ("Daft Punk", "One More Time"), kbps=192),
    lime("track numbers", "07 Madonna - Like a Prayer", ("Madonna", "Like a Prayer")),
    lime("track numbers", "Prince - 09 - Purple Rain", ("Prince", "Purple Rain"), tag=True),
    kazaa("track numbers", "04 - U2 - With or Without You", ("U2", "With or Without You"), items=True),
    kazaa("track numbers", "Weezer - 04 - Buddy Holly", ("Weezer", "Buddy Holly"), items=True),
    lime("track numbers", "Don McLean - 01 - American Pie", ("Don McLean", "American Pie")),
    lime("track numbers", "12. Fugees - Killing Me Softly", ("Fugees", "Killing Me Softly")),
    lime("track numbers", "Cyndi Lauper - 04. Time After Time", ("Cyndi Lauper", "Time After Time")),
    lime("track numbers", "Sublime - 03 - What I Got", ("Sublime", "What I Got")),
    lime("track numbers", "Kylie Minogue - 03 - Can't Get You Out of My Head", ("Kylie Minogue", "Can't Get You Out of My Head")),

    # A featured artist in the artist or the title, spelled three ways.
    lime("feat.", "Beyonce ft. Jay-Z - Crazy In Love", ("Beyoncé", "Crazy in Love (feat. Jay-Z)")),
    lime("feat.", "Beyonce - Crazy In Love (feat. Jay-Z)", ("Beyoncé", "Crazy in Love (feat. Jay-Z)"), tag=True),
    kazaa("feat.", "Beyoncé feat. Jay-Z - Crazy in Love", ("Beyoncé", "Crazy in Love (feat. Jay-Z)")),
    lime("feat.", "Santana feat. Rob Thomas - Smooth", ("Santana", "Smooth (feat. Rob Thomas)")),
    lime("feat.", "Santana - Smooth ft Rob Thomas", ("Santana", "Smooth (feat. Rob Thomas)"), kbps=192),
    lime("feat.", "Santana with Rob Thomas - Smooth", ("Santana", "Smooth (feat. Rob Thomas)")),
    lime("feat.", "Eminem feat. Dido - Stan", ("Eminem", "Stan")),
    lime("feat.", "Eminem ft Dido - Stan", ("Eminem", "Stan"), tag=("Eminem feat. Dido", "Stan", "The Marshall Mathers LP")),
    lime("feat.", "Nelly ft. Kelly Rowland - Dilemma", ("Nelly", "Dilemma (feat. Kelly Rowland)")),
    lime("feat.", "Nelly featuring Kelly Rowland - Dilemma", ("Nelly", "Dilemma (feat. Kelly Rowland)"), tag=True),
    lime("feat.", "Shakira feat. Wyclef Jean - Hips Don't Lie", ("Shakira", "Hips Don't Lie (feat. Wyclef Jean)")),
    lime("feat.", "Shakira - Hips Dont Lie (ft. Wyclef)", ("Shakira", "Hips Don't Lie (feat. Wyclef Jean)")),
    lime("feat.", "Usher feat. Lil Jon & Ludacris - Yeah!", ("Usher", "Yeah! (feat. Lil Jon & Ludacris)")),
    lime("feat.", "Usher - Yeah (feat. Lil Jon and Ludacris)", ("Usher", "Yeah! (feat. Lil Jon & Ludacris)")),
    lime("feat.", "Black Eyed Peas feat. Justin Timberlake - Where Is The Love", ("Black Eyed Peas", "Where Is the Love?")),
    kazaa("feat.", "Gwen Stefani ft Pharrell - Hollaback Girl", ("Gwen Stefani", "Hollaback Girl")),
    lime("feat.", "Jay-Z feat. Beyonce - 99 Problems", ("Jay-Z", "99 Problems")),

    # Version and junk suffixes; live and remix recordings stay themselves.
    lime("junk suffixes", "Coldplay - Clocks (Album Version)", ("Coldplay", "Clocks")),
    lime("junk suffixes", "Eminem - Lose Yourself [Explicit]", ("Eminem", "Lose Yourself"), tag=True),
    lime("junk suffixes", "Queen - Bohemian Rhapsody (Remastered 2011)", ("Queen", "Bohemian Rhapsody")),
    lime("junk suffixes", "Nirvana - Smells Like Teen Spirit [www.mp3zone.example]", ("Nirvana", "Smells Like Teen Spirit")),
    lime("junk suffixes", "Oasis - Wonderwall (Radio Edit)", ("Oasis", "Wonderwall"), kbps=192),
    lime("junk suffixes", "Linkin Park - In the End (128kbps)", ("Linkin Park", "In the End")),
    lime("junk suffixes", "a-ha - Take On Me - Copy", ("a-ha", "Take On Me")),
    lime("junk suffixes", "The White Stripes - Seven Nation Army (1)", ("The White Stripes", "Seven Nation Army")),
    lime("junk suffixes", "The Cranberries - Zombie (Single Version)", ("The Cranberries", "Zombie"), tag=True),
    lime("junk suffixes", "Radiohead - Karma Police [HQ]", ("Radiohead", "Karma Police")),
    lime("junk suffixes", "Guns N' Roses - Sweet Child O' Mine (Official Audio)", ("Guns N' Roses", "Sweet Child O' Mine")),
    kazaa("junk suffixes", "Prince - Purple Rain (LP Version)", ("Prince", "Purple Rain")),
    lime("junk suffixes", "Madonna - Like a Prayer (Remastered)", ("Madonna", "Like a Prayer")),
    lime("junk suffixes", "Evanescence - Bring Me to Life [Clean] www.tunes4u.example", ("Evanescence", "Bring Me to Life")),
    lime("junk suffixes", "The Killers - Mr. Brightside (Live)", ("The Killers", "Mr. Brightside (Live)")),
    lime("junk suffixes", "a-ha - Take On Me (Remix)", ("a-ha", "Take On Me (Remix)"), tag=True),
    lime("junk suffixes", "Smash Mouth - All Star (Original Mix)", ("Smash Mouth", "All Star")),
    lime("junk suffixes", "Avril Lavigne - Complicated (Explicit) (2)", ("Avril Lavigne", "Complicated")),

    # "The" dropped, added or moved to the end.
    lime("The", "Killers - Mr. Brightside", ("The Killers", "Mr. Brightside")),
    lime("The", "Beatles - Hey Jude", ("The Beatles", "Hey Jude"), tag=("Beatles", "Hey Jude", "1")),
    lime("The", "Rolling Stones - Paint It Black", ("The Rolling Stones", "Paint It Black")),
    lime("The", "White Stripes - Seven Nation Army", ("The White Stripes", "Seven Nation Army")),
    lime("The", "Strokes - Last Nite", ("The Strokes", "Last Nite"), kbps=192),
    lime("The", "Verve - Bitter Sweet Symphony", ("The Verve", "Bitter Sweet Symphony")),
    kazaa("The", "Cranberries - Zombie", ("The Cranberries", "Zombie")),
    lime("The", "Offspring - Pretty Fly (For A White Guy)", ("The Offspring", "Pretty Fly (for a White Guy)")),
    lime("The", "Doors - Light My Fire", ("The Doors", "Light My Fire"), tag=("Doors", "Light My Fire", "")),
    lime("The", "Police, The - Every Breath You Take", ("The Police", "Every Breath You Take")),
    lime("The", "The Black Eyed Peas - Where Is The Love", ("Black Eyed Peas", "Where Is the Love?")),
    lime("The", "The Goo Goo Dolls - Iris", ("Goo Goo Dolls", "Iris")),
    lime("The", "The Fugees - Killing Me Softly", ("Fugees", "Killing Me Softly"), tag=True),
    kazaa("The", "The Red Hot Chili Peppers - Scar Tissue", ("Red Hot Chili Peppers", "Scar Tissue")),
    lime("The", "The Gorillaz - Feel Good Inc", ("Gorillaz", "Feel Good Inc.")),
    lime("The", "Xx - Angels", ("The xx", "Angels")),
    lime("The", "Police - Every Breath You Take", ("The Police", "Every Breath You Take")),

    # & and "and", and their neighbours.
    lime("&/and", "Simon and Garfunkel - The Sound of Silence", ("Simon & Garfunkel", "The Sound of Silence")),
    lime("&/and", "Simon & Garfunkel - The Sound Of Silence", ("Simon & Garfunkel", "The Sound of Silence"), tag=True),
    lime("&/and", "Hall and Oates - Maneater", ("Hall & Oates", "Maneater")),
    lime("&/and", "Hall & Oates - Maneater", ("Hall & Oates", "Maneater")),
    lime("&/and", "Earth Wind and Fire - September", ("Earth, Wind & Fire", "September")),
    lime("&/and", "Earth, Wind & Fire - September", ("Earth, Wind & Fire", "September"), kbps=192),
    lime("&/and", "Mumford and Sons - Little Lion Man", ("Mumford & Sons", "Little Lion Man")),
    kazaa("&/and", "Mumford & Sons - Little Lion Man", ("Mumford & Sons", "Little Lion Man")),
    lime("&/and", "Echo and the Bunnymen - The Killing Moon", ("Echo & the Bunnymen", "The Killing Moon")),
    lime("&/and", "Kool and the Gang - Celebration", ("Kool & the Gang", "Celebration"), tag=True),
    lime("&/and", "Kool & The Gang - Celebration", ("Kool & the Gang", "Celebration")),
    lime("&/and", "Bob Marley and The Wailers - Is This Love", ("Bob Marley & The Wailers", "Is This Love")),
    lime("&/and", "Bob Marley - Is This Love", ("Bob Marley & The Wailers", "Is This Love")),
    lime("&/and", "Florence and the Machine - Dog Days Are Over", ("Florence + the Machine", "Dog Days Are Over")),
    lime("&/and", "Salt-N-Pepa - Push It", ("Salt-N-Pepa", "Push It")),
    lime("&/and", "Salt N Pepa - Push It", ("Salt-N-Pepa", "Push It"), tag=True),
    kazaa("&/and", "Guns and Roses - Sweet Child O Mine", ("Guns N' Roses", "Sweet Child O' Mine")),

    # Diacritics folded or kept, apostrophes dropped or kept.
    lime("diacritics and apostrophes", "Bjork - Army Of Me", ("Björk", "Army of Me")),
    lime("diacritics and apostrophes", "Björk - Army of Me", ("Björk", "Army of Me"), tag=True, utf16=True),
    lime("diacritics and apostrophes", "Sigur Ros - Hoppipolla", ("Sigur Rós", "Hoppípolla")),
    lime("diacritics and apostrophes", "Motley Crue - Kickstart My Heart", ("Mötley Crüe", "Kickstart My Heart")),
    lime("diacritics and apostrophes", "Sisqo - Thong Song", ("Sisqó", "Thong Song"), kbps=192),
    lime("diacritics and apostrophes", "Sinead O'Connor - Nothing Compares 2 U", ("Sinéad O'Connor", "Nothing Compares 2 U")),
    lime("diacritics and apostrophes", "Sinead OConnor - Nothing Compares 2 U", ("Sinéad O'Connor", "Nothing Compares 2 U")),
    lime("diacritics and apostrophes", "Guns N Roses - Sweet Child O Mine", ("Guns N' Roses", "Sweet Child O' Mine")),
    lime("diacritics and apostrophes", "No Doubt - Dont Speak", ("No Doubt", "Don't Speak")),
    lime("diacritics and apostrophes", "Nelly Furtado - Im Like A Bird", ("Nelly Furtado", "I'm Like a Bird")),
    kazaa("diacritics and apostrophes", "Destinys Child - Survivor", ("Destiny's Child", "Survivor")),
    lime("diacritics and apostrophes", "Alizee - Moi Lolita", ("Alizée", "Moi... Lolita"), tag=True, utf16=True),
    lime("diacritics and apostrophes", "Celine Dion - My Heart Will Go On", ("Céline Dion", "My Heart Will Go On")),
    lime("diacritics and apostrophes", "Mylene Farmer - Desenchantee", ("Mylène Farmer", "Désenchantée")),
    lime("diacritics and apostrophes", "Edith Piaf - Non, Je Ne Regrette Rien", ("Édith Piaf", "Non, je ne regrette rien")),
    lime("diacritics and apostrophes", "Motorhead - Ace of Spades", ("Motörhead", "Ace of Spades")),
    lime("diacritics and apostrophes", "Blue Oyster Cult - Don't Fear The Reaper", ("Blue Öyster Cult", "(Don't Fear) The Reaper")),
    lime("diacritics and apostrophes", "Marvin Gaye - Whats Going On", ("Marvin Gaye", "What's Going On")),
    lime("diacritics and apostrophes", "Elvis Presley - Cant Help Falling In Love", ("Elvis Presley", "Can't Help Falling in Love")),
    lime("diacritics and apostrophes", "Fall Out Boy - Sugar Were Goin Down", ("Fall Out Boy", "Sugar, We're Goin Down")),

    # Title first, artist second.
    lime("swapped", "Mr. Brightside - The Killers", ("The Killers", "Mr. Brightside")),
    lime("swapped", "Clocks - Coldplay", ("Coldplay", "Clocks")),
    lime("swapped", "Hey Ya! - Outkast", ("Outkast", "Hey Ya!")),
    lime("swapped", "Rehab - Amy Winehouse", ("Amy Winehouse", "Rehab")),
    lime("swapped", "Chop Suey! - System of a Down", ("System of a Down", "Chop Suey!"), kbps=192),
    lime("swapped", "Helena - My Chemical Romance", ("My Chemical Romance", "Helena")),
    lime("swapped", "Since U Been Gone - Kelly Clarkson", ("Kelly Clarkson", "Since U Been Gone")),
    kazaa("swapped", "Take Me Out - Franz Ferdinand", ("Franz Ferdinand", "Take Me Out")),
    lime("swapped", "Sex on Fire - Kings of Leon", ("Kings of Leon", "Sex on Fire")),
    lime("swapped", "Africa - Toto", ("Toto", "Africa")),
    lime("swapped", "Time After Time - Cyndi Lauper", ("Cyndi Lauper", "Time After Time")),
    lime("swapped", "Mr. Jones - Counting Crows", ("Counting Crows", "Mr. Jones")),
    lime("swapped", "Hungry Like the Wolf - Duran Duran", ("Duran Duran", "Hungry Like the Wolf")),
    kazaa("swapped", "Closing Time - Semisonic", ("Semisonic", "Closing Time")),
    lime("swapped", "3AM - Matchbox Twenty", ("Matchbox Twenty", "3AM")),
    lime("swapped", "Killing in the Name - Rage Against the Machine", ("Rage Against the Machine", "Killing in the Name")),
    lime("swapped", "Everybody Wants to Rule the World - Tears for Fears", ("Tears for Fears", "Everybody Wants to Rule the World")),

    # The name says nothing; the tag or Kazaa's items say it all.
    lime("tag clean, name junk", "01-untitled", ("Outkast", "Hey Ya!"), tag=True),
    lime("tag clean, name junk", "Track 4", ("Sugababes", "Push the Button"), tag=True, utf16=True),
    lime("tag clean, name junk", "Unknown Artist - Track 07", ("Lauryn Hill", "Doo Wop (That Thing)"), tag=True),
    lime("tag clean, name junk", "01 - Track 01", ("Toto", "Africa"), tag=True),
    lime("tag clean, name junk", "untitled", ("Creed", "With Arms Wide Open"), tag=True),
    lime("tag clean, name junk", "AudioTrack 05", ("Whitney Houston", "I Will Always Love You"), tag=True),
    lime("tag clean, name junk", "Unknown - 12", ("Dolly Parton", "I Will Always Love You"), tag=True, kbps=192),
    lime("tag clean, name junk", "track_09", ("Eiffel 65", "Blue (Da Ba Dee)"), tag=True),
    lime("tag clean, name junk", "New Recording 3", ("Lou Bega", "Mambo No. 5 (A Little Bit of...)"), tag=True),
    lime("tag clean, name junk", "Track-02", ("Michael Jackson", "P.Y.T. (Pretty Young Thing)"), tag=True),
    lime("tag clean, name junk", "00 - 00", ("Britney Spears", "...Baby One More Time"), tag=True),
    lime("tag clean, name junk", "Unknown Artist - Untitled", ("AC/DC", "Back in Black"), tag=True),
    lime("tag clean, name junk", "Track 11", ("Panic! at the Disco", "I Write Sins Not Tragedies"), tag=True),
    kazaa("tag clean, name junk", "Track01", ("Ben E. King", "Stand by Me"), items=True),
    kazaa("tag clean, name junk", "Unknown - Track 5", ("Frank Sinatra", "My Way"), items=True),
    kazaa("tag clean, name junk", "AUDIO_03", ("Train", "Drops of Jupiter (Tell Me)"), items=True),
    kazaa("tag clean, name junk", "01 - 01 - 01", ("R.E.M.", "Losing My Religion"), items=True),

    # Songs the stand-in lacks, whose titles other artists' songs have.
    absent("absent", "Aerosmith - Crazy", 316),
    absent("absent", "Patsy Cline - Crazy", 162),
    absent("absent", "Stone Temple Pilots - Creep", 333),
    absent("absent", "Sia - Alive", 263, tag=("Sia", "Alive", "This Is Acting")),
    absent("absent", "Creed - Torn", 383),
    absent("absent", "Boyz II Men - Thank You", 262),
    absent("absent", "Christina Aguilera - Hurt", 243, tag=("Christina Aguilera", "Hurt", "Back to Basics")),
    absent("absent", "Fela Kuti - Zombie", 746),
    absent("absent", "Within Temptation - Angels", 240),
    absent("absent", "Rose Laurens - Africa", 264),
    absent("absent", "Brandon Flowers - Mr. Brightside", 222),
    absent("absent", "Wilson Pickett - Hey Jude", 242),
    absent("absent", "Sid Vicious - My Way", 246, tag=("Sid Vicious", "My Way", "")),
    absent("absent", "A1 - Take On Me", 216),
    absent("absent", "Mumford & Sons - Believe", 220),
    absent("absent", "Ronan Keating - Iris", 285, client="kazaa"),
    absent("absent", "Bad Wolves - Zombie", 254, client="kazaa"),
    absent("absent", "Rhythms Del Mundo - Clocks", 265),
]


def write(directory):
    """Writes every download into directory; returns [(file path, download)]."""
    out = []
    for i, d in enumerate(CORPUS):
        # One folder per download: two downloads may share a name.
        folder = os.path.join(directory, "%03d" % i)
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, d.file_name())
        with open(path, "wb") as f:
            f.write(d.content())
        out.append((path, d))
    return out
