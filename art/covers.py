"""Cover tiles of the catalogue: a rounded tile in the category's colour with a white tool
glyph, a small action badge and the tool's Chinese name."""

import math

from painter import Canvas, WHITE, font, rgba

# Drawn at the size the card and the home panel show it (92 x 92), so neither the tile nor its
# caption is ever rescaled on screen; the layout is designed on a 120-unit tile scaled by K.
COVER_SIZE = 92
K = COVER_SIZE / 120
TILE_RADIUS = 24 * K
NAME_SIZE = 13
NAME_Y = 97 * K

# Top and bottom colour of each category's tile; unknown keys fall back to "more".
CATEGORY_COLOURS = {
    "video": ((255, 128, 96), (232, 72, 98)),
    "image": ((52, 204, 188), (22, 144, 166)),
    "effice": ((92, 150, 255), (60, 92, 232)),
    "ocr": ((176, 120, 255), (118, 74, 230)),
    "more": ((255, 190, 84), (238, 134, 44)),
    "gather": ((84, 208, 128), (30, 152, 102)),
}

# The glyph's 48-unit box, magnified to GLYPH_SCALE and centred above the name.
GLYPH_SCALE = 1.2 * K
GX = COVER_SIZE / 2 - 24 * GLYPH_SCALE
GY = 13 * K


class Glyph:
    """Draws in a 48-unit glyph box, magnified by k, whose origin lies at (ox, oy)."""

    def __init__(self, canvas, ox, oy, accent, k=1.0):
        self.c = canvas
        self.ox = ox
        self.oy = oy
        self.accent = accent
        self.k = k

    def p(self, x, y):
        return (self.ox + x * self.k, self.oy + y * self.k)

    def pts(self, *points):
        return [self.p(x, y) for x, y in points]

    def frame(self, x0, y0, x1, y1, r, w, colour=WHITE, opacity=1.0):
        self.c.rounded_frame(*self.p(x0, y0), *self.p(x1, y1), r * self.k, w * self.k, colour, opacity)

    def box(self, x0, y0, x1, y1, r, colour=WHITE, opacity=1.0):
        self.c.rounded_rect(*self.p(x0, y0), *self.p(x1, y1), r * self.k, colour, opacity)

    def dot(self, x, y, r, colour=WHITE, opacity=1.0):
        self.c.circle(*self.p(x, y), r * self.k, colour, opacity)

    def ring(self, x, y, outer, inner, colour=WHITE, opacity=1.0):
        self.c.ring(*self.p(x, y), outer * self.k, inner * self.k, colour, opacity)

    def arc(self, x, y, r, width, start, sweep, colour=WHITE):
        self.c.arc(*self.p(x, y), r * self.k, width * self.k, start, sweep, colour)

    def line(self, width, *points, colour=WHITE, closed=False, opacity=1.0):
        self.c.stroke(self.pts(*points), width * self.k, colour, opacity, closed)

    def fill(self, *points, colour=WHITE, opacity=1.0):
        self.c.polygon(self.pts(*points), colour, opacity)

    def half_disc(self, cx, cy, r, colour=WHITE):
        """Upper half of a disc, flat side down (shoulders of a portrait)."""
        steps = 24
        points = [(cx + r * math.cos(math.pi + math.pi * i / steps), cy + r * math.sin(math.pi + math.pi * i / steps))
                  for i in range(steps + 1)]
        self.fill(*points, colour=colour)

    def label(self, x, y, text, size, colour):
        self.c.text(*self.p(x, y), text, round(size * self.k), colour)

    def text_width(self, text, size):
        return font(round(size * self.k)).getlength(text) / self.k


# -- main glyphs --------------------------------------------------------------------------------

def film(g, _):
    g.frame(3, 8, 45, 40, 7, 3.6)
    g.fill((19, 15.5), (19, 32.5), (32.5, 24))


def picture(g, _):
    g.frame(3, 7, 45, 41, 7, 3.6)
    g.dot(33, 17, 3.8)
    g.fill((8.5, 35.5), (18.5, 21.5), (26, 30), (31, 25), (39.5, 35.5))


def wave(g, _):
    for x, h in ((7, 8), (14, 20), (21, 32), (28, 24), (35, 14), (42, 6)):
        g.line(4, (x, 24 - h / 2), (x, 24 + h / 2))


def record(g, _):
    g.frame(3, 6, 45, 36, 6, 3.6)
    g.line(3.6, (16, 43), (32, 43))
    g.line(3.6, (24, 36), (24, 43))
    g.dot(24, 21, 7, colour=(255, 96, 96))
    g.ring(24, 21, 7, 5.4, opacity=0.9)


