#!/usr/bin/env python3
"""Seeded generator of American-style grids for the hard-grid benchmark.

Every grid has rotational symmetry (half-turn), every white cell lies in an across and a down
light, no light is shorter than 3 cells, the white cells are connected, the blocks take the chosen
share of the grid, and the longest light has exactly the chosen length.

    python3 bench/gengrids.py                  # writes the benchmark set into bench/hard/
    python3 bench/gengrids.py SIZE DENSITY LONGEST SEED   # prints one grid

The set is a table of (size, block share, longest light); grid i of the table is made with the
random generator seeded by SEED0 + i, so the same command always writes the same files.
"""
import os
import random
import sys

SEED0 = 16000

# (size, share of blocks, longest light): 15 grids of 15x15 and 15 of 21x21, from open grids
# with full-width lights to ones with more blocks and shorter lights.
SET = [
    (15, 0.16, 15), (15, 0.16, 15), (15, 0.16, 13), (15, 0.16, 14), (15, 0.16, 11),
    (15, 0.15, 15), (15, 0.15, 10), (15, 0.15, 9), (15, 0.17, 15), (15, 0.17, 8),
    (15, 0.17, 7), (15, 0.18, 15), (15, 0.18, 9), (15, 0.14, 11), (15, 0.14, 15),
    (21, 0.16, 21), (21, 0.16, 15), (21, 0.16, 13), (21, 0.16, 11), (21, 0.17, 21),
    (21, 0.17, 12), (21, 0.17, 10), (21, 0.17, 9), (21, 0.18, 15), (21, 0.18, 11),
    (21, 0.15, 21), (21, 0.15, 13), (21, 0.15, 11), (21, 0.18, 8), (21, 0.16, 17),
]


def runs(line):
    """Lengths of the runs of white cells in a row or column (False = white)."""
    out, n = [], 0
    for b in line:
        if b:
            if n:
                out.append(n)
            n = 0
        else:
            n += 1
    if n:
        out.append(n)
    return out


def lines(g):
    n = len(g)
    for r in range(n):
        yield g[r]
    for c in range(n):
        yield [g[r][c] for r in range(n)]


def shortok(g, rows, cols):
    """No run of 1 or 2 white cells in the given rows and columns."""
    n = len(g)
    for r in rows:
        if any(k < 3 for k in runs(g[r])):
            return False
    for c in cols:
        if any(k < 3 for k in runs([g[r][c] for r in range(n)])):
            return False
    return True


def connected(g):
    n = len(g)
    cells = [(r, c) for r in range(n) for c in range(n) if not g[r][c]]
    if not cells:
        return False
    seen = {cells[0]}
    todo = [cells[0]]
    while todo:
        r, c = todo.pop()
        for rr, cc in ((r + 1, c), (r - 1, c), (r, c + 1), (r, c - 1)):
            if 0 <= rr < n and 0 <= cc < n and not g[rr][cc] and (rr, cc) not in seen:
                seen.add((rr, cc))
                todo.append((rr, cc))
    return len(seen) == len(cells)


def longest(g):
    return max(max(runs(l), default=0) for l in lines(g))


def trypair(g, r, c, protect):
    """Blocks (r, c) and its partner if the grid stays valid; returns whether it did."""
    n = len(g)
    pr, pc = n - 1 - r, n - 1 - c
    if g[r][c] or (r, c) in protect or (pr, pc) in protect:
        return False
    g[r][c] = g[pr][pc] = True
    if shortok(g, {r, pr}, {c, pc}) and connected(g):
        return True
    g[r][c] = g[pr][pc] = False
    return False


def generate(n, share, maxlen, rng):
    target = round(share * n * n)
    for _ in range(2000):
        g = [[False] * n for _ in range(n)]
        # One light of exactly maxlen cells is kept: its cells may not be blocked, its ends are.
        r = rng.randrange(n)
        s = rng.randrange(n - maxlen + 1)
        across = rng.random() < 0.5
        cell = (lambda k: (r, k)) if across else (lambda k: (k, r))
        protect = set()
        for k in range(s, s + maxlen):
            protect.add(cell(k))
        ends = [cell(k) for k in (s - 1, s + maxlen) if 0 <= k < n]
        if any((n - 1 - a, n - 1 - b) in protect for a, b in ends):
            continue
        for a, b in ends:
            g[a][b] = g[n - 1 - a][n - 1 - b] = True
        for a, b in list(protect):
            protect.add((n - 1 - a, n - 1 - b))
        if not shortok(g, range(n), range(n)) or not connected(g):
            continue
        # Break every run longer than maxlen, then add blocks at random up to the share.
        ok = True
        while ok and longest(g) > maxlen:
            spots = []
            for rr in range(n):
                for cc in range(n):
                    if not g[rr][cc] and (rr, cc) not in protect:
                        spots.append((rr, cc))
            rng.shuffle(spots)
            for rr, cc in spots:
                if inlong(g, rr, cc, maxlen) and trypair(g, rr, cc, protect):
                    break
            else:
                ok = False
        # Cells in long runs are likelier to be blocked, so that lengths spread as in a grid
        # made by hand rather than leaving many full-width lights.
        tried = set()
        while sum(map(sum, g)) < target:
            spots = [(rr, cc) for rr in range(n) for cc in range(n)
                     if not g[rr][cc] and (rr, cc) not in protect and (rr, cc) not in tried]
            if not spots:
                break
            weights = [runthrough(g, rr, cc) ** 2 for rr, cc in spots]
            rr, cc = rng.choices(spots, weights)[0]
            if trypair(g, rr, cc, protect):
                tried.clear()
            else:
                tried.add((rr, cc))
        if ok and sum(map(sum, g)) >= target and longest(g) == maxlen:
            return g
    raise SystemExit("no grid of size %d, share %.2f, longest %d" % (n, share, maxlen))


def runlens(g, r, c):
    """Lengths of the across and the down run through the white cell (r, c)."""
    n = len(g)
    out = []
    for dr, dc in ((0, 1), (1, 0)):
        a = 0
        while 0 <= r - (a + 1) * dr and 0 <= c - (a + 1) * dc and not g[r - (a + 1) * dr][c - (a + 1) * dc]:
            a += 1
        b = 0
        while r + (b + 1) * dr < n and c + (b + 1) * dc < n and not g[r + (b + 1) * dr][c + (b + 1) * dc]:
            b += 1
        out.append(a + b + 1)
    return out


def inlong(g, r, c, maxlen):
    return max(runlens(g, r, c)) > maxlen


def runthrough(g, r, c):
    return sum(runlens(g, r, c))


def text(g):
    return "".join("".join("#" if b else "." for b in row) + "\n" for row in g)


def main():
    if len(sys.argv) == 5:
        n, share, maxlen, seed = int(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
        sys.stdout.write(text(generate(n, share, maxlen, random.Random(seed))))
        return
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hard")
    os.makedirs(out, exist_ok=True)
    index = []
    count = {}
    for i, (n, share, maxlen) in enumerate(SET):
        count[n] = count.get(n, 0) + 1
        name = "h%d.%02d" % (n, count[n])
        g = generate(n, share, maxlen, random.Random(SEED0 + i))
        with open(os.path.join(out, name + ".txt"), "w") as f:
            f.write(text(g))
        nb = sum(map(sum, g))
        index.append("%s\t%dx%d\t%d blocks (%.1f%%)\tlongest %d\tseed %d\n" % (name, n, n, nb, 100.0 * nb / (n * n), maxlen, SEED0 + i))
    with open(os.path.join(out, "index.tsv"), "w") as f:
        f.writelines(index)


if __name__ == "__main__":
    main()
