#!/usr/bin/env python3
"""Draws Orvela's glyph strip and program icon.

    python3 scripts/draw-images.py [--preview FILE]

Writes resources/glyphs.bmp (34 glyphs of 16 x 16 side by side, magenta is
transparent: the program loads it with ImageList_AddMasked),
resources/orvela.ico (16, 32, 48 and 256 pixels, 32-bit with alpha, the
256 one PNG-compressed) and resources/version_frames.bmp (the version box's
two 64 x 64 frames of the icon side by side, pure blue is transparent).
--preview writes a large PNG of them to look at.

Standard library only, so any machine with Python 3 can redraw them.
"""

import argparse
import math
import os
import struct
import zlib

GLYPH = 16
TRANSPARENT = (255, 0, 255)

# ---------------------------------------------------------------------------
# Palettes. A ramp is the few shades one material is drawn with; the light
# comes from the top left, as on every Windows toolbar.


class Ramp:
    def __init__(self, outline, shadow, base, light):
        self.outline, self.shadow, self.base, self.light = outline, shadow, base, light


PAPER = Ramp((108, 120, 138), (208, 216, 228), (246, 248, 251), (255, 255, 255))
FOLDER = Ramp((156, 108, 18), (222, 168, 48), (246, 204, 88), (255, 234, 152))
GREEN = Ramp((26, 108, 36), (50, 150, 54), (78, 184, 76), (152, 224, 132))
RED = Ramp((148, 22, 22), (188, 34, 30), (222, 58, 48), (248, 132, 116))
BLUE = Ramp((26, 70, 146), (44, 102, 190), (68, 134, 222), (144, 192, 250))
METAL = Ramp((82, 88, 100), (140, 146, 158), (180, 186, 196), (226, 230, 236))
CARDBOARD = Ramp((116, 76, 30), (170, 122, 60), (204, 158, 92), (234, 200, 142))
BOARD = Ramp((22, 86, 44), (36, 120, 64), (48, 150, 82), (96, 190, 120))
CHIP = Ramp((28, 30, 36), (44, 48, 56), (62, 66, 76), (100, 106, 118))
GOLD = Ramp((150, 112, 20), (200, 156, 36), (230, 190, 60), (250, 226, 130))
SCREEN = Ramp((40, 60, 96), (50, 110, 170), (80, 150, 210), (150, 200, 240))
PURPLE = Ramp((78, 46, 130), (110, 72, 170), (140, 102, 204), (190, 160, 236))

WHITE = (255, 255, 255)
INK = (44, 50, 60)          # dark lines and text
FRAME = (70, 84, 108)       # window frames
CLIENT = (252, 253, 255)    # window client area
TEXT_LINE = (128, 140, 160) # lines of text on a page
TITLE_DARK = (30, 80, 170)
TITLE_LIGHT = (96, 156, 236)
CHECK_BORDER = (40, 84, 140)

# ---------------------------------------------------------------------------
# Shapes are sets of pixels. A pixel (x, y) covers [x, x+1) x [y, y+1) and
# belongs to a shape when its centre does, so shapes can be given in
# fractional coordinates and still land on whole pixels.


def rect(x0, y0, x1, y1, round_corners=False):
    """Pixels x0..x1, y0..y1 inclusive; optionally without the four corners."""
    s = {(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}
    if round_corners:
        s -= {(x0, y0), (x1, y0), (x0, y1), (x1, y1)}
    return s


def _pixels_where(inside, size=GLYPH):
    return {(x, y) for y in range(size) for x in range(size) if inside(x + 0.5, y + 0.5)}


def disc(cx, cy, r):
    return _pixels_where(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r)


def ring(cx, cy, r_inner, r_outer, from_deg=0, to_deg=360):
    """Ring between two radii; angles clockwise from 3 o'clock, as on screen."""
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not r_inner * r_inner <= d2 <= r_outer * r_outer:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (a - from_deg) % 360 <= (to_deg - from_deg) % 360 or to_deg - from_deg >= 360
    return _pixels_where(inside)


def polygon(*points):
    def inside(x, y):
        hit = False
        for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                hit = not hit
        return hit
    return _pixels_where(inside)


def _distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = 0.0 if dx == dy == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def stroke(width, *points):
    """A line of the given width through the points, with round ends."""
    segments = list(zip(points, points[1:]))

    def inside(x, y):
        return any(_distance_to_segment(x, y, *a, *b) <= width / 2 for a, b in segments)
    return _pixels_where(inside)


def sprite_mask(x, y, rows, char="#"):
    """Pixels marked with char in a small picture drawn as text rows."""
    return {(x + i, y + j) for j, row in enumerate(rows) for i, c in enumerate(row) if c == char}


def edge(shape):
    """Pixels of a shape that touch the outside (4-neighbourhood)."""
    return {(x, y) for (x, y) in shape
            if not {(x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)} <= shape}


def grow(shape):
    return shape | {(x + dx, y + dy) for (x, y) in shape
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))}


