#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz programs into fuzz/corpus/<target>/ and their dictionaries
into fuzz/<target>.dict: small valid inputs of each format, made here so that they can be made
again. Inputs added later (crash regressions, merged corpora) are kept; a seed of the same name
is overwritten.

Usage: fuzz/make_seeds.py
"""

import io
import json
import re
import struct
import zipfile
from pathlib import Path

FUZZ = Path(__file__).resolve().parent
ROOT = FUZZ.parent
CORPUS = FUZZ / "corpus"


def seed(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    (folder / name).write_bytes(data)


def dictionary(target, words):
    lines = ["# Tokens of the format, for libFuzzer's -dict (written by make_seeds.py)."]
    for word in sorted(set(words)):
        escaped = "".join(
            c if 0x20 <= ord(c) < 0x7F and c not in '"\\' else "\\x%02X" % ord(c)
            for c in word
        )
        lines.append('"%s"' % escaped)
    (FUZZ / ("%s.dict" % target)).write_text("\n".join(lines) + "\n")


def compact(document):
    return json.dumps(document, separators=(",", ":"), ensure_ascii=False)


# --- console: a game's output stream --------------------------------------------------------

ESC = "\x1b"


def log(level, message, pid=12):
    return "[ArvexHub] [%d] %s: %s" % (pid, level, message)


def console_seeds():
    seed("console", "plain", "hello world\nsecond line\n\n  indented  \nlast line without newline")
    seed("console", "levels", "\n".join(log(level, "message of level " + level)
                                         for level in ["Debug", "Info", "Warning", "Error", "Fatal", "Notice", ""]) + "\n")
    seed("console", "command", "\n".join([
        log("Info", "====== Begin Lua command #0 ======"),
        log("Info", "42"),
        log("Info", "====== End Lua command #0: success ======"),
        log("Info", "====== Begin Lua command #1 ======"),
        log("Error", 'In Lua command: [string "print(x"]:1: unexpected symbol'),
        log("Info", "====== End Lua command #1: error ======"),
        log("Info", "====== End Lua command #3: success ======"),
    ]) + "\n")
    seed("console", "settings", "\n".join([log("Info", "Fullscreen: yes"), log("Info", "Fullscreen: no")]) + "\n")
    seed("console", "colours", "\n".join([
        ESC + "[31mred" + ESC + "[0m plain " + ESC + "[92mbright green",
        log("Warning", ESC + "[34mblue in a warning"),
        ESC + "[999999999999mhuge code" + ESC + "[m" + ESC + "[",
    ]) + "\n")
    seed("console", "markup", "\n".join([
        "<b>bold</b> & <img src=x onerror=alert(1)>",
        log("Info", '<span style="color:#ff0000;">fake</span> &amp; &lt;'),
        ESC + "[31m<script>" + ESC + "[32m&quot;</script>",
    ]) + "\n")
    dictionary("console", ["[ArvexHub] [", "] ", "Debug: ", "Info: ", "Warning: ", "Error: ", "Fatal: ",
                           "====== Begin Lua command #", "====== End Lua command #", ": success ======",
                           ": error ======", " ======", "Fullscreen: ", "yes", "no",
                           'In Lua command: [string "', '"]:1: ', ESC + "[", "m", "&amp;", "&lt;", "&gt;",
                           "&quot;", "<span", "</span>", "\n", "\r\n"])


# --- catalogue: kind byte + catalogue document ---------------------------------------------

SERVER = "@SERVER@"


def catalogue_seeds():
    games = [
        {"name": "MoonTactics", "fullName": "Moon Tactics", "developer": "Arvex Games", "publisher": "Arvex Games",
         "demo": False, "version": "1.1", "launchDate": "2024-05-01", "url": "https://example.com/MoonTactics.zip",
         "sha256": "00" * 32, "thumbnail": SERVER + "/pictures/0.png"},
        {"name": "Orbit", "fullName": "Orbit", "version": "0.9", "url": SERVER + "/archives/Orbit.zip",
         "thumbnail": "https://example.com/orbit.png"},
        {"name": "Nebula", "fullName": "Nebula Drift", "demo": True, "version": "2.0",
         "url": "https://example.com/Nebula.zip", "thumbnail": SERVER + "/pictures/1.png"},
    ]
    seed("catalogue", "games", "0" + compact(games))
    seed("catalogue", "games-odd", "0" + compact([
        {"name": "../escape", "url": "https://example.com/x.zip"},
        {"name": ".hidden"}, {"name": ""}, {"name": 42}, "not an object", None,
        {"name": "Nebula", "version": "1.0"}, {"name": "nebula", "version": "3.0"},
        {"name": "Nebula", "version": "2.0", "url": "not a url"},
        {"name": "Ünïcødé 名前", "thumbnail": SERVER + "/pictures/2.png"},
    ]))
    movies = [
        {"name": "MoonTactics", "fullName": "Moon Tactics: the film", "animation": "Studio", "publisher": "Arvex",
         "launchDate": "2024-01-01", "url": "https://example.com/m.zip", "thumbnail": SERVER + "/pictures/0.png"},
        {"name": "Sunrise", "fullName": "Sunrise", "url": "https://example.com/s.zip"},
        {"name": "Orbit", "thumbnail": ""},
    ]
    seed("catalogue", "movies", "1" + compact(movies))
    ebooks = [
        {"name": "Orbit", "fullName": "Orbit, the book", "author": "A. Writer", "publisher": "Arvex",
         "publicationDate": "2023", "url": "https://example.com/o.zip", "thumbnail": SERVER + "/pictures/1.png"},
        {"name": "Atlas", "fullName": "Atlas", "url": "https://example.com/a.zip"},
        {"name": "atlas", "fullName": "atlas (lower case)"},
        {"name": "MoonTactics", "thumbnail": SERVER + "/pictures/2.png"},
    ]
    seed("catalogue", "ebooks", "2" + compact(ebooks))
    albums = [
        {"name": "MoonTactics", "fullName": "Moon Tactics Soundtrack", "artist": "Arvex Band", "publisher": "Arvex",
         "releaseDate": "2022-02-02", "url": "https://example.com/mt.zip", "thumbnail": SERVER + "/pictures/3.png"},
        {"name": "Live.2024", "fullName": "a dot in the name"},
        {"name": "Echoes", "fullName": "Echoes", "url": "https://example.com/e.zip"},
    ]
    seed("catalogue", "albums", "3" + compact(albums))
    seed("catalogue", "not-a-list", "0" + compact({"name": "MoonTactics"}))
    seed("catalogue", "empty-list", "1[]")
    dictionary("catalogue", ['"name"', '"fullName"', '"developer"', '"publisher"', '"demo"', '"version"',
                             '"launchDate"', '"url"', '"sha256"', '"thumbnail"', '"animation"', '"author"',
                             '"publicationDate"', '"artist"', '"releaseDate"', SERVER, SERVER + "/pictures/0.png",
                             "https://", "http://127.0.0.1", "MoonTactics", "Orbit", "true", "false", "null",
                             "[", "]", "{", "}", ":", ","])


# --- archive: kind byte + zip archive ------------------------------------------------------

def zip_bytes(entries, compression=zipfile.ZIP_DEFLATED):
    """entries: (name, data, unix mode) in order; a name ending in "/" is a folder."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", compression) as archive:
        for name, data, mode in entries:
            info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
            info.create_system = 3  # Unix, so that the mode counts
            info.external_attr = mode << 16
            if name.endswith("/"):
                info.external_attr |= 0x10
                archive.writestr(info, b"")
            else:
                info.compress_type = compression
                archive.writestr(info, data)
    return buffer.getvalue()


