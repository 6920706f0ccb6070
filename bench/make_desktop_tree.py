#!/usr/bin/env python3
"""Builds a synthetic set of desktop entries shaped like a Linux desktop's.

Usage: make_desktop_tree.py OUT [COUNT]

OUT/Home/.local/share/applications (the data home), OUT/share/applications and
OUT/flatpak/exports/share/applications (the data folders) hold COUNT desktop entries between
them: translated names, comments and keywords in twenty languages as distribution packages
ship them, vendor sub-folders, entries overridden by the user, and some that the menu hides
(NoDisplay, OnlyShowIn another desktop, a TryExec that is missing).
"""
import os
import random
import shutil
import sys

WORDS = ["Photo", "Sound", "Wave", "Editor", "Studio", "Music", "Notes", "Mail", "Calendar",
         "Viewer", "Maker", "Code", "Terminal", "Book", "Reader", "Draw", "Paint", "Video",
         "Player", "Sync", "Archive", "Disk", "Monitor", "Chat", "Map", "Capture", "Font",
         "Café", "Résumé", "PDF"]
LANGUAGES = ["ar", "ca", "cs", "da", "de", "el", "es", "fi", "fr", "hu", "it", "ja", "ko", "nl",
             "pl", "pt_BR", "ru", "sv", "tr", "zh_CN"]


def entry(name, program, hidden):
    lines = ["[Desktop Entry]", "Type=Application", "Version=1.0", f"Name={name}"]
    lines += [f"Name[{lang}]={name} ({lang})" for lang in LANGUAGES]
    lines.append(f"GenericName={random.choice(WORDS)} {random.choice(WORDS)}")
    lines.append(f"Comment=Work with {name.lower()} files")
    lines += [f"Comment[{lang}]={name} {lang} comment" for lang in LANGUAGES]
    keywords = ";".join(random.sample(WORDS, 3)).lower() + ";"
    lines.append(f"Keywords={keywords}")
    lines += [f"Keywords[{lang}]={keywords}" for lang in LANGUAGES[:8]]
    lines.append(f"Exec={program} --new-window %U")
    lines.append(f"Icon={name.lower().replace(' ', '-')}")
    lines.append("Categories=Utility;Office;")
    lines.append("MimeType=text/plain;application/pdf;")
    lines.append("StartupNotify=true")
    if hidden == "nodisplay":
        lines.append("NoDisplay=true")
    elif hidden == "kde":
        lines.append("OnlyShowIn=KDE;")
    elif hidden == "tryexec":
        lines.append("TryExec=/nonexistent/program")
    lines += ["", "[Desktop Action new-window]", "Name=New Window", f"Exec={program} --new"]
    return "\n".join(lines) + "\n"


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    random.seed(2)
    home = os.path.join(out, "Home", ".local", "share", "applications")
    system = os.path.join(out, "share", "applications")
    flatpak = os.path.join(out, "flatpak", "exports", "share", "applications")
    for folder in (home, system, flatpak):  # OUT may hold other things: leave them
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    for i in range(count):
        name = f"{random.choice(WORDS)} {random.choice(WORDS)} {i}"
        where = random.random()
        if where < 0.05:
            folder, file_id = home, f"org.example.App{i}.desktop"
        elif where < 0.1:
            folder, file_id = flatpak, f"org.flatpak.App{i}.desktop"
        elif where < 0.2:
            folder, file_id = os.path.join(system, "vendor"), f"app{i}.desktop"
        else:
            folder, file_id = system, f"org.example.App{i}.desktop"
        os.makedirs(folder, exist_ok=True)
        roll = random.random()
        hidden = "nodisplay" if roll < 0.05 else "kde" if roll < 0.08 else \
            "tryexec" if roll < 0.1 else None
        program = random.choice(["sh", "/bin/sh", "env", "cat"])
        with open(os.path.join(folder, file_id), "w", encoding="utf-8") as f:
            f.write(entry(name, program, hidden))


if __name__ == "__main__":
    main()
