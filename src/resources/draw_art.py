#!/usr/bin/env python3
"""Draws the program's pictures and writes them beside this script:

  kestrove.ico  the application icon, 32 x 32, 24-bit colour: a telephone handset with a redial arrow
  hand.cur      the pointing-hand cursor, 32 x 32, monochrome, hot spot at the fingertip (0, 0)
  banner.gif    the About box's sponsor banner, 120 x 60
  logo.jpg      the credits screen's wordmark, 341 x 166, on black

Standard library only; the output is byte-for-byte the same on every run.
"""

import math
import os
import sys

sys.dont_write_bytecode = True

from artkit.canvas import Canvas, vertical_gradient  # noqa: E402
from artkit.font import draw_text, text_width  # noqa: E402
from artkit.gif import encode_gif  # noqa: E402
from artkit.icon_files import encode_cursor, encode_icon  # noqa: E402
from artkit.jpeg import encode_jpeg  # noqa: E402
from artkit.shapes import arc_band, capsule, circle, ellipse, polygon, rect, rounded_rect  # noqa: E402

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

CURSOR_HOT_SPOT = (0, 0)


def draw_icon():
    canvas = Canvas(32, 32)
    canvas.paint(rounded_rect(0.5, 0.5, 31.5, 31.5, 6.5), (12, 40, 96))
    canvas.paint(
        rounded_rect(1.5, 1.5, 30.5, 30.5, 5.5),
        vertical_gradient(2, 30, [(0.0, (84, 160, 240)), (1.0, (22, 78, 170))]),
    )

    handset = _handset(15.5, 3.6)
    canvas.paint(handset.moved(0.8, 1.2), (10, 34, 84))
    canvas.paint(handset, WHITE)

    # A redial arrow curving under the receiver and back up to it.
    arrow = _turning_arrow(16.0, 16.2, 8.6, 11.2, 18, 130)
    canvas.paint(arrow.moved(0.8, 1.0), (10, 34, 84))
    canvas.paint(arrow, (255, 204, 40))
    return canvas


def _handset(cx, top):
    """An old-fashioned receiver resting face down: an arched grip with a cup at each end."""
    radius = 14.0
    grip = arc_band(cx, top + radius + 3.4, radius, radius + 3.4, 236, 68)
    cup = rounded_rect(-4.2, -3.6, 4.2, 3.6, (1.6, 1.6, 3.0, 3.0))
    left_cup = cup.rotated(-24, 0, 0).moved(cx - 9.2, top + 7.6)
    right_cup = cup.rotated(24, 0, 0).moved(cx + 9.2, top + 7.6)
    return grip | left_cup | right_cup


def _turning_arrow(cx, cy, r_inner, r_outer, start, sweep):
    """A ring segment running clockwise from start through sweep degrees, with an arrowhead at its end."""
    band = arc_band(cx, cy, r_inner, r_outer, start, sweep)
    end = math.radians(start + sweep)
    middle = (r_inner + r_outer) / 2
    half_base = (r_outer - r_inner) * 1.3
    length = (r_outer - r_inner) * 1.6
    ex, ey = cx + middle * math.cos(end), cy + middle * math.sin(end)
    nx, ny = math.cos(end), math.sin(end)  # outwards
    tx, ty = -math.sin(end), math.cos(end)  # along the turn
    head = polygon(
        [
            (ex + nx * half_base, ey + ny * half_base),
            (ex + tx * length, ey + ty * length),
            (ex - nx * half_base, ey - ny * half_base),
        ]
    )
    return band | head


def draw_cursor():
    """A hand pointing up and to the left; black outline and creases, white fill."""
    shape, creases = _hand()
    coverage = Canvas(32, 32)
    coverage.paint(shape, WHITE)
    crease_cover = Canvas(32, 32)
    crease_cover.paint(creases, WHITE)

    def inside(x, y):
        return 0 <= x < 32 and 0 <= y < 32 and coverage.opaque(x, y)

    canvas = Canvas(32, 32)
    for y in range(32):
        for x in range(32):
            if not inside(x, y):
                continue
            # Pixels on the rim of the canvas count as rim pixels of the hand, so the fingertip at the
            # corner gets an outline too.
            rim = x in (0, 31) or y in (0, 31)
            rim = rim or not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            dark = rim or crease_cover.opaque(x, y)
            canvas.set_pixel(x, y, BLACK if dark else WHITE)
    return canvas


def _hand():
    """The hand drawn upright with the fingertip at the origin, then tilted so the finger points up-left."""
    finger = capsule(0.0, 3.0, 0.0, 12.0, 3.0)
    palm = rounded_rect(-3.2, 10.5, 11.4, 22.0, (2.0, 3.0, 4.0, 4.0))
    knuckles = circle(4.8, 12.2, 2.4) | circle(8.0, 13.0, 2.3) | circle(10.6, 14.6, 2.1)
    thumb = capsule(-3.0, 18.5, -5.8, 13.5, 2.3)
    cuff = rect(-2.2, 21.5, 10.4, 26.0)
    creases = (
        capsule(2.7, 11.0, 2.7, 15.0, 0.45)
        | capsule(6.4, 12.6, 6.4, 16.0, 0.45)
        | capsule(9.4, 13.8, 9.4, 16.6, 0.45)
        | rect(-2.2, 21.2, 10.4, 22.1)
    )
    angle, dx, dy = -45.0, 0.0, 0.0
    return (
        (finger | palm | knuckles | thumb | cuff).rotated(angle, 0, 0).moved(dx, dy),
        creases.rotated(angle, 0, 0).moved(dx, dy),
    )


