"""Shapes as point-membership tests with a bounding box, in continuous pixel coordinates.

Pixel (i, j) covers the square [i, i + 1) x [j, j + 1). Shapes combine with |, & and -, and can be
moved, rotated and sheared; the canvas samples them to find how much of each pixel they cover.
"""

import math


class Shape:
    def __init__(self, contains, bbox):
        self.contains = contains
        self.bbox = bbox  # (x0, y0, x1, y1), may be larger than the shape but never smaller

    def __or__(self, other):
        a, b = self._clipped(), other._clipped()
        return Shape(lambda x, y: a(x, y) or b(x, y), _bbox_union(self.bbox, other.bbox))

    def __and__(self, other):
        a, b = self.contains, other.contains
        return Shape(lambda x, y: a(x, y) and b(x, y), _bbox_intersection(self.bbox, other.bbox))

    def __sub__(self, other):
        a, b = self.contains, other._clipped()
        return Shape(lambda x, y: a(x, y) and not b(x, y), self.bbox)

    def _clipped(self):
        """The membership test behind a cheap bounding-box test, for shapes combined with others."""
        inner = self.contains
        x0, y0, x1, y1 = self.bbox
        return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1 and inner(x, y)

    def moved(self, dx, dy):
        inner = self.contains
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: inner(x - dx, y - dy), (x0 + dx, y0 + dy, x1 + dx, y1 + dy))

    def rotated(self, degrees, cx, cy):
        """Turns the shape about (cx, cy); positive angles turn clockwise on screen (y points down)."""
        c = math.cos(math.radians(degrees))
        s = math.sin(math.radians(degrees))
        inner = self.contains

        def contains(x, y):
            dx, dy = x - cx, y - cy
            return inner(cx + dx * c + dy * s, cy - dx * s + dy * c)

        corners = [_rotate_point(px, py, cx, cy, c, s) for px, py in _corners(self.bbox)]
        return Shape(contains, _bbox_of_points(corners))

    def sheared(self, k, y_axis):
        """Slants the shape: a point at height y moves right by k * (y_axis - y), as in italic type."""
        inner = self.contains
        x0, y0, x1, y1 = self.bbox
        shifts = (k * (y_axis - y0), k * (y_axis - y1))
        return Shape(
            lambda x, y: inner(x - k * (y_axis - y), y), (x0 + min(shifts), y0, x1 + max(shifts), y1)
        )


def circle(cx, cy, r):
    r2 = r * r
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r2, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    return Shape(
        lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, (cx - rx, cy - ry, cx + rx, cy + ry)
    )


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1))


def rounded_rect(x0, y0, x1, y1, radii):
    """A rectangle with rounded corners; radii is one radius or (top-left, top-right, bottom-right,
    bottom-left)."""
    if isinstance(radii, (int, float)):
        radii = (radii,) * 4
    tl, tr, br, bl = radii

    def contains(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        for r, cx, cy, left, top in (
            (tl, x0 + tl, y0 + tl, True, True),
            (tr, x1 - tr, y0 + tr, False, True),
            (br, x1 - br, y1 - br, False, False),
            (bl, x0 + bl, y1 - bl, True, False),
        ):
            if r <= 0:
                continue
            in_corner_x = x < cx if left else x > cx
            in_corner_y = y < cy if top else y > cy
            if in_corner_x and in_corner_y:
                return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        return True

    return Shape(contains, (x0, y0, x1, y1))


def capsule(xa, ya, xb, yb, r):
    """Every point within r of the segment from (xa, ya) to (xb, yb): a stroke with round ends."""
    dx, dy = xb - xa, yb - ya
    length2 = dx * dx + dy * dy
    r2 = r * r

    def contains(x, y):
        t = 0.0 if length2 == 0 else ((x - xa) * dx + (y - ya) * dy) / length2
        t = min(1.0, max(0.0, t))
        px, py = xa + t * dx - x, ya + t * dy - y
        return px * px + py * py <= r2

    return Shape(contains, (min(xa, xb) - r, min(ya, yb) - r, max(xa, xb) + r, max(ya, yb) + r))


def arc_band(cx, cy, r_inner, r_outer, start_degrees, sweep_degrees):
    """The part of a ring between two radii that an angle sweep covers. Angles are measured
    clockwise on screen from the positive x axis."""
    lo2, hi2 = r_inner * r_inner, r_outer * r_outer

    def contains(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if d2 < lo2 or d2 > hi2:
            return False
        angle = math.degrees(math.atan2(y - cy, x - cx))
        return (angle - start_degrees) % 360.0 <= sweep_degrees

    return Shape(contains, (cx - r_outer, cy - r_outer, cx + r_outer, cy + r_outer))


def polygon(points):
    """A polygon by the even-odd rule."""
    pts = list(points)
    edges = list(zip(pts, pts[1:] + pts[:1]))

    def contains(x, y):
        inside = False
        for (xa, ya), (xb, yb) in edges:
            if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                inside = not inside
        return inside

    return Shape(contains, _bbox_of_points(pts))


def everywhere():
    return Shape(lambda x, y: True, (-1e9, -1e9, 1e9, 1e9))


def _corners(bbox):
    x0, y0, x1, y1 = bbox
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def _rotate_point(px, py, cx, cy, c, s):
    dx, dy = px - cx, py - cy
    return (cx + dx * c - dy * s, cy + dx * s + dy * c)


def _bbox_of_points(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs), min(ys), max(xs), max(ys))


def _bbox_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def _bbox_intersection(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))
