#!/usr/bin/python3
"""Writes the pictures of a language module: the twenty category buttons, the swap button,
the program icon and the language banner.

Every picture is generated from the one table of pictograms below, so that all languages share
one visual family and differ only in the category names drawn under the pictograms. The names
come from the module's own strings.json (keys 1100..1119, the text before the first ";").

The output is plain SVG of the Tiny 1.2 kind that Qt's QSvgRenderer draws: presentation
attributes only, no CSS, filters, masks or gradients, and text in the generic sans-serif face.

Usage: make_pictures.py <module resource folder> [--language CODE]
  e.g. make_pictures.py lang/en/res --language en
"""

import argparse
import json
import math
import sys
from pathlib import Path

import languages
from ids import ids

# The category codes in index order: button 1400 + i carries code i as its caption.
CATEGORY_CODES = ids()["quantaro"].kRubricCodes
FIRST_CATEGORY_STRING = ids()["res"].kFirstRubricDefinition
SWAP_CAPTION = "SWAP"
APP_ICON = ids()["res"].kAppIcon
LANGUAGE_BANNER = ids()["res"].kLanguageBanner
BANNER_WIDTH, BANNER_HEIGHT = ids()["langue"].kBannerWidth, ids()["langue"].kBannerHeight

# One palette for every picture. The accent is the only saturated colour; text colours keep at
# least 4.5:1 against the face they sit on (checked by contrast_ratio() when the script runs).
ACCENT = "#0a5cb8"
ACCENT_TINT = "#cfe1f6"
INK = "#1d2733"
FACE = "#f4f7fa"
FACE_PRESSED = "#d5dde6"
BORDER = "#a9b5c2"
BORDER_PRESSED = "#7f8d9c"
GREY_INK = "#5f6873"
GREY_FACE = "#e9ecef"
GREY_BORDER = "#c3c9cf"
GREY_TINT = "#d6dadf"
GREY_ACCENT = "#9aa3ad"
WHITE = "#ffffff"

# Geometry of a category picture, in its own units. The pictogram sits in a 48-unit box above
# the name; every pictogram uses the same stroke width.
TILE = 96
TILE_RADIUS = 10
STROKE = 3
ICON_BOX = 48
ICON_X, ICON_Y = (TILE - ICON_BOX) / 2, 10
NAME_BASELINE = 82
# Every name of a language is drawn at one size, so that no button shouts or whispers: this one, or the
# language.json's "picture_name_size" where its script needs more pixels a glyph to stay legible on the
# smallest screens (a Chinese or Japanese character drawn as small as a Latin letter is a blot).
NAME_SIZE = 11.5
NAME_MAX_WIDTH = 88
PRESSED_INSET = 2
# A name too wide for one line at that size is set on two: split at the space nearest its middle,
# or, for a single long word, at its hyphenation point below ("Geschwin-digkeit"), or where a "|"
# marks a break without a hyphen (scripts written without spaces).
TWO_LINE_BASELINES = (74, 88)
# The language's language.json gives those points ("picture_breaks").
HYPHENATION = {}


def arrow_head(x, y, angle_deg, size=7):
    """A filled triangle pointing along angle_deg with its tip at (x, y)."""
    a = math.radians(angle_deg)
    back_x, back_y = x - size * math.cos(a), y - size * math.sin(a)
    px, py = -math.sin(a) * size * 0.6, math.cos(a) * size * 0.6
    return (f'<path d="M{x:.2f},{y:.2f} L{back_x + px:.2f},{back_y + py:.2f} '
            f'L{back_x - px:.2f},{back_y - py:.2f} Z" fill="{{a}}" stroke="none"/>')


def polar(cx, cy, r, angle_deg):
    a = math.radians(angle_deg)
    return cx + r * math.cos(a), cy + r * math.sin(a)


def trefoil():
    """Three blades of 60 degrees around a small hub (radiation)."""
    cx, cy, inner, outer = 24, 25, 7, 20
    parts = []
    for centre in (90, 210, 330):
        a0, a1 = centre - 30, centre + 30
        x0, y0 = polar(cx, cy, inner, a0)
        x1, y1 = polar(cx, cy, outer, a0)
        x2, y2 = polar(cx, cy, outer, a1)
        x3, y3 = polar(cx, cy, inner, a1)
        parts.append(f'<path d="M{x0:.2f},{y0:.2f} L{x1:.2f},{y1:.2f} A{outer},{outer} 0 0 1 {x2:.2f},{y2:.2f} '
                     f'L{x3:.2f},{y3:.2f} A{inner},{inner} 0 0 0 {x0:.2f},{y0:.2f} Z" fill="{{a}}" stroke="{{s}}" '
                     f'stroke-width="{{w}}" stroke-linejoin="round"/>')
    parts.append(f'<circle cx="{cx}" cy="{cy}" r="4" fill="{{a}}" stroke="none"/>')
    return "".join(parts)


