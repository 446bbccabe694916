#!/usr/bin/env python3
"""Writes a language module's templates of the About window (100, 101, 134) and the version check
window (130, 131, 135) as Qt Designer .ui files, with the grid, margins and helpers of
make_templates.py.

Usage: make_about_templates.py <module resource folder> [--language <code of a folder of lang/>]
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from ids import ids  # noqa: E402
from make_templates import (LANDSCAPE, PORTRAIT, SQUARE, Ui, bool_prop, font_prop, set_prop,  # noqa: E402
                            templates, text_prop, write_templates)

ABOUT, CHECK = ids()["about"], ids()["versioncheck"]
ABOUT_TEMPLATES = templates(ABOUT)
VERSION_TEMPLATES = templates(CHECK)

# About window controls.
ABOUT_VERSION, ABOUT_YEAR, CONTACT_LINK, WEB_LINK = ABOUT.kVersion, ABOUT.kYear, ABOUT.kContactLink, ABOUT.kWebLink
APP_ICON = ids()["res"].kAppIcon
# Decoration gets ids of its own too: a re-layout moves only controls that have one.
ABOUT_ICON, ABOUT_NAME, CONTACT_CAPTION, WEB_CAPTION = 1191, 1192, ABOUT.kContactCaption, ABOUT.kWebCaption
CHECK_HEADING = 5005
# Version check window controls.
STATUS, FIRST_LINK, SECOND_LINK, NEWER_MARK, VERSION = (CHECK.kStatus, CHECK.kFirstLinkButton, CHECK.kSecondLinkButton,
                                                        CHECK.kNewerMark, CHECK.kVersion)


NAME_FONT = 20
HEADING_FONT = 16
TEXT_FONT = 12
CAPTION_FONT = 11


def about_layout(size):
    if size == PORTRAIT:
        return {
            "icon": (144, 24, 72, 72), "name": (16, 104, 328, 40), ABOUT_VERSION: (16, 152, 328, 32),
            ABOUT_YEAR: (16, 184, 328, 32), "contact": (16, 248, 328, 24), CONTACT_LINK: (8, 272, 344, 48),
            "web": (16, 336, 328, 24), WEB_LINK: (8, 360, 344, 48),
        }
    if size == LANDSCAPE:
        return {
            "icon": (16, 16, 72, 72), "name": (104, 16, 520, 40), ABOUT_VERSION: (104, 64, 520, 32),
            ABOUT_YEAR: (104, 96, 520, 32), "contact": (16, 152, 120, 48), CONTACT_LINK: (144, 152, 480, 48),
            "web": (16, 216, 120, 48), WEB_LINK: (144, 216, 480, 48),
        }
    return {
        "icon": (200, 16, 72, 72), "name": (16, 96, 448, 40), ABOUT_VERSION: (16, 144, 448, 32),
        ABOUT_YEAR: (16, 176, 448, 32), "contact": (16, 232, 448, 24), CONTACT_LINK: (16, 256, 448, 48),
        "web": (16, 312, 448, 24), WEB_LINK: (16, 336, 448, 48),
    }


def version_layout(size):
    if size == PORTRAIT:
        return {
            "heading": (16, 16, 328, 40), VERSION: (16, 64, 328, 32), STATUS: (16, 104, 328, 104),
            NEWER_MARK: (16, 224, 328, 32), FIRST_LINK: (16, 264, 328, 48), SECOND_LINK: (16, 320, 328, 48),
        }
    if size == LANDSCAPE:
        return {
            "heading": (16, 16, 608, 40), VERSION: (16, 64, 608, 32), STATUS: (16, 104, 608, 72),
            NEWER_MARK: (16, 184, 608, 32), FIRST_LINK: (16, 224, 296, 48), SECOND_LINK: (328, 224, 296, 48),
        }
    return {
        "heading": (16, 16, 448, 40), VERSION: (16, 64, 448, 32), STATUS: (16, 104, 448, 104),
        NEWER_MARK: (16, 224, 448, 32), FIRST_LINK: (16, 264, 216, 48), SECOND_LINK: (248, 264, 216, 48),
    }


def about_template(size, texts):
    layout = about_layout(size)
    ui = Ui(size, texts["about_title"])
    centred = set_prop("alignment", "Qt::AlignHCenter|Qt::AlignVCenter")
    # Portrait and square stack everything in the middle; landscape reads from the left.
    align = centred if size != LANDSCAPE else set_prop("alignment", "Qt::AlignLeft|Qt::AlignVCenter")
    ui.add("QLabel", "icon", layout["icon"], ABOUT_ICON,
           f'\n    <property name="icon" stdset="0">\n     <number>{APP_ICON}</number>\n    </property>'
           + bool_prop("scaledContents", True))
    ui.add("QLabel", "name", layout["name"], ABOUT_NAME, text_prop(texts["name"]) + font_prop(NAME_FONT, True) + align)
    ui.add("QLabel", "version", layout[ABOUT_VERSION], ABOUT_VERSION,
           text_prop(texts["version"]) + font_prop(TEXT_FONT) + align)
    ui.add("QLabel", "year", layout[ABOUT_YEAR], ABOUT_YEAR, text_prop(texts["year"]) + font_prop(TEXT_FONT) + align)
    ui.add("QLabel", "contactCaption", layout["contact"], CONTACT_CAPTION,
           text_prop(texts["contact"]) + font_prop(CAPTION_FONT) + align)
    ui.add("QLabel", "contactLink", layout[CONTACT_LINK], CONTACT_LINK, text_prop("") + font_prop(CAPTION_FONT) + align)
    ui.add("QLabel", "webCaption", layout["web"], WEB_CAPTION, text_prop(texts["web"]) + font_prop(CAPTION_FONT) + align)
    ui.add("QLabel", "webLink", layout[WEB_LINK], WEB_LINK, text_prop("") + font_prop(CAPTION_FONT) + align)
    return ui.xml()


def version_template(size, texts):
    layout = version_layout(size)
    ui = Ui(size, texts["check_title"])
    left = set_prop("alignment", "Qt::AlignLeft|Qt::AlignVCenter")
    ui.add("QLabel", "heading", layout["heading"], CHECK_HEADING,
           text_prop(texts["check_heading"]) + font_prop(HEADING_FONT, True) + left)
    ui.add("QLabel", "version", layout[VERSION], VERSION, text_prop(texts["your_version"]) + font_prop(TEXT_FONT) + left)
    ui.add("QLabel", "status", layout[STATUS], STATUS,
           text_prop("") + font_prop(TEXT_FONT) + bool_prop("wordWrap", True)
           + set_prop("alignment", "Qt::AlignLeft|Qt::AlignTop"))
    ui.add("QLabel", "newerMark", layout[NEWER_MARK], NEWER_MARK,
           text_prop(texts["newer_mark"]) + font_prop(CAPTION_FONT) + left)
    for cid, name, key in ((FIRST_LINK, "firstLink", "first_link"), (SECOND_LINK, "secondLink", "second_link")):
        ui.add("QPushButton", name, layout[cid], cid,
               text_prop(texts[key]) + font_prop(TEXT_FONT) + bool_prop("autoDefault", False))
    return ui.xml()


def main(argv):
    def templates(texts):
        for number, size in ABOUT_TEMPLATES.items():
            yield number, about_template(size, texts)
        for number, size in VERSION_TEMPLATES.items():
            yield number, version_template(size, texts)

    return write_templates(argv, __doc__, "about_templates", templates)

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
