"""A 5 x 7 pixel capital-letter font, drawn here, for the small lettering of the art."""

GLYPH_WIDTH = 5
GLYPH_HEIGHT = 7

_GLYPHS = {
    "A": ".XXX. X...X X...X XXXXX X...X X...X X...X",
    "B": "XXXX. X...X X...X XXXX. X...X X...X XXXX.",
    "C": ".XXX. X...X X.... X.... X.... X...X .XXX.",
    "D": "XXXX. X...X X...X X...X X...X X...X XXXX.",
    "E": "XXXXX X.... X.... XXXX. X.... X.... XXXXX",
    "F": "XXXXX X.... X.... XXXX. X.... X.... X....",
    "G": ".XXX. X...X X.... X.XXX X...X X...X .XXXX",
    "H": "X...X X...X X...X XXXXX X...X X...X X...X",
    "I": ".XXX. ..X.. ..X.. ..X.. ..X.. ..X.. .XXX.",
    "J": "..XXX ...X. ...X. ...X. ...X. X..X. .XX..",
    "K": "X...X X..X. X.X.. XX... X.X.. X..X. X...X",
    "L": "X.... X.... X.... X.... X.... X.... XXXXX",
    "M": "X...X XX.XX X.X.X X.X.X X...X X...X X...X",
    "N": "X...X X...X XX..X X.X.X X..XX X...X X...X",
    "O": ".XXX. X...X X...X X...X X...X X...X .XXX.",
    "P": "XXXX. X...X X...X XXXX. X.... X.... X....",
    "Q": ".XXX. X...X X...X X...X X.X.X X..X. .XX.X",
    "R": "XXXX. X...X X...X XXXX. X.X.. X..X. X...X",
    "S": ".XXXX X.... X.... .XXX. ....X ....X XXXX.",
    "T": "XXXXX ..X.. ..X.. ..X.. ..X.. ..X.. ..X..",
    "U": "X...X X...X X...X X...X X...X X...X .XXX.",
    "V": "X...X X...X X...X X...X X...X .X.X. ..X..",
    "W": "X...X X...X X...X X.X.X X.X.X X.X.X .X.X.",
    "X": "X...X X...X .X.X. ..X.. .X.X. X...X X...X",
    "Y": "X...X X...X .X.X. ..X.. ..X.. ..X.. ..X..",
    "Z": "XXXXX ....X ...X. ..X.. .X... X.... XXXXX",
    "0": ".XXX. X...X X..XX X.X.X XX..X X...X .XXX.",
    "1": "..X.. .XX.. ..X.. ..X.. ..X.. ..X.. .XXX.",
    "2": ".XXX. X...X ....X ...X. ..X.. .X... XXXXX",
    "3": "XXXXX ...X. ..X.. ...X. ....X X...X .XXX.",
    "4": "...X. ..XX. .X.X. X..X. XXXXX ...X. ...X.",
    "5": "XXXXX X.... XXXX. ....X ....X X...X .XXX.",
    "6": "..XX. .X... X.... XXXX. X...X X...X .XXX.",
    "7": "XXXXX ....X ...X. ..X.. .X... .X... .X...",
    "8": ".XXX. X...X X...X .XXX. X...X X...X .XXX.",
    "9": ".XXX. X...X X...X .XXXX ....X ...X. .XX..",
    " ": "..... ..... ..... ..... ..... ..... .....",
    "-": "..... ..... ..... XXXXX ..... ..... .....",
    ".": "..... ..... ..... ..... ..... .XX.. .XX..",
    ",": "..... ..... ..... ..... .XX.. ..X.. .X...",
    "!": "..X.. ..X.. ..X.. ..X.. ..X.. ..... ..X..",
    ":": "..... .XX.. .XX.. ..... .XX.. .XX.. .....",
    "/": "....X ....X ...X. ..X.. .X... X.... X....",
}


def glyph_rows(char):
    """The glyph as seven strings of five characters, 'X' for ink."""
    return _GLYPHS[char].split(" ")


def text_width(text, scale=1, spacing=1):
    """Width in pixels of text set with one blank column (times scale) between letters."""
    if not text:
        return 0
    return (len(text) * GLYPH_WIDTH + (len(text) - 1) * spacing) * scale


def draw_text(canvas, text, left, top, rgb, scale=1, spacing=1):
    """Sets the ink pixels of text with its top-left corner at (left, top), each font pixel a square
    of scale x scale canvas pixels."""
    x = left
    for char in text:
        for row, line in enumerate(glyph_rows(char)):
            for column, cell in enumerate(line):
                if cell == "X":
                    for dy in range(scale):
                        for dx in range(scale):
                            canvas.set_pixel(x + column * scale + dx, top + row * scale + dy, rgb)
        x += (GLYPH_WIDTH + spacing) * scale
