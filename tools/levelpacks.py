#!/usr/bin/env python3
# Writes the two shipped level packs, data/levels/garden.lev and fortress.lev, from
# shapes given in fractions of the field:  python3 tools/levelpacks.py data/levels

import sys

def fmt(v):
    s = ("%.4f" % v).rstrip('0').rstrip('.')
    return s if s else "0"

class Level:
    def __init__(self, name):
        self.name = name
        self.bases = []   # (x, y, token)
        self.lines = []   # (token, beg, end, sx, sy)
    def base(self, x, y, token="X"):
        self.bases.append((x, y, token))
        return len(self.bases)
    def seg(self, x1, y1, x2, y2, token=None, ends=("X", "X")):
        """A straight wall from (x1, y1) to (x2, y2): two base points and the line between."""
        a = self.base(x1, y1, ends[0])
        b = self.base(x2, y2, ends[1])
        sx = (x2 > x1) - (x2 < x1)
        sy = (y2 > y1) - (y2 < y1)
        if token is None:
            token = "H" if sy == 0 else ("V" if sx == 0 else "X")
        self.lines.append([token, a, b, sx, sy])
    def text(self, number):
        out = ["[Level%d]" % number, "; " + self.name, "NumBase=%d" % len(self.bases)]
        for k, (x, y, t) in enumerate(self.bases, 1):
            out += ["BasePosX%d=%s" % (k, fmt(x)), "BasePosY%d=%s" % (k, fmt(y)), "BaseType%d=%s" % (k, t)]
        out.append("NumLine=%d" % len(self.lines))
        for j, (t, b, e, sx, sy) in enumerate(self.lines, 1):
            out += ["LineType%d=%s" % (j, t), "LineBeg%d=%d" % (j, b), "LineEnd%d=%d" % (j, e),
                    "LineStepX%d=%d" % (j, sx), "LineStepY%d=%d" % (j, sy)]
        return "\n".join(out) + "\n"

def pack(title, about, levels):
    out = ["; " + title, "; " + about,
           "; Base points are fractions of the field (0 is the top or left border, 1 the",
           "; bottom or right one); each wall runs between two base points, which are blocks.", ""]
    for n, l in enumerate(levels):
        out.append(l.text(n))
    return "\n".join(out)

def rect(l, x1, y1, x2, y2, gap=None):
    """A rectangle with corner pieces; gap=(side, from, to) leaves an opening."""
    l.base(x1, y1, "LTc"); l.base(x2, y1, "RTc"); l.base(x1, y2, "LBc"); l.base(x2, y2, "RBc")
    n = len(l.bases)
    tl, tr, bl, br = n - 3, n - 2, n - 1, n
    l.lines.append(["H", tl, tr, 1, 0])
    l.lines.append(["V", tl, bl, 0, 1])
    l.lines.append(["V", tr, br, 0, 1])
    if gap is None:
        l.lines.append(["H", bl, br, 1, 0])
    else:
        a, b = gap
        # Two bottom pieces that stop at the opening.
        p = l.base(a, y2, "X"); q = l.base(b, y2, "X")
        l.lines.append(["H", bl, p, 1, 0])
        l.lines.append(["H", q, br, 1, 0])

# ------------------------------------------------------------------ garden
g = []
l = Level("Stepping stones: a few blocks to steer around"); g.append(l)
for (x, y) in [(0.25, 0.25), (0.75, 0.25), (0.5, 0.15), (0.25, 0.7), (0.8, 0.7), (0.15, 0.45), (0.85, 0.45)]:
    l.base(x, y)
