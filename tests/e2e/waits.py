#!/usr/bin/env python3
"""Reads the 13 tiles of the hand from a screenshot of the game window, works out its waits, and
prints, one a line, the key that marks each: "1".."9" alone for characters, "w 5" for circles
(W held), "q 5" for bamboo (Q held), a letter for an honour.  Nothing when the hand is not ready.
    waits.py <screenshot> <tile sheet png>"""
import subprocess
import sys

CELL_W, CELL_H = 28, 38
HAND_X, HAND_Y = 2, 58  # the hand's box at (0, 56) of the window, inside a 2 px border
HONOUR_KEYS = "asdfzxc"


def pixels(path):
    """The picture as (width, height, RGB bytes), through ImageMagick's PPM."""
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
        distance = {k: sum(abs(a - b) for a, b in zip(seen, c)) for k, c in cells.items()}
        best = min(distance, key=distance.get)
        if distance[best] > CELL_W * CELL_H * 3 * 8:  # more than a faint difference: not a tile
            sys.exit("tile %d not recognised" % i)
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


if __name__ == "__main__":
    hand = recognise(pixels(sys.argv[1]), pixels(sys.argv[2]))
    print("hand", *hand, file=sys.stderr)
    for code in waits(hand):
        print(key_of(code))
