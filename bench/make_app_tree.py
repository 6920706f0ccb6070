#!/usr/bin/env python3
"""Builds a synthetic tree of application bundles shaped like a well-used Mac.

Usage: make_app_tree.py OUT [COUNT]

OUT/Applications (depth 3), OUT/System/Applications (depth 2) and OUT/Home/Applications
(depth 3) hold COUNT bundles between them: half with XML and half with binary Info.plists,
one in ten reached through a symbolic link, vendor folders two levels deep, copies of the same
application across roots, and some background-only helpers.
"""
import os
import plistlib
import random
import shutil
import sys

WORDS = ["Photo", "Sound", "Wave", "Editor", "Studio", "Pro", "Music", "Notes", "Mail",
         "Calendar", "Viewer", "Maker", "Code", "Script", "Terminal", "Book", "Reader", "Draw",
         "Paint", "Video", "Player", "Sync", "Cloud", "Drive", "Archive", "Disk", "Utility",
         "Monitor", "Chat", "Map", "Capture", "Screen", "Font", "Pixel", "Vector", "Café",
         "Résumé", "PDF", "HTML", "VPN"]


def bundle(path, identifier, name, binary, background=False):
    contents = os.path.join(path, "Contents")
    os.makedirs(os.path.join(contents, "MacOS"), exist_ok=True)
    os.makedirs(os.path.join(contents, "Resources"), exist_ok=True)
    info = {"CFBundleIdentifier": identifier, "CFBundleName": name,
            "CFBundleExecutable": "run", "CFBundleShortVersionString": "1.0",
            "CFBundleIconFile": "AppIcon", "LSMinimumSystemVersion": "12.0",
            "NSHumanReadableCopyright": "Copyright Example"}
    if random.random() < 0.3:
        info["CFBundleDisplayName"] = name + " " + random.choice(WORDS)
    if background:
        info["LSBackgroundOnly"] = True
    with open(os.path.join(contents, "Info.plist"), "wb") as out:
        plistlib.dump(info, out, fmt=plistlib.FMT_BINARY if binary else plistlib.FMT_XML)
    with open(os.path.join(contents, "MacOS", "run"), "w") as out:
        out.write("#!/bin/sh\n")
    for resource in ("AppIcon.icns", "Localizable.strings"):
        open(os.path.join(contents, "Resources", resource), "w").close()


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    random.seed(1)
    shutil.rmtree(out, ignore_errors=True)
    roots = [os.path.join(out, "Applications"), os.path.join(out, "System", "Applications"),
             os.path.join(out, "Home", "Applications")]
    store = os.path.join(out, "Store")
    for folder in roots + [store]:
        os.makedirs(folder)
    made = []
    for i in range(count):
        name = " ".join(random.sample(WORDS, random.randint(1, 3))) + f" {i}"
        identifier = f"com.example.app{i}"
        binary = i % 2 == 0
        roll = random.random()
        if roll < 0.10:  # reached through a link from the local folder
            target = os.path.join(store, name + ".app")
            bundle(target, identifier, name, binary)
            os.symlink(target, os.path.join(roots[0], name + ".app"))
            continue
        if roll < 0.15 and made:  # a copy of an earlier application in the user's folder
            copy_name, copy_id = random.choice(made)
            bundle(os.path.join(roots[2], copy_name + ".app"), copy_id, copy_name, binary)
            continue
        root = roots[0] if roll < 0.70 else roots[1] if roll < 0.90 else roots[2]
        folder = root
        if random.random() < 0.25:  # vendor folders, two levels when the root allows it
            folder = os.path.join(root, f"Vendor {i % 17}")
            if root != roots[1]:
                folder = os.path.join(folder, f"Suite {i % 3}")
        bundle(os.path.join(folder, name + ".app"), identifier, name, binary,
               background=random.random() < 0.03)
        made.append((name, identifier))
    core = os.path.join(out, "System", "Library", "CoreServices", "Finder.app")
    bundle(core, "com.apple.finder", "Finder", False)


if __name__ == "__main__":
    main()
