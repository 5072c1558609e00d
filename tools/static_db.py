#!/usr/bin/env python3
"""Writes the compile database the static checks run on, and prints how many files it holds.

Every C++ file of src/ and standins/, once for each target it is checked for:
  - the portable core as the native build compiles it;
  - the Win32 files and the stand-ins as the mingw builds compile them, with the g++ command
    made a clang one: clang's mingw target, and the mingw headers Debian installs in the
    order g++ searches them (clang's own intrinsics in place of gcc's).
Usage: static_db.py ROOT OUT_DIR NATIVE_DB WIN64_DB WIN32_DB; prints the number of files checked:
"portable win32 standins". The databases go to OUT_DIR/<use>/compile_commands.json.
"""
import functools
import glob
import json
import os
import re
import shlex
import subprocess
import sys


def major_version(gcc_dir):
    return int(re.match(r"\d+", os.path.basename(gcc_dir)).group())


@functools.lru_cache(maxsize=None)
def clang_resource_include():
    out = subprocess.run(["clang", "-print-resource-dir"], capture_output=True, text=True, check=True)
    return os.path.join(out.stdout.strip(), "include")


def mingw_system_includes(triple):
    # Debian's g++-mingw-w64-*-posix: the headers of its newest version ("12-posix")
    versions = sorted(glob.glob(f"/usr/lib/gcc/{triple}/[0-9]*-posix"), key=major_version)
    if not versions:
        sys.exit(f"static-checks: no {triple} g++: scripts/setup installs the mingw toolchains")
    gcc = f"{versions[-1]}/include"
    dirs = [f"{gcc}/c++", f"{gcc}/c++/{triple}", f"{gcc}/c++/backward", clang_resource_include(),
            f"/usr/{triple}/include"]
    missing = [d for d in dirs if not os.path.isdir(d)]
    if missing:
        sys.exit(f"static-checks: {missing[0]} is missing: scripts/setup installs the mingw toolchains")
    args = ["-nostdinc"]
    for d in dirs:
        args += ["-isystem", d]
    return args


def triple_of(compiler):
    name = os.path.basename(compiler)
    for triple in ("x86_64-w64-mingw32", "i686-w64-mingw32"):
        if name.startswith(triple):
            return triple
    sys.exit(f"static-checks: no mingw target in the compiler {compiler}")


def as_clang(entry):
    """The entry's g++ command for clang: its defines, include paths, standard and warnings."""
    args = shlex.split(entry["command"])
    triple = triple_of(args[0])
    kept, i = [], 1
    while i < len(args):
        arg = args[i]
        if arg == "-isystem":
            kept += args[i:i + 2]
            i += 1
        elif arg.startswith("-D") and arg.endswith("_EXPORTS"):
            pass  # CMake's mark of a library's own build, which our code does not read
        elif arg.startswith(("-D", "-I", "-std=", "-W")):
            kept.append(arg)
        i += 1
    command = ["clang++", f"--target={triple}"] + mingw_system_includes(triple) + kept
    return {"directory": entry["directory"], "file": entry["file"],
            "arguments": command + ["-fsyntax-only", entry["file"]]}


def under(path, folder, root):
    return path.startswith(os.path.join(root, folder) + os.sep)


def first_per_file(entries):
    seen, out = set(), []
    for e in entries:
        if e["file"] not in seen:
            seen.add(e["file"])
            out.append(e)
    return out


def without_system_headers(entry):
    """The entry for cppcheck, which reads our headers and knows the system's from its libraries."""
    args, kept, i = entry["arguments"], [], 0
    while i < len(args):
        if args[i] == "-isystem":
            i += 1
        elif args[i] != "-nostdinc" and not args[i].startswith("--target="):
            kept.append(args[i])
        i += 1
    return dict(entry, arguments=kept)


def read(db):
    with open(db) as entries:
        return json.load(entries)


def write(out_dir, name, entries):
    os.makedirs(os.path.join(out_dir, name), exist_ok=True)
    with open(os.path.join(out_dir, name, "compile_commands.json"), "w") as db:
        json.dump(entries, db, indent=1)


def mingw_entries(db, root, portable_files):
    """The Win32 files and the stand-ins of one mingw build, each once per set of defines."""
    unique = {}
    for e in read(db):
        path = e["file"]
        if (under(path, "src", root) and path not in portable_files) or under(path, "standins", root):
            clang = as_clang(e)
            unique.setdefault((e["file"], tuple(clang["arguments"])), clang)
    return list(unique.values())


def unchecked(root, checked):
    """The C++ files of src/ and standins/ that no build compiles, so no check would see."""
    on_disk = {os.path.join(folder, name) for top in ("src", "standins")
               for folder, _, names in os.walk(os.path.join(root, top)) for name in names if name.endswith(".cpp")}
    return sorted(on_disk - checked)


def main():
    root, out_dir, native_db, win64_db, win32_db = sys.argv[1:]
    # The native build compiles the core twice (plain and under the sanitizers): once is enough.
    portable = first_per_file(e for e in read(native_db) if under(e["file"], "src", root))
    portable_files = {e["file"] for e in portable}
    win64 = mingw_entries(win64_db, root, portable_files)
    win32 = mingw_entries(win32_db, root, portable_files)
    write(out_dir, "tidy", portable + win64)  # clang-tidy: the core, and the rest for x86_64
    write(out_dir, "i686", win32)             # clang's warnings for the exe we ship
    write(out_dir, "cppcheck-portable", portable)
    write(out_dir, "cppcheck-win64", [without_system_headers(e) for e in win64])
    write(out_dir, "cppcheck-win32", [without_system_headers(e) for e in win32])
    files = {e["file"] for e in win64 + win32}
    missing = unchecked(root, files | portable_files)
    if missing:
        sys.exit("static-checks: in no build, so not checked: " + " ".join(missing))
    print(len(portable_files), sum(under(f, "src", root) for f in files),
          sum(under(f, "standins", root) for f in files))


if __name__ == "__main__":
    main()
