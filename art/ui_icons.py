"""Small icons of the main window's own controls: favourite star, search, notifications, back,
the product mark and the weather badge. They sit on the dark purple theme, so they are drawn in
light tones."""

import math

from painter import Canvas, WHITE

LIGHT = (206, 201, 236)
GOLD = (255, 196, 61)
ACCENT = (124, 98, 236)


def _star_points(cx, cy, outer, inner):
    points = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = math.radians(-90 + i * 36)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def star(filled):
    c = Canvas(22, 22, scale=8)
    points = _star_points(11, 11.6, 9.2, 3.9)
    if filled:
        c.polygon(points, GOLD)
    else:
        c.stroke(points, 1.5, LIGHT, closed=True)
    return c.result()


def _search(c, ox, oy, colour=LIGHT):
    c.ring(ox + 8.5, oy + 8.5, 6.4, 4.7, colour)
    c.stroke([(ox + 13, oy + 13), (ox + 17.5, oy + 17.5)], 2.2, colour)


def _bell(c, ox, oy, colour=LIGHT):
    outline = [(4.5, 14.5), (5.5, 12.5), (5.5, 8.5), (7, 5.2), (10, 3.8), (13, 5.2), (14.5, 8.5), (14.5, 12.5),
               (15.5, 14.5), (4.5, 14.5)]
    c.stroke([(ox + x, oy + y) for x, y in outline], 1.6, colour, closed=True)
    c.circle(ox + 10, oy + 16.8, 1.7, colour)
    c.circle(ox + 15.2, oy + 4.8, 2.6, (232, 64, 84))


def search():
    c = Canvas(20, 20, scale=8)
    _search(c, 0, 0)
    return c.result()


def bell():
    c = Canvas(20, 20, scale=8)
    _bell(c, 0, 0)
    return c.result()


# Icon buttons of the top bar, one picture per state at the button's own size: the icon stays
# in every state and a rounded plate behind it answers the pointer (lighter under the mouse,
# deeper while pressed), so the picture is never stretched or lost.
PLATE = {"normal": None, "stay": 0.14, "down": 0.24}


def icon_button(size, draw, state):
    c = Canvas(size, size, scale=8)
    if PLATE[state]:
        c.rounded_rect(0, 0, size, size, 8, WHITE, opacity=PLATE[state])
    offset = (size - 20) / 2
    draw(c, offset, offset + (0.5 if state == "down" else 0), WHITE if state != "normal" else LIGHT)
    return c.result()


def back():
    c = Canvas(20, 20, scale=8)
    c.stroke([(12.5, 4.5), (6.5, 10), (12.5, 15.5)], 2.0, LIGHT)
    return c.result()


def logo():
    c = Canvas(30, 30, scale=8)
    c.rounded_rect(1, 1, 29, 29, 8, ACCENT)
    for i, y in enumerate((9, 15, 21)):
        c.rounded_rect(8, y - 1.6, 22 - i * 4, y + 1.6, 1.6, WHITE)
    return c.result()


def weather():
    c = Canvas(56, 56, scale=6)
    c.circle(21, 21, 10, GOLD)
    for i in range(8):
        a = math.radians(i * 45)
        c.stroke([(21 + 13 * math.cos(a), 21 + 13 * math.sin(a)), (21 + 16.5 * math.cos(a), 21 + 16.5 * math.sin(a))],
                 2.4, GOLD)
    cloud = (238, 236, 250)
    c.circle(27, 36, 9, cloud)
    c.circle(37, 32, 11, cloud)
    c.circle(45, 38, 7, cloud)
    c.rounded_rect(20, 36, 50, 45, 4.5, cloud)
    return c.result()


def indicator_halo():
    """Behind a card's 48-pixel indicator while the pointer is on it: a soft lit ring."""
    c = Canvas(60, 60, scale=6)
    for i in range(6):
        c.circle(30, 30, 29.5 - i, WHITE, opacity=0.035)
    c.ring(30, 30, 26.5, 25.2, WHITE, opacity=0.45)
    return c.result()


ICONS = {
    "star_off": lambda: star(False),
    "star_on": lambda: star(True),
    "search": search,
    "bell": bell,
    "back": back,
    "logo": logo,
    "weather": weather,
    "indicator_halo": indicator_halo,
}


BUTTONS = {"search_button": (30, _search), "bell_button": (34, _bell)}


def write_all(out_dir, save):
    for name, draw in ICONS.items():
        save(draw(), out_dir / "ui" / f"{name}.png")
    for name, (size, draw) in BUTTONS.items():
        for state in PLATE:
            save(icon_button(size, draw, state), out_dir / "ui" / f"{name}_{state}.png")
