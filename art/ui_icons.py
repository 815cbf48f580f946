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


def search():
    c = Canvas(20, 20, scale=8)
    c.ring(8.5, 8.5, 6.4, 4.7, LIGHT)
    c.stroke([(13, 13), (17.5, 17.5)], 2.2, LIGHT)
    return c.result()


def bell():
    c = Canvas(20, 20, scale=8)
    c.stroke([(4.5, 14.5), (5.5, 12.5), (5.5, 8.5), (7, 5.2), (10, 3.8), (13, 5.2), (14.5, 8.5), (14.5, 12.5),
              (15.5, 14.5), (4.5, 14.5)], 1.6, LIGHT, closed=True)
    c.circle(10, 16.8, 1.7, LIGHT)
    c.circle(15.2, 4.8, 2.6, (232, 64, 84))
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


ICONS = {
    "star_off": lambda: star(False),
    "star_on": lambda: star(True),
    "search": search,
    "bell": bell,
    "back": back,
    "logo": logo,
    "weather": weather,
}


def write_all(out_dir, save):
    for name, draw in ICONS.items():
        save(draw(), out_dir / "ui" / f"{name}.png")
