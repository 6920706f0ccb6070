#!/usr/bin/env python3
"""Writes the seed corpora of the matcher, Info.plist, usage-file and feed-signature fuzz targets
into core/fuzz/corpus/TARGET/ (feed_item_fuzz's seeds are committed as they are).

Each seed is a small, real-looking input, so that fuzzing starts from the shapes the code meets
in use. The signed feeds are made by jolstrand-release with a throw-away key that is deleted
again; pass the tool's path when it is not in build/default/tools/release/.

    core/fuzz/make_seeds.py [PATH_TO_JOLSTRAND_RELEASE]
"""

import datetime
import json
import pathlib
import plistlib
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
CORPUS = HERE / "corpus"


def write(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode("utf-8"))


def info_plists():
    safari = {
        "CFBundleIdentifier": "com.apple.Safari",
        "CFBundleName": "Safari",
        "CFBundleDisplayName": "Safari",
        "CFBundleExecutable": "Safari",
        "CFBundleIconFile": "AppIcon",
        "CFBundleShortVersionString": "17.4",
        "CFBundleVersion": "19618.1.15.11.12",
        "LSMinimumSystemVersion": "13.0",
        "CFBundleURLTypes": [{"CFBundleURLName": "Web site URL",
                              "CFBundleURLSchemes": ["http", "https"]}],
        "NSHumanReadableCopyright": "© 2003–2024 Apple Inc.",
    }
    helper = {
        "CFBundleIdentifier": "com.example.SyncHelper",
        "CFBundleName": "Sync Helper",
        "LSBackgroundOnly": True,
        "LSUIElement": 1,
        "CFBundleDocumentTypes": [{"CFBundleTypeExtensions": ["sync"], "LSHandlerRank": "Owner"}],
    }
    localized = {
        "CFBundleIdentifier": "de.example.Systemeinstellungen",
        "CFBundleDisplayName": "Systemeinstellungen",
        "CFBundleName": "System Settings",
        "LSBackgroundOnly": "YES",
        "NSPrincipalClass": "NSApplication",
        "Version": 1.5,
        "Built": datetime.datetime(2024, 3, 1, 12, 0, 0),
        "Signature": b"\x00\x01\x02\xff",
        "Nested": {"a": [1, 2, {"b": [True, False, -7]}]},
    }
    wide = {
        "CFBundleIdentifier": "jp.example.Memo",
        "CFBundleDisplayName": "メモ",
        "CFBundleName": "Ｍｅｍｏ",
        "LSBackgroundOnly": 0,
    }
    for name, info in [("safari", safari), ("helper", helper), ("localized", localized),
                       ("wide", wide)]:
        write("info_plist_fuzz", name + ".xml", plistlib.dumps(info, fmt=plistlib.FMT_XML))
        write("info_plist_fuzz", name + ".bplist", plistlib.dumps(info, fmt=plistlib.FMT_BINARY))
    write("info_plist_fuzz", "not-a-dictionary.bplist",
          plistlib.dumps(["com.example", 1], fmt=plistlib.FMT_BINARY))


def usage_files():
    write("usage_file_fuzz", "usage.json", json.dumps({
        "com.apple.safari": {"score": 3.5, "updated": 757382400.25},
        "/Applications/Odd Tool.app": {"score": 1, "updated": 7.5e8,
                                       "extra": [1, {"x": None}, "text"]},
        "org.mozilla.firefox": {"updated": 756000000, "score": 0.0625},
    }, separators=(",", ":")))
    # An id that is not UTF-8 is stored as NUL followed by its bytes, %XX-escaped.
    write("usage_file_fuzz", "escaped-id.json",
          '{"\\u0000/Applications/%FF%FEraw.app":{"score":2,"updated":1e9}}')
    write("usage_file_fuzz", "empty.json", "{}")


def matcher_inputs():
    # The query, then display names each followed by one other name, separated by NUL bytes.
    seeds = {
        "prefix": ["saf", "Safari", "Safari Browser", "System Settings", "Systemeinstellungen"],
        "initials": ["gc", "Google Chrome", "Chrome", "Calculator", "Calc"],
        "words": ["code", "Visual Studio Code", "Code", "VSCodium", "Codium"],
        "empty-query": ["", "Notes", "", "Numbers", "Pages"],
        "width-and-accents": ["ｃａｆｅ", "Café", "Cafe\u0301 Bar", "CAFÉ", "ｃａｆé"],
        "graphemes": ["👩‍💻", "👩‍💻 Terminal", "iTerm2", "メモ", "Memo"],
        "digits": ["2", "App 10", "App 2", "Ⅻ Clock", "٣ Tools"],
    }
    for name, pieces in seeds.items():
        write("matcher_fuzz", name, "\0".join(pieces))


def signed_feeds(tool):
    with tempfile.TemporaryDirectory() as scratch:
        folder = pathlib.Path(scratch)
        key = folder / "throwaway.key"
        subprocess.run([tool, "generate-keys", "--out", str(key)], check=True,
                       stdout=subprocess.DEVNULL)
        (folder / "Jolstrand-1.2.dmg").write_bytes(b"disk image bytes " * 8)
        (folder / "notes.txt").write_text("Faster search:\n- ranks initials\n- keeps history\n\n"
                                          "Thanks & more <3 ]]>\n")
        feed = subprocess.run(
            [tool, "appcast", "--key", str(key), "--archive", str(folder / "Jolstrand-1.2.dmg"),
             "--version", "1.2", "--build", "42", "--notes", str(folder / "notes.txt"),
             "--url", "https://example.com/Jolstrand-1.2.dmg?a=1&b=\"2\"",
             "--minimum-system", "13.0", "--date", "2025-01-31T12:00:00+01:00"],
            check=True, capture_output=True).stdout
    write("signed_feed_fuzz", "appcast.xml", feed)
    # A leading 'S' makes the target sign the rest itself, then check it.
    marker = b"<!-- sparkle-signatures:\n"
    write("signed_feed_fuzz", "sign-me.xml", b"S" + feed[:feed.rindex(marker)])
    write("enclosure_signature_fuzz", "appcast.xml", feed)


def main():
    tool = sys.argv[1] if len(sys.argv) > 1 else str(
        ROOT / "build/default/tools/release/jolstrand-release")
    info_plists()
    usage_files()
    matcher_inputs()
    signed_feeds(tool)


if __name__ == "__main__":
    main()
