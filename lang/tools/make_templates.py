#!/usr/bin/env python3
"""Writes a language module's window templates for the home window (102, 103, 137) and the
conversion window (104, 105, 136) as Qt Designer .ui files.

Layouts are tables of absolute rectangles on a 4-pixel grid, one per screen shape; the texts
come from the "templates" of the language's lang/<code>/language.json.
The bottom 48 pixels of every shape stay free for the window's menu bar, and every control the
program addresses carries its integer controlId.

Usage: make_templates.py <module resource folder> [--language <code of a folder of lang/>]
"""

import argparse
import sys
from pathlib import Path
from xml.sax.saxutils import escape

import languages
from ids import ids

PORTRAIT, LANDSCAPE, SQUARE = (360, 640), (640, 360), (480, 480)
MENU_BAR_HEIGHT = 48
# Every rectangle starts on this grid (touch targets of 44 pixels with 4 pixels between them).
GRID = 4

HOME, CONVERT = ids()["home"], ids()["convertdlg"]


def templates(window):
    """A window's template numbers and the screen shape each is drawn for."""
    return {window.kPortraitTemplate: PORTRAIT, window.kLandscapeTemplate: LANDSCAPE, window.kSquareTemplate: SQUARE}


HOME_TEMPLATES = templates(HOME)
CONVERT_TEMPLATES = templates(CONVERT)

CATEGORY_CODES = ids()["quantaro"].kRubricCodes
FIRST_CATEGORY_BUTTON = HOME.kFirstCategoryButton

# Conversion window controls.
INPUT, TITLE, RESULT = CONVERT.kInput, CONVERT.kTitle, CONVERT.kResult
FROM_LIST, TO_LIST = CONVERT.kFromList, CONVERT.kToList
FIRST_KEY = CONVERT.kFirstKey
BACKSPACE, CLEAR, SWAP = CONVERT.kBackspace, CONVERT.kClear, CONVERT.kSwap
SWAP_CAPTION = "SWAP"
# The chosen pair spelled out, the target unit's symbol beside the result, the unit search and the
# recent pairs' button.
PAIR, UNIT, FILTER, RECENT = CONVERT.kPair, CONVERT.kUnit, CONVERT.kFilter, CONVERT.kRecent

# The character each keypad button sends, by its id (the program owns this table); the texts
# shown on the keys are the language's (see KEY_TEXTS).
KEY_CHARS = CONVERT.kKeypadCharacters

# Keys show the usual calculator marks for the operators.
KEY_TEXTS = {"*": "\u00d7", "/": "\u00f7", "-": "\u2212"}

ROW_STYLE = "QListWidget::item { min-height: 40px; }"
BIG_FONT = 16
LABEL_FONT = 11
LIST_FONT = 12
KEY_FONT = 14


