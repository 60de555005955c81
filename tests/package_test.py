"""Checks the release zip that the 32-bit build writes to dist/: the files
and folders it holds, that both programs are 32-bit x86 GUI programs, and
that the text files are code page 932 with CR LF line ends.

The zip is build/win32/dist/Velmora-*.zip, or the one VELMORA_PACKAGE
names."""

import os
import struct
import unittest
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FILES = {
    "Velmora/Velmora.exe",
    "Velmora/ServerList.txt",
    "Velmora/ReadMe.txt",
    "kestrun/kestrun.exe",
}
MACHINE_I386 = 0x14C
SUBSYSTEM_WINDOWS_GUI = 2


def package_path():
    named = os.environ.get("VELMORA_PACKAGE")
    if named:
        return Path(named)
    found = sorted((ROOT / "build" / "win32" / "dist").glob("Velmora-*.zip"))
    if len(found) != 1:
        raise AssertionError(f"expected one Velmora-*.zip in build/win32/dist, found {len(found)}")
    return found[0]


def pe_header(data):
    """(machine, subsystem) of a PE image."""
    if data[:2] != b"MZ":
        raise ValueError("no MZ header")
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    (machine,) = struct.unpack_from("<H", data, pe + 4)
    optional = pe + 24
    (subsystem,) = struct.unpack_from("<H", data, optional + 68)
    return machine, subsystem


def symbols_and_sections(data):
    """(COFF symbol count, section names) of a PE image."""
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    sections, = struct.unpack_from("<H", data, pe + 6)
    symbols, = struct.unpack_from("<I", data, pe + 12)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    table = pe + 24 + optional_size
    names = [data[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode("latin-1")
             for i in range(sections)]
    return symbols, names


def line_end_faults(data):
    """Positions of LF without CR before it and of CR without LF after it."""
    faults = []
    for i, byte in enumerate(data):
        if byte == 0x0A and (i == 0 or data[i - 1] != 0x0D):
            faults.append(i)
        elif byte == 0x0D and (i + 1 == len(data) or data[i + 1] != 0x0A):
            faults.append(i)
    return faults


class ReleasePackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.path = package_path()
        with zipfile.ZipFile(cls.path) as archive:
            cls.names = archive.namelist()
            cls.files = {
                name: archive.read(name) for name in cls.names if not name.endswith("/")
            }

    def test_holds_each_program_in_its_own_folder(self):
        self.assertEqual(set(self.files), FILES)
        for name in self.names:
            self.assertIn(name.split("/")[0], {"Velmora", "kestrun"}, name)

    def test_programs_are_32_bit_gui_programs(self):
        for name in ("Velmora/Velmora.exe", "kestrun/kestrun.exe"):
            with self.subTest(name=name):
                machine, subsystem = pe_header(self.files[name])
                self.assertEqual(machine, MACHINE_I386, hex(machine))
                self.assertEqual(subsystem, SUBSYSTEM_WINDOWS_GUI)

    def test_programs_are_stripped(self):
        for name in ("Velmora/Velmora.exe", "kestrun/kestrun.exe"):
            with self.subTest(name=name):
                symbols, sections = symbols_and_sections(self.files[name])
                self.assertEqual(symbols, 0)
                self.assertEqual([s for s in sections if s.startswith("/") or "debug" in s], [])

    def test_text_files_are_code_page_932_with_cr_lf(self):
        for name in ("Velmora/ReadMe.txt", "Velmora/ServerList.txt"):
            with self.subTest(name=name):
                data = self.files[name]
                self.assertTrue(data.endswith(b"\r\n"))
                self.assertEqual(line_end_faults(data), [])
                data.decode("cp932")

    def test_readme_covers_both_programs(self):
        text = self.files["Velmora/ReadMe.txt"].decode("cp932")
        for heading in ("■ Velmora について", "■ Set.ini (設定ファイル)",
                        "■ ServerList.txt (接続先の一覧)", "■ Velmora を完全に削除するには",
                        "■ kestrun について"):
            self.assertIn("\r\n" + heading + "\r\n", text)
        # "－" is 0x81 0x7C in code page 932, where Shift-JIS has another.
        self.assertIn("「－」".encode("cp932"), self.files["Velmora/ReadMe.txt"])

    def test_server_list_holds_one_address_per_line(self):
        lines = self.files["Velmora/ServerList.txt"].decode("cp932").split("\r\n")
        self.assertEqual(lines.pop(), "")
        self.assertTrue(lines)
        for line in lines:
            with self.subTest(line=line):
                self.assertRegex(line, r"^[A-Za-z0-9.-]+(:[0-9]+)?(/\S*)?$")


if __name__ == "__main__":
    unittest.main()
