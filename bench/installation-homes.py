#!/usr/bin/env python3
"""Lays out home folders for timing the installation search (velmora-dump
--list-installations with HOME set to each), as the tools write their files:

  big        Steam's library list of a player with many games (3.9 MB, 148,000 app
             entries) and a Flatpak Steam whose list is 50 MB (over the size limit)
  dup        a library list naming the same library 10,000 times (about 120 KB)
  lutris     10,000 Lutris game files whose prefixes are missing, all in one folder
  steam      10,000 Steam prefixes, each a registry without the game
  files      a Bottles folder of 100,000 files, and a symlink loop as a Lutris prefix

Usage: bench/installation-homes.py DIR   (makes DIR/big, DIR/dup, ...)
"""
import os
import sys

HIVE = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n[Software\\\\Other] 1700000000\n"


def library_list(libraries, apps_per_library, first_app=200000):
    out = ['"libraryfolders"\n{\n']
    app = first_app
    for i, path in enumerate(libraries):
        out.append(f'\t"{i}"\n\t{{\n\t\t"path"\t\t"{path}"\n\t\t"label"\t\t""\n\t\t"contentid"\t\t"48309671206834{i:02d}"\n'
                   f'\t\t"totalsize"\t\t"0"\n\t\t"update_clean_bytes_tally"\t\t"0"\n\t\t"time_last_update_corruption"\t\t"0"\n'
                   '\t\t"apps"\n\t\t{\n')
        for _ in range(apps_per_library):
            out.append(f'\t\t\t"{app}"\t\t"{1000000000 + app * 7919 % 9000000000}"\n')
            app += 1
        out.append("\t\t}\n\t}\n")
    out.append("}\n")
    return "".join(out)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)


def main(root):
    big = os.path.join(root, "big")
    steam = os.path.join(big, ".local/share/Steam")
    write(os.path.join(steam, "steamapps/compatdata/228980/pfx/system.reg"), HIVE)
    write(os.path.join(steam, "steamapps/libraryfolders.vdf"), library_list([steam, big + "/SteamLibrary"], 74000))
    flatpak = os.path.join(big, ".var/app/com.valvesoftware.Steam/.local/share/Steam")
    write(os.path.join(flatpak, "steamapps/libraryfolders.vdf"), library_list([flatpak], 1900000))

    dup = os.path.join(root, "dup")
    steam = os.path.join(dup, ".local/share/Steam")
    write(os.path.join(dup, "lib/steamapps/compatdata/1/pfx/system.reg"), HIVE)
    write(os.path.join(steam, "steamapps/libraryfolders.vdf"),
          '"libraryfolders"\n{\n' + "".join(f'\t"{i}"\t\t"{dup}/lib"\n' for i in range(10000)) + "}\n")

    lutris = os.path.join(root, "lutris")
    for i in range(10000):
        write(os.path.join(lutris, f".config/lutris/games/game{i}-1700000000.yml"),
              f"game:\n  exe: x.exe\n  prefix: {lutris}/Games/missing{i}\nname: Game {i}\n")

    steam = os.path.join(root, "steam", ".local/share/Steam")
    for i in range(10000):
        write(os.path.join(steam, f"steamapps/compatdata/{1000 + i}/pfx/system.reg"), HIVE)

    files = os.path.join(root, "files")
    bottles = os.path.join(files, ".local/share/bottles/bottles")
    os.makedirs(bottles, exist_ok=True)
    for i in range(100000):
        open(os.path.join(bottles, f"f{i}"), "w").close()
    os.makedirs(os.path.join(files, "Games"), exist_ok=True)
    os.symlink("loop", os.path.join(files, "Games/loop"))
    write(os.path.join(files, ".config/lutris/games/loop.yml"), f"game:\n  prefix: {files}/Games/loop\n")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
