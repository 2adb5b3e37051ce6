#!/usr/bin/env python3
"""Fails when a file under src/ includes a folder of a higher layer, or when the folders
include each other in a circle. Layers: core < calendar, db < ui < subsystems < app; a
subsystem may use another (sales uses members) as long as no circle forms."""
import os
import re
import sys

RANK = {'core': 0, 'calendar': 1, 'db': 1, 'ui': 2, 'app': 4}  # any other folder: a subsystem, 3
root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'src')
folders = {d for d in os.listdir(root) if os.path.isdir(os.path.join(root, d))}
bad = []
edges = {d: set() for d in folders}
for d in sorted(folders):
    for dirpath, _, files in os.walk(os.path.join(root, d)):
        for f in sorted(files):
            if not f.endswith(('.h', '.cpp')):
                continue
            path = os.path.join(dirpath, f)
            with open(path, encoding='utf-8', errors='ignore') as fh:
                for n, line in enumerate(fh, 1):
                    m = re.match(r'\s*#\s*include\s+"([A-Za-z_]+)/', line)
                    if not m or m.group(1) == d or m.group(1) not in folders:
                        continue
                    t = m.group(1)
                    edges[d].add(t)
                    if RANK.get(t, 3) > RANK.get(d, 3):
                        bad.append(f'{os.path.relpath(path, root)}:{n}: {d} includes {t}/ (a higher layer)')


def cycle_from(start):
    stack, seen = [(start, [start])], set()
    while stack:
        node, path = stack.pop()
        for t in edges[node]:
            if t == start:
                return path + [t]
            if t not in seen:
                seen.add(t)
                stack.append((t, path + [t]))
    return None


for d in sorted(folders):
    c = cycle_from(d)
    if c:
        bad.append('circle: ' + ' -> '.join(c))
        break
for b in bad:
    print(b)
print(f'layers: {len(bad)} fault(s) in the include order of {len(folders)} folders')
sys.exit(1 if bad else 0)
