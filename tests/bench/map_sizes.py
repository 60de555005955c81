"""What a program's size is made of, from the GNU linker's map: the bytes of
the input sections placed in the image, by library and by object."""
import collections
import re
import sys

SECTION = re.compile(r"^ (\.\S+)\s*$|^ (\.\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
CONTINUED = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")


def owner(path):
    """(library, object) of an input file of the map."""
    member = re.match(r"(.*?)([^/]+\.a)\((.+)\)$", path)
    if member:
        return member.group(2), member.group(3)
    name = path.rsplit("/", 1)[-1]
    return ("our objects" if "CMakeFiles" in path else name), name


def sizes(map_path):
    by_library = collections.Counter()
    by_object = collections.Counter()
    in_map = False
    pending = None
    for line in open(map_path, encoding="latin-1"):
        if line.startswith("Linker script and memory map"):
            in_map = True
            continue
        if not in_map or line.startswith(" /DISCARD/"):
            continue
        found = SECTION.match(line)
        if found and found.group(1):
            pending = found.group(1)
            continue
        if found:
            section, size, path = found.group(2), int(found.group(4), 16), found.group(5)
        elif pending and CONTINUED.match(line):
            more = CONTINUED.match(line)
            section, size, path = pending, int(more.group(2), 16), more.group(3)
        else:
            pending = None
            continue
        pending = None
        if size == 0 or section.startswith((".debug", ".stab", ".bss")):
            continue
        library, obj = owner(path.strip())
        by_library[library] += size
        by_object[f"{library}({obj})"] += size
    return by_library, by_object


if __name__ == "__main__":
    libraries, objects = sizes(sys.argv[1])
    top = int(sys.argv[2]) if len(sys.argv) > 2 else 12
    print("  by library:")
    for name, size in libraries.most_common(top):
        print(f"    {size:>9,} B  {name}")
    print("  largest objects:")
    for name, size in objects.most_common(top):
        print(f"    {size:>9,} B  {name}")