def person(g, _):
    g.frame(6, 3, 42, 45, 6, 3.4)
    g.dot(24, 19, 7)
    g.half_disc(24, 41.5, 12.5)


def document(g, label):
    g.line(3.4, (12, 4), (30, 4), (41, 15), (41, 44), (12, 44), closed=True)
    g.line(2.6, (30, 5), (30, 15), (40, 15))
    size = 12 if len(label) <= 2 else 11
    width = max(18, g.text_width(label, size) + 9)
    g.box(27 - width, 24, 27, 38, 3.5)
    g.label(27 - width / 2, 31, label, size, g.accent)


def scan(g, _):
    arm = 10
    for (x, y), (dx, dy) in (((5, 5), (1, 1)), ((43, 5), (-1, 1)), ((5, 43), (1, -1)), ((43, 43), (-1, -1))):
        g.line(3.6, (x, y + dy * arm), (x, y), (x + dx * arm, y))
    g.line(3.2, (15, 17), (33, 17))
    g.line(3.2, (15, 24), (33, 24))
    g.line(3.2, (15, 31), (27, 31))


def card(g, _):
    g.frame(2, 9, 46, 39, 5, 3.4)
    g.dot(14.5, 20, 4)
    g.half_disc(14.5, 32.5, 7)
    g.line(3, (25, 18), (39, 18))
    g.line(3, (25, 24.5), (39, 24.5))
    g.line(3, (25, 31), (34, 31))


def translate(g, _):
    g.frame(3, 3, 30, 30, 5, 3)
    g.label(16.5, 16.5, "文", 17, WHITE)
    g.box(19, 19, 46, 46, 5)
    g.label(32.5, 32.5, "A", 18, g.accent)


def qr(g, _):
    for x, y in ((4, 4), (30, 4), (4, 30)):
        g.frame(x, y, x + 14, y + 14, 3, 3.2)
        g.box(x + 4.5, y + 4.5, x + 9.5, y + 9.5, 1)
    for x, y in ((31, 31), (38, 31), (31, 38), (38, 38), (23, 23), (23, 31), (34.5, 22.5), (23, 39)):
        g.box(x, y, x + 5, y + 5, 1)


def ruler(g, _):
    g.frame(2, 15, 46, 33, 3.5, 3.4)
    for i, x in enumerate((10, 17, 24, 31, 38)):
        g.line(2.6, (x, 16), (x, 22 if i % 2 else 25))


def swatch(g, _):
    g.dot(17, 18, 11)
    g.dot(31, 18, 11, opacity=0.75)
    g.dot(24, 30, 11, opacity=0.5)


def folder(g, _):
    g.fill((4, 12), (4, 9), (6, 7), (18, 7), (22, 12))
    g.box(3, 12, 45, 42, 5)
    g.line(3.4, (16, 27), (32, 27), colour=g.accent)


def font_glyph(g, _):
    g.label(24, 24, "Aa", 30, WHITE)


def icons(g, _):
    g.dot(13, 13, 8.5)
    g.box(27, 5, 43, 21, 4)
    g.fill((13, 27), (21.5, 42), (4.5, 42))
    cx, cy, r = 35, 35, 9
    g.fill(*[(cx + (r if i % 2 == 0 else r * 0.45) * math.cos(-math.pi / 2 + i * math.pi / 5),
              cy + (r if i % 2 == 0 else r * 0.45) * math.sin(-math.pi / 2 + i * math.pi / 5)) for i in range(10)])


GLYPHS = {
    "film": film, "picture": picture, "wave": wave, "record": record, "person": person,
    "doc": document, "scan": scan, "card": card, "translate": translate, "qr": qr,
    "ruler": ruler, "swatch": swatch, "folder": folder, "font": font_glyph, "icons": icons,
}


# -- action badges: a white disc at the glyph's lower right with a symbol in the tile colour ----

def _compress(b, col):
    b.line(2.2, (-5.5, 0), (5.5, 0), colour=col)
    b.line(2.2, (-3.5, -6.5), (0, -3.2), (3.5, -6.5), colour=col)
    b.line(2.2, (-3.5, 6.5), (0, 3.2), (3.5, 6.5), colour=col)


def _convert(b, col):
    b.line(2.2, (-5, -2.5), (5, -2.5), colour=col)
    b.line(2.2, (2, -5.5), (5, -2.5), (2, 0.5), colour=col)
    b.line(2.2, (5, 3), (-5, 3), colour=col)
    b.line(2.2, (-2, 0), (-5, 3), (-2, 6), colour=col)


