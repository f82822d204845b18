"""What the person driving the program knows and keeps: the model of the table, the
reminders set, the settings changed, the counts of what was done, and the small steps every
action is made of (open the tray menu, find a note on the screen, wait for a sentence)."""
import collections
import configparser
import datetime
import os
import time

from model import PALETTE
from program import TRAY_MENU, Trouble, centre

NOTE_WIDTH, NOTE_HEIGHT = 201, 241
# Capitals with accents are left out: xdotool types them in lower case.
WORDS = ["comprar", "pan", "llamar", "a", "María", "José", "reunión", "mañana", "a las", "cumpleaños", "niño",
         "año", "café", "señal", "pingüino", "acción", "¿cuándo?", "¡ojo!", "€", "100", "razón", "corazón", "ángel",
         "ñandú", "árbol", "después", "también", "médico", "teléfono", "lápiz", "camión", "jardín", "último"]


class Session:
    def __init__(self, program, desktop, model, reminders, rng, log, folder):
        self.program = program
        self.desktop = desktop
        self.model = model
        self.reminders = reminders
        self.rng = rng
        self.log = log
        self.folder = folder
        self.counts = collections.Counter()
        self.troubles = []
        self.said = []  # every utterance seen, in order
        self.next_tag = 1
        self.moved = set()  # ids of the notes dragged away from their stored place and still open
        self.watcher = None  # set once the program runs

    # Settings, read from the file as the program reads them.

    def setting(self, section, key, default):
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(os.path.join(self.folder, "Memotab.INI"), encoding="cp1252")
        return parser.get(section, key, fallback=default)

    def use_agent(self):
        return self.setting("AGENTE", "USAR", ".T.").upper() == ".T."

    def default_colours(self):
        def colour(key, default):
            try:
                index = int(self.setting("COLORES", key, str(default)))
            except ValueError:
                index = default
            return PALETTE[(index if 1 <= index <= 16 else default) - 1]
        return colour("NOTA", 15), colour("TEXTO", 1)

    # Texts a person types.

    def new_tag(self):
        tag = f"N{self.next_tag}"
        self.next_tag += 1
        return tag

    def words(self, count):
        return " ".join(self.rng.choice(WORDS) for _ in range(count))

    def text_to_type(self):
        """Some words; now and then several lines, now and then a long text."""
        kind = self.rng.random()
        if kind < 0.5:
            return self.words(self.rng.randint(2, 8))
        if kind < 0.8:
            return "\n".join(self.words(self.rng.randint(1, 5)) for _ in range(self.rng.randint(2, 4)))
        return self.words(self.rng.randint(30, 50))

    # Utterances: what the program said, in order.

    def hear(self, utterance):
        self.said.append(utterance)
        first = utterance.text.split(" ", 1)[0].split("\r", 1)[0]
        if first.startswith("N") and first[1:].isdigit() and self.model.by_tag(first) is not None:
            reminder = self.reminders.announced(first, utterance.at, utterance.how)
            self.counts["announcements"] += 1
            note = self.model.by_tag(first)
            if reminder is not None and note is not None and note.fecha is not None:
                note.status = "X"
            self.log(f"announced: {first} ({utterance.how})")
        else:
            self.log(f"said ({utterance.how}): {utterance.text[:80]!r}")

    def wait_to_hear(self, since, start, seconds=20):
        """The first utterance after index `since` whose text begins with `start`."""
        def heard():
            return next((u for u in self.said[since:] if u.text.startswith(start)), None)
        return self.desktop.wait_for(heard, seconds=seconds)

    def trouble(self, what):
        self.troubles.append(f"{datetime.datetime.now():%H:%M:%S} {what}")
        self.log(f"TROUBLE: {what}")

    # The tray menu.

    def tray_menu(self):
        icon = self.program.tray_icon()
        if icon is None:
            raise Trouble("no tray icon")
        known = [m["hwnd"] for m in self.program.menus()]
        self.desktop.move(*icon)
        self.desktop.pause(0.2)
        self.desktop.click(*icon, button=3)
        menu = self.program.wait_for_menu(known)
        if menu is None:
            raise Trouble("a right click on the tray icon opens no menu")
        return menu

    def tray(self, prompt):
        menu = self.tray_menu()
        self.program.choose(menu, "LOGO", TRAY_MENU, prompt)

    # Notes on the screen.

    def window_of(self, note):
        return self.program.notes().get(self.model.recno(note))

    def open_notes(self):
        """The model's open notes with their windows."""
        windows = self.program.notes()
        return [(note, windows[self.model.recno(note)]) for note in self.model.visible()
                if note.activada and self.model.recno(note) in windows]

    def text_area(self, window):
        left, top = window["rect"][0], window["rect"][1]
        return (left + 8, top + 30, left + NOTE_WIDTH - 8, top + NOTE_HEIGHT - 8)

    def strip_point(self, window, offset_from, offset_to):
        """A point of the note's title strip (drag bar, save or close button) that is not covered."""
        left, top = window["rect"][0], window["rect"][1]
        return self.program.visible_point(window, (left + offset_from, top + 3, left + offset_to, top + 14), self.rng)

    def once_uncovered(self, find, seconds=20):
        """What `find` gives once a person has closed what came over the notes meanwhile (a
        reminder window, a finished speech balloon); None when that never happens."""
        self.watcher.closing = True
        try:
            return self.desktop.wait_for(find, seconds=seconds, every=0.5)
        finally:
            self.watcher.closing = False

    def pick_strip_point(self, part):
        """An open note with an uncovered point of a part of its title strip, and that point."""
        choices = self.open_notes()
        self.rng.shuffle(choices)
        for note, window in choices:
            point = self.strip_point(window, *part)
            if point:
                return note, point
        return None

    def pick_open_note(self, wanted=None):
        """An open note (satisfying `wanted`) with some of its text area uncovered, and that point."""
        choices = [(n, w) for n, w in self.open_notes() if wanted is None or wanted(n)]
        self.rng.shuffle(choices)
        for note, window in choices:
            point = self.program.visible_point(window, self.text_area(window), self.rng)
            if point:
                return note, window, point
        return None

    def note_menu(self, point):
        known = [m["hwnd"] for m in self.program.menus()]
        self.desktop.click(*point, button=3)
        menu = self.program.wait_for_menu(known)
        if menu is None:
            raise Trouble(f"a right click on a note at {point} opens no menu")
        return menu

    def note_colour_at_edge(self, window):
        """The colour of the note's own background (a pixel left of its text), when uncovered."""
        x, y = window["rect"][0] + 3, window["rect"][1] + 120
        return self.program.probe.pixel(x, y) if self.program.owns_point(window, x, y) else None

    def check_windows_match(self):
        """The shown note windows are exactly the model's open notes, and reopened ones at their place."""
        windows = self.program.notes()
        expected = {self.model.recno(n) for n in self.model.visible() if n.activada}
        if set(windows) != expected:
            self.trouble(f"note windows shown {sorted(windows)}, expected {sorted(expected)}")
            return False
        for note in self.model.visible():
            window = windows.get(self.model.recno(note))
            if window and id(note) not in self.moved:
                rect = [note.x1 * 8, note.y1 * 16, note.x2 * 8 + 1, note.y2 * 16 + 1]
                if window["rect"] != rect:
                    self.trouble(f"Nota {self.model.recno(note)} is at {window['rect']}, stored at {rect}")
        return True

    def point_of(self, control):
        return centre(control["rect"])

    def now(self):
        return datetime.datetime.now()

    def clock(self):
        return time.monotonic()
