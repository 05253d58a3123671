#!/usr/bin/env python3
"""Writes a pack and its next version as a game update changes one:
    delta-case.py OLD NEW SIZE_MB
forty 64 KB regions rewritten, ten 4 KB insertions and ten 4 KB deletions, spread over the
file; prints the count of new bytes."""
import os
import random
import sys

old_path, new_path, size_mb = sys.argv[1], sys.argv[2], int(sys.argv[3])
size = size_mb << 20
rng = random.Random(23)
block = 1 << 24
with open(old_path, "wb") as out:
    for start in range(0, size, block):
        out.write(os.urandom(min(block, size - start)))

# Edits at sorted offsets, applied while the old file streams into the new one.
edits = [(rng.randrange(size - 65536), "rewrite", 65536) for _ in range(40)]
edits += [(rng.randrange(size), "insert", 4096) for _ in range(10)]
edits += [(rng.randrange(size - 4096), "delete", 4096) for _ in range(10)]
edits.sort()
new_bytes = 0
with open(old_path, "rb") as old, open(new_path, "wb") as new:
    at = 0
    for offset, kind, length in edits:
        if offset < at:
            continue
        while at < offset:
            chunk = old.read(min(block, offset - at))
            new.write(chunk)
            at += len(chunk)
        if kind == "insert":
            new.write(os.urandom(length))
            new_bytes += length
        elif kind == "rewrite":
            new.write(os.urandom(length))
            old.seek(length, 1)
            at += length
            new_bytes += length
        else:
            old.seek(length, 1)
            at += length
    while True:
        chunk = old.read(block)
        if not chunk:
            break
        new.write(chunk)
print(new_bytes)