# ---------------------------------------------------------------------------
# A 16 x 16 picture. None is transparent.


class Glyph:
    def __init__(self):
        self.px = [[None] * GLYPH for _ in range(GLYPH)]

    def put(self, x, y, colour):
        if 0 <= x < GLYPH and 0 <= y < GLYPH:
            self.px[y][x] = colour

    def flat(self, shape, colour):
        for x, y in shape:
            self.put(x, y, colour)

    def solid(self, shape, ramp, bevel=True):
        """Outline in the ramp's dark shade, lit at the top left, shaded at
        the bottom right: the one look every glyph shares."""
        rim = edge(shape)
        inner = shape - rim
        for x, y in shape:
            if (x, y) in rim:
                c = ramp.outline
            elif not bevel:
                c = ramp.base
            elif (x - 1, y) not in inner or (x, y - 1) not in inner:
                c = ramp.light
            elif (x + 1, y) not in inner or (x, y + 1) not in inner:
                c = ramp.shadow
            else:
                c = ramp.base
            self.put(x, y, c)

    def sprite(self, x, y, rows, colours):
        for j, row in enumerate(rows):
            for i, c in enumerate(row):
                if c in colours:
                    self.put(x + i, y + j, colours[c])

    def clear(self, shape):
        self.flat(shape, None)


# ---------------------------------------------------------------------------
# Parts that several glyphs share.


def page(g, x0, y0, x1, y1, fold=3):
    """A sheet of paper with its top right corner folded."""
    sheet = polygon((x0, y0), (x1 + 1 - fold, y0), (x1 + 1, y0 + fold), (x1 + 1, y1 + 1), (x0, y1 + 1))
    g.solid(sheet, PAPER, bevel=False)
    # A faint shade on the right and bottom gives the sheet some thickness.
    g.flat({(x1 - 1, y) for y in range(y0 + fold + 1, y1)} | {(x, y1 - 1) for x in range(x0 + 1, x1)}, PAPER.shadow)
    corner = polygon((x1 + 1 - fold, y0), (x1 + 1 - fold, y0 + fold), (x1 + 1, y0 + fold))
    g.flat(corner, PAPER.shadow)
    g.flat(edge(corner), PAPER.outline)


def text_lines(g, x0, x1, ys, colour=TEXT_LINE):
    for y in ys:
        g.flat(rect(x0, y, x1, y), colour)


def window(g, x0, y0, x1, y1):
    """An application window: frame, blue title bar, white client area."""
    g.flat(rect(x0, y0, x1, y1, round_corners=True), FRAME)
    g.flat(rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), CLIENT)
    for x in range(x0 + 1, x1):
        t = (x - x0) / max(1, x1 - x0)
        g.put(x, y0 + 1, mix(TITLE_DARK, TITLE_LIGHT, t))
        g.put(x, y0 + 2, mix(TITLE_DARK, TITLE_LIGHT, t * 0.8))
    g.put(x1 - 2, y0 + 1, WHITE)  # the close box, a hint of a real window


def folder_closed(g, x0, y0, x1, y1):
    """A yellow folder with its tab at the top left."""
    tab = rect(x0, y0, x0 + 5, y0 + 2, round_corners=True)
    g.solid(tab, FOLDER)
    body = rect(x0, y0 + 2, x1, y1, round_corners=True)
    g.solid(body, FOLDER)
    g.flat(rect(x0 + 1, y0 + 3, x1 - 1, y0 + 3), FOLDER.light)


