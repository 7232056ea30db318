#!/usr/bin/env python3
"""Fails when the source tree breaks its layers.

Each top folder is a layer that may include only the layers listed for it
below (dependencies point down), no two folders may include each other
through any chain (no include cycles between folders), and the core and
the platform's core part never include a widget header. Inside ui the
folders are ordered too: a folder includes, and defines members of, only
classes of its own folder or of the folders below it.
With --links, the build's link graph (written by CMake into the build
folder) is checked too: see layerlinks.py.
Usage: check-layers.py [SOURCE_ROOT] [--links BUILD_DIR/linkgraph.txt]
"""
import os
import re
import sys

import layerlinks

# layer -> the layers its files may include (besides itself)
ALLOWED = {
    "platform": set(),
    "core": {"platform"},
    "installkit": {"platform"},
    "cli": {"core", "platform"},
    "ui": {"cli", "core", "platform"},
    # The program loads the windows' module at run time; it links neither.
    "app": {"cli", "platform"},
    "setup": {"installkit", "core", "platform"},
    "remove": {"installkit", "platform"},
}
# The ui folders from top to bottom; folders on one line are peers.
UI_ORDER = [["ui"], ["ui/menu"], ["ui/mainwin"], ["ui/fill", "ui/editor", "ui/model"], ["ui/dialogs"]]
UI_RANK = {folder: rank for rank, peers in enumerate(UI_ORDER) for folder in peers}
# Files of the platform layer that may show windows; the rest is QtCore only.
PLATFORM_GUI = {"platform/gui/messagebox.h", "platform/gui/messagebox.cpp", "platform/gui/screen.h", "platform/gui/screen.cpp"}
WIDGET_HEADER = re.compile(r'#\s*include\s*<(QtWidgets/\w+|Q(Widget|Dialog|MainWindow|Application|LineEdit|Label|'
                           r'PushButton|MessageBox|CheckBox|ListWidget|ComboBox|ScrollBar|Menu|MenuBar|Action|'
                           r'AbstractButton|Frame|Layout|BoxLayout|GridLayout|TextEdit|FileDialog))>')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
CLASS = re.compile(r'^\s*(?:class|struct)\s+(\w+)\b[^;]*$', re.M)
# A member defined outside its class, at the start of a line: `... Name::member(`.
MEMBER_DEFINITION = re.compile(r'^(?![\s#/])[^=;(\n]*?\b(\w+)::~?\w+\s*\(', re.M)
SOURCES = (".cpp", ".h")


def main():
    args = sys.argv[1:]
    links = None
    if "--links" in args:
        links = args.pop(args.index("--links") + 1)
        args.remove("--links")
    root = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), ".."))
    problems = []
    edges = {}
    ui_classes = ui_class_folders(root)
    for layer in ALLOWED:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in files:
                if not name.endswith(SOURCES):
                    continue
                full = os.path.join(folder, name)
                path = os.path.relpath(full, root)
                here = os.path.dirname(path)
                with open(full, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for target in INCLUDE.findall(text):
                    if not os.path.exists(os.path.join(root, target)):
                        continue  # generated (version.h, .moc) or a local name
                    their_layer = target.split("/")[0]
                    if their_layer != layer and their_layer not in ALLOWED[layer]:
                        problems.append(f"{path}: {layer} may not include {target}")
                    there = os.path.dirname(target)
                    if ui_above(there, here):
                        problems.append(f"{path}: {here} may not include {target}, a folder above it")
                    if there != here:
                        edges.setdefault(here, {}).setdefault(there, path + " -> " + target)
                if layer == "ui" and name.endswith(".cpp"):
                    for m in MEMBER_DEFINITION.finditer(text):
                        owner = ui_classes.get(m.group(1))
                        if owner and owner != here:
                            problems.append(f"{path}: defines a member of {m.group(1)}, a class of {owner}")
                if layer == "core" or (layer == "platform" and path not in PLATFORM_GUI):
                    for m in WIDGET_HEADER.finditer(text):
                        problems.append(f"{path}: includes the widget header <{m.group(1)}>")
    for cycle in folder_cycles(edges):
        chain = " / ".join(edges[a][b] for a, b in zip(cycle, cycle[1:] + cycle[:1]) if b in edges.get(a, {}))
        problems.append("include cycle between folders " + " -> ".join(cycle) + f" ({chain})")
    libraries = 0
    if links:
        graph = layerlinks.read_graph(links)
        problems += layerlinks.check(graph, ALLOWED)
        libraries = len(graph)
    for p in problems:
        print(p)
    if problems:
        return 1
    print(f"layers ok: {sum(len(v) for v in edges.values())} folder dependencies, no cycles"
          + (f"; {libraries} libraries and programs, each folder's links pointing down" if links else ""))
    return 0


def ui_above(there, here):
    """Whether ui folder `there` sits above ui folder `here`."""
    return there in UI_RANK and here in UI_RANK and UI_RANK[there] < UI_RANK[here]


def ui_class_folders(root):
    """Each class declared in a ui header, with the folder of that header."""
    owners = {}
    for folder, _, files in os.walk(os.path.join(root, "ui")):
        for name in files:
            if name.endswith(".h"):
                with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                    for cls in CLASS.findall(f.read()):
                        owners.setdefault(cls, os.path.relpath(folder, root))
    return owners


def folder_cycles(edges):
    """Strongly connected groups of more than one folder, each as one cycle."""
    index, low, stack, on, out = {}, {}, [], set(), []
    nodes = set(edges) | {b for v in edges.values() for b in v}

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on.add(v)
        for w in edges.get(v, {}):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                out.append(one_cycle(sorted(group)[0], set(group), edges))

    for v in sorted(nodes):
        if v not in index:
            visit(v)
    return out


def one_cycle(start, group, edges):
    # Breadth-first back to the start, so the report names a real chain.
    paths = {start: [start]}
    queue = [start]
    while queue:
        v = queue.pop(0)
        for w in sorted(edges.get(v, {})):
            if w == start:
                return paths[v]
            if w in group and w not in paths:
                paths[w] = paths[v] + [w]
                queue.append(w)
    return sorted(group)


if __name__ == "__main__":
    sys.exit(main())
