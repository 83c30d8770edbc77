#!/usr/bin/env python3
"""The floors of the tree: each folder includes only from the folders it stands on.

check_floors.py SOURCE_DIR  -- prints every include that reaches up or sideways, exits 1 if any.
The plug-in sees the host only through host/VelLib.h; the host's front ends stand on shared
floors below them; velhost is the top, and nothing includes it.
"""
import pathlib
import re
import sys

API = "host/VelLib.h"
# Folder: the folders (or API) its files may include from, besides their own.
STANDS_ON = {
    "platform": set(),
    "settings": {"platform", API},
    "geometry": {"settings", "platform", API},
    "ui": {"settings", "platform", API},
    "host": {"ui", "geometry", "settings", "platform", API},
    "vel/kernel": {API},
    "vel/io": {"vel/kernel", API},
    "vel/shapes": {"vel/io", "vel/kernel", API},
    "vel/dxf": {"vel/shapes", "vel/io", "vel/kernel", API},
    "vel/runtime": {"vel/io", "vel/kernel", "platform", API},
    "vel/robot": {"platform"},
    "vel/painter": {"vel/io", "vel/kernel", API},
    "vel/gui": {"vel/painter", "vel/dxf", "vel/shapes", "vel/io", "vel/kernel", API},
    "vel/librecad": {"vel/painter", "vel/runtime", "vel/shapes", "vel/io", "vel/kernel", API},
    # `velhost settings` shows the plug-in's own dialog: the one use of the plug-in's user interface.
    "vel/velhost": {"vel/gui", "vel/robot", "vel/runtime", "vel/dxf", "vel/shapes", "vel/io",
                    "vel/kernel", "platform", "ui", API},
}
# The popups' dialog class is declared beside the editing step that runs them.
EXCEPTIONS = {("ui/Dialogs.h", "host/EditPopups.h")}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(path):
    if path == API:
        return API
    for folder in sorted(STANDS_ON, key=len, reverse=True):
        if path.startswith(folder + "/"):
            return folder
    return None


def main(top):
    top = pathlib.Path(top)
    faults = []
    for folder in STANDS_ON:
        for source in sorted((top / folder).glob("**/*")):
            if source.suffix not in (".h", ".cpp"):
                continue
            name = source.relative_to(top).as_posix()
            if name == API:
                continue
            text = source.read_text(encoding="utf-8", errors="replace")
            for included in INCLUDE.findall(text):
                target = folder_of(included)
                if target is None or target == folder or (name, included) in EXCEPTIONS:
                    continue
                if target not in STANDS_ON[folder]:
                    faults.append(f"{name} includes {included}: {folder} does not stand on {target}")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} includes out of their floors")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