l = Level("Hedges: two rows of hedges with gaps"); g.append(l)
l.seg(0.12, 0.3, 0.42, 0.3); l.seg(0.58, 0.3, 0.88, 0.3)
l.seg(0.05, 0.6, 0.3, 0.6); l.seg(0.82, 0.6, 0.95, 0.6)
l = Level("Flower bed: a bed in the north, open to the south"); g.append(l)
rect(l, 0.3, 0.12, 0.7, 0.36, gap=(0.38, 0.62))
l.base(0.15, 0.7); l.base(0.85, 0.7)
l = Level("Two ponds"); g.append(l)
rect(l, 0.1, 0.2, 0.34, 0.42, gap=(0.14, 0.3)); rect(l, 0.66, 0.2, 0.9, 0.42, gap=(0.7, 0.86))
l.seg(0.4, 0.12, 0.6, 0.12)
l = Level("Crossing paths"); g.append(l)
l.seg(0.2, 0.12, 0.2, 0.6); l.seg(0.86, 0.12, 0.86, 0.5); l.seg(0.34, 0.3, 0.7, 0.3)
l = Level("Orchard: rows of trees"); g.append(l)
for y in (0.2, 0.4, 0.6, 0.8):
    for x in (0.12, 0.28, 0.84):
        l.base(x, y)
for x in (0.4, 0.56, 0.72):
    l.base(x, 0.2)
l = Level("Arches: two gateways"); g.append(l)
l.base(0.15, 0.2, "LTc"); l.base(0.35, 0.2, "RTc"); l.base(0.15, 0.5, "X"); l.base(0.35, 0.5, "X")
l.lines += [["H", 1, 2, 1, 0], ["V", 1, 3, 0, 1], ["V", 2, 4, 0, 1]]
l.base(0.65, 0.2, "LTc"); l.base(0.85, 0.2, "RTc"); l.base(0.65, 0.5, "X"); l.base(0.85, 0.5, "X")
l.lines += [["H", 5, 6, 1, 0], ["V", 5, 7, 0, 1], ["V", 6, 8, 0, 1]]
l = Level("Windmill: four sails turning round the middle"); g.append(l)
l.seg(0.5, 0.06, 0.5, 0.2); l.seg(0.5, 0.06, 0.64, 0.06)
l.seg(0.26, 0.3, 0.42, 0.3); l.seg(0.26, 0.3, 0.26, 0.16)
l.seg(0.58, 0.3, 0.74, 0.3); l.seg(0.74, 0.3, 0.74, 0.42)
l.seg(0.5, 0.38, 0.36, 0.38)
l = Level("Garden fence: a long fence with a gate"); g.append(l)
l.seg(0.05, 0.35, 0.4, 0.35); l.seg(0.52, 0.35, 0.95, 0.35)
l.seg(0.2, 0.55, 0.2, 0.9); l.seg(0.85, 0.55, 0.85, 0.9)
l = Level("Trellis: slanting fences"); g.append(l)
l.seg(0.1, 0.1, 0.3, 0.3, "X"); l.seg(0.9, 0.1, 0.7, 0.3, "X")
l.seg(0.1, 0.55, 0.25, 0.7, "X"); l.seg(0.9, 0.55, 0.8, 0.65, "X")
l.seg(0.4, 0.2, 0.6, 0.2)
l = Level("Hedge maze: the garden's last riddle"); g.append(l)
l.seg(0.1, 0.15, 0.9, 0.15)
l.seg(0.1, 0.15, 0.1, 0.5)
l.seg(0.9, 0.15, 0.9, 0.5)
l.seg(0.25, 0.3, 0.75, 0.3)
l.seg(0.22, 0.45, 0.34, 0.45); l.seg(0.78, 0.45, 0.88, 0.45)
l.seg(0.2, 0.62, 0.2, 0.88); l.seg(0.86, 0.62, 0.86, 0.88)
open(sys.argv[1] + "/garden.lev", "w").write(pack("Garden: eleven gentle levels among hedges, ponds and flower beds.",
    "For a first game: wide paths, few walls.", g))

