#!/usr/bin/env python3
"""Writes a language module's templates of the hidden-units window (106 portrait, 107 landscape,
138 square) as Qt Designer .ui files, with the grid, margins, fonts and list rows of the other
windows' templates (the helpers come from make_templates.py).

Usage: make_options_templates.py <module resource folder> [--language <code of a folder of lang/>]
"""

import sys

from ids import ids
from make_templates import (LABEL_FONT, LANDSCAPE, LIST_FONT, PORTRAIT, SQUARE, Ui, bool_prop, font_prop,
                            string_prop, templates, text_prop, write_templates)

OPTIONS = ids()["options"]
OPTIONS_TEMPLATES = templates(OPTIONS)

UNIT_LIST, RUBRIC_COMBO = OPTIONS.kUnitList, OPTIONS.kRubricCombo
SHOW_ALL, HIDE_ALL = OPTIONS.kShowAll, OPTIONS.kHideAll
# The line that says what a tick means: decoration the program never addresses, with an id only so
# that it follows the re-layout.
TICK_HINT = OPTIONS.kTickHint


# Rows tall enough to tap; the whole row flips its check box, so the box keeps the style's size
# (a larger one drawn through the style sheet would cover the start of the text).
UNIT_LIST_STYLE = "QListWidget::item { min-height: 40px; }"


# With tall lines (see make_templates.py) the hint takes a taller row from the list in portrait and
# square.
TALL_HINT_GROWTH = 8


def options_layout(size, tall=False):
    layout = plain_options_layout(size)
    if tall and size != LANDSCAPE:
        x, y, w, h = layout[TICK_HINT]
        layout[TICK_HINT] = (x, y, w, h + TALL_HINT_GROWTH)
        x, y, w, h = layout[UNIT_LIST]
        layout[UNIT_LIST] = (x, y + TALL_HINT_GROWTH, w, h - TALL_HINT_GROWTH)
    return layout


def plain_options_layout(size):
    """Rectangles of the window's controls for one shape: the category on top, its units below."""
    if size == PORTRAIT:
        return {RUBRIC_COMBO: (16, 16, 328, 48), TICK_HINT: (16, 64, 328, 28), UNIT_LIST: (16, 96, 328, 416),
                SHOW_ALL: (16, 528, 160, 48), HIDE_ALL: (184, 528, 160, 48)}
    if size == LANDSCAPE:
        # The hint has room to wrap under the buttons.
        return {RUBRIC_COMBO: (16, 16, 376, 48), UNIT_LIST: (16, 72, 376, 232), TICK_HINT: (408, 192, 216, 112),
                SHOW_ALL: (408, 72, 216, 48), HIDE_ALL: (408, 136, 216, 48)}
    return {RUBRIC_COMBO: (16, 16, 448, 48), TICK_HINT: (16, 64, 448, 28), UNIT_LIST: (16, 96, 448, 256),
            SHOW_ALL: (16, 368, 216, 48), HIDE_ALL: (248, 368, 216, 48)}


def options_template(size, texts):
    layout = options_layout(size, texts.get("tall_lines", False))
    ui = Ui(size, texts["title"])
    ui.add("QComboBox", "category", layout[RUBRIC_COMBO], RUBRIC_COMBO, font_prop(LIST_FONT))
    # The category comes first when tabbing, as it decides what the rest of the window shows.
    ui.tab_order.insert(0, "category")
    ui.add("QLabel", "tickHint", layout[TICK_HINT], TICK_HINT,
           text_prop(texts["tick_hint"]) + font_prop(LABEL_FONT) + bool_prop("wordWrap", True))
    ui.add("QListWidget", "units", layout[UNIT_LIST], UNIT_LIST,
           font_prop(LIST_FONT) + string_prop("styleSheet", UNIT_LIST_STYLE)
           + '\n    <property name="horizontalScrollBarPolicy">\n     <enum>Qt::ScrollBarAlwaysOff</enum>\n    </property>')
    ui.add("QPushButton", "showAll", layout[SHOW_ALL], SHOW_ALL,
           text_prop(texts["show_all"]) + font_prop(LIST_FONT) + bool_prop("autoDefault", False))
    ui.add("QPushButton", "hideAll", layout[HIDE_ALL], HIDE_ALL,
           text_prop(texts["hide_all"]) + font_prop(LIST_FONT) + bool_prop("autoDefault", False))
    return ui.xml()


def main(argv):
    def templates(texts):
        for number, size in OPTIONS_TEMPLATES.items():
            yield number, options_template(size, texts)

    return write_templates(argv, __doc__, "options_templates", templates)

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
