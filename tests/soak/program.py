"""Memotab's windows as a person finds them on the screen: the tray icon, the note windows,
the popup menus and their items, dialogs and their controls."""
import re

HIGHLIGHT = (222, 205, 99)  # a menu item under the pointer
MENU_ITEM = 18
# Where a menu's first item begins below its client area's top, and a separator's height: the
# program measures separators 6 pixels high, Wine makes them half a menu bar high (9).
MENU_GEOMETRIES = [(margin, separator) for separator in (9, 6, 8, 7, 10) for margin in (3, 2, 4, 1, 0, 5)]

TRAY_MENU = ["Abrir Memotab v1.6", None, "Nueva nota", "Notas pendientes", None, "Configurar", None,
             "Mostrar todas las Notas", "Ocultar todas las Notas", "Eliminar todas las Notas", None, "Mostrar Agente",
             "Ocultar Agente", None, "Cerrar menú", None, "Salir de Memotab v1.6"]
NOTE_MENU = ["Color de la NOTA", "Color del Texto", None, "&Borrar NOTA", None, "Recordatorio"]
COLOUR_MENU = ["&Negro", "&Azul", "&Verde", "&Cyan", "G&uinda", "&Magenta", "&Caf&e", "&Gris", None, "G&ris Fuerte",
               "A&zul Brillante", "Ver&de Brillante", "C&yan Brillante", "Ro&jo Brillante", "Magen&ta Brillante",
               "Amarillo", "&Blanco"]
LOGO_WIDTH = {"LOGO": 43, "LOGO2": 21}

NOTE_TITLE = re.compile(r"^Nota (\d+)$")
ERROR_TITLES = ("Memotab Framework - Runtime Error", "Stop")
MESSAGE_TEXT_ID = 0xFFFF  # the text of a message box
# Every control of a message box: its buttons, its icon (1088) and its text; a dialog of the
# program also numbers its unnamed texts 0xFFFF, but holds other controls too.
MESSAGE_BOX_IDS = {1, 2, 3, 4, 5, 6, 7, 10, 11, 1088, MESSAGE_TEXT_ID}
IDOK, IDYES, IDNO = 1, 6, 7
BM_GETCHECK = 0x00F0


class Trouble(Exception):
    """The program did not do what a person expected of it."""


def is_message_box(children):
    ids = {child["id"] for child in children}
    return MESSAGE_TEXT_ID in ids and ids <= MESSAGE_BOX_IDS


# Windows of the moment, which come and go with what the person or the timer does: boxes,
# dialogs and reminder windows, menus, the assistant's question balloon.
MOMENTARY_CLASSES = ("#32770", "#32768", "MemotabQuestionBalloon")


def momentary(windows):
    """The windows of the moment among a program's top-level windows, and its speech balloon
    while shown: a measurement of the windows that last waits for them to go."""
    return [w for w in windows if w["class"] in MOMENTARY_CLASSES
            or (w["class"] == "MemotabSpeechBalloon" and w["visible"])]


def centre(rect):
    return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