def sun_rays():
    rays = []
    for k in range(8):
        x0, y0 = polar(24, 24, 14, k * 45)
        x1, y1 = polar(24, 24, 21, k * 45)
        rays.append(f'<line x1="{x0:.2f}" y1="{y0:.2f}" x2="{x1:.2f}" y2="{y1:.2f}"/>')
    return "".join(rays)


def gauge_ticks(cx, cy, r0, r1, angles):
    return "".join(
        '<line x1="%.2f" y1="%.2f" x2="%.2f" y2="%.2f"/>' % (*polar(cx, cy, r0, a), *polar(cx, cy, r1, a))
        for a in angles)


def torque_arrow():
    cx, cy, r = 24, 24, 17
    x0, y0 = polar(cx, cy, r, 150)
    x1, y1 = polar(cx, cy, r, 60)
    arc = (f'<path d="M{x0:.2f},{y0:.2f} A{r},{r} 0 1 1 {x1:.2f},{y1:.2f}" fill="none" stroke="{{a}}" '
           f'stroke-width="{{w}}" stroke-linecap="round"/>')
    # Tangent at the end of a clockwise arc (SVG y down) points at angle + 90.
    return arc + arrow_head(x1 - 1.5, y1 + 0.5, 60 + 90 + 10)


def hexagon(cx, cy, r):
    pts = " ".join("%.2f,%.2f" % polar(cx, cy, r, 30 + 60 * k) for k in range(6))
    return f'<polygon points="{pts}" fill="{{t}}" stroke="{{s}}" stroke-width="{{w}}" stroke-linejoin="round"/>'


