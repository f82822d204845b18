#!/usr/bin/python3
"""The soak test: memotab.exe under Wine for a given number of minutes, driven as a person
drives it (see scripts/soak). Writes its log, pictures and result into a folder of its own
and exits non-zero when anything went wrong."""
import argparse
import datetime
import json
import os
import random
import subprocess
import sys
import time
import traceback

import note_actions
import tray_actions
from desktop import Desktop
from growth import Growth
from listener import AnnouncementListener
from measuring import Measuring
from model import TableModel, dump
from probe import Probe
from program import Program, Trouble
from reminders import ReminderLog
from session import Session
from watcher import Watcher

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# The Windows build tree with memotab.exe and the probe; MEMOTAB_WINDOWS_BUILD names another, as for scripts/stage.
WINDOWS_BUILD = os.path.abspath(os.environ.get("MEMOTAB_WINDOWS_BUILD", os.path.join(ROOT, "build/windows")))
SCREEN = (1280, 800)  # the display scripts/wine-session makes
AGENT_PLACE = (820, 560)  # the assistant stands away from the notes and the tray
MEASURE_EVERY = 120  # seconds between two measurements of the program's resources

# Action: (weight, what it does). The weights make a mixed day of work with notes.
ACTIONS = {
    "new note": (10, note_actions.new_note),
    "edit": (20, note_actions.edit),
    "recolour": (12, note_actions.recolour),
    "close": (6, note_actions.close),
    "drag": (4, note_actions.drag),
    "delete": (5, note_actions.delete),
    "reminder": (12, note_actions.reminder),
    "show all": (5, tray_actions.show_all),
    "hide all": (2, tray_actions.hide_all),
    "delete all": (0.4, tray_actions.delete_all),
    "pending report": (4, tray_actions.pending_report),
    "options: assistant": (3, tray_actions.options_use_agent),
    "assistant shown or hidden": (3, tray_actions.toggle_agent),
    "menu closed": (2, tray_actions.close_menu),
}


