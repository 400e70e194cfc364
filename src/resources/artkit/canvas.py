"""An RGBA canvas that paints shapes with supersampled edges.

Colours are kept as floats, un-premultiplied, so a pixel at the rim of a shape keeps the shape's own
colour and only its coverage (alpha) is partial; icon masks are cut from that coverage later.
"""


class Canvas:
    def __init__(self, width, height, background=None):
        """background is an (r, g, b) tuple for an opaque canvas, or None for a transparent one."""
        self.width = width
        self.height = height
        count = width * height
        base = background if background is not None else (0, 0, 0)
        self.red = [float(base[0])] * count
        self.green = [float(base[1])] * count
        self.blue = [float(base[2])] * count
        self.alpha = [1.0 if background is not None else 0.0] * count

    def paint(self, shape, colour, samples=4):
        """Lays colour over every pixel the shape touches, weighted by the share of the pixel it covers.

        colour is an (r, g, b) tuple or a function of the pixel centre (x, y) returning one.
        """
        x0, y0, x1, y1 = shape.bbox
        left, top = max(0, int(x0)), max(0, int(y0))
        right, bottom = min(self.width, int(x1) + 1), min(self.height, int(y1) + 1)
        offsets = [(k + 0.5) / samples for k in range(samples)]
        total = samples * samples
        contains = shape.contains
        for j in range(top, bottom):
            for i in range(left, right):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if contains(i + ox, j + oy):
                            hits += 1
                if hits:
                    rgb = colour(i + 0.5, j + 0.5) if callable(colour) else colour
                    self._blend(j * self.width + i, rgb, hits / total)

    def _blend(self, index, rgb, coverage):
        below = self.alpha[index] * (1.0 - coverage)
        alpha = coverage + below
        self.red[index] = (rgb[0] * coverage + self.red[index] * below) / alpha
        self.green[index] = (rgb[1] * coverage + self.green[index] * below) / alpha
        self.blue[index] = (rgb[2] * coverage + self.blue[index] * below) / alpha
        self.alpha[index] = alpha

    def set_pixel(self, x, y, rgb):
        if 0 <= x < self.width and 0 <= y < self.height:
            self._blend(y * self.width + x, rgb, 1.0)

    def rgb(self, x, y):
        """The pixel's colour as whole numbers 0..255."""
        index = y * self.width + x
        return (_byte(self.red[index]), _byte(self.green[index]), _byte(self.blue[index]))

    def opaque(self, x, y):
        """Whether at least half of the pixel is covered: the rule for one-bit masks."""
        return self.alpha[y * self.width + x] >= 0.5

    def rows(self):
        """The colours row by row, top row first."""
        return [[self.rgb(x, y) for x in range(self.width)] for y in range(self.height)]


def _byte(value):
    return max(0, min(255, int(value + 0.5)))


def vertical_gradient(top_y, bottom_y, stops):
    """A colour function blending through stops [(position 0..1, (r, g, b)), ...] from top_y to bottom_y."""

    def colour(x, y):
        t = 0.0 if bottom_y == top_y else (y - top_y) / (bottom_y - top_y)
        t = min(1.0, max(0.0, t))
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if t <= p1:
                f = 0.0 if p1 == p0 else (t - p0) / (p1 - p0)
                return tuple(a + (b - a) * f for a, b in zip(c0, c1))
        return stops[-1][1]

    return colour