# Pictograms in a 48 x 48 box. Placeholders: {s} stroke ink, {a} accent, {t} accent tint,
# {f} face colour, {w} stroke width. Elements inside the default group inherit the stroke.
PICTOGRAMS = {
    # Currencies: a bank note and a coin.
    "CNY": '<rect x="2" y="8" width="34" height="22" rx="3" fill="{t}"/>'
           '<circle cx="19" cy="19" r="5" fill="none"/>'
           '<circle cx="33" cy="33" r="11" fill="{a}"/>'
           '<line x1="33" y1="27" x2="33" y2="39" stroke="{f}"/>',
    # Length: a ruler under a two-headed arrow.
    "LEN": '<rect x="2" y="20" width="44" height="18" rx="2" fill="{t}"/>'
           '<line x1="9" y1="20" x2="9" y2="30"/><line x1="16" y1="20" x2="16" y2="26"/>'
           '<line x1="23" y1="20" x2="23" y2="30"/><line x1="30" y1="20" x2="30" y2="26"/>'
           '<line x1="37" y1="20" x2="37" y2="30"/>'
           '<line x1="9" y1="9" x2="39" y2="9" stroke="{a}"/>'
           + arrow_head(45, 9, 0) + arrow_head(3, 9, 180),
    # Area: a square field with its grid.
    "ARE": '<rect x="6" y="6" width="36" height="36" rx="2" fill="{t}"/>'
           '<line x1="24" y1="6" x2="24" y2="42" stroke="{a}"/>'
           '<line x1="6" y1="24" x2="42" y2="24" stroke="{a}"/>',
    # Volume: a measuring jug, part filled.
    "VOL": '<path d="M12,24 L12,42 L36,42 L36,24 Z" fill="{a}" stroke="none"/>'
           '<path d="M9,5 L12,9 L12,42 L36,42 L36,5" fill="none" stroke-linejoin="round"/>'
           '<line x1="12" y1="16" x2="19" y2="16"/><line x1="12" y1="24" x2="22" y2="24"/>'
           '<line x1="12" y1="32" x2="19" y2="32" stroke="{f}"/>',
    # Mass: a weight with its ring.
    "MAS": '<circle cx="24" cy="10" r="6" fill="none"/>'
           '<path d="M13,18 L35,18 L42,44 L6,44 Z" fill="{a}" stroke-linejoin="round"/>',
    # Speed: a speedometer.
    "SPD": '<path d="M2,40 A22,22 0 1 1 46,40 Z" fill="{t}" stroke-linejoin="round"/>'
           + gauge_ticks(24, 40, 14, 20, (-180, -135, -90, -45, 0)) +
           '<line x1="24" y1="40" x2="37" y2="24" stroke="{a}" stroke-linecap="round"/>'
           '<circle cx="24" cy="40" r="4" fill="{a}" stroke="none"/>',
    # Temperature: a thermometer.
    "TMP": '<path d="M19,31 L19,8 A5,5 0 0 1 29,8 L29,31" fill="{f}"/>'
           '<circle cx="24" cy="37" r="8" fill="{a}"/>'
           '<line x1="24" y1="34" x2="24" y2="14" stroke="{a}" stroke-linecap="round"/>'
           '<line x1="33" y1="10" x2="38" y2="10"/><line x1="33" y1="17" x2="38" y2="17"/>'
           '<line x1="33" y1="24" x2="38" y2="24"/>',
    # Pressure: arrows pressing on a plate.
    "PSN": '<rect x="4" y="33" width="40" height="9" rx="2" fill="{t}"/>'
           '<line x1="12" y1="3" x2="12" y2="22" stroke="{a}"/>'
           '<line x1="24" y1="3" x2="24" y2="22" stroke="{a}"/>'
           '<line x1="36" y1="3" x2="36" y2="22" stroke="{a}"/>'
           + arrow_head(12, 30, 90) + arrow_head(24, 30, 90) + arrow_head(36, 30, 90),
    # Time: a clock face.
    "TME": '<circle cx="24" cy="24" r="20" fill="{t}"/>'
           + gauge_ticks(24, 24, 15, 19, (0, 90, 180, 270)) +
           '<line x1="24" y1="24" x2="24" y2="11" stroke-linecap="round"/>'
           '<line x1="24" y1="24" x2="33" y2="29" stroke="{a}" stroke-linecap="round"/>'
           '<circle cx="24" cy="24" r="2.5" fill="{s}" stroke="none"/>',
    # Angle: two rays and the arc between them.
    "ANG": '<path d="M40,8 L6,42 L44,42" fill="none" stroke-linejoin="round" stroke-linecap="round"/>'
           '<path d="M27,42 A21,21 0 0 0 20.85,27.15" fill="none" stroke="{a}"/>',
    # Energy: a lightning bolt.
    "NRJ": '<path d="M29,3 L10,27 L22,27 L18,45 L38,19 L26,19 Z" fill="{a}" stroke-linejoin="round"/>',
    # Power: the power switch mark.
    "PWR": '<path d="M14,12 A17,17 0 1 0 34,12" fill="none" stroke-linecap="round"/>'
           '<line x1="24" y1="4" x2="24" y2="24" stroke="{a}" stroke-linecap="round"/>',
    # Radiation: the trefoil.
    "RAD": '<circle cx="24" cy="25" r="22" fill="{t}" stroke="none"/>' + trefoil(),
    # Force: an arrow pushing a block.
    "FCE": '<rect x="26" y="12" width="20" height="24" rx="2" fill="{t}"/>'
           '<line x1="2" y1="24" x2="15" y2="24" stroke="{a}"/>' + arrow_head(23, 24, 0, 9)
           + '<line x1="2" y1="42" x2="46" y2="42"/>',
    # Density: particles packed in a box.
    "RSD": '<rect x="5" y="5" width="38" height="38" rx="3" fill="{t}"/>'
           + "".join(f'<circle cx="{x}" cy="{y}" r="3.5" fill="{{a}}" stroke="none"/>'
                     for y in (14, 24, 34) for x in (14, 24, 34)),
    # Data: a storage cylinder.
    "CPR": '<path d="M8,10 L8,38 A16,6 0 0 0 40,38 L40,10" fill="{t}"/>'
           '<path d="M8,24 A16,6 0 0 0 40,24" fill="none"/>'
           '<ellipse cx="24" cy="10" rx="16" ry="6" fill="{a}"/>',
    # Viscosity: a drop.
    "VSY": '<path d="M24,3 C20,12 9,22 9,31 A15,14 0 0 0 39,31 C39,22 28,12 24,3 Z" fill="{a}" '
           'stroke-linejoin="round"/>'
           '<path d="M16,31 A8,8 0 0 0 22,38" fill="none" stroke="{f}" stroke-linecap="round"/>',
    # Light: the sun.
    "LUX": '<circle cx="24" cy="24" r="9" fill="{a}"/><g stroke-linecap="round">' + sun_rays() + '</g>',
    # Magnetism: a horseshoe magnet.
    "MAG": '<path d="M6,6 L6,26 A18,18 0 0 0 42,26 L42,6 L32,6 L32,26 A8,8 0 0 1 16,26 L16,6 Z" fill="{t}" '
           'stroke-linejoin="round"/>'
           '<rect x="6" y="6" width="10" height="9" fill="{a}"/><rect x="32" y="6" width="10" height="9" fill="{a}"/>',
    # Torque: a turning arrow round a nut.
    "TQE": hexagon(24, 24, 8) + torque_arrow(),
}

