#!/usr/bin/python3
"""The help page as the installer ships it: UTF-8 that says so, every picture it shows is a PNG
beside it, every link inside it lands, and it names every menu item as the
program writes it."""
import html.parser
import os
import re
import sys
import unittest

PAGE = None

# The program's source of its menus: the page must name every item as it is written there.
MENUS_SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "app", "menus.cpp")


def menu_prompts(source):
    """Every literal menu item prompt of the source, its access-key marks left out."""
    return [prompt.replace("&", "") for prompt in re.findall(r'\.cPrompt = "([^"]*)"', source)]


PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class Page(html.parser.HTMLParser):
    """What the checks need of a page: its charset, pictures, links, anchors and text."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.charsets, self.pictures, self.links, self.anchors, self.text = [], [], [], set(), []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "meta" and "charset" in attrs:
            self.charsets.append(attrs["charset"])
        if tag == "img":
            self.pictures.append(attrs.get("src", ""))
        if tag == "a" and "href" in attrs:
            self.links.append(attrs["href"])
        if "id" in attrs:
            self.anchors.add(attrs["id"])

    def handle_data(self, data):
        self.text.append(data)


def parse(raw):
    page = Page()
    page.feed(raw.decode("utf-8"))
    page.close()
    return page


class HelpPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(PAGE, "rb") as file:
            cls.raw = file.read()
        cls.page = parse(cls.raw)
        cls.folder = os.path.dirname(PAGE)

    def test_is_utf8_and_says_so(self):
        self.raw.decode("utf-8")  # raises on any byte that is not UTF-8
        self.assertEqual([c.lower() for c in self.page.charsets], ["utf-8"])

    def test_every_picture_is_a_png_in_the_folder_beside_it(self):
        self.assertTrue(self.page.pictures)
        for src in self.page.pictures:
            with self.subTest(src=src):
                self.assertTrue(src.startswith("ayuda/") and src.endswith(".png"), "not a relative ayuda/*.png")
                path = os.path.join(self.folder, *src.split("/"))
                self.assertTrue(os.path.isfile(path), "missing")
                with open(path, "rb") as picture:
                    self.assertEqual(picture.read(8), PNG_SIGNATURE)

    def test_every_picture_beside_it_is_shown(self):
        shown = {os.path.basename(src) for src in self.page.pictures}
        self.assertEqual(set(os.listdir(os.path.join(self.folder, "ayuda"))) - shown, set())

    def test_every_link_inside_the_page_lands(self):
        inner = [link[1:] for link in self.page.links if link.startswith("#")]
        self.assertTrue(inner)
        self.assertEqual([anchor for anchor in inner if anchor not in self.page.anchors], [])

    def test_names_every_menu_item_as_the_program_does(self):
        with open(MENUS_SOURCE, encoding="utf-8") as source:
            items = menu_prompts(source.read())
        self.assertIn("Salir de Memotab v1.6", items)
        text = " ".join(" ".join(self.page.text).split())
        self.assertEqual([item for item in items if item not in text], [])


class PageReadingTest(unittest.TestCase):
    def test_menu_prompts_are_read_without_their_access_marks(self):
        source = 'C5MENUADDITEM({.cPrompt = "&Borrar NOTA", .bAction = x});\n.cPrompt = entry.cPrompt,\n'
        self.assertEqual(menu_prompts(source), ["Borrar NOTA"])

    def test_a_wrong_charset_and_a_link_without_its_anchor_are_seen(self):
        page = parse('<meta http-equiv="x" charset="latin1"><a href="#nada">x</a><h2 id="algo">'.encode())
        self.assertEqual(page.charsets, ["latin1"])
        self.assertEqual(page.links, ["#nada"])
        self.assertNotIn("nada", page.anchors)


if __name__ == "__main__":
    PAGE = sys.argv.pop(1)
    unittest.main()