def draw_banner():
    """The sponsor banner of an invented dial-up provider."""
    canvas = Canvas(120, 60, (0, 0, 0))
    bands = 10
    for band in range(bands):
        t = band / (bands - 1)
        colour = (int(12 + 20 * t), int(60 + 70 * t), int(110 + 60 * t))
        canvas.paint(rect(0, band * 6, 120, band * 6 + 6), colour, samples=1)
    canvas.paint(rect(0, 0, 120, 1), (120, 200, 240), samples=1)
    canvas.paint(rect(0, 59, 120, 60), (6, 30, 60), samples=1)

    _centred_text(canvas, "DOVEMERE", 5, WHITE, scale=2, shadow=(4, 28, 56))
    canvas.paint(rect(14, 22, 106, 23), (255, 200, 60), samples=1)
    _centred_text(canvas, "DIAL-UP ACCESS", 27, (220, 240, 255), shadow=(4, 28, 56))

    button = rounded_rect(30, 39, 90, 54, 4)
    canvas.paint(button.moved(1, 1), (4, 28, 56))
    canvas.paint(button, (255, 150, 20))
    canvas.paint(rounded_rect(31, 40, 89, 46, (3, 3, 0, 0)), (255, 190, 80))
    _centred_text(canvas, "JOIN NOW!", 43, (60, 20, 0))
    return canvas


def _centred_text(canvas, text, top, rgb, scale=1, shadow=None):
    left = (canvas.width - text_width(text, scale)) // 2
    if shadow is not None:
        draw_text(canvas, text, left + 1, top + 1, shadow, scale)
    draw_text(canvas, text, left, top, rgb, scale)


def draw_logo():
    """The author's wordmark: slanted letters in a gold-to-ember gradient with a glow line beneath."""
    canvas = Canvas(341, 166, BLACK)
    top, bottom = 24.0, 118.0
    letters = _kobu(11.0, top, bottom)
    word = letters.sheared(0.18, bottom)
    canvas.paint(word.moved(5, 5), (110, 28, 0), samples=3)
    canvas.paint(
        word,
        vertical_gradient(
            top, bottom, [(0.0, (255, 244, 170)), (0.45, (255, 176, 40)), (1.0, (214, 60, 14))]
        ),
        samples=3,
    )
    swoosh = ellipse(170.5, 133.0, 150.0, 12.0) - ellipse(170.5, 128.5, 150.0, 12.0)
    canvas.paint(swoosh, (255, 140, 0), samples=3)
    canvas.paint(_sparkle(158.0, 31.0, 10.0), WHITE, samples=3)
    return canvas


def _kobu(left, top, bottom):
    """The four letters side by side, upright; widths 66 with gaps of 12, strokes 20 wide."""
    mid = (top + bottom) / 2
    step = 66 + 12

    x = left
    k = (
        rect(x, top, x + 20, bottom)
        | polygon([(x + 20, mid - 10), (x + 42, top), (x + 68, top), (x + 20, mid + 18)])
        | polygon([(x + 26, mid - 4), (x + 68, bottom), (x + 42, bottom), (x + 18, mid + 16)])
    )

    x += step
    o = rounded_rect(x, top, x + 66, bottom, 30) - rounded_rect(x + 20, top + 20, x + 46, bottom - 20, 12)

    x += step
    b = (
        rounded_rect(x, top, x + 60, mid + 4, (0, 24, 24, 0))
        | rounded_rect(x, mid - 4, x + 66, bottom, (0, 26, 26, 0))
    ) - (
        rounded_rect(x + 20, top + 18, x + 40, mid - 8, (0, 8, 8, 0))
        | rounded_rect(x + 20, mid + 10, x + 46, bottom - 18, (0, 9, 9, 0))
    )

    x += step
    u = rounded_rect(x, top, x + 66, bottom, (0, 0, 32, 32)) - rounded_rect(
        x + 20, top - 1, x + 46, bottom - 20, (0, 0, 12, 12)
    )
    return k | o | b | u


def _sparkle(cx, cy, r):
    thin = r * 0.22
    return polygon(
        [
            (cx, cy - r),
            (cx + thin, cy - thin),
            (cx + r, cy),
            (cx + thin, cy + thin),
            (cx, cy + r),
            (cx - thin, cy + thin),
            (cx - r, cy),
            (cx - thin, cy - thin),
        ]
    )


def draw_all():
    return {"icon": draw_icon(), "cursor": draw_cursor(), "banner": draw_banner(), "logo": draw_logo()}


def encode_all(drawings):
    """Every output file's name and contents."""
    return {
        "kestrove.ico": encode_icon(drawings["icon"]),
        "hand.cur": encode_cursor(drawings["cursor"], *CURSOR_HOT_SPOT),
        "banner.gif": encode_gif(drawings["banner"].rows()),
        "logo.jpg": encode_jpeg(drawings["logo"].rows()),
    }


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, data in encode_all(draw_all()).items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