# ------------------------------------------------------------------ fortress
f = []
l = Level("Gatehouse"); f.append(l)
l.seg(0.1, 0.25, 0.4, 0.25); l.seg(0.6, 0.25, 0.9, 0.25)
l.seg(0.4, 0.08, 0.4, 0.25); l.seg(0.6, 0.08, 0.6, 0.25)
l = Level("Battlements: a row of merlons"); f.append(l)
for x in (0.1, 0.22, 0.34, 0.46, 0.58, 0.7, 0.82, 0.94):
    l.base(x, 0.14); l.base(x, 0.24)
l.seg(0.1, 0.36, 0.9, 0.36)
l = Level("Keep: a walled square with one door"); f.append(l)
rect(l, 0.25, 0.1, 0.75, 0.36, gap=(0.38, 0.62))
l.base(0.5, 0.25)
l = Level("Ramparts"); f.append(l)
l.seg(0.08, 0.15, 0.08, 0.85); l.seg(0.92, 0.15, 0.92, 0.85)
l.seg(0.2, 0.15, 0.8, 0.15)
l.seg(0.2, 0.32, 0.4, 0.32); l.seg(0.6, 0.32, 0.8, 0.32)
l = Level("Portcullis: bars to slip between"); f.append(l)
for x in (0.15, 0.3, 0.7, 0.85):
    l.seg(x, 0.1, x, 0.36)
l.seg(0.38, 0.1, 0.62, 0.1)
l = Level("Courtyard"); f.append(l)
rect(l, 0.12, 0.12, 0.88, 0.88, gap=(0.35, 0.78))
l.seg(0.35, 0.3, 0.65, 0.3)
l = Level("Dungeon cells"); f.append(l)
for x1, x2, a, b in ((0.06, 0.42, 0.12, 0.36), (0.58, 0.94, 0.64, 0.88)):
    rect(l, x1, 0.1, x2, 0.34, gap=(a, b))
l.seg(0.42, 0.2, 0.58, 0.2)
l = Level("Zigzag stair"); f.append(l)
l.seg(0.1, 0.2, 0.3, 0.2); l.seg(0.3, 0.2, 0.3, 0.4); l.seg(0.3, 0.4, 0.5, 0.4)
l.seg(0.92, 0.2, 0.76, 0.2); l.seg(0.76, 0.2, 0.76, 0.4)
l.seg(0.15, 0.6, 0.3, 0.6); l.seg(0.9, 0.6, 0.78, 0.6)
l = Level("Moat bridges: cross where you can"); f.append(l)
l.seg(0.05, 0.3, 0.3, 0.3); l.seg(0.4, 0.3, 0.6, 0.3); l.seg(0.7, 0.3, 0.95, 0.3)
l.seg(0.05, 0.5, 0.2, 0.5); l.seg(0.3, 0.5, 0.38, 0.5); l.seg(0.82, 0.5, 0.95, 0.5)
l = Level("Crossbow slits: slanting walls"); f.append(l)
l.seg(0.1, 0.1, 0.35, 0.35, "X"); l.seg(0.9, 0.1, 0.65, 0.35, "X")
l.seg(0.35, 0.35, 0.35, 0.55); l.seg(0.65, 0.35, 0.65, 0.5)
l.seg(0.1, 0.6, 0.25, 0.6); l.seg(0.15, 0.75, 0.3, 0.75)
l = Level("The throne room: the last trial"); f.append(l)
rect(l, 0.15, 0.08, 0.85, 0.36, gap=(0.38, 0.62))
l.seg(0.32, 0.2, 0.68, 0.2)
l.seg(0.32, 0.2, 0.32, 0.3); l.seg(0.68, 0.2, 0.68, 0.3)
l.seg(0.1, 0.62, 0.24, 0.62); l.seg(0.92, 0.62, 0.86, 0.62)
open(sys.argv[1] + "/fortress.lev", "w").write(pack("Fortress: eleven hard levels of walls, gates and narrow passages.",
    "For players who have seen the garden.", f))