def home_grid(size):
    """Twenty equal buttons filling the window above the menu bar, in index order."""
    if size == PORTRAIT:
        cols, rows, x0, y0, w, h, dx, dy = 4, 5, 8, 16, 80, 104, 88, 112
    elif size == LANDSCAPE:
        cols, rows, x0, y0, w, h, dx, dy = 5, 4, 24, 16, 112, 64, 120, 72
    else:
        cols, rows, x0, y0, w, h, dx, dy = 5, 4, 8, 16, 80, 96, 96, 104
    assert cols * rows == len(CATEGORY_CODES)
    return [(x0 + (i % cols) * dx, y0 + (i // cols) * dy, w, h) for i in range(len(CATEGORY_CODES))]


# Keypad arrangements: rows of key characters, "<" backspace, "C" clear; a repeated entry makes
# a key span two cells.
KEYPAD_THREE_ROWS = ["789/*<", "456-+C", "1230.e"]
KEYPAD_FOUR_ROWS = ["789/<", "456*C", "123-e", "00.++"]


def keypad(rows, x0, y0, w, h, dx, dy):
    """Rectangles of the keys, merging repeated neighbours into wide keys."""
    keys = {}
    for r, row in enumerate(rows):
        for c, ch in enumerate(row):
            rect = (x0 + c * dx, y0 + r * dy, w, h)
            if ch in keys:
                kx, ky, kw, kh = keys[ch]
                keys[ch] = (kx, ky, rect[0] + w - kx, kh)
            else:
                keys[ch] = rect
    return keys


# Scripts whose fonts have tall lines (Chinese, Japanese: Noto Sans CJK's line is nearly half as high
# again as its characters) get taller text rows in portrait, the shape a 240x320 screen halves: the
# language's texts say "tall_lines". The unit lists give up the pixels.
TALL_TITLE_GROWTH, TALL_PAIR_GROWTH = 8, 8


def tall_portrait(layout):
    """The portrait layout with a taller title and pair line, and everything under them moved down."""
    grown = TALL_TITLE_GROWTH + TALL_PAIR_GROWTH
    x, y, w, h = layout[TITLE]
    layout[TITLE] = (x, y, w, h + TALL_TITLE_GROWTH)
    x, y, w, h = layout[PAIR]
    layout[PAIR] = (x, y + TALL_TITLE_GROWTH, w, h + TALL_PAIR_GROWTH)
    for key in (INPUT, RECENT, SWAP, RESULT, UNIT):
        x, y, w, h = layout[key]
        layout[key] = (x, y + grown, w, h)
    for key in (FROM_LIST, TO_LIST):
        x, y, w, h = layout[key]
        layout[key] = (x, y + grown, w, h - grown)
    return layout


def convert_layout(size, tall=False):
    """Rectangles of every conversion-window control for one shape.

    The unit lists take every pixel the other controls leave: seven rows in portrait and five in
    landscape, on a 4-pixel rhythm with touch targets of 44 pixels. The unit search stands beside
    the title as in a phone's app bar, and the chosen pair of units is spelled out under both, so
    the lists may scroll anywhere."""
    if size == PORTRAIT:
        layout = {
            TITLE: (16, 4, 160, 48), FILTER: (184, 8, 160, 44), PAIR: (16, 52, 328, 24),
            INPUT: (16, 76, 192, 44), RECENT: (212, 76, 80, 44), SWAP: (296, 76, 48, 44),
            RESULT: (16, 120, 272, 40), UNIT: (292, 120, 52, 40),
            FROM_LIST: (16, 164, 160, 284), TO_LIST: (184, 164, 160, 284),
        }
        layout["keys"] = keypad(KEYPAD_THREE_ROWS, 16, 452, 48, 44, 56, 48)
    elif size == LANDSCAPE:
        # The result stays next to the lists it depends on; the value and the keypad stand on the
        # right like a calculator.
        layout = {
            TITLE: (16, 4, 200, 48), FILTER: (220, 8, 116, 44), PAIR: (16, 52, 320, 20),
            RESULT: (16, 72, 276, 32), UNIT: (296, 72, 40, 32),
            FROM_LIST: (16, 104, 156, 204), TO_LIST: (180, 104, 156, 204),
            INPUT: (352, 4, 112, 44), RECENT: (468, 4, 104, 44), SWAP: (576, 4, 48, 44),
        }
        layout["keys"] = keypad(KEYPAD_FOUR_ROWS, 352, 52, 48, 56, 56, 60)
    else:
        layout = {
            TITLE: (16, 4, 216, 48), FILTER: (240, 8, 224, 44), PAIR: (16, 52, 448, 24),
            INPUT: (16, 76, 312, 44), RECENT: (332, 76, 80, 44), SWAP: (416, 76, 48, 44),
            RESULT: (16, 120, 392, 40), UNIT: (412, 120, 52, 40),
            FROM_LIST: (16, 164, 220, 124), TO_LIST: (244, 164, 220, 124),
        }
        layout["keys"] = keypad(KEYPAD_THREE_ROWS, 16, 292, 68, 44, 76, 48)
    return tall_portrait(layout) if tall and size == PORTRAIT else layout


class Ui:
    """Accumulates the widgets of one template."""

    def __init__(self, size, title):
        self.size = size
        self.title = title
        self.widgets = []
        self.tab_order = []

    def add(self, cls, name, rect, control_id=None, props=""):
        x, y, w, h = rect
        # A control without an id would stay at its portrait place in every other shape and size.
        assert control_id is not None, (name, "every control needs an id")
        assert x % GRID == 0 and y % GRID == 0, (name, rect)
        assert y + h <= self.size[1] - MENU_BAR_HEIGHT and x + w <= self.size[0], (name, rect)
        prop_id = ""
        if control_id is not None:
            prop_id = f'\n    <property name="controlId" stdset="0">\n     <number>{control_id}</number>\n    </property>'
        self.widgets.append(
            f'   <widget class="{cls}" name="{name}">\n'
            f'    <property name="geometry">\n     <rect>\n      <x>{x}</x>\n      <y>{y}</y>\n'
            f'      <width>{w}</width>\n      <height>{h}</height>\n     </rect>\n    </property>'
            f'{prop_id}{props}\n   </widget>\n')
        if cls in ("QPushButton", "QLineEdit", "QListWidget"):
            self.tab_order.append(name)

    def xml(self):
        w, h = self.size
        tabs = "".join(f"  <tabstop>{n}</tabstop>\n" for n in self.tab_order)
        return (
            '<?xml version="1.0" encoding="UTF-8"?>\n<ui version="4.0">\n <class>Window</class>\n'
            ' <widget class="QDialog" name="Window">\n'
            f'  <property name="geometry">\n   <rect>\n    <x>0</x>\n    <y>0</y>\n    <width>{w}</width>\n'
            f'    <height>{h}</height>\n   </rect>\n  </property>\n'
            f'  <property name="windowTitle">\n   <string>{escape(self.title)}</string>\n  </property>\n'
            + "".join(self.widgets) +
            f' </widget>\n <tabstops>\n{tabs} </tabstops>\n <resources/>\n <connections/>\n</ui>\n')


def text_prop(text):
    return f'\n    <property name="text">\n     <string>{escape(text)}</string>\n    </property>'


def font_prop(points, bold=False):
    b = "\n      <bold>true</bold>" if bold else ""
    return f'\n    <property name="font">\n     <font>\n      <pointsize>{points}</pointsize>{b}\n     </font>\n    </property>'


def bool_prop(name, value):
    return f'\n    <property name="{name}">\n     <bool>{"true" if value else "false"}</bool>\n    </property>'


def set_prop(name, value):
    return f'\n    <property name="{name}">\n     <set>{value}</set>\n    </property>'


def string_prop(name, value):
    return f'\n    <property name="{name}">\n     <string>{escape(value)}</string>\n    </property>'


def home_template(size, texts):
    ui = Ui(size, texts["home_title"])
    for i, (code, rect) in enumerate(zip(CATEGORY_CODES, home_grid(size))):
        ui.add("QPushButton", f"category{code}", rect, FIRST_CATEGORY_BUTTON + i, text_prop(code))
    return ui.xml()


def convert_template(size, texts):
    layout = convert_layout(size, texts.get("tall_lines", False))
    ui = Ui(size, texts["convert_title"])
    # Top-aligned, so that a window too small for two lines still shows the category's name.
    centred = set_prop("alignment", "Qt::AlignHCenter|Qt::AlignTop")
    label_font = font_prop(LABEL_FONT)
    # Controls are created in reading order, which is also the tab order.
    ui.add("QLabel", "title", layout[TITLE], TITLE,
           text_prop(texts["title_placeholder"]) + font_prop(BIG_FONT, True) + centred + bool_prop("wordWrap", True))
    ui.add("QLineEdit", "filter", layout[FILTER], FILTER,
           font_prop(LIST_FONT) + string_prop("placeholderText", texts["filter_placeholder"])
           + bool_prop("clearButtonEnabled", True))
    # The pair line elides the names in code when they are too long for it.
    ui.add("QLabel", "pair", layout[PAIR], PAIR,
           text_prop("") + label_font + set_prop("alignment", "Qt::AlignHCenter|Qt::AlignVCenter"))
    ui.add("QLineEdit", "input", layout[INPUT], INPUT,
           font_prop(BIG_FONT) + set_prop("alignment", "Qt::AlignRight|Qt::AlignVCenter")
           + string_prop("placeholderText", texts["input_placeholder"]))
    ui.add("QPushButton", "recent", layout[RECENT], RECENT,
           text_prop(texts["recent"]) + label_font + bool_prop("autoDefault", False))
    ui.add("QPushButton", "swap", layout[SWAP], SWAP, text_prop(SWAP_CAPTION) + bool_prop("autoDefault", False))
    ui.add("QLabel", "result", layout[RESULT], RESULT,
           text_prop("") + font_prop(BIG_FONT, True) + set_prop("alignment", "Qt::AlignRight|Qt::AlignVCenter")
           + set_prop("textInteractionFlags", "Qt::TextSelectableByMouse|Qt::TextSelectableByKeyboard"))
    # The target unit's symbol, against the result's right edge.
    ui.add("QLabel", "unit", layout[UNIT], UNIT,
           text_prop("") + font_prop(LABEL_FONT, True) + set_prop("alignment", "Qt::AlignLeft|Qt::AlignVCenter"))
    list_props = (font_prop(LIST_FONT) + string_prop("styleSheet", ROW_STYLE)
                  + f'\n    <property name="horizontalScrollBarPolicy">\n     <enum>Qt::ScrollBarAlwaysOff</enum>\n    </property>')
    ui.add("QListWidget", "fromList", layout[FROM_LIST], FROM_LIST, list_props)
    ui.add("QListWidget", "toList", layout[TO_LIST], TO_LIST, list_props)
    key_font = font_prop(KEY_FONT)
    keys = layout["keys"]
    # Keys are created in reading order so that tabbing walks the keypad like text.
    for ch, rect in sorted(keys.items(), key=lambda item: (item[1][1], item[1][0])):
        if ch == "<":
            cid, name, text = BACKSPACE, "backspace", texts["backspace"]
        elif ch == "C":
            cid, name, text = CLEAR, "clear", texts["clear"]
        else:
            cid, name, text = FIRST_KEY + KEY_CHARS.index(ch), f"key{FIRST_KEY + KEY_CHARS.index(ch)}", \
                KEY_TEXTS.get(ch, ch)
        ui.add("QPushButton", name, rect, cid, text_prop(text) + key_font + bool_prop("autoDefault", False))
    return ui.xml()


def write_templates(argv, description, section, templates):
    """The command line every template generator shares: writes dialogs/N.ui into a module's
    resource folder for each (number, xml) that templates(texts) yields with the texts of the chosen
    language's language.json section."""
    parser = argparse.ArgumentParser(description=description.splitlines()[0])
    parser.add_argument("resources", help="the module's resource folder")
    parser.add_argument("--language", default="en", choices=languages.codes())
    args = parser.parse_args(argv)
    dialogs = Path(args.resources) / "dialogs"
    dialogs.mkdir(parents=True, exist_ok=True)
    for number, xml in templates(languages.section(args.language, section)):
        (dialogs / f"{number}.ui").write_text(xml, encoding="utf-8")
    return 0


def main(argv):
    def templates(texts):
        for number, size in HOME_TEMPLATES.items():
            yield number, home_template(size, texts)
        for number, size in CONVERT_TEMPLATES.items():
            yield number, convert_template(size, texts)

    return write_templates(argv, __doc__, "templates", templates)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
