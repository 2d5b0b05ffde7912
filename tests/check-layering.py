#!/usr/bin/env python3
"""Fails when an engine, game or tool source includes a header of a library
above its own, or a third-party header outside the one folder allowed to use
it. The order is the one of the libraries in the top CMakeLists.txt, lowest
first; a library may include its own headers and those of any library below.
Usage: check-layering.py [SOURCE_DIR]"""
import os
import re
import sys

ORDER = ["engine/base", "engine/core", "engine/io", "engine/resources", "engine/platform", "engine/sound",
         "engine/components", "engine/physics", "engine/actions", "engine/graphics", "engine/world",
         "engine/script", "engine/ui",
         # The game's folders: shared verbs lowest, then level objects, the player, the enemies built on
         # them, the bosses built on the enemies, the camera and the HUD; the game's registration on top.
         "game/common", "game/objects", "game/player", "game/enemies", "game/bosses", "game/camera", "game/ui",
         "game", "tools", "app"]
RANK = {folder: i for i, folder in enumerate(ORDER)}

# Third-party headers and the only folder (or file) that may include them.
THIRD_PARTY = [
    (r"SDL[_a-z0-9]*\.h", "engine/platform"),
    (r"(GL|epoxy)/", "engine/graphics/device"),
    (r"(lua|lualib|lauxlib)\.h|lua\.hpp", "engine/script"),
    (r"ft2build\.h|freetype/|fontconfig/", "engine/graphics/text/FontFace.cpp"),
]
QUOTED = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
ANGLED = [(re.compile(r"^\s*#\s*include\s*<(" + pattern + ")"), allowed) for pattern, allowed in THIRD_PARTY]


def library_of(path):
    """The library folder a path belongs to (longest match of the order list)."""
    best = ""
    for folder in ORDER:
        if path.startswith(folder + "/") and len(folder) > len(best):
            best = folder
    return best


def sources():
    found = []
    for top in ("engine", "game", "tools", "app"):
        for folder, _, names in os.walk(top):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    found.append(os.path.join(folder, name))
    return sorted(found)


def main():
    os.chdir(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    failures = 0
    for path in sources():
        own = library_of(path)
        if not own:
            continue
        with open(path, encoding="utf-8", errors="replace") as source:
            lines = source.readlines()
        for number, line in enumerate(lines, 1):
            match = QUOTED.match(line)
            if match:
                used = library_of(match.group(1))
                if used and RANK[used] > RANK[own]:
                    print(f"{path}:{number}: includes {match.group(1)}, and {used} sits above {own}")
                    failures += 1
            if not path.startswith(("engine/", "game/")):
                continue
            for pattern, allowed in ANGLED:
                if path.startswith(allowed + "/") or path == allowed:
                    continue
                if pattern.match(line):
                    print(f"{path}:{number}: third-party header allowed only in {allowed}")
                    failures += 1
    if failures:
        print(f"{failures} include(s) break the library order")
        return 1
    print("library order holds")
    return 0


if __name__ == "__main__":
    sys.exit(main())
