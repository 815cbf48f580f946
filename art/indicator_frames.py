"""The card's download/open indicator: Download_1.png .. Download_95.png, 48 x 48.

Frame 1 is the resting button. 1-20 turn the button into an empty progress ring, 20-60 fill
the ring (frame 20 + k shows k / 40 of it and the lowest whole percentage that maps to that
frame), 61-95 light the ring up, fill it and write a check mark. Opening an installed tool
plays 1-24 and then 63-95, so the finish frames start from a ring that is already turning
solid and never depend on how full it was.
"""

import math

from painter import Canvas, WHITE, clamp01, ease_in_out, ease_out, mix, rgba

SIZE = 48
CX = CY = 24
BUTTON_RADIUS = 20
RING_OUTER = 21
RING_WIDTH = 4.5
RING_INNER = RING_OUTER - RING_WIDTH

ACCENT_TOP = (146, 114, 255)
ACCENT_BOTTOM = (104, 72, 236)
TRACK = (255, 255, 255, 46)
ARC = (176, 150, 255)
DONE_TOP = (64, 214, 150)
DONE_BOTTOM = (30, 170, 112)

FIRST_PROGRESS = 20
LAST_PROGRESS = 60
LAST_FRAME = 95


def progress_label(n):
    """Lowest whole percentage p with 20 + floor(p / 2.5) == n."""
    return math.ceil((n - FIRST_PROGRESS) * 2.5)


def _arrow(c, dy, opacity):
    """Download arrow into a tray, white, moved down by dy."""
    if opacity <= 0:
        return
    c.stroke([(24, 12.5 + dy), (24, 26 + dy)], 3, WHITE, opacity)
    c.stroke([(18.5, 21 + dy), (24, 26.5 + dy), (29.5, 21 + dy)], 3, WHITE, opacity)
    c.stroke([(15.5, 28.5), (15.5, 32.5), (32.5, 32.5), (32.5, 28.5)], 2.6, WHITE, opacity)


def _button(c, radius, top, bottom):
    c.circle(CX, CY, radius, c.vertical_gradient(top, bottom))


def start_frame(n):
    """Frames 1-20: the button lets its arrow drop and hollows out into the empty ring."""
    c = Canvas(SIZE, SIZE)
    t = (n - 1) / (FIRST_PROGRESS - 1)
    hollow = ease_in_out((t - 0.25) / 0.75)
    outer = BUTTON_RADIUS + (RING_OUTER - BUTTON_RADIUS) * hollow
    inner = RING_INNER * hollow
    # The solid colour fades into the track colour while the centre opens.
    c.ring(CX, CY, outer, inner, TRACK)
    c.ring(CX, CY, outer, inner, c.vertical_gradient(ACCENT_TOP, ACCENT_BOTTOM), opacity=1 - hollow)
    drop = ease_out(t / 0.45)
    _arrow(c, 9 * drop, 1 - drop)
    label_alpha = 255 * clamp01((t - 0.65) / 0.35)
    c.text(CX, CY, "0%", 12, rgba(WHITE, label_alpha))
    return c.result()


def progress_frame(n):
    """Frames 20-60: the ring with (n - 20) / 40 of it filled and the percentage inside."""
    c = Canvas(SIZE, SIZE)
    mid = RING_OUTER - RING_WIDTH / 2
    c.ring(CX, CY, RING_OUTER, RING_INNER, TRACK)
    fraction = (n - FIRST_PROGRESS) / (LAST_PROGRESS - FIRST_PROGRESS)
    if fraction >= 1:
        c.ring(CX, CY, RING_OUTER, RING_INNER, ARC)
    else:
        # The round caps reach past the arc's ends; start and scale the arc so that the caps
        # begin at twelve o'clock and only a complete download closes the ring.
        cap = math.degrees(RING_WIDTH / 2 / mid)
        c.arc(CX, CY, mid, RING_WIDTH, -90 + cap, fraction * (360 - 2 * cap), ARC)
    c.text(CX, CY, f"{progress_label(n)}%", 12, WHITE, max_width=2 * RING_INNER - 6)
    return c.result()


CHECK = [(15.5, 24.5), (21.5, 30.5), (33, 18.5)]


def finish_frame(n):
    """Frames 61-95: the ring turns green, fills into a disc and a check mark is written."""
    c = Canvas(SIZE, SIZE)
    k = n - LAST_PROGRESS  # 1 .. 35
    solid = clamp01(k / 6)
    fill = ease_out((k - 4) / 11)
    tick = ease_in_out((k - 11) / 13)
    pulse = math.sin(math.pi * clamp01((k - 23) / 12))
    outer = RING_OUTER - (RING_OUTER - BUTTON_RADIUS) * clamp01((k - 23) / 12) + 1.2 * pulse
    inner = RING_INNER * (1 - fill)
    mid = RING_OUTER - RING_WIDTH / 2
    if solid < 1:
        c.ring(CX, CY, RING_OUTER, RING_INNER, TRACK, opacity=1 - solid)
        c.arc(CX, CY, mid, RING_WIDTH, -90, 360, ARC, opacity=1 - solid)
    c.ring(CX, CY, outer, inner, c.vertical_gradient(DONE_TOP, DONE_BOTTOM), opacity=solid)
    c.text(CX, CY, "100%", 12, rgba(WHITE, 255 * clamp01(1 - k / 3)), max_width=2 * RING_INNER - 6)
    c.partial_stroke(CHECK, 3.2, WHITE, tick)
    return c.result()


def frame(n):
    if n < FIRST_PROGRESS:
        return start_frame(n)
    if n <= LAST_PROGRESS:
        return progress_frame(n)
    return finish_frame(n)


def write_all(out_dir, save):
    for n in range(1, LAST_FRAME + 1):
        save(frame(n), out_dir / "download" / f"Download_{n}.png")
