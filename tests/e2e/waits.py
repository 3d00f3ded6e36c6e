#!/usr/bin/env python3
"""Reads the 13 tiles of the hand from a screenshot of the game window, works out its waits, and
prints "hand" and its codes, then one a line the key that marks each wait: "1".."9" alone for characters, "w 5" for circles
(W held), "q 5" for bamboo (Q held), a letter for an honour.  Nothing when the hand is not ready.
    waits.py <screenshot> <tile sheet>   (PPM is read directly, other formats through convert)
    waits.py - <tile sheet>              (screenshot paths on stdin, each answer ended by "end")"""
import subprocess
import sys

CELL_W, CELL_H = 28, 38
HAND_X, HAND_Y = 2, 58  # the hand's box at (0, 56) of the window, inside a 2 px border
HONOUR_KEYS = "asdfzxc"


def pixels(path):
    """The picture as (width, height, RGB bytes): a PPM file as it is, others through ImageMagick."""
    with open(path, "rb") as f:
        ppm = f.read()
    if not ppm.startswith(b"P6"):
        ppm = subprocess.run(["convert", path, "-alpha", "off", "-depth", "8", "ppm:-"],
                             check=True, capture_output=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:  # magic, width, height, maximum, separated by single blanks
        end = pos
        while ppm[end:end + 1] not in (b" ", b"\n", b"\t", b"\r"):
            end += 1
        fields.append(ppm[pos:end])
        pos = end + 1
    return int(fields[1]), int(fields[2]), ppm[pos:]


def cell(image, x0, y0):
    width, _, data = image
    return b"".join(data[((y0 + y) * width + x0) * 3:((y0 + y) * width + x0 + CELL_W) * 3]
                    for y in range(CELL_H))


def codes():
    return [10 * row + col + 1 for row in range(4) for col in range(9) if 10 * row + col + 1 <= 37]


def recognise(shot, sheet):
    cells = {k: cell(sheet, (k % 10 - 1) * CELL_W, (k // 10) * CELL_H) for k in codes()}
    hand = []
    for i in range(13):
        seen = cell(shot, HAND_X + i * CELL_W, HAND_Y)
        exact = [k for k, c in cells.items() if c == seen]
        if exact:
            hand.append(exact[0])
            continue
        # Otherwise the nearest cell over a sample of rows, as long as it is near.
        rows = [slice(y * CELL_W * 3, (y + 1) * CELL_W * 3) for y in range(2, CELL_H, 6)]
        distance = {k: sum(abs(a - b) for r in rows for a, b in zip(seen[r], c[r])) for k, c in cells.items()}
        best = min(distance, key=distance.get)
        if distance[best] > len(rows) * CELL_W * 3 * 8:  # more than a faint difference: not a tile
            raise SystemExit("tile %d not recognised" % i)
        hand.append(best)
    return hand


def sets_only(counts):
    """True when the counts split into runs and triplets."""
    first = next((k for k in range(38) if counts[k]), None)
    if first is None:
        return True
    if counts[first] >= 3:
        counts[first] -= 3
        ok = sets_only(counts)
        counts[first] += 3
        if ok:
            return True
    if first < 30 and first % 10 <= 7 and counts[first + 1] and counts[first + 2]:
        for k in (first, first + 1, first + 2):
            counts[k] -= 1
        ok = sets_only(counts)
        for k in (first, first + 1, first + 2):
            counts[k] += 1
        return ok
    return False


def complete(counts):
    for pair in range(38):
        if counts[pair] >= 2:
            counts[pair] -= 2
            ok = sets_only(counts)
            counts[pair] += 2
            if ok:
                return True
    return False


def waits(hand):
    counts = [0] * 40
    for k in hand:
        counts[k] += 1
    found = []
    for k in codes():
        if counts[k] < 4:
            counts[k] += 1
            if complete(counts):
                found.append(k)
            counts[k] -= 1
    return found


def key_of(code):
    if code > 30:
        return HONOUR_KEYS[code - 31]
    return {0: "", 1: "w ", 2: "q "}[code // 10] + str(code % 10)


def answer(shot_path, sheet):
    """The lines printed for one screenshot: the hand, then one key line per wait."""
    hand = recognise(pixels(shot_path), sheet)
    return ["hand " + " ".join(map(str, hand))] + [key_of(code) for code in waits(hand)]


if __name__ == "__main__":
    sheet = pixels(sys.argv[2])
    if sys.argv[1] != "-":
        print("\n".join(answer(sys.argv[1], sheet)))
        sys.exit()
    # One screenshot path a line on stdin, each answered and closed by "end": python starts once.
    for line in sys.stdin:
        try:
            print("\n".join(answer(line.strip(), sheet)))
        except SystemExit as failure:
            print("error", failure)
        print("end", flush=True)