def archive_seeds():
    game = [("launcher.command", b"#!/bin/sh\necho hello from the game\n", 0o100755),
            ("data/", b"", 0o40755),
            ("data/level1.txt", b"level one\n" * 8, 0o100644),
            ("README", b"read me", 0o100644)]
    seed("archive", "game", b"0" + zip_bytes(game))
    seed("archive", "game-stored", b"0" + zip_bytes(game, zipfile.ZIP_STORED))
    seed("archive", "game-with-saves", b"0" + zip_bytes([
        ("launcher.command", b"#!/bin/sh\n", 0o100755),
        ("saves/", b"", 0o40755),
        ("saves/default.dat", b"fresh", 0o100644)]))
    seed("archive", "game-without-start", b"0" + zip_bytes([("data.txt", b"no start script", 0o100644)]))
    seed("archive", "movie", b"1" + zip_bytes([("Fuzzed.mp4", b"\x00\x00\x00\x18ftypmp42", 0o100644),
                                              ("Fuzzed.png", b"\x89PNG", 0o100644)]))
    seed("archive", "ebook", b"2" + zip_bytes([("Fuzzed.pdf", b"%PDF-1.4\n%%EOF\n", 0o100644)]))
    seed("archive", "album", b"3" + zip_bytes([("01 Intro.mp3", b"ID3" + b"\x00" * 20, 0o100644),
                                              ("02 Theme.wav", b"RIFF\x00\x00\x00\x00WAVE", 0o100644)]))
    seed("archive", "link", b"0" + zip_bytes([("launcher.command", b"#!/bin/sh\n", 0o100755),
                                             ("escape", b"/etc/passwd", 0o120777)]))
    dictionary("archive", ["PK\x03\x04", "PK\x01\x02", "PK\x05\x06", "PK\x06\x06", "PK\x06\x07",
                           "launcher.command", ".command", ".mp4", ".pdf", "saves/", "../", "/", "\\",
                           "\x14\x00", "\x2d\x00", "\x08\x00", "\x00\x00", "\xff\xff\xff\xff",
                           "\x01\x00\x10\x00", "\xed\x41", "\xff\xa1", "\xed\x81"])