class Program:
    def __init__(self, probe, desktop, pid, stale_icons=()):
        self.probe = probe
        self.desktop = desktop
        self.pid = pid
        self.stale_icons = set(stale_icons)  # icons in the tray before the program started (a killed copy's)
        self.menu_geometry = None  # (first item's distance from the client area's top, separator height)
        self.stacking_disagreements = []  # points that Wine gives to one window and the X server to another

    def windows(self):
        return self.probe.windows(self.pid)

    def shown(self, windows=None):
        return [w for w in (windows or self.windows()) if w["visible"]]

    def notes(self):
        """The shown note windows by record number."""
        found = {}
        for window in self.shown():
            match = NOTE_TITLE.match(window["title"])
            if match and window["class"] != "#32770":
                found[int(match.group(1))] = window
        return found

    def children(self, window):
        return self.probe.children(window["hwnd"])

    def control(self, window, control_id):
        for child in self.children(window):
            if child["id"] == control_id and child["visible"]:
                return child
        return None

    def owns_point(self, window, x, y):
        """Whether a person who clicks at (x, y) reaches this window (nothing covers it there)."""
        return self.probe.at(x, y)["root"] == window["hwnd"]

    def visible_point(self, window, area, rng, tries=40):
        """A point of the screen area (left, top, right, bottom) where the window is not covered,
        as Wine sees it and as the X server stacks the windows (a click goes where X says)."""
        left, top, right, bottom = area
        if right <= left or bottom <= top:
            return None
        for _ in range(tries):
            x, y = rng.randrange(left, right), rng.randrange(top, bottom)
            if not self.owns_point(window, x, y):
                continue
            on_screen = self.desktop.window_name_at(x, y)
            if on_screen == window["title"]:
                return (x, y)
            disagreement = f"({x}, {y}): {window['title']!r} for Wine, {on_screen!r} for X"
            self.stacking_disagreements.append(disagreement)
            self.desktop.log(f"covered on the screen only: {disagreement}")
        return None

    # The tray icon and popup menus.

    def tray_icons(self):
        return [icon for icon in self.probe.tray()["icons"] if icon["hwnd"] not in self.stale_icons]

    def tray_icon(self):
        icons = self.tray_icons()
        return centre(icons[0]["rect"]) if icons else None

    def menus(self):
        return [w for w in self.shown() if w["class"] == "#32768"]

    def wait_for_menu(self, known=()):
        """A shown menu window that is not among `known` (hwnds)."""
        def new_menu():
            fresh = [m for m in self.menus() if m["hwnd"] not in known]
            return fresh[0] if fresh else None
        return self.desktop.wait_for(new_menu, seconds=6)

    def item_top(self, menu, layout, index, geometry):
        margin, separator = geometry
        top = menu["client"][1] + margin
        for item in layout[:index]:
            top += MENU_ITEM if item is not None else separator
        return top

    def row_points(self, menu, logo, y):
        """Points along a row of a menu's items, right of their pictures, that no other window
        covers (Wine's tray window may lie over a menu opened from it)."""
        left, right = menu["client"][0] + LOGO_WIDTH[logo] + 24, menu["client"][2] - 4
        samples = [left + (right - left) * k // 6 for k in range(7)]
        return [x for x in samples if self.probe.at(x, y)["root"] == menu["hwnd"]]

    def highlighted(self, menu, logo, y):
        points = self.row_points(menu, logo, y)
        lit = sum(self.probe.pixel(x, y) == HIGHLIGHT for x in points)
        return len(points) >= 2 and lit * 3 >= len(points) * 2

    def point_at_item(self, menu, logo, layout, index):
        """Moves the pointer onto an item of a shown menu and waits until exactly that item's
        band is highlighted; returns the point. The first menu also finds where items begin
        in a menu window and how high the system makes a separator."""
        geometries = [self.menu_geometry] if self.menu_geometry else MENU_GEOMETRIES
        for geometry in geometries:
            top = self.item_top(menu, layout, index, geometry)
            y = top + MENU_ITEM // 2
            edge = top + 1  # a row of the item that its text never reaches
            # A menu just shown may still lie under the window it was opened from for a moment.
            points = self.desktop.wait_for(lambda: self.row_points(menu, logo, edge), seconds=3)
            if not points:
                raise Trouble(f"the menu item {layout[index]!r} is covered")
            x = points[len(points) // 2]
            for _ in range(3):
                self.desktop.move(x, y)
                if not self.desktop.wait_for(lambda: self.highlighted(menu, logo, edge), seconds=1.0, every=0.1):
                    continue
                band = [self.highlighted(menu, logo, row)
                        for row in (top - 2, top + 1, top + MENU_ITEM - 1, top + MENU_ITEM + 1)]
                if band == [False, True, True, False]:
                    self.menu_geometry = geometry
                    return (x, y)
                break  # another item lights up: try the next geometry
        raise Trouble(f"the menu item {layout[index]!r} does not light up under the pointer")

    def choose(self, menu, logo, layout, prompt):
        x, y = self.point_at_item(menu, logo, layout, layout.index(prompt))
        self.desktop.click(x, y)
        if not self.desktop.wait_for(lambda: menu["hwnd"] not in [m["hwnd"] for m in self.menus()], seconds=5):
            raise Trouble(f"the menu stays open after a click on {prompt!r}")

    def close_menus(self):
        """Closes any open menu as a person does: Escape, then a click on the empty desktop."""
        for _ in range(4):
            if not self.menus():
                return
            self.desktop.key("Escape")
            self.desktop.pause(0.3)
        if self.menus():
            self.desktop.click(1270, 400)
            self.desktop.pause(0.5)

    # Dialogs and message boxes.

    def dialogs(self, title, windows=None):
        return [w for w in self.shown(windows) if w["class"] == "#32770" and w["title"] == title]

    def reminder_dialog(self):
        for dialog in self.dialogs("Recordatorio"):
            if any(child["id"] == 800 for child in self.children(dialog)):
                return dialog
        return None

    def message_boxes(self):
        return [w for w in self.shown() if w["class"] == "#32770" and is_message_box(self.children(w))]

    def click_control(self, window, control_id):
        control = self.control(window, control_id)
        if control is None:
            raise Trouble(f"no control {control_id} in {window['title']!r}")
        self.desktop.click(*centre(control["rect"]))
        return control

    def checked(self, control):
        return self.probe.send(control["hwnd"], BM_GETCHECK) == 1

    def agent_visible(self):
        return any(w["class"] == "MemotabCharacter" for w in self.shown())
