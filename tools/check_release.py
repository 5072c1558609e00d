#!/usr/bin/env python3
"""Checks a built OrvaTvSetting.exe before it is shipped: it imports only Windows system DLLs,
and none of those it loads from the system directory only when first needed (so that its window
shows without them), its version block reads 1.0.0.5 and its manifest is embedded and declares
per-monitor scale awareness. Prints what it found; exits 1 on
the first rule broken. Usage: check_release.py <exe> <objdump> <windres>"""
import re
import subprocess
import sys

VERSION = "1.0.0.5"
# The manifest's declaration that the program draws at the scale itself: at each monitor's from
# Windows 10 1607 on, at the system's before. ("true/pm" would ask for each monitor's on Windows
# 8.1 too, but makes Wine start every copy so slowly that a second copy no longer ends at once.)
DPI_AWARENESS = {"dpiAware": "true", "dpiAwareness": "PerMonitorV2, PerMonitor"}
# The DLLs every Windows since XP has in its system folder, and nothing else.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "ole32.dll",
               "oleaut32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll", "msimg32.dll"}

# The system's libraries the program loads itself, from the system directory, when it first
# needs one of their calls: COM and OLE (the animation's decoder, the Intel driver's object),
# the common controls (tooltips, the refusal message) and accessibility (screen readers).
LOADED_WHEN_NEEDED = ["ole32.dll", "oleaut32.dll", "comctl32.dll", "oleacc.dll"]

def imports(exe, objdump):
    out = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    return sorted(re.findall(r"DLL Name: (\S+)", out), key=str.lower)


def resources(exe, windres):
    return subprocess.run([windres, "-i", exe, "-O", "rc"], check=True, capture_output=True,
                          text=True, errors="replace").stdout


def main():
    exe, objdump, windres = sys.argv[1:4]
    failures = []
    dlls = imports(exe, objdump)
    print("imports: " + ", ".join(dlls))
    foreign = [d for d in dlls if d.lower() not in SYSTEM_DLLS]
    if foreign:
        failures.append("imports DLLs that Windows does not have: " + ", ".join(foreign))
    with open(exe, "rb") as f:
        image = f.read().lower()
    named = [d for d in LOADED_WHEN_NEEDED if d.encode() in image]
    print("loaded when first needed: " + ", ".join(named))
    imported = [d for d in dlls if d.lower() in LOADED_WHEN_NEEDED]
    if imported:
        failures.append("imports what it should load only when first needed: " + ", ".join(imported))
    rc = resources(exe, windres)
    numbers = VERSION.replace(".", ", ")
    for field in ("FILEVERSION " + numbers, "PRODUCTVERSION " + numbers,
                  '"FileVersion", "%s"' % VERSION, '"ProductVersion", "%s"' % VERSION):
        if field not in rc:
            failures.append("version block lacks " + field)
    found = re.search(r'"FileVersion", "([^"]*)"', rc)
    print("version: " + (found.group(1) if found else "none"))
    manifest = re.search(r"^1 24 ", rc, re.M) is not None
    print("manifest: " + ("embedded" if manifest else "missing"))
    if not manifest:
        failures.append("no manifest (resource type 24, id 1)")
    # Without these Windows stretches the whole window as a bitmap at any scale above 100 %.
    awareness = {tag: re.search(r"<%s[^>]*>([^<]*)</%s>" % (tag, tag), rc) for tag in DPI_AWARENESS}
    print("scale awareness: " + ", ".join("%s %s" % (t, m.group(1) if m else "missing")
                                          for t, m in awareness.items()))
    for tag, want in DPI_AWARENESS.items():
        if not awareness[tag] or awareness[tag].group(1) != want:
            failures.append("the manifest does not declare %s %s" % (tag, want))
    for f in failures:
        print("release check: " + f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
