"""Supersampled drawing surface shared by every image of the run directory.

Shapes are drawn at `scale` times the final size and box-filtered down, which gives clean
anti-aliased edges; coordinates are always given in final pixels. Text is drawn after the
reduction, at its real size, so FreeType's own anti-aliasing keeps small Chinese labels sharp.
"""

import math

from PIL import Image, ImageDraw, ImageFont

FONT_PATH = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# Window theme: the panel fills and the text colour the launcher's layouts use.
THEME_BACKGROUND = (30, 27, 68)
THEME_PANEL = (38, 29, 71)
THEME_SELECTED = (39, 31, 68)
WHITE = (255, 255, 255)

_fonts = {}


def font(size):
    if size not in _fonts:
        _fonts[size] = ImageFont.truetype(FONT_PATH, size)
    return _fonts[size]


def rgba(colour, alpha=255):
    return tuple(colour[:3]) + (int(round(alpha)),)


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1), per channel, alpha included when both have it."""
    t = min(1.0, max(0.0, t))
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def ease_out(t):
    t = min(1.0, max(0.0, t))
    return 1 - (1 - t) ** 3


def ease_in_out(t):
    t = min(1.0, max(0.0, t))
    return 3 * t * t - 2 * t * t * t


def clamp01(t):
    return min(1.0, max(0.0, t))


class Canvas:
    def __init__(self, width, height, scale=4):
        self.width = width
        self.height = height
        self.scale = scale
        self.image = Image.new("RGBA", (width * scale, height * scale), (0, 0, 0, 0))
        self._texts = []

    # -- geometry helpers -------------------------------------------------------------------
    def _p(self, v):
        return v * self.scale

    def _box(self, x0, y0, x1, y1):
        s = self.scale
        return [x0 * s, y0 * s, x1 * s - 1, y1 * s - 1]

    def _layer(self):
        return Image.new("RGBA", self.image.size, (0, 0, 0, 0))

    def _put(self, layer, opacity=1.0):
        if opacity < 1.0:
            alpha = layer.getchannel("A").point(lambda a: int(a * opacity + 0.5))
            layer.putalpha(alpha)
        self.image = Image.alpha_composite(self.image, layer)

    def _mask(self):
        return Image.new("L", self.image.size, 0)

    def _paint(self, mask, fill, opacity=1.0):
        """Composites `fill` (a colour or a full-size RGBA image) through the shape `mask`."""
        if isinstance(fill, Image.Image):
            layer = fill.copy()
            layer.putalpha(Image.composite(fill.getchannel("A"), self._mask(), mask))
        else:
            layer = Image.new("RGBA", self.image.size, rgba(fill, 0))
            layer.putalpha(mask.point(lambda a: a * (fill[3] if len(fill) > 3 else 255) // 255))
        self._put(layer, opacity)

    # -- fills ------------------------------------------------------------------------------
    def vertical_gradient(self, top, bottom):
        """A full-size RGBA image running from `top` to `bottom`, for use as a fill."""
        h = self.image.size[1]
        column = Image.new("RGBA", (1, h))
        for y in range(h):
            column.putpixel((0, y), rgba(mix(top, bottom, y / max(1, h - 1))))
        return column.resize(self.image.size)

    # -- shapes -----------------------------------------------------------------------------
    def rounded_rect(self, x0, y0, x1, y1, radius, fill, opacity=1.0):
        mask = self._mask()
        ImageDraw.Draw(mask).rounded_rectangle(self._box(x0, y0, x1, y1), self._p(radius), fill=255)
        self._paint(mask, fill, opacity)

    def rounded_frame(self, x0, y0, x1, y1, radius, width, fill, opacity=1.0):
        mask = self._mask()
        ImageDraw.Draw(mask).rounded_rectangle(
            self._box(x0, y0, x1, y1), self._p(radius), outline=255, width=max(1, round(self._p(width))))
        self._paint(mask, fill, opacity)

    def rect(self, x0, y0, x1, y1, fill, opacity=1.0):
        mask = self._mask()
        ImageDraw.Draw(mask).rectangle(self._box(x0, y0, x1, y1), fill=255)
        self._paint(mask, fill, opacity)

    def circle(self, cx, cy, r, fill, opacity=1.0):
        if r <= 0:
            return
        mask = self._mask()
        s = self.scale
        ImageDraw.Draw(mask).ellipse([(cx - r) * s, (cy - r) * s, (cx + r) * s - 1, (cy + r) * s - 1], fill=255)
        self._paint(mask, fill, opacity)

    def ring(self, cx, cy, outer, inner, fill, opacity=1.0):
        if outer <= 0 or outer <= inner:
            return
        mask = self._mask()
        d = ImageDraw.Draw(mask)
        s = self.scale
        d.ellipse([(cx - outer) * s, (cy - outer) * s, (cx + outer) * s - 1, (cy + outer) * s - 1], fill=255)
        if inner > 0:
            d.ellipse([(cx - inner) * s, (cy - inner) * s, (cx + inner) * s - 1, (cy + inner) * s - 1], fill=0)
        self._paint(mask, fill, opacity)

    def arc(self, cx, cy, r, width, start_deg, sweep_deg, fill, opacity=1.0):
        """A stroke of `width` along the circle of radius `r` (centre line), clockwise from
        `start_deg` (0 = three o'clock, -90 = twelve), with round caps."""
        if sweep_deg <= 0:
            return
        mask = self._mask()
        d = ImageDraw.Draw(mask)
        s = self.scale
        outer = r + width / 2
        d.arc([(cx - outer) * s, (cy - outer) * s, (cx + outer) * s - 1, (cy + outer) * s - 1],
              start_deg, start_deg + sweep_deg, fill=255, width=max(1, round(width * s)))
        for angle in (start_deg, start_deg + sweep_deg):
            a = math.radians(angle)
            ex, ey = cx + r * math.cos(a), cy + r * math.sin(a)
            d.ellipse([(ex - width / 2) * s, (ey - width / 2) * s, (ex + width / 2) * s, (ey + width / 2) * s],
                      fill=255)
        self._paint(mask, fill, opacity)

    def polygon(self, points, fill, opacity=1.0):
        mask = self._mask()
        ImageDraw.Draw(mask).polygon([(x * self.scale, y * self.scale) for x, y in points], fill=255)
        self._paint(mask, fill, opacity)

    def stroke(self, points, width, fill, opacity=1.0, closed=False):
        """A polyline with round joins and caps."""
        mask = self._mask()
        d = ImageDraw.Draw(mask)
        s = self.scale
        pts = [(x * s, y * s) for x, y in points]
        if closed:
            pts.append(pts[0])
        w = max(1, round(width * s))
        d.line(pts, fill=255, width=w)
        for x, y in pts:
            d.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=255)
        self._paint(mask, fill, opacity)

    def partial_stroke(self, points, width, fill, fraction, opacity=1.0):
        """The first `fraction` (by length) of a polyline; used to draw a stroke being written."""
        lengths = [math.dist(a, b) for a, b in zip(points, points[1:])]
        remaining = sum(lengths) * clamp01(fraction)
        if remaining <= 0:
            return
        out = [points[0]]
        for (a, b), seg in zip(zip(points, points[1:]), lengths):
            if remaining >= seg:
                out.append(b)
                remaining -= seg
                continue
            t = remaining / seg if seg else 0
            out.append((a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t))
            break
        self.stroke(out, width, fill, opacity)

    # -- text -------------------------------------------------------------------------------
    def text(self, cx, cy, content, size, fill, max_width=None, shadow=None):
        """Centres `content` on (cx, cy) at its real pixel size, shrinking it to fit `max_width`."""
        self._texts.append((cx, cy, content, size, fill, max_width, shadow))

    def _draw_texts(self, image):
        for cx, cy, content, size, fill, max_width, shadow in self._texts:
            if len(fill) > 3 and fill[3] <= 0:
                continue
            while max_width and size > 8 and font(size).getlength(content) > max_width:
                size -= 1
            f = font(size)
            x0, y0, x1, y1 = f.getbbox(content)
            x = cx - (x1 - x0) / 2 - x0
            y = cy - (y1 - y0) / 2 - y0
            layer = Image.new("RGBA", image.size, (0, 0, 0, 0))
            d = ImageDraw.Draw(layer)
            if shadow:
                d.text((round(x), round(y) + 1), content, font=f, fill=shadow)
                image = Image.alpha_composite(image, layer)
                layer = Image.new("RGBA", image.size, (0, 0, 0, 0))
                d = ImageDraw.Draw(layer)
            d.text((round(x), round(y)), content, font=f, fill=rgba(fill, fill[3] if len(fill) > 3 else 255))
            image = Image.alpha_composite(image, layer)
        return image

    # -- output -----------------------------------------------------------------------------
    def result(self):
        image = self.image.resize((self.width, self.height), Image.Resampling.BOX)
        return self._draw_texts(image)


def save_png(image, path):
    """Writes a PNG with no time stamp or other varying chunk, so equal pixels give equal bytes."""
    path.parent.mkdir(parents=True, exist_ok=True)
    image.save(path, format="PNG", optimize=False, compress_level=9)
