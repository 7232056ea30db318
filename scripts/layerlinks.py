"""The link half of check-layers.py: each folder one library, linked PRIVATE,
none reaching a folder above it, and no object file calling into a library
its own library does not link (read from the archives with nm, so a call
the include check cannot see, such as a member defined in another folder,
is found too)."""
import subprocess

# Every folder from the bottom up; a library links only lower ranks. Peers
# share a rank and may not link each other.
RANK = {
    "platform": 0, "platform/gui": 1,
    "core/model": 2, "core/help": 2, "installkit": 2,
    "core": 3, "setup": 3, "remove": 3,
    "core/fill": 4,
    "core/fill/calc": 5, "core/render": 5,
    "core/print": 6, "core/editor": 6,
    "cli": 7,
    "ui/dialogs": 8,
    "ui/fill": 9, "ui/editor": 9, "ui/model": 9,
    "ui/mainwin": 10, "ui/menu": 11, "ui": 12, "app": 13,
}
# Folders that stay free of widgets (printing is the one exception, and it
# is a folder of its own).
WIDGET_FREE = {"platform", "core", "core/model", "core/help", "core/fill", "core/fill/calc", "core/render",
               "core/editor"}
# Folders that need no drawing at all: QLT fills files with these alone.
GUI_FREE = {"platform", "core", "core/model", "core/help", "core/fill", "core/fill/calc", "cli", "app"}
WIDGETS = {"Qt6::Widgets", "Qt6::PrintSupport", "Qt6::PdfWidgets", "qltplatformgui"}
STRONG = set("TDBR")


def read_graph(path):
    graph = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.strip():
                name, folder, file, links, usage = line.rstrip("\n").split("|")
                graph[name] = {"folder": folder, "file": file, "links": [x for x in links.split(",") if x],
                               "usage": [x for x in usage.split(",") if x]}
    return graph


def reach(graph, start):
    """Everything `start` links, directly or through our libraries."""
    seen, todo = set(), list(graph[start]["links"])
    while todo:
        name = todo.pop()
        if name not in seen:
            seen.add(name)
            todo.extend(graph[name]["links"] if name in graph else [])
    return seen


def check(graph, top_allowed):
    problems = []
    # Static libraries are read with nm; modules count as a folder's library too.
    libraries = {n: t for n, t in graph.items() if t["file"].endswith(".a")}
    by_folder = {}
    for name, t in graph.items():
        if t["file"].endswith((".a", ".so")):
            by_folder.setdefault(t["folder"], []).append(name)
    for folder, names in sorted(by_folder.items()):
        if len(names) > 1:
            problems.append(f"{folder}: one library per folder, not {', '.join(sorted(names))}")
    for name, t in sorted(graph.items()):
        here = t["folder"]
        if here not in RANK:
            problems.append(f"{name}: folder {here} has no place in the order of layers")
            continue
        for other in t["links"]:
            if other not in graph:
                continue
            there = graph[other]["folder"]
            top_here, top_there = here.split("/")[0], there.split("/")[0]
            program_of_folder = there == here and not t["file"].endswith((".a", ".so"))
            if program_of_folder:
                continue
            if RANK.get(there, 99) >= RANK[here] or (top_here != top_there and top_there not in top_allowed[top_here]):
                problems.append(f"{name} ({here}) may not link {other} ({there})")
            if other in t["usage"]:
                problems.append(f"{name} links {other} PUBLIC: our libraries link each other PRIVATE")
        if here in WIDGET_FREE:
            for reached in sorted(reach(graph, name) & WIDGETS):
                problems.append(f"{name} ({here}) reaches {reached}: it must stay free of widgets")
        if here in GUI_FREE:
            for reached in sorted(reach(graph, name) & (WIDGETS | {"Qt6::Gui"})):
                problems.append(f"{name} ({here}) reaches {reached}: it must stay free of drawing")
    problems += symbol_problems(graph, libraries)
    return problems


def symbols(archive):
    """(strongly defined, undefined) global symbols of a static library."""
    out = subprocess.run(["nm", "-P", "-g", archive], capture_output=True, text=True, check=True).stdout
    defined, undefined = set(), set()
    for line in out.splitlines():
        parts = line.split()
        if len(parts) < 2 or line.endswith(":"):
            continue
        (defined if parts[1] in STRONG else undefined if parts[1] == "U" else set()).add(parts[0])
    return defined, undefined


def symbol_problems(graph, libraries):
    tables = {name: symbols(t["file"]) for name, t in libraries.items()}
    owner = {}
    for name, (defined, _) in tables.items():
        for sym in defined:
            owner.setdefault(sym, name)
    problems = []
    for name, (_, undefined) in sorted(tables.items()):
        linked = reach(graph, name)
        missing = {}
        for sym in undefined:
            provider = owner.get(sym)
            if provider and provider != name and provider not in linked:
                missing.setdefault(provider, sym)
        for provider, sym in sorted(missing.items()):
            problems.append(f"{name} ({graph[name]['folder']}) uses {sym} of {provider} "
                            f"({graph[provider]['folder']}) without linking it")
    return problems