def gear(g, cx, cy, r_body, r_teeth, teeth, tooth_width, hole, ramp=None):
    """A cog: a disc with square teeth around it and a hole in the middle."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if d <= r_body:
            return True
        if d > r_teeth:
            return False
        for k in range(teeth):
            a = 2 * math.pi * k / teeth
            across = abs(-(x - cx) * math.sin(a) + (y - cy) * math.cos(a))
            along = (x - cx) * math.cos(a) + (y - cy) * math.sin(a)
            if across <= tooth_width / 2 and along > 0 and abs(along) <= r_teeth:
                return True
        return False
    shape = _pixels_where(inside) - disc(cx, cy, hole)
    g.flat(grow(shape) - shape, None)
    g.solid(shape, ramp or METAL)


def badge_plus(g, cx, cy):
    """A small green plus, laid over another picture."""
    bar = rect(cx - 3, cy - 1, cx + 3, cy + 1) | rect(cx - 1, cy - 3, cx + 1, cy + 3)
    g.flat(grow(bar) - bar, None)  # a transparent gap keeps it apart from what is below
    g.solid(bar, GREEN, bevel=False)
    g.flat(rect(cx - 2, cy, cx + 2, cy) | rect(cx, cy - 2, cx, cy + 2), GREEN.light)


def arc_arrow_head(cx, cy, r, at_deg, half_width, length):
    """A triangle continuing a clockwise arc of radius r that ends at at_deg."""
    a = math.radians(at_deg)
    bx, by = cx + r * math.cos(a), cy + r * math.sin(a)
    nx, ny = math.cos(a), math.sin(a)      # outward
    tx, ty = -math.sin(a), math.cos(a)     # clockwise on screen
    return polygon((bx + nx * half_width, by + ny * half_width),
                   (bx - nx * half_width, by - ny * half_width),
                   (bx + tx * length, by + ty * length))


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def question_mark(g, x, y, colour):
    g.sprite(x, y, [
        ".####.",
        "##..##",
        "....##",
        "...##.",
        "..##..",
        "..##..",
        "......",
        "..##..",
        "..##..",
    ], {"#": colour})


def isometric_cube(g, x, y, size, ramp):
    """A cube seen from above: top face lit, left face mid, right face dark."""
    h = size / 2
    top = polygon((x, y + h / 2), (x + h, y), (x + size, y + h / 2), (x + h, y + h))
    left = polygon((x, y + h / 2), (x + h, y + h), (x + h, y + size), (x, y + size - h / 2))
    right = polygon((x + h, y + h), (x + size, y + h / 2), (x + size, y + size - h / 2), (x + h, y + size))
    whole = top | left | right
    g.flat(left, ramp.base)
    g.flat(right, ramp.shadow)
    g.flat(top, ramp.light)
    g.flat(edge(whole), ramp.outline)


# ---------------------------------------------------------------------------
# The glyphs, in image-list order.

GLYPHS = []


def glyph(number, meaning):
    def register(draw):
        assert len(GLYPHS) == number, f"glyph {number} ({meaning}) out of order"
        GLYPHS.append((meaning, draw))
        return draw
    return register


@glyph(0, "startup")
def _(g):
    window(g, 0, 1, 15, 14)
    arrow = polygon((4, 4.5), (13, 9), (4, 13.5))
    g.solid(arrow, GREEN, bevel=False)
    g.flat(polygon((5, 6.5), (9, 8.5), (5, 8.5)), GREEN.light)


@glyph(1, "disabled box")
def _(g):
    g.solid(rect(2, 6, 13, 14, round_corners=True), CARDBOARD)
    g.solid(rect(1, 3, 14, 6, round_corners=True), CARDBOARD)
    g.flat(rect(6, 9, 9, 10), CARDBOARD.outline)  # hand hold
    g.flat(rect(6, 11, 9, 11), CARDBOARD.light)


@glyph(2, "delete")
def _(g):
    cross = stroke(3.2, (3.5, 3.5), (12.5, 12.5)) | stroke(3.2, (12.5, 3.5), (3.5, 12.5))
    g.solid(cross, RED, bevel=False)
    g.flat(stroke(1, (4.5, 4.5), (11.5, 11.5)) | stroke(1, (11.5, 4.5), (4.5, 11.5)), RED.base)


@glyph(3, "folder")
def _(g):
    folder_closed(g, 1, 2, 14, 13)


@glyph(4, "SendTo")
def _(g):
    page(g, 0, 0, 7, 9, fold=3)
    text_lines(g, 2, 5, (4, 6))
    folder_closed(g, 6, 6, 15, 14)
    arrow = rect(1, 10, 6, 12) | polygon((6, 8), (10.5, 11.5), (6, 15))
    g.flat(grow(arrow) - arrow, None)
    g.solid(arrow, BLUE, bevel=False)


@glyph(5, "help")
def _(g):
    ball = disc(8, 8, 7.5)
    g.solid(ball, BLUE)
    question_mark(g, 5, 3, WHITE)


@glyph(6, "version")
def _(g):
    ball = disc(8, 8, 7.5)
    g.solid(ball, Ramp(BLUE.outline, (220, 232, 248), (240, 246, 255), WHITE))
    g.sprite(6, 3, [
        ".##.",
        ".##.",
        "....",
        "###.",
        ".##.",
        ".##.",
        ".##.",
        ".##.",
        "####",
    ], {"#": TITLE_DARK})


@glyph(7, "uninstall")
def _(g):
    isometric_cube(g, 0, 0, 12, PURPLE)
    minus = rect(7, 11, 15, 14, round_corners=True)
    g.flat(grow(minus) - minus, None)
    g.solid(minus, RED, bevel=False)
    g.flat(rect(8, 12, 14, 12), RED.light)


@glyph(8, "details")
def _(g):
    page(g, 2, 0, 13, 15, fold=4)
    for y in (5, 8, 11):
        g.flat(rect(4, y, 5, y + 1), BLUE.base)
        g.flat(rect(7, y, 11, y), TEXT_LINE)
        g.flat(rect(7, y + 1, 10, y + 1), PAPER.shadow)


def check_box(g):
    g.flat(rect(1, 1, 14, 14), CHECK_BORDER)
    for y in range(2, 14):
        g.flat(rect(2, y, 13, y), mix((222, 228, 236), WHITE, (y - 2) / 11))


@glyph(9, "check box off")
def _(g):
    check_box(g)


@glyph(10, "check box on")
def _(g):
    check_box(g)
    g.flat(stroke(2.2, (4.5, 7.5), (6.8, 10.2), (11.5, 4.5)), (24, 120, 40))


@glyph(11, "unknown files")
def _(g):
    page(g, 2, 0, 13, 15, fold=4)
    question_mark(g, 5, 4, RED.base)


@glyph(12, "search")
def _(g):
    g.solid(stroke(3, (10, 10), (13.5, 13.5)), Ramp((60, 40, 24), (96, 64, 36), (128, 88, 50), (170, 124, 80)), bevel=False)
    lens = disc(6.5, 6.5, 5.5)
    g.flat(lens, METAL.outline)
    glass = disc(6.5, 6.5, 4)
    g.flat(glass, (206, 232, 250))
    g.flat(edge(glass) - disc(6.5, 6.5, 3), (150, 196, 232))
    g.flat(disc(5, 5, 1.3), WHITE)


@glyph(13, "refresh")
def _(g):
    # Two arcs chasing each other clockwise, each ending in a head.
    for start, end in ((165, 300), (345, 120)):
        arc = ring(8, 8, 3.4, 6.4, start, end)
        g.solid(arc | arc_arrow_head(8, 8, 4.9, end, 3.8, 4.4), GREEN, bevel=False)


@glyph(14, "save")
def _(g):
    body = polygon((1, 1), (13, 1), (15, 3), (15, 15), (1, 15))
    g.solid(body, BLUE)
    g.solid(rect(3, 1, 12, 7), PAPER, bevel=False)   # label
    text_lines(g, 5, 10, (3, 5))
    g.solid(rect(4, 10, 11, 15), METAL)  # shutter
    g.flat(rect(8, 11, 9, 13), METAL.outline)


@glyph(15, "settings")
def _(g):
    gear(g, 8, 8, 5.2, 7.9, 8, 3.2, 2.0)


@glyph(16, "memory")
def _(g):
    # An odd width keeps the three chips and the notch symmetric.
    g.solid(rect(0, 3, 14, 12, round_corners=True), BOARD)
    g.clear({(7, 12)})  # notch in the contact edge
    for x in (2, 6, 10):
        g.solid(rect(x, 5, x + 2, 9), CHIP, bevel=False)
    for x in range(1, 14, 2):
        if x != 7:
            g.flat(rect(x, 11, x, 12), GOLD.base)


def monitor(g, x, y):
    g.flat(rect(x, y, x + 8, y + 6, round_corners=True), INK)
    g.flat(rect(x + 1, y + 1, x + 7, y + 5), SCREEN.base)
    g.flat(rect(x + 1, y + 1, x + 4, y + 2), SCREEN.light)
    g.flat(rect(x + 3, y + 7, x + 5, y + 7), INK)
    g.flat(rect(x + 2, y + 8, x + 6, y + 8), METAL.shadow)


@glyph(17, "network")
def _(g):
    g.flat(stroke(1.2, (3.5, 9), (3.5, 11.5), (7, 11.5)), INK)
    monitor(g, 0, 0)
    monitor(g, 7, 7)


@glyph(18, "registry")
def _(g):
    isometric_cube(g, 0, 6, 8, BLUE)
    isometric_cube(g, 8, 6, 8, BLUE)
    isometric_cube(g, 4, 0, 8, BLUE)


@glyph(19, "restore")
def _(g):
    arc = ring(9, 8.5, 2.8, 5.6, 270, 90) | rect(5, 3, 9, 5)
    head = polygon((0.5, 4), (6, -1.2), (6, 9.2))
    g.solid(arc | head, BLUE, bevel=False)
    g.flat(ring(9, 8.5, 4, 4.4, 280, 80) | rect(5, 4, 9, 4), BLUE.light)


@glyph(20, "copy")
def _(g):
    page(g, 0, 0, 9, 11, fold=3)
    text_lines(g, 2, 6, (4, 6, 8))
    page(g, 5, 4, 15, 15, fold=3)
    text_lines(g, 7, 12, (8, 10, 12))


@glyph(21, "running application")
def _(g):
    window(g, 0, 0, 14, 13)
    text_lines(g, 2, 8, (5, 7))
    # Too small for a drawn cog to come out clean: placed by hand.
    cog = sprite_mask(6, 6, [
        "....##....",
        ".##.##.##.",
        ".########.",
        "..##..##..",
        "###....###",
        "###....###",
        "..##..##..",
        ".########.",
        ".##.##.##.",
        "....##....",
    ])
    g.flat(grow(cog) - cog, CLIENT)  # keeps the cog apart from the frame
    g.flat(cog, METAL.outline)


@glyph(22, "file")
def _(g):
    page(g, 2, 0, 13, 15, fold=4)


@glyph(23, "apply")
def _(g):
    tick = stroke(3.2, (2.5, 8), (6.2, 12), (13.5, 3.5))
    g.solid(tick, GREEN, bevel=False)
    g.flat(stroke(0.9, (3.5, 8.3), (6.2, 11.2), (12.6, 4.1)), GREEN.light)


@glyph(24, "open")
def _(g):
    back = rect(0, 4, 12, 14, round_corners=True) | rect(0, 2, 5, 4, round_corners=True)
    g.solid(back, FOLDER)
    flap = polygon((3, 8), (16, 8), (13, 15), (0, 15))
    g.flat(flap, FOLDER.base)
    g.flat(edge(flap), FOLDER.outline)
    g.flat(polygon((4, 9), (14.5, 9), (14, 10), (3.5, 10)), FOLDER.light)
    arrow = stroke(2.2, (8, 6), (11, 3)) | polygon((9.5, 0), (15, 0), (15, 5.5))
    g.flat(grow(arrow) - arrow - back - flap, None)
    g.solid(arrow, GREEN, bevel=False)


@glyph(25, "open with")
def _(g):
    window(g, 0, 0, 14, 12)
    g.sprite(7, 5, [
        "#........",
        "##.......",
        "#o#......",
        "#oo#.....",
        "#ooo#....",
        "#oooo#...",
        "#ooooo#..",
        "#oo####..",
        "#o#o#....",
        "##.#o#...",
        "#...##...",
    ], {"#": INK, "o": WHITE})


@glyph(26, "recent files")
def _(g):
    page(g, 1, 0, 11, 13, fold=3)
    text_lines(g, 3, 7, (4, 6, 8))
    face = disc(11, 11, 4.6)
    g.flat(grow(face) - face, None)
    g.solid(face, Ramp(BLUE.outline, (226, 234, 246), (246, 249, 255), WHITE), bevel=False)
    g.flat(rect(10, 8, 10, 10) | rect(11, 10, 12, 10), INK)


@glyph(27, "sort descending")
def _(g):
    g.flat(polygon((4, 6), (12, 6), (8, 10)), (96, 104, 118))


@glyph(28, "sort ascending")
def _(g):
    g.flat(polygon((4, 10), (12, 10), (8, 6)), (96, 104, 118))


@glyph(29, "add")
def _(g):
    plus = rect(1, 6, 14, 9, round_corners=True) | rect(6, 1, 9, 14, round_corners=True)
    g.solid(plus, GREEN, bevel=False)
    g.flat(rect(2, 7, 13, 7) | rect(7, 2, 7, 13), GREEN.light)


@glyph(30, "select all")
def _(g):
    frame = edge(rect(0, 0, 15, 15))
    for x, y in frame:
        g.put(x, y, INK if (x + y) % 4 < 2 else WHITE)
    g.flat(rect(3, 3, 12, 12), (196, 220, 248))
    for y in (4, 7, 10):
        g.flat(rect(4, y, 5, y + 1), BLUE.base)
        g.flat(rect(7, y, 11, y + 1), BLUE.shadow)


@glyph(31, "link target")
def _(g):
    g.flat(rect(1, 1, 14, 14), (96, 104, 118))
    g.flat(rect(2, 2, 13, 13), WHITE)
    arrow = stroke(2.4, (4.5, 12), (4.5, 9.5), (6.5, 7.5), (8.5, 7.5)) | polygon((8, 3.5), (12.5, 7.5), (8, 11.5))
    g.solid(arrow, BLUE, bevel=False)


TILE_COLOURS = [BLUE, GREEN, RED, FOLDER, PURPLE, BLUE, GREEN, FOLDER, RED]


def program_grid(g, skip=()):
    for i, ramp in enumerate(TILE_COLOURS):
        if i in skip:
            continue
        x, y = 1 + 5 * (i % 3), 1 + 5 * (i // 3)
        g.solid(rect(x, y, x + 3, y + 3), ramp)


@glyph(32, "programs")
def _(g):
    program_grid(g)


@glyph(33, "add program")
def _(g):
    program_grid(g, skip=(5, 7, 8))
    badge_plus(g, 12, 12)


assert len(GLYPHS) == 34


def draw_glyphs():
    pictures = []
    for meaning, draw in GLYPHS:
        g = Glyph()
        draw(g)
        for row in g.px:
            assert TRANSPARENT not in row, f"{meaning} uses the transparent key colour"
        pictures.append(g.px)
    return pictures


# ---------------------------------------------------------------------------
# The program icon, drawn as shapes in the unit square and sampled several
# times per pixel so its edges are smooth at every size.


def _rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def icon_layers(size, lit=False):
    """(inside, colour) pairs painted in order; colour is a function of y.
    Lines never get thinner than about two pixels, so the motif survives
    at 16 x 16. lit: the version box's second frame, power symbol and lamp
    glowing, so the two frames shown in turn make it blink."""
    px = 1 / size
    line = max(0.11, 2 * px)

    def snap(v):  # edges on whole pixels stay crisp at small sizes
        return round(v * size) / size
    left, top, right, bottom = snap(0.04), snap(0.06), snap(0.96), snap(0.94)
    frame = _rounded_rect(left, top, right, bottom, 0.16)
    inner = _rounded_rect(left + 0.6 * px, top + 0.6 * px, right - 0.6 * px, bottom - 0.6 * px, 0.15)
    title_bottom = snap(top + max(0.16, 3.2 * px))

    def title_bar(x, y):
        return inner(x, y) and y < title_bottom

    # A power symbol in the client area: an open ring and a bar.
    cx, cy = 0.5, (title_bottom + bottom) / 2 + 0.01
    r = min(0.24, (bottom - title_bottom) / 2 - 0.9 * px - line / 2)
    bar_top, bar_bottom = cy - r - line * 0.55, cy - r * 0.15

    def power_ring(x, y):
        if abs(math.hypot(x - cx, y - cy) - r) > line / 2:
            return False
        return abs(math.degrees(math.atan2(x - cx, cy - y))) >= 38  # open at the top

    def bar_clearance(x, y):
        return (_distance_to_segment(x, y, cx, bar_top, cx, bar_bottom) <= line * 1.4
                and inner(x, y) and not title_bar(x, y))

    def power_bar(x, y):
        return _distance_to_segment(x, y, cx, bar_top, cx, bar_bottom) <= line / 2

    def lamp(x, y):
        return title_bar(x, y) and math.hypot(x - (right - 0.2), y - (top + title_bottom) / 2) <= max(0.035, 0.8 * px)

    client = lambda y: mix((44, 150, 196), (24, 96, 168), y)  # teal to blue, top to bottom
    symbol = (255, 232, 120) if lit else WHITE
    return [
        (frame, lambda y: (18, 62, 112)),
        (inner, client),
        (title_bar, lambda y: (18, 70, 128)),
        (bar_clearance, client),
        (power_ring, lambda y: symbol),
        (power_bar, lambda y: symbol),
        (lamp, lambda y: (255, 176, 64) if lit else (150, 220, 236)),
    ]


def render_icon(size, lit=False):
    """RGBA rows, top row first."""
    n = 4 if size >= 64 else 6
    layers = icon_layers(size, lit)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for inside, colour in layers:
                hits = sum(1 for sy in range(n) for sx in range(n)
                           if inside((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size))
                if not hits:
                    continue
                cov = hits / (n * n)
                c = colour((py + 0.5) / size)
                # Paint over what is there ("over" with straight alpha).
                na = cov + a * (1 - cov)
                r = (c[0] * cov + r * a * (1 - cov)) / na
                g = (c[1] * cov + g * a * (1 - cov)) / na
                b = (c[2] * cov + b * a * (1 - cov)) / na
                a = na
            row.append((round(r), round(g), round(b), round(a * 255)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# The version box's two frames. The box paints pure blue in its panel colour;
# edges that are partly transparent are mixed with the panel's usual colour
# here, since a bitmap with one key colour has no alpha.

FRAME_SIZE = 64
FRAME_KEY = (0, 0, 255)
PANEL = (0xF1, 0xFF, 0xBF)  # the box's BackColor 0xBFFFF1, as red, green, blue


def version_frames():
    """RGB rows of the two frames side by side, top row first."""
    frames = [render_icon(FRAME_SIZE, lit) for lit in (False, True)]
    rows = []
    for y in range(FRAME_SIZE):
        row = []
        for frame in frames:
            for r, g, b, a in frame[y]:
                p = mix(PANEL, (r, g, b), a / 255)
                # A drawn pixel must never read as the key colour.
                row.append(FRAME_KEY if a == 0 else (p if p != FRAME_KEY else (0, 0, 254)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# File formats.


def bmp_24(rows):
    """A bottom-up 24-bit BMP; rows are RGB tuples, top row first."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        pixels += line + bytes(stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    return file_header + header + pixels


