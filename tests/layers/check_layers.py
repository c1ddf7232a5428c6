"""The layers of src/ as docs/ARCHITECTURE.md draws them: a folder includes only from the folders
drawn below it, never from one beside or above it; every folder is drawn; no two files include
each other's headers both ways; and no include climbs out of its folder with "../", which would
hide where it goes. test_check_layers.py runs it on a tree that breaks every rule."""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def drawn_layers(architecture):
    """The rows of the first code block under "## Layers", top first, as sets of folders."""
    text = open(architecture, encoding="utf-8").read()
    section = text.split("## Layers", 1)[1]
    block = section.split("```", 2)[1]
    rows = []
    for line in block.splitlines():
        names = re.findall(r"^\s*([a-z]+(?:\s+[a-z]+)*)\s*(?:\(|$)", line)
        if names:
            rows.append(set(names[0].split()))
    return rows


def includes(src):
    """(folder, file stem, included folder, included stem, as written) for every quoted
    include; a relative path is resolved against the including file's folder."""
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        for root, _, files in os.walk(path):
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                text = open(os.path.join(root, name), encoding="utf-8").read()
                for target in INCLUDE.findall(text):
                    resolved = target
                    if target.startswith(".."):
                        resolved = os.path.relpath(os.path.normpath(os.path.join(
                            os.path.relpath(root, src), target)))
                    parts = resolved.split("/")
                    other = parts[0] if len(parts) > 1 else folder
                    yield (folder, os.path.splitext(name)[0], other,
                           os.path.splitext(parts[-1])[0], target)


def problems(src, architecture):
    rows = drawn_layers(architecture)
    row_of = {name: index for index, row in enumerate(rows) for name in row}
    found = []
    folders = {f for f in os.listdir(src) if os.path.isdir(os.path.join(src, f))}
    for folder in sorted(folders - set(row_of)):
        found.append("src/%s is not drawn in the layers" % folder)
    edges = set()
    for folder, stem, other, other_stem, written in includes(src):
        if "../" in written:
            found.append("%s/%s includes %s: a relative path" % (folder, stem, written))
        edges.add(((folder, stem), (other, other_stem)))
        if other == folder or other not in folders:
            continue  # a folder's own files, and generated or outside headers
        if folder in row_of and other in row_of and row_of[other] <= row_of[folder]:
            way = "sideways" if row_of[other] == row_of[folder] else "upward"
            found.append("%s/%s includes %s/%s.h: %s" % (folder, stem, other, other_stem, way))
    for (a, b) in sorted(edges):
        if a < b and (b, a) in edges:
            found.append("%s/%s and %s/%s include each other" % (a + b))
    return sorted(set(found))


if __name__ == "__main__":
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    found = problems(os.path.join(root, "src"), os.path.join(root, "docs", "ARCHITECTURE.md"))
    for line in found:
        print(line)
    print("%d include(s) against the layers" % len(found))
    sys.exit(1 if found else 0)
