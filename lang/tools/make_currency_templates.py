#!/usr/bin/env python3
"""Writes a language module's templates of the two currency windows as Qt Designer .ui files:
the update settings window (132 portrait, 133 landscape, 139 square) and the manual rates window
(3013, one template that the window scales to its size, so it is drawn square: the shape that
loses least when squeezed into a portrait or a landscape screen).

Same grid, margins and fonts as make_templates.py, whose Ui writer it uses; the texts are the
"currency_templates" of the language's language.json.

Usage: make_currency_templates.py <module resource folder> [--language <code of a folder of lang/>]
"""

import sys

from ids import ids
from make_templates import (LANDSCAPE, PORTRAIT, SQUARE, Ui, bool_prop, font_prop, set_prop, string_prop,
                            templates, text_prop, write_templates)

UPDATE, MANUAL = ids()["currencyupdate"], ids()["manualrates"]
UPDATE_TEMPLATES = templates(UPDATE)
MANUAL_TEMPLATE = MANUAL.kTemplate

# Update settings window controls.
DOWNLOAD, LAST_UPDATE, AUTOMATIC = UPDATE.kDownloadButton, UPDATE.kLastUpdateLabel, UPDATE.kAutomaticUpdateBox
# The day of each rate source's rates, filled in by the program.
SOURCES = UPDATE.kSourcesLabel
# Manual rates window controls.
CURRENCY, RATE, LOCK = MANUAL.kCurrencyCombo, MANUAL.kRateEdit, MANUAL.kLockBox
# The currency search of the manual rates window, which narrows the currency choice.
SEARCH = MANUAL.kSearchField
# Labels the program never addresses. They carry ids all the same, because the windows move and
# scale only controls with an id: without one they would stay at their design place.
AUTOMATIC_NOTE = 1053
CURRENCY_LABEL, RATE_LABEL, LOCK_NOTE = MANUAL.kCurrencyCaption, MANUAL.kRateCaption, 1060


TEXT_FONT = 12
NOTE_FONT = 11
FIELD_FONT = 14
# The manual-rates window only scales its one square template: on a phone it draws at about
# three quarters of its design size, so its fonts and controls are designed a third larger (11
# points and 44-pixel targets at 640 x 360 and 360 x 640).
MANUAL_TEXT_FONT = 16
MANUAL_FIELD_FONT = 18
MANUAL_TARGET = 64


def update_layout(size):
    """Rectangles of the update settings window for one shape."""
    if size == PORTRAIT:
        return {LAST_UPDATE: (16, 8, 328, 64), SOURCES: (16, 72, 328, 88), DOWNLOAD: (16, 168, 328, 56),
                AUTOMATIC: (16, 232, 328, 56), "note": (16, 296, 328, 120)}
    if size == LANDSCAPE:
        return {LAST_UPDATE: (16, 8, 296, 64), SOURCES: (328, 8, 296, 136), DOWNLOAD: (16, 80, 296, 56),
                AUTOMATIC: (16, 152, 608, 48), "note": (16, 216, 608, 64)}
    return {LAST_UPDATE: (16, 16, 448, 40), SOURCES: (16, 56, 448, 64), DOWNLOAD: (16, 128, 448, 56),
            AUTOMATIC: (16, 192, 448, 56), "note": (16, 256, 448, 72)}


def update_template(size, texts):
    layout = update_layout(size)
    ui = Ui(size, texts["update_title"])
    wrapped = bool_prop("wordWrap", True) + set_prop("alignment", "Qt::AlignLeft|Qt::AlignTop")
    ui.add("QLabel", "lastUpdate", layout[LAST_UPDATE], LAST_UPDATE,
           text_prop(texts["last_update"]) + font_prop(TEXT_FONT) + wrapped)
    ui.add("QLabel", "sources", layout[SOURCES], SOURCES, text_prop("") + font_prop(NOTE_FONT) + wrapped)
    ui.add("QPushButton", "download", layout[DOWNLOAD], DOWNLOAD,
           text_prop(texts["download"]) + font_prop(TEXT_FONT) + bool_prop("autoDefault", False))
    ui.add("QCheckBox", "automatic", layout[AUTOMATIC], AUTOMATIC, text_prop(texts["automatic"]) + font_prop(TEXT_FONT))
    ui.add("QLabel", "automaticNote", layout["note"], AUTOMATIC_NOTE,
           text_prop(texts["automatic_note"]) + font_prop(NOTE_FONT) + wrapped)
    return ui.xml()


def manual_template(texts):
    ui = Ui(SQUARE, texts["manual_title"])
    label_font = font_prop(MANUAL_TEXT_FONT)
    ui.add("QLabel", "currencyLabel", (16, 8, 448, 32), CURRENCY_LABEL, text_prop(texts["currency"]) + label_font)
    ui.add("QLineEdit", "search", (16, 40, 216, MANUAL_TARGET), SEARCH,
           font_prop(MANUAL_FIELD_FONT) + string_prop("placeholderText", texts["search"])
           + bool_prop("clearButtonEnabled", True))
    ui.add("QComboBox", "currency", (248, 40, 216, MANUAL_TARGET), CURRENCY, font_prop(MANUAL_FIELD_FONT))
    ui.add("QLabel", "rateLabel", (16, 112, 448, 32), RATE_LABEL, text_prop(texts["rate"]) + label_font)
    ui.add("QLineEdit", "rate", (16, 144, 448, MANUAL_TARGET), RATE,
           font_prop(MANUAL_FIELD_FONT) + set_prop("alignment", "Qt::AlignRight|Qt::AlignVCenter"))
    ui.add("QCheckBox", "lock", (16, 216, 448, MANUAL_TARGET), LOCK,
           text_prop(texts["lock"]) + font_prop(MANUAL_TEXT_FONT))
    ui.add("QLabel", "lockNote", (16, 288, 448, 96), LOCK_NOTE,
           text_prop(texts["lock_note"]) + label_font + bool_prop("wordWrap", True)
           + set_prop("alignment", "Qt::AlignLeft|Qt::AlignTop"))
    return ui.xml()


def main(argv):
    def templates(texts):
        for number, size in UPDATE_TEMPLATES.items():
            yield number, update_template(size, texts)
        yield MANUAL_TEMPLATE, manual_template(texts)

    return write_templates(argv, __doc__, "currency_templates", templates)

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
