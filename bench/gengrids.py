#!/usr/bin/env python3
"""Seeded generator of American-style grids for the hard-grid benchmark.

Every grid has rotational symmetry (half-turn), every white cell lies in an across and a down
light, no light is shorter than 3 cells, the white cells are connected, no all-white area is wider
than those of the standard grids (see OPEN), the blocks take at least the chosen share of the
grid, and the longest light has exactly the chosen length.

    python3 bench/gengrids.py                  # writes the benchmark set into bench/hard/
    python3 bench/gengrids.py SIZE DENSITY LONGEST SEED   # prints one grid

The set is a table of (size, block share, longest light); grid i of the table is made with the
random generator seeded by SEED0 + i, so the same command always writes the same files.
"""
import os
import random
import sys

SEED0 = 16000

# (size, share of blocks, longest light): 15 grids of 15x15 and 15 of 21x21, with 13% to 16% of
# blocks (the share grows where the limits on open areas need more) and longest lights from 7
# cells to the full width.
SET = [
    (15, 0.15, 15), (15, 0.15, 15), (15, 0.15, 13), (15, 0.15, 14), (15, 0.15, 11),
    (15, 0.14, 15), (15, 0.14, 10), (15, 0.14, 9), (15, 0.16, 15), (15, 0.16, 8),
    (15, 0.16, 7), (15, 0.13, 15), (15, 0.13, 9), (15, 0.13, 11), (15, 0.14, 14),
    (21, 0.15, 21), (21, 0.15, 15), (21, 0.15, 13), (21, 0.15, 11), (21, 0.14, 21),
    (21, 0.14, 12), (21, 0.14, 10), (21, 0.14, 9), (21, 0.16, 15), (21, 0.16, 11),
    (21, 0.13, 21), (21, 0.13, 13), (21, 0.13, 11), (21, 0.16, 8), (21, 0.15, 17),
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


# Widest all-white rectangle allowed for each height (and, turned, each width), as open as the
# corners of the standard grids get: wider open areas are stacks of long lights crossing long
# lights, which this word list can rarely fill.
OPEN = {3: 7, 4: 6, 5: 5, 6: 4}


def opencells(g):
    """Cells of the all-white rectangles that are wider than OPEN allows."""
    n = len(g)
    out = set()
    for h, w in OPEN.items():
        for r in range(n - h + 1):
            for c in range(n - w):
                for a, b in ((r, c), (c, r)):
                    hh, ww = (h, w + 1) if (a, b) == (r, c) else (w + 1, h)
                    if all(not g[a + i][b + j] for i in range(hh) for j in range(ww)):
                        out.update((a + i, b + j) for i in range(hh) for j in range(ww))
    return out


def bestpair(g, spots, protect, rng):
    """Blocks the pair, among those at spots, that shortens the lights most (the sum of the
    squares of the light lengths drops most), with some randomness; False when none fits."""
    n = len(g)
    scored = []
    base = squares(g)
    for r, c in spots:
        if g[r][c] or (r, c) in protect or (n - 1 - r, n - 1 - c) in protect:
            continue
        g[r][c] = g[n - 1 - r][n - 1 - c] = True
        if shortok(g, {r, n - 1 - r}, {c, n - 1 - c}):
            scored.append(((base - squares(g)) * (0.5 + 0.5 * rng.random()), r, c))
        g[r][c] = g[n - 1 - r][n - 1 - c] = False
    scored.sort(reverse=True)
    return any(trypair(g, r, c, protect) for _, r, c in scored)


def generate(n, share, maxlen, rng):
    target = round(share * n * n)
    for _ in range(2000):
        g = [[False] * n for _ in range(n)]
        # One light of exactly maxlen cells is kept: its cells may not be blocked, its ends are.
        # It lies at least three lines from the edge: along the edge it would force the two
        # lines beside it to stay open over its length, a triple stack.
        r = rng.randrange(3, n - 3)
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
        # Break every light longer than maxlen, then every area that is too open, then add
        # blocks up to the share, each where it shortens the lights most, so that lengths
        # spread as in a grid made by hand.
        ok = True
        while ok and longest(g) > maxlen:
            ok = bestpair(g, [(a, b) for a in range(n) for b in range(n) if not g[a][b] and inlong(g, a, b, maxlen)],
                          protect, rng)
        while ok:
            spots = opencells(g)
            if not spots:
                break
            ok = bestpair(g, sorted(spots), protect, rng)
        while ok and sum(map(sum, g)) < target:
            ok = bestpair(g, [(a, b) for a in range(n) for b in range(n)], protect, rng)
        if ok and longest(g) == maxlen and not opencells(g):
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
    """Whether (r, c) lies in an across or down light longer than maxlen."""
    return max(runlens(g, r, c)) > maxlen


def squares(g):
    return sum(k * k for l in lines(g) for k in runs(l))


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
