"""Checks that both 32-bit programs load on Windows XP SP3: every function
they import is in tests/imports/windows_imports.tsv, and none is newer than
XP SP3 there. Also prints what stands between them and older Windows.

The programs are build/win32/bin/*.exe, or those VELMORA_PROGRAMS names
(separated by the path separator)."""

import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent / "imports"))
from list_imports import imports  # noqa: E402

ROOT = Path(__file__).resolve().parent.parent
TABLE = ROOT / "tests" / "imports" / "windows_imports.tsv"
NT_ORDER = ["3.1", "3.5", "3.51", "4.0", "2000", "XP", "XPSP2", "XPSP3", "Vista", "7", "8", "10"]
NINE_X_ORDER = ["95", "98", "ME", "none"]
OLDER = {"Windows 98": ("9x", "98"), "Windows ME": ("9x", "ME"), "Windows NT 4.0": ("nt", "4.0"),
         "Windows 2000": ("nt", "2000")}


def programs():
    named = os.environ.get("VELMORA_PROGRAMS")
    if named:
        return [Path(p) for p in named.split(os.pathsep)]
    return [ROOT / "build" / "win32" / "bin" / name for name in ("Velmora.exe", "kestrun.exe")]


def table():
    """(DLL, function) -> {"nt": ..., "9x": ..., "note": ...}"""
    entries = {}
    for line in TABLE.read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#"):
            continue
        fields = line.split("\t") + [""]
        dll, function, nt, nine_x, note = fields[:5]
        if nt not in NT_ORDER or nine_x not in NINE_X_ORDER:
            raise AssertionError(f"bad version in the table: {line}")
        entries[(dll, function)] = {"nt": nt, "9x": nine_x, "note": note}
    return entries


def too_new(entry, family, version):
    order = NT_ORDER if family == "nt" else NINE_X_ORDER
    return order.index(entry[family]) > order.index(version)


class Imports(unittest.TestCase):
    def test_every_import_is_known_and_loads_on_xp_sp3(self):
        known = table()
        for program in programs():
            with self.subTest(program=program.name):
                found = imports(str(program))
                self.assertGreater(len(found), 0, "no imports listed")
                missing = sorted(f"{d}!{f}" for d, f in found if (d, f) not in known)
                self.assertEqual(missing, [], f"{program.name}: imports not in the table")
                newer = sorted(f"{d}!{f} ({known[(d, f)]['nt']})" for d, f in found
                               if too_new(known[(d, f)], "nt", "XPSP3"))
                self.assertEqual(newer, [], f"{program.name}: imports newer than Windows XP SP3")

    def test_report_what_blocks_older_windows(self):
        known = table()
        for program in programs():
            for name, (family, version) in OLDER.items():
                blocking = sorted(f"{d}!{f}" for d, f in imports(str(program))
                                  if too_new(known[(d, f)], family, version))
                print(f"{program.name} on {name}: " +
                      (", ".join(blocking) if blocking else "nothing in the imports blocks it"))


if __name__ == "__main__":
    unittest.main()
