#!/usr/bin/env python3
"""The compile databases of the static checks: what a mingw g++ command becomes for clang, and
that every C++ file of ours is in one of them."""
import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
import static_db  # noqa: E402

ROOT = "/tree"


def entry(compiler, path, flags=""):
    return {"directory": "/tree/build", "file": path,
            "command": f"/usr/bin/{compiler} {flags} -O3 -o x.obj -c {path}"}


def write_db(folder, name, entries):
    path = os.path.join(folder, name)
    with open(path, "w") as db:
        json.dump(entries, db)
    return path


class AsClang(unittest.TestCase):
    def test_keeps_what_the_code_reads_and_drops_the_rest(self):
        args = static_db.as_clang(entry("x86_64-w64-mingw32-g++-posix", "/tree/src/a.cpp",
                                        "-DNOMINMAX -Dnvapi_EXPORTS -I/tree/src -isystem /usr/include/stb "
                                        "-Wall -Werror -std=c++17"))["arguments"]
        for kept in ("-DNOMINMAX", "-I/tree/src", "/usr/include/stb", "-Wall", "-Werror", "-std=c++17"):
            self.assertIn(kept, args)
        for dropped in ("-Dnvapi_EXPORTS", "-O3", "-o", "x.obj", "-c"):
            self.assertNotIn(dropped, args)
        self.assertEqual(args[-2:], ["-fsyntax-only", "/tree/src/a.cpp"])

    def test_the_target_and_its_headers_follow_the_compiler(self):
        for triple in ("x86_64-w64-mingw32", "i686-w64-mingw32"):
            args = static_db.as_clang(entry(f"{triple}-g++-posix", "/tree/src/a.cpp"))["arguments"]
            self.assertEqual(args[:3], ["clang++", f"--target={triple}", "-nostdinc"])
            self.assertIn(f"/usr/{triple}/include", args)
            self.assertFalse([a for a in args if a.startswith("/usr/include") and a != "/usr/include/stb"])

    def test_a_compiler_of_no_mingw_target_is_refused(self):
        with self.assertRaises(SystemExit):
            static_db.as_clang(entry("c++", "/tree/src/a.cpp"))

    def test_cppcheck_gets_our_include_paths_alone(self):
        args = static_db.without_system_headers(
            static_db.as_clang(entry("i686-w64-mingw32-g++-posix", "/tree/src/a.cpp", "-I/tree/src")))["arguments"]
        self.assertEqual(args, ["clang++", "-I/tree/src", "-fsyntax-only", "/tree/src/a.cpp"])


class Databases(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        for path in ("src/core.cpp", "src/win.cpp", "standins/lib.cpp"):
            os.makedirs(os.path.dirname(os.path.join(self.root, path)), exist_ok=True)
            open(os.path.join(self.root, path), "w").close()

    def tearDown(self):
        self.dir.cleanup()

    def run_main(self, native, win64, win32):
        out = os.path.join(self.root, "out")
        dbs = [write_db(self.root, f"{name}.json", entries)
               for name, entries in (("native", native), ("win64", win64), ("win32", win32))]
        sys.argv = ["static_db.py", self.root, out] + dbs
        static_db.main()
        with open(os.path.join(out, "tidy", "compile_commands.json")) as db:
            return json.load(db)

    def path(self, relative):
        return os.path.join(self.root, relative)

    def test_each_file_is_checked_once_per_target_and_set_of_defines(self):
        core, win, lib = self.path("src/core.cpp"), self.path("src/win.cpp"), self.path("standins/lib.cpp")
        native = [entry("c++", core), entry("c++", core, "-fsanitize=address")]
        mingw = [entry("x86_64-w64-mingw32-g++-posix", f) for f in (core, win)] + [
            entry("x86_64-w64-mingw32-g++-posix", lib, f"-D{variant}_EXPORTS") for variant in ("a", "b")]
        tidy = self.run_main(native, mingw, [])
        self.assertEqual([e["file"] for e in tidy], [core, win, lib])
        self.assertIn("command", tidy[0])  # the portable core as the native build compiles it

    def test_a_file_in_no_build_stops_the_checks(self):
        core = self.path("src/core.cpp")
        with self.assertRaises(SystemExit) as stop:
            self.run_main([entry("c++", core)], [], [])
        self.assertIn("src/win.cpp", str(stop.exception))
        self.assertIn("standins/lib.cpp", str(stop.exception))


if __name__ == "__main__":
    unittest.main()
