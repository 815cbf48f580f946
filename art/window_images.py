"""Images of the main window frame: the navigation icons and the system-button strips."""

from painter import Canvas, WHITE

ICON_SIZE = 24
ICON_STROKE = 1.8
# Unselected entries sit back in a muted lavender; the selected one is plain white.
STAY = (150, 143, 196)
SELECT = WHITE


def _home(c, colour):
    c.stroke([(3.5, 11.5), (12, 4), (20.5, 11.5)], ICON_STROKE, colour)
    c.stroke([(6, 10), (6, 20), (18, 20), (18, 10)], ICON_STROKE, colour)
    c.rounded_rect(10.2, 14, 13.8, 20.5, 1, colour)


def _video(c, colour):
    c.rounded_frame(3, 5, 21, 19, 3, ICON_STROKE, colour)
    c.polygon([(10, 8.8), (10, 15.2), (15.4, 12)], colour)


def _image(c, colour):
    c.rounded_frame(3, 4.5, 21, 19.5, 3, ICON_STROKE, colour)
    c.circle(15.5, 9.3, 1.8, colour)
    c.polygon([(5, 17.6), (9.5, 11.2), (13, 15.2), (15, 13.2), (19, 17.6)], colour)


def _document(c, colour):
    c.stroke([(14, 3.5), (6.5, 3.5), (6.5, 20.5), (17.5, 20.5), (17.5, 7), (14, 3.5)], ICON_STROKE, colour)
    c.stroke([(13.8, 3.8), (13.8, 7.2), (17.2, 7.2)], ICON_STROKE * 0.8, colour)
    for y in (11, 14, 17):
        c.stroke([(9.3, y), (14.7, y)], ICON_STROKE * 0.8, colour)


def _sparkle(c, colour, cx, cy, r):
    k = r * 0.28
    c.polygon([(cx, cy - r), (cx + k, cy - k), (cx + r, cy), (cx + k, cy + k),
               (cx, cy + r), (cx - k, cy + k), (cx - r, cy), (cx - k, cy - k)], colour)


def _ai(c, colour):
    _sparkle(c, colour, 10.5, 13, 8)
    _sparkle(c, colour, 18.5, 6, 3.6)
    _sparkle(c, colour, 19, 18.5, 2.4)


def _more(c, colour):
    for x, y in ((4, 4), (13.5, 4), (4, 13.5)):
        c.rounded_frame(x, y, x + 6.5, y + 6.5, 2, ICON_STROKE, colour)
    c.stroke([(16.75, 14), (16.75, 19.5)], ICON_STROKE, colour)
    c.stroke([(14, 16.75), (19.5, 16.75)], ICON_STROKE, colour)


def _gather(c, colour):
    c.stroke([(3.5, 8), (3.5, 5), (9.5, 5), (11.5, 7.5), (20.5, 7.5), (20.5, 8)], ICON_STROKE, colour)
    c.rounded_frame(2.6, 8.5, 21.4, 20, 2, ICON_STROKE, colour)
    c.stroke([(8.5, 14.2), (15.5, 14.2)], ICON_STROKE, colour)


NAVIGATION_ICONS = {
    "home": _home,
    "edit_video": _video,
    "edit_image": _image,
    "edit_pdf": _document,
    "edit_ai": _ai,
    "edit_more": _more,
    "edit_gather": _gather,
}


def navigation_icon(draw, colour):
    c = Canvas(ICON_SIZE, ICON_SIZE, scale=8)
    draw(c, colour)
    return c.result()


# System buttons: each strip holds the states normal, mouse over and pressed side by side at
# the x offsets the main window cuts them from; the strips are 26 pixels high.
STRIP_HEIGHT = 26
SYSTEM_BUTTONS = {
    "menu": ((0, 29, 58), 28),
    "min": ((0, 26, 52), 25),
    "max": ((0, 32, 64), 31),
    "close": ((0, 34, 68), 31),
}
GLYPH_NORMAL = (206, 201, 236)
HOVER_FILL = (255, 255, 255, 34)
PRESSED_FILL = (255, 255, 255, 18)
CLOSE_HOVER = (232, 64, 84)
CLOSE_PRESSED = (190, 44, 64)


def _glyph(c, kind, cx, colour):
    """Glyph centred on column cx; straight edges lie on whole pixels so they stay crisp."""
    cy = STRIP_HEIGHT // 2
    if kind == "menu":
        for y in (cy - 4, cy, cy + 4):
            c.rect(cx - 6, y, cx + 6, y + 1, colour)
    elif kind == "min":
        c.rect(cx - 5, cy, cx + 5, cy + 1, colour)
    elif kind == "max":
        c.rounded_frame(cx - 5, cy - 5, cx + 5, cy + 5, 1.5, 1, colour)
    else:
        c.stroke([(cx - 4.5, cy - 4.5), (cx + 4.5, cy + 4.5)], 1.3, colour)
        c.stroke([(cx - 4.5, cy + 4.5), (cx + 4.5, cy - 4.5)], 1.3, colour)


def system_button_strip(kind):
    offsets, width = SYSTEM_BUTTONS[kind]
    c = Canvas(offsets[-1] + width, STRIP_HEIGHT)
    states = (None, "hover", "pressed")
    for x, state in zip(offsets, states):
        glyph = GLYPH_NORMAL
        if state and kind == "close":
            c.rounded_rect(x, 0, x + width, STRIP_HEIGHT, 4, CLOSE_HOVER if state == "hover" else CLOSE_PRESSED)
            glyph = WHITE
        elif state:
            c.rounded_rect(x, 0, x + width, STRIP_HEIGHT, 4, HOVER_FILL if state == "hover" else PRESSED_FILL)
            glyph = WHITE if state == "hover" else (178, 172, 214)
        _glyph(c, kind, x + width // 2, glyph)
    return c.result()


def write_all(out_dir, save):
    for name, draw in NAVIGATION_ICONS.items():
        save(navigation_icon(draw, STAY), out_dir / f"{name}_stay.png")
        save(navigation_icon(draw, SELECT), out_dir / f"{name}_select.png")
    for kind in SYSTEM_BUTTONS:
        save(system_button_strip(kind), out_dir / "systembutton" / f"imagelist.systembutton.{kind}.png")