class Soak(Measuring):
    def __init__(self, minutes, seed, folder):
        self.minutes = minutes
        self.seed = seed
        self.folder = folder
        self.data = os.path.join(folder, "data")
        self.logfile = open(os.path.join(folder, "soak.log"), "w", encoding="utf-8")
        self.rng = random.Random(seed)
        self.errors = []
        self.pictures = 0
        self.desktop = Desktop(self.log)
        self.model = TableModel()
        self.reminders = ReminderLog()
        self.growth = Growth()
        probe_exe = os.path.join(WINDOWS_BUILD, "tests/soak/memotab_soak_probe.exe")
        self.probe = Probe(os.environ.get("WINE", "wine"), probe_exe)
        self.listener = AnnouncementListener(os.environ.get("WINE", "wine"), probe_exe)
        self.session = None
        self.pid = None
        self.stacking_disagreements = []  # points that Wine gives to a note and the X server to another window

    def log(self, text):
        line = f"{datetime.datetime.now():%H:%M:%S} {text}"
        print(line, file=self.logfile, flush=True)

    def picture(self, name):
        self.pictures += 1
        path = os.path.join(self.folder, f"{self.pictures:03d}-{name}.png")
        self.desktop.screenshot(path)
        self.log(f"picture {path}")

    def error_box(self, title, text):
        self.errors.append(f"{datetime.datetime.now():%H:%M:%S} {title}: {text}")
        self.log(f"ERROR BOX {title}: {text}")

    # The data folder and the program.

    def prepare(self):
        subprocess.run([os.path.join(ROOT, "scripts/stage"), self.data], check=True, capture_output=True)
        settings = os.path.join(self.data, "Memotab.INI")
        with open(settings, "rb") as file:
            text = file.read()
        place = f"X={AGENT_PLACE[0]}\r\nY={AGENT_PLACE[1]}\r\n".encode()
        with open(settings, "wb") as file:
            file.write(text.replace(b"X=0\r\nY=0\r\n", place))

    def start(self):
        stale_icons = [icon["hwnd"] for icon in self.probe.tray()["icons"]]
        self.pid = self.probe.start("Z:" + self.data.replace("/", "\\"))
        if not self.pid:
            raise SystemExit("memotab.exe does not start")
        if not self.desktop.wait_for(lambda: self.probe.main_window(self.pid), seconds=30):
            raise SystemExit("memotab.exe shows no main window")
        self.reminders.started(datetime.datetime.now())
        self.listener.pid = self.pid
        program = Program(self.probe, self.desktop, self.pid, stale_icons)
        program.stacking_disagreements = self.stacking_disagreements  # kept over a restart
        if self.session is None:
            self.session = Session(program, self.desktop, self.model, self.reminders, self.rng, self.log, self.data)
        else:
            self.session.program = program
        watcher = Watcher(program, self.log, self.session.hear, self.error_box, self.picture, self.listener)
        self.session.watcher = watcher
        self.desktop.watch = watcher.poll
        self.model.start(self.session.setting("INICIO", "VER", "SI").startswith("SI"))
        self.session.moved.clear()
        tray = self.desktop.wait_for(program.tray_icons, seconds=15)
        if not tray:
            raise SystemExit("memotab.exe shows no tray icon")
        # Wine's tray window goes to the screen's bottom right corner, where a taskbar's tray would be.
        tray = self.probe.tray()["tray"]
        left, top, right, bottom = tray["rect"]
        self.probe.place(tray["hwnd"], SCREEN[0] - (right - left) - 4, SCREEN[1] - (bottom - top) - 4)
        self.desktop.pause(1.0)
        expected = {self.model.recno(n) for n in self.model.visible()}
        if not self.desktop.wait_for(lambda: set(program.notes()) == expected, seconds=20):
            self.session.trouble(f"after the start the notes shown are {sorted(program.notes())}, "
                                 f"expected {sorted(expected)}")
        self.log(f"started memotab.exe (process {self.pid}), {len(expected)} notes")

    def check_table(self, when):
        table = os.path.join(self.data, "MEMOTAB.DBF")
        tool = os.path.join(ROOT, "build/host/tools/memotab-db/memotab-db")
        problems = self.model.compare(dump(tool, table))
        checked = subprocess.run([tool, "check", table], capture_output=True, text=True)
        if checked.returncode != 0:
            problems.append(f"memotab-db check: {checked.stderr.strip()}")
        self.log(f"table check {when}: {len(self.model.records)} records, {len(problems)} differences")
        for problem in problems:
            self.log(f"  {problem}")
        return {"when": when, "records": len(self.model.records), "differences": problems}

    # The run.

    def settle(self):
        """What a person does between two actions: closes a finished balloon, a box, a
        reminder window, and looks at the screen for a moment."""
        self.session.watcher.closing = True
        self.desktop.pause(self.rng.uniform(0.8, 2.0))
        self.session.watcher.closing = False

    def recover(self):
        program = self.session.program
        program.close_menus()
        for title in ("Recordatorio", "Opciones"):
            for dialog in program.dialogs(title):
                self.desktop.key("Escape")
                self.desktop.pause(0.5)
        for note, window in self.session.open_notes():
            editor = next((c for c in program.children(window) if c["class"].lower() == "edit"), None)
            point = editor and self.session.strip_point(window, *note_actions.SAVE)
            if point:  # a person saves what is in the editor
                note.texto = self.probe.text(editor["hwnd"]) or ""
                self.desktop.click(*point)
                self.log(f"recovered: saved the editor of {note.tag or 'an untagged note'}")
        self.settle()
        shown = set(program.notes())
        for note in self.model.visible():
            if note.activada != (self.model.recno(note) in shown):
                self.log(f"recovered: {note.tag or 'untagged'} is {'open' if not note.activada else 'closed'}")
                note.activada = self.model.recno(note) in shown

    def choose_action(self, closing_time):
        names = []
        weights = []
        count = len(self.model.visible())
        for name, (weight, _) in ACTIONS.items():
            if name == "new note" and count >= 9:
                continue
            if name == "delete all" and count < 7:
                continue
            if name == "reminder" and datetime.datetime.now() + datetime.timedelta(minutes=4) > closing_time:
                continue
            names.append(name)
            weights.append(weight)
        return self.rng.choices(names, weights)[0]

    def act(self, name, action=None):
        """Does an action (`action`, else the one of that name); returns whether it was done."""
        self.log(f"action: {name}")
        try:
            done = (action or ACTIONS[name][1])(self.session)
        except Trouble as trouble:
            self.session.trouble(f"{name}: {trouble}")
            self.picture("trouble")
            self.recover()
            return False
        self.session.counts[name if done else name + " (not possible then)"] += 1
        self.settle()
        self.session.check_windows_match()
        return done

    def warm_up(self):
        """Does every kind of action once (each colour submenu, a deletion question), so that
        what the program makes once and keeps (the character's balloons, the colour swatches,
        the dialogs' pictures) is there before the first measurement and is not taken for
        growth. An action not possible then is tried again after more notes are opened."""
        self.log("warming up: every action once")
        for _ in range(6):
            if len(self.model.visible()) >= 5:
                break
            self.act("new note")
        steps = [(name, None) for name in ACTIONS if name not in ("delete all", "recolour")]
        steps += [("recolour", lambda s, which=which: note_actions.recolour(s, which))
                  for which in ("Color de la NOTA", "Color del Texto")]
        for name, action in steps:
            for _ in range(3):
                if self.act(name, action):
                    break
                self.act("show all")
        self.measure()

    def kill_and_restart(self):
        """Sets a reminder that falls due while the program is down, ends the program with
        taskkill /F, checks the table, and starts it again after that minute."""
        self.log("kill: a reminder for while the program is down")
        self.let_reminders_due_now_be_heard()
        for minutes in (2, 2, 1):
            if not any(n.tag for n, _ in self.session.open_notes()):
                self.act("edit")
            try:
                if note_actions.reminder(self.session, minutes=minutes):
                    break
            except Trouble as trouble:
                self.session.trouble(f"reminder before the kill: {trouble}")
                self.recover()
        due = self.reminders.last_due()
        killed = subprocess.run(["wine", "taskkill", "/F", "/IM", "memotab.exe"], capture_output=True, text=True)
        self.log(f"taskkill /F: {killed.stdout.strip()} {killed.stderr.strip()}")
        if self.probe.exit_code(self.pid, 10000) is None:
            raise SystemExit("taskkill /F left memotab.exe running")
        self.session.watcher.poll()  # what was heard before the end
        self.listener.pid = None
        self.reminders.ended(datetime.datetime.now())
        self.tables.append(self.check_table("after taskkill /F"))
        if due is not None:
            while datetime.datetime.now() < due + datetime.timedelta(seconds=62):
                time.sleep(1)
        self.start()
        self.warm_up()
        self.session.counts["taskkill /F and restart"] += 1

    def let_reminders_due_now_be_heard(self):
        """A reminder due about the moment of the kill could be marked announced in the table
        and killed before it was heard: neither its note nor its announcements could be judged.
        Such reminders are let come and be heard first (three minutes at most)."""
        give_up = time.monotonic() + 180
        while time.monotonic() < give_up:
            now = datetime.datetime.now()
            if not self.reminders.due_between(now - datetime.timedelta(seconds=30), now + datetime.timedelta(seconds=40)):
                return
            self.session.watcher.poll()
            time.sleep(1)
        self.log("kill: reminders still due about now after three minutes")

    def run(self):
        self.prepare()
        self.tables = []
        self.began = time.monotonic()
        end = self.began + self.minutes * 60
        closing_time = datetime.datetime.now() + datetime.timedelta(minutes=self.minutes)
        self.start()
        self.picture("start")
        killed = False
        self.warm_up()
        next_measure = time.monotonic() + MEASURE_EVERY
        next_picture = time.monotonic() + 300
        while time.monotonic() < end:
            if time.monotonic() >= next_measure:
                self.measure()
                next_measure = time.monotonic() + MEASURE_EVERY
            if not killed and time.monotonic() >= self.began + self.minutes * 30:
                self.kill_and_restart()
                killed = True
                next_measure = time.monotonic() + MEASURE_EVERY
                continue
            if time.monotonic() >= next_picture:
                self.picture("desktop")
                next_picture = time.monotonic() + 300
            self.act(self.choose_action(closing_time))
        self.measure()
        self.finish()

    def repeat(self, rounds):
        """Does the warm-up's round of every action again `rounds` times over the same few
        notes, measuring after each round: what grows with every round is a leak, what
        stops growing is a cache that has filled."""
        self.prepare()
        self.tables = []
        self.began = time.monotonic()
        self.start()
        for _ in range(rounds):
            self.warm_up()
            for _ in range(10):
                if len(self.model.visible()) <= 6:
                    break
                if not self.act("delete"):
                    self.act("show all")
        self.finish()

    def finish(self):
        last = self.reminders.last_due()
        if last is not None:
            self.log(f"waiting for the last reminder ({last:%H:%M})")
            limit = time.monotonic() + 300
            while datetime.datetime.now() < last + datetime.timedelta(seconds=50) and time.monotonic() < limit:
                self.settle()
        self.settle()
        self.picture("end")
        try:
            self.session.tray("Salir de Memotab v1.6")
        except Trouble as trouble:
            self.session.trouble(f"Salir: {trouble}")
            self.picture("trouble")
            subprocess.run(["wine", "taskkill", "/IM", "memotab.exe"], capture_output=True)
        code = self.probe.exit_code(self.pid, 20000)
        self.session.watcher.poll()  # what was heard before the end
        self.listener.pid = None
        self.reminders.ended(datetime.datetime.now())
        self.model.hide_all()
        self.log(f"memotab.exe ended with exit code {code}")
        if code != 0:
            self.errors.append(f"memotab.exe ended with exit code {code}")
        self.tables.append(self.check_table("at the end"))
        if os.path.exists(os.path.join(self.data, "Error.log")):
            self.errors.append("Error.log appeared in the data folder")

    def result(self):
        counts, reminder_problems = self.reminders.summary()
        growth, growth_problems = self.growth.summary()
        table_problems = [p for t in self.tables for p in t["differences"]]
        result = {
            "minutes": self.minutes, "seed": self.seed,
            "actions": dict(sorted(self.session.counts.items())) if self.session else {},
            "reminders": counts, "reminder problems": reminder_problems,
            "tables": self.tables, "growth": growth, "growth problems": growth_problems,
            "troubles": self.session.troubles if self.session else [], "errors": self.errors,
            "points covered on the screen only": self.stacking_disagreements,
        }
        result["passed"] = not (reminder_problems or growth_problems or table_problems or self.errors
                                or result["troubles"])
        return result


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("minutes", type=float)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--folder", default=None)
    parser.add_argument("--rounds", type=int, default=None,
                        help="instead of a random run, the round of every action this many times, measured after each")
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    folder = args.folder or os.path.join(ROOT, "build/soak", datetime.datetime.now().strftime("%Y%m%d-%H%M%S"))
    os.makedirs(folder, exist_ok=True)
    soak = Soak(args.minutes, seed, folder)
    soak.log(f"soak test: {args.minutes} minutes, seed {seed}, folder {folder}")
    try:
        if args.rounds:
            soak.repeat(args.rounds)
        else:
            soak.run()
    except Exception:  # the run breaks off; what it saw so far is still reported
        soak.errors.append("the soak test broke off: " + traceback.format_exc().strip().splitlines()[-1])
        soak.log(traceback.format_exc())
    finally:
        soak.listener.stop()
        soak.probe.close()
    result = soak.result()
    with open(os.path.join(folder, "result.json"), "w", encoding="utf-8") as file:
        json.dump(result, file, indent=2, ensure_ascii=False)
    print(json.dumps(result, indent=2, ensure_ascii=False))
    print(f"soak test {'passed' if result['passed'] else 'FAILED'}: {folder}")
    return 0 if result["passed"] else 1


if __name__ == "__main__":
    sys.exit(main())