def png(rows, alpha):
    """A PNG of RGB or RGBA tuples, top row first."""
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + b"".join(bytes(p[:4] if alpha else p[:3]) for p in row) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico_bitmap(rows):
    """An icon image as BITMAPINFOHEADER + 32-bit BGRA + AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def ico(images):
    """images: {size: RGBA rows}. 256 is stored as PNG, as Vista and later expect."""
    blobs = [(size, png(rows, alpha=True) if size >= 256 else ico_bitmap(rows))
             for size, rows in sorted(images.items())]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, blob in blobs)


# ---------------------------------------------------------------------------
# Preview: every glyph at 4x on a button face and on white with its number,
# the strip at its real size, and the icon sizes on three backgrounds.

DIGITS = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"],
    "3": ["###", "..#", ".##", "..#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "5": ["###", "#..", "###", "..#", "###"],
    "6": ["###", "#..", "###", "#.#", "###"],
    "7": ["###", "..#", ".#.", ".#.", ".#."],
    "8": ["###", "#.#", "###", "#.#", "###"],
    "9": ["###", "#.#", "###", "..#", "###"],
}
BUTTON_FACE = (212, 208, 200)
MODERN_FACE = (240, 240, 240)


class Sheet:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.rows = [[colour] * w for _ in range(h)]

    def fill(self, x0, y0, w, h, colour):
        for y in range(max(0, y0), min(self.h, y0 + h)):
            for x in range(max(0, x0), min(self.w, x0 + w)):
                self.rows[y][x] = colour

    def glyph(self, x0, y0, px, scale, background):
        for y in range(GLYPH):
            for x in range(GLYPH):
                self.fill(x0 + x * scale, y0 + y * scale, scale, scale, px[y][x] or background)

    def rgba(self, x0, y0, rows, background):
        for y, row in enumerate(rows):
            for x, (r, g, b, a) in enumerate(row):
                t = a / 255
                self.rows[y0 + y][x0 + x] = mix(background, (r, g, b), t)

    def number(self, x0, y0, n, scale=2):
        for i, ch in enumerate(str(n)):
            for y, line in enumerate(DIGITS[ch]):
                for x, c in enumerate(line):
                    if c == "#":
                        self.fill(x0 + (i * 4 + x) * scale, y0 + y * scale, scale, scale, (0, 0, 0))


def preview(glyphs, icons, frames):
    cols, scale = 6, 4
    cell_w, cell_h = 2 * GLYPH * scale + 36, GLYPH * scale + 8
    grid_rows = (len(glyphs) + cols - 1) // cols
    strip_y = grid_rows * cell_h + 8
    icon_y = strip_y + 3 * (GLYPH + 4) + 8
    width = max(cols * cell_w, 3 * (256 + 8) + 8)
    frames_y = icon_y + 3 * (48 + 8) + 256 + 24
    height = frames_y + 2 * FRAME_SIZE + 8
    sheet = Sheet(width, height, (255, 255, 255))
    sheet.fill(0, 0, width, strip_y - 4, (250, 250, 250))
    for i, px in enumerate(glyphs):
        x, y = (i % cols) * cell_w, (i // cols) * cell_h
        sheet.number(x + 2, y + 4, i)
        sheet.glyph(x + 28, y + 4, px, scale, BUTTON_FACE)
        sheet.glyph(x + 28 + GLYPH * scale, y + 4, px, scale, (255, 255, 255))
    for row, face in enumerate((BUTTON_FACE, MODERN_FACE, (255, 255, 255))):
        sheet.fill(0, strip_y + row * (GLYPH + 4), len(glyphs) * (GLYPH + 4) + 4, GLYPH + 4, face)
        for i, px in enumerate(glyphs):
            sheet.glyph(4 + i * (GLYPH + 4), strip_y + row * (GLYPH + 4) + 2, px, 1, face)
    backgrounds = (MODERN_FACE, (255, 255, 255), (32, 40, 56))
    for row, bg in enumerate(backgrounds):
        y = icon_y + row * (48 + 8)
        sheet.fill(0, y, 140, 56, bg)
        x = 4
        for size in (16, 32, 48):
            sheet.rgba(x, y + 4, icons[size], bg)
            x += size + 8
    y = icon_y + 3 * (48 + 8) + 8
    for i, bg in enumerate(backgrounds):
        sheet.fill(8 + i * 264, y, 256, 256, bg)
        sheet.rgba(8 + i * 264, y, icons[256], bg)
    for y, row in enumerate(frames):  # at twice their size, key colour as it is stored
        for x, p in enumerate(row):
            sheet.fill(8 + 2 * x, frames_y + 2 * y, 2, 2, p)
    return png(sheet.rows, alpha=False)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    resources = os.path.join(here, "..", "resources")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", help="also write a large PNG of every picture here")
    args = parser.parse_args()

    glyphs = draw_glyphs()
    strip = [[glyphs[i][y][x] or TRANSPARENT for i in range(len(glyphs)) for x in range(GLYPH)]
             for y in range(GLYPH)]
    with open(os.path.join(resources, "glyphs.bmp"), "wb") as f:
        f.write(bmp_24(strip))

    icons = {size: render_icon(size) for size in (16, 32, 48, 256)}
    with open(os.path.join(resources, "orvela.ico"), "wb") as f:
        f.write(ico(icons))

    frames = version_frames()
    with open(os.path.join(resources, "version_frames.bmp"), "wb") as f:
        f.write(bmp_24(frames))

    if args.preview:
        os.makedirs(os.path.dirname(os.path.abspath(args.preview)), exist_ok=True)
        with open(args.preview, "wb") as f:
            f.write(preview(glyphs, icons, frames))


if __name__ == "__main__":
    main()
