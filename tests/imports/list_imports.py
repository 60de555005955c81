"""The functions a Windows program imports, DLL by DLL, as objdump lists them."""
import re
import subprocess
import sys


def imports(program, objdump="i686-w64-mingw32-objdump"):
    """The set of (DLL in upper case, function) the program imports."""
    listing = subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                             text=True).stdout
    found = set()
    dll = None
    for line in listing.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).upper()
            continue
        entry = re.match(r"\t[0-9a-f]+\t\s*(\d+)\s+(\S+)$", line)
        if dll and entry:
            found.add((dll, entry.group(2)))
        elif not line.strip():
            continue
        elif dll and not line.startswith("\t"):
            dll = None
    return found


if __name__ == "__main__":
    for program in sys.argv[1:]:
        for dll, function in sorted(imports(program)):
            print(f"{dll}\t{function}")