# --- playlist: an .m3u file ----------------------------------------------------------------

def playlist_seeds():
    seed("playlist", "own", "/home/user/Music/one.mp3\n/home/user/Movies/two.mp4\n")
    seed("playlist", "extended", "#EXTM3U\n#EXTINF:123,Artist - Title\n../Music/song.mp3\n"
                                 "#EXTINF:-1,Radio\nhttp://radio.example.com/stream\n#EXTINF:5\nrelative/clip.mp4\n")
    seed("playlist", "urls", "file:///home/user/a%20b.mp3\r\nfile:/home/user/c.wav\r\nFILE:///x/%0Ay.mp3\r\n"
                             "rtsp://cam.example.com/live\n   \n./../../../up.mp3\n")
    seed("playlist", "odd", "#\n#EXTINF:,\n\tleading tab.mp3\nnames with spaces .mp3 \n\xef\xbb\xbf/bom.mp3\n"
                            "/a//b/./c/../d.mp3\nC:\\Music\\win.mp3\n")
    dictionary("playlist", ["#EXTM3U", "#EXTINF:", ",", "file:", "file://", "file:///", "http://", "://",
                            "%0A", "%0D", "%25", "/", "./", "../", "\n", "\r\n", ".mp3", ".m3u"])


# --- framing: the single-instance socket's bytes, then read lengths from the end -----------

def frame(payload):
    return struct.pack(">I", len(payload)) + payload


def framing_seeds():
    message = "/home/user/Downloads/MoonTactics.arvexhub".encode()
    seed("framing", "whole", frame(message) + b"\x00\x00\xff")
    seed("framing", "pieces", frame(message) + b"\x01\x00\x00\x03\x00\x00\x02\x00\x00")
    seed("framing", "empty-message", frame(b"") + b"\x04\x00\x00")
    seed("framing", "too-long", struct.pack(">I", 64 * 1024 + 1) + b"x" * 8 + b"\x08\x00\x00")
    seed("framing", "trailing", frame(b"abc") + b"more" + b"\x07\x00\x00\x04\x00\x00")


# --- theme: a theme file -------------------------------------------------------------------

def theme_seeds():
    for name in ["dark", "light"]:
        seed("theme", name, (ROOT / "resources" / "themes" / ("%s.json" % name)).read_bytes())
    seed("theme", "minimal", compact({"meta": {"name": "Mini"}}))
    seed("theme", "metrics", compact({"meta": {"name": "Big", "version": "1", "author": "me"},
                                      "fontSize": 14, "fontSizeH1": 40, "borderRadius": 0, "spacing": -3,
                                      "animationDuration": 1e12, "fontSizeS1": "9",
                                      "primaryColor": "#12345678", "focusColor": "#GGGGGG",
                                      "borderColor": "#abc"}))
    seed("theme", "no-name", compact({"meta": {"version": "1"}, "primaryColor": "#000000"}))
    keys = re.findall(r"ARVEXHUB_THEME_COLOR\((\w+)", (ROOT / "src" / "style" / "ThemeColorList.h").read_text())
    metrics = ["borderRadius", "borderWidth", "focusBorderWidth", "spacing", "animationDuration", "fontSize",
               "fontSizeMonospace", "fontSizeH1", "fontSizeH2", "fontSizeH3", "fontSizeH4", "fontSizeH5",
               "fontSizeS1"]
    dictionary("theme", ['"%s"' % key for key in keys + metrics + ["meta", "name", "version", "author"]]
               + ['"#', "#000000", "#FFFFFFFF", "true", "null", "1e9"])


# --- updater: the release feed --------------------------------------------------------------

def updater_seeds():
    link = {"self": "https://arvexgames.example/arvexhub/releases/2.0.0"}
    seed("updater", "newer", compact({"tag_name": "v2.0.0", "_links": link}))
    seed("updater", "same", compact({"tag_name": "1.0.0", "_links": link}))
    seed("updater", "older", compact({"tag_name": "V0.9", "_links": link}))
    seed("updater", "unsafe-link", compact({"tag_name": "v9", "_links": {"self": "file:///etc/passwd"}}))
    seed("updater", "loopback-link", compact({"tag_name": "1.0.1", "_links": {"self": "http://127.0.0.1:8080/r"}}))
    seed("updater", "no-tag", compact({"name": "2.0.0", "_links": link}))
    seed("updater", "array", compact([{"tag_name": "v2.0.0"}]))
    dictionary("updater", ['"tag_name"', '"_links"', '"self"', '"v', '"V', "https://", "http://localhost",
                           "http://[::1]", "file://", "1.0.0", "1.0.1", ".", "-rc1"])


def main():
    console_seeds()
    catalogue_seeds()
    archive_seeds()
    playlist_seeds()
    framing_seeds()
    theme_seeds()
    updater_seeds()


if __name__ == "__main__":
    main()