# The swap picture: two opposite arrows.
SWAP_PICTOGRAM = ('<line x1="6" y1="15" x2="36" y2="15" stroke="{a}" stroke-linecap="round"/>'
                  + arrow_head(44, 15, 0, 10) +
                  '<line x1="42" y1="33" x2="12" y2="33" stroke="{a}" stroke-linecap="round"/>'
                  + arrow_head(4, 33, 180, 10))

# The four states of a picture button.
STATES = {
    "U": dict(face=FACE, border=BORDER, border_width=2, ink=INK, accent=ACCENT, tint=ACCENT_TINT, inset=0),
    "D": dict(face=FACE_PRESSED, border=BORDER_PRESSED, border_width=2, ink=INK, accent=ACCENT,
              tint=ACCENT_TINT, inset=PRESSED_INSET),
    "F": dict(face=FACE, border=ACCENT, border_width=5, ink=INK, accent=ACCENT, tint=ACCENT_TINT, inset=0),
    "X": dict(face=GREY_FACE, border=GREY_BORDER, border_width=2, ink=GREY_INK, accent=GREY_ACCENT,
              tint=GREY_TINT, inset=0),
}


def luminance(colour):
    def channel(c):
        c = c / 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b)


def contrast_ratio(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


_name_size = None


def name_size():
    return _name_size or NAME_SIZE


def name_lines(name):
    """The name as one line, or as two when one line at the name size is wider than the tile allows;
    stops when a line is still too wide: the module must shorten the name."""
    if not name or text_width(name, name_size()) <= NAME_MAX_WIDTH:
        return [name]
    if " " in name:
        spaces = [i for i, ch in enumerate(name) if ch == " "]
        cut = min(spaces, key=lambda i: abs(len(name) - 2 * i))
        lines = [name[:cut], name[cut + 1:]]
    elif name in HYPHENATION and "|" in HYPHENATION[name]:
        lines = HYPHENATION[name].split("|", 1)
    elif name in HYPHENATION:
        first, second = HYPHENATION[name].split("-", 1)
        lines = [first + "-", second]
    else:
        sys.exit(f"the name {name!r} does not fit a picture at size {name_size()}: give it a hyphenation point")
    for line in lines:
        if text_width(line, name_size()) > NAME_MAX_WIDTH:
            sys.exit(f"the line {line!r} of {name!r} does not fit a picture at size {name_size()}: shorten the name")
    return lines


class OutlineFont:
    """The bold sans-serif face, whose glyph outlines are written into the pictures as paths.
    Text elements would make every program start lay out and rasterise twenty names through the
    font machinery; paths draw at once and look the same on every machine."""

    def __init__(self, path, family=None):
        try:
            from fontTools.pens.svgPathPen import SVGPathPen
            from fontTools.pens.transformPen import TransformPen
            from fontTools.ttLib import TTCollection, TTFont
        except ImportError:
            sys.exit("make_pictures.py needs fontTools: apt-get install python3-fonttools fonts-dejavu-core "
                     "and run it with /usr/bin/python3")
        self._svg_pen = SVGPathPen
        self._transform_pen = TransformPen
        if path.endswith(".ttc"):
            faces = TTCollection(path).fonts
            named = [face for face in faces if face["name"].getDebugName(1) == family]
            font = named[0] if named else faces[0]
        else:
            font = TTFont(path)
        self._glyphs = font.getGlyphSet()
        self._cmap = font.getBestCmap()
        self._metrics = font["hmtx"]
        self._units_per_em = font["head"].unitsPerEm

    def has(self, ch):
        return ord(ch) in self._cmap

    def advance(self, text, size):
        """The advance of a run of this face at that size."""
        names = [self._cmap.get(ord(ch), ".notdef") for ch in text]
        return sum(self._metrics[name][0] for name in names) * size / self._units_per_em

    def commands(self, text, cursor, baseline, size):
        """The outline commands of the text with its first glyph at cursor."""
        scale = size / self._units_per_em
        pen = self._svg_pen(self._glyphs, ntos=lambda value: f"{value:.2f}".rstrip("0").rstrip("."))
        for ch in text:
            name = self._cmap.get(ord(ch), ".notdef")
            self._glyphs[name].draw(self._transform_pen(pen, (scale, 0, 0, -scale, cursor, baseline)))
            cursor += self._metrics[name][0] * scale
        return pen.getCommands()


TEXT_FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
# The face for the characters the text face lacks (Chinese, Japanese): the bold Noto Sans CJK of
# Debian's fonts-noto-cjk, in the family the language's language.json names ("picture_font_family",
# which decides the regional glyph forms), else its first.
FALLBACK_FONT_FILE = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"
_fonts = {}
_fallback_family = None


def text_fonts():
    """The text face, then the fallback face when a text needs it."""
    if "text" not in _fonts:
        _fonts["text"] = OutlineFont(TEXT_FONT_FILE)
    return _fonts["text"]


def fallback_font():
    if "fallback" not in _fonts:
        if not Path(FALLBACK_FONT_FILE).is_file():
            sys.exit(f"make_pictures.py needs {FALLBACK_FONT_FILE} for this language: apt-get install fonts-noto-cjk")
        _fonts["fallback"] = OutlineFont(FALLBACK_FONT_FILE, _fallback_family)
    return _fonts["fallback"]


def runs(text):
    """The text cut into runs of one face each: (face, run)."""
    result = []
    for ch in text:
        face = text_fonts() if text_fonts().has(ch) or ch.isspace() else fallback_font()
        if result and result[-1][0] is face:
            result[-1] = (face, result[-1][1] + ch)
        else:
            result.append((face, ch))
    return result


def text_width(text, size):
    """The advance of the text at that size."""
    return sum(face.advance(run, size) for face, run in runs(text))


def text_outline(text, centre_x, baseline, size, fill):
    """A path element with the text's outlines, centred on centre_x."""
    cursor = centre_x - text_width(text, size) / 2
    commands = []
    for face, run in runs(text):
        commands.append(face.commands(run, cursor, baseline, size))
        cursor += face.advance(run, size)
    return f'<path d="{" ".join(command for command in commands if command)}" fill="{fill}"/>'


def name_text(name, inset, ink):
    """The outlines of a picture's name."""
    lines = name_lines(name)
    if len(lines) == 1:
        return text_outline(name, TILE / 2, NAME_BASELINE + inset / 2, name_size(), ink)
    return "".join(text_outline(line, TILE / 2, baseline + inset / 2, name_size(), ink)
                   for baseline, line in zip(TWO_LINE_BASELINES, lines))


def fill_placeholders(body, state):
    return (body.replace("{s}", state["ink"]).replace("{a}", state["accent"]).replace("{t}", state["tint"])
            .replace("{f}", state["face"]).replace("{w}", str(STROKE)))


def svg_document(width, height, content):
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{width}" height="{height}" viewBox="0 0 {width} {height}">\n{content}\n</svg>\n')


def button_picture(pictogram, state_key, name=None):
    """One state of a picture button: a rounded face, the pictogram and, if given, the name."""
    state = STATES[state_key]
    inset = state["inset"]
    half_border = state["border_width"] / 2
    face = (f'<rect x="{half_border}" y="{half_border}" width="{TILE - 2 * half_border}" '
            f'height="{TILE - 2 * half_border}" rx="{TILE_RADIUS}" fill="{state["face"]}" '
            f'stroke="{state["border"]}" stroke-width="{state["border_width"]}"/>')
    if state_key == "F":
        # A second, inner line keeps the focus visible when the picture is shrunk a lot.
        face += (f'<rect x="7" y="7" width="{TILE - 14}" height="{TILE - 14}" rx="{TILE_RADIUS - 4}" fill="none" '
                 f'stroke="{ACCENT}" stroke-width="1.5"/>')
    # Pressed pictures move down and shrink a little, so the button looks pushed in.
    scale = 1 - inset / 48
    box_y = ICON_Y if name is not None else (TILE - ICON_BOX * 1.4) / 2
    box_scale = 1.0 if name is not None else 1.4
    box_x = (TILE - ICON_BOX * box_scale) / 2
    s = box_scale * scale
    ox = box_x + (ICON_BOX * box_scale * (1 - scale)) / 2 + inset / 2
    oy = box_y + inset
    body = fill_placeholders(pictogram, state)
    group = (f'<g transform="translate({ox:.2f},{oy:.2f}) scale({s:.4f})" fill="none" stroke="{state["ink"]}" '
             f'stroke-width="{STROKE}">{body}</g>')
    text = ""
    if name is not None:
        text = name_text(name, inset, state["ink"])
    return svg_document(TILE, TILE, face + group + text)


def app_icon():
    """The program mark: two opposite arrows between two scales, on the accent colour."""
    size = 64
    scale_ticks = "".join(
        f'<line x1="{x}" y1="{y0}" x2="{x}" y2="{y0 + (6 if i % 2 == 0 else 4)}"/>'
        for y0 in (10,) for i, x in enumerate(range(14, 51, 6)))
    bottom_ticks = "".join(
        f'<line x1="{x}" y1="{54 - (6 if i % 2 == 0 else 4)}" x2="{x}" y2="54"/>'
        for i, x in enumerate(range(14, 51, 6)))
    arrows = (SWAP_PICTOGRAM.replace("{a}", WHITE).replace("{s}", WHITE).replace("{w}", "4"))
    content = (f'<rect x="0" y="0" width="{size}" height="{size}" rx="14" fill="{ACCENT}"/>'
               f'<g stroke="{WHITE}" stroke-width="2.5" stroke-linecap="round">'
               f'<line x1="10" y1="10" x2="54" y2="10"/>{scale_ticks}'
               f'<line x1="10" y1="54" x2="54" y2="54"/>{bottom_ticks}</g>'
               f'<g transform="translate(14,18) scale(0.75)" fill="none" stroke="{WHITE}" stroke-width="4">'
               f'{arrows}</g>')
    return svg_document(size, size, content)


def language_banner(language):
    """The language's own name, white on the accent colour."""
    content = (f'<rect x="0" y="0" width="{BANNER_WIDTH}" height="{BANNER_HEIGHT}" fill="{ACCENT}"/>'
               + text_outline(language, BANNER_WIDTH / 2, 13.5, 12, WHITE))
    return svg_document(BANNER_WIDTH, BANNER_HEIGHT, content)


def category_names(strings_file):
    strings = json.loads(Path(strings_file).read_text(encoding="utf-8"))
    names = []
    for i in range(len(CATEGORY_CODES)):
        definition = strings.get(str(FIRST_CATEGORY_STRING + i), "")
        names.append(definition.split(";", 1)[0].strip())
    return names


def check_palette():
    """Text colours against the faces they are drawn on."""
    pairs = [(INK, FACE), (INK, FACE_PRESSED), (GREY_INK, GREY_FACE), (WHITE, ACCENT)]
    for ink, face in pairs:
        ratio = contrast_ratio(ink, face)
        if ratio < 4.5:
            raise SystemExit(f"contrast {ink} on {face} is only {ratio:.2f}:1")


def write(path, text):
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(text, encoding="utf-8")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("resources", help="the module's resource folder (holds strings.json)")
    parser.add_argument("--language", choices=languages.codes(),
                        help="the language: its name makes the language banner (bitmap 127), its language.json "
                             "gives the break points of long names; omitted: no banner")
    args = parser.parse_args(argv)
    global _fallback_family, _name_size
    if args.language:
        _name_size = languages.language(args.language).get("picture_name_size")
        HYPHENATION.update(languages.section(args.language, "picture_breaks"))
        _fallback_family = languages.language(args.language).get("picture_font_family")

    check_palette()
    root = Path(args.resources)
    names = category_names(root / "strings.json")
    bitmaps = root / "bitmaps"
    for code, name in zip(CATEGORY_CODES, names):
        for state in STATES:
            write(bitmaps / f"{code}{state}.svg", button_picture(PICTOGRAMS[code], state, name))
    for state in STATES:
        write(bitmaps / f"{SWAP_CAPTION}{state}.svg", button_picture(SWAP_PICTOGRAM, state))
    write(root / "icons" / f"{APP_ICON}.svg", app_icon())
    if args.language:
        write(bitmaps / f"{LANGUAGE_BANNER}.svg", language_banner(languages.section(args.language, "name")))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