def _cut(b, col):
    b.line(2, (-2.2, 1), (4, -6.5), colour=col)
    b.line(2, (2.2, 1), (-4, -6.5), colour=col)
    b.ring(-3, 3.6, 2.9, 1.5, col)
    b.ring(3, 3.6, 2.9, 1.5, col)


def _plus(b, col):
    b.line(2.6, (-5.5, 0), (5.5, 0), colour=col)
    b.line(2.6, (0, -5.5), (0, 5.5), colour=col)


def _erase(b, col):
    b.dot(0, 1.8, 4.4, colour=col)
    b.fill((-3.9, 0), (0, -7), (3.9, 0), colour=col)
    b.line(3.6, (-6, -6), (6, 6), colour=WHITE)
    b.line(1.8, (-6, -6), (6, 6), colour=col)


def _text(b, col):
    b.line(2.4, (-5, -5), (5, -5), colour=col)
    b.line(2.4, (0, -5), (0, 6), colour=col)


def _speed(b, col):
    b.line(2.3, (-5.5, -5), (-0.5, 0), (-5.5, 5), colour=col)
    b.line(2.3, (0.5, -5), (5.5, 0), (0.5, 5), colour=col)


def _resize(b, col):
    b.line(2.2, (-5, 5), (5, -5), colour=col)
    b.line(2.2, (-5, 0.5), (-5, 5), (-0.5, 5), colour=col)
    b.line(2.2, (0.5, -5), (5, -5), (5, -0.5), colour=col)


def _lock(b, col):
    b.box(-5.5, -1, 5.5, 6.5, 1.5, colour=col)
    b.arc(0, -2, 3.4, 2, 180, 180, col)
    b.line(2, (-3.4, -2), (-3.4, -0.5), colour=col)
    b.line(2, (3.4, -2), (3.4, -0.5), colour=col)


def _grid(b, col):
    b.frame(-6, -6, 6, 6, 1.5, 1.8, colour=col)
    b.line(1.6, (-2, -5.5), (-2, 5.5), colour=col)
    b.line(1.6, (2, -5.5), (2, 5.5), colour=col)
    b.line(1.6, (-5.5, -2), (5.5, -2), colour=col)
    b.line(1.6, (-5.5, 2), (5.5, 2), colour=col)


def _pen(b, col):
    b.line(3.4, (-3.5, 3.5), (4.5, -4.5), colour=col)
    b.fill((-5.8, 5.8), (-4.9, 2.1), (-2.1, 4.9), colour=col)


def _check(b, col):
    b.line(2.6, (-5, 0), (-1.5, 3.8), (5, -3.8), colour=col)


BADGES = {
    "compress": _compress, "convert": _convert, "cut": _cut, "plus": _plus, "erase": _erase,
    "text": _text, "speed": _speed, "resize": _resize, "lock": _lock, "grid": _grid, "pen": _pen,
    "check": _check,
}


def cover(category, name, glyph, badge):
    top, bottom = CATEGORY_COLOURS.get(category, CATEGORY_COLOURS["more"])
    c = Canvas(COVER_SIZE, COVER_SIZE)
    c.rounded_rect(0, 0, COVER_SIZE, COVER_SIZE, TILE_RADIUS, c.vertical_gradient(top, bottom))
    # A soft sheen over the upper half and a fine light rim make the tile read as a button.
    c.rounded_rect(0, 0, COVER_SIZE, COVER_SIZE / 2, TILE_RADIUS, WHITE, opacity=0.08)
    c.rounded_frame(0, 0, COVER_SIZE, COVER_SIZE, TILE_RADIUS, 1, WHITE, opacity=0.25)

    kind, _, label = glyph.partition(":")
    glyph_box = Glyph(c, GX, GY, bottom, GLYPH_SCALE)
    GLYPHS[kind](glyph_box, label)
    if badge in BADGES:
        bx, by = glyph_box.p(44, 42)
        badge_box = Glyph(c, bx, by, bottom, GLYPH_SCALE)
        badge_box.dot(0, 0, 13, bottom)
        badge_box.dot(0, 0, 11)
        BADGES[badge](badge_box, bottom)
    c.text(COVER_SIZE / 2, NAME_Y, name, NAME_SIZE, WHITE, max_width=COVER_SIZE - 10, shadow=rgba((0, 0, 0), 90))
    return c.result()
