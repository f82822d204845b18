"""What a person does with one note: write in it, recolour it, move it, close it, delete it
and give it a reminder. Each action returns False when the screen offers no way to do it
now (no such note, or the note is covered), and raises Trouble when the program does not
do what the person expected."""
import datetime

from model import PALETTE, Note
from program import COLOUR_MENU, IDNO, IDYES, NOTE_MENU, Trouble, centre
from session import NOTE_HEIGHT, NOTE_WIDTH

SAVE = (162, 178)  # the save button's part of the title strip, from the note's left edge
CLOSE = (183, 198)
DRAG_BAR = (10, 150)


def new_note(s):
    first = s.model.first_rectangle()
    recno = len(s.model.records) + 1
    s.tray("Nueva nota")
    window = s.desktop.wait_for(lambda: s.program.notes().get(recno))
    if window is None:
        raise Trouble(f"\"Nueva nota\" opens no window \"Nota {recno}\"")
    left, top, right, bottom = window["rect"]
    if (right - left, bottom - top) != (NOTE_WIDTH, NOTE_HEIGHT) or left % 8 or top % 16:
        raise Trouble(f"the new note's window is at {window['rect']}")
    x1, y1 = left // 8, top // 16
    if first and (x1, y1) != (5, 5):
        raise Trouble(f"the first note of an empty table opens at column {x1}, row {y1}")
    if not first and not (0 <= x1 <= 65 and 0 <= y1 <= 18):
        raise Trouble(f"a new note opens at column {x1}, row {y1}")
    clrnota, clrtexto = s.default_colours()
    s.model.append(Note(tag="", x1=x1, y1=y1, x2=x1 + 25, y2=y1 + 15, clrtexto=clrtexto, clrnota=clrnota))
    s.log(f"Nota {recno} opened at column {x1}, row {y1}")
    if not s.desktop.wait_for(lambda: s.note_colour_at_edge(window) in (rgb(clrnota), None), seconds=3):
        raise Trouble(f"the new note shows {s.note_colour_at_edge(window)}, its colour is {rgb(clrnota)}")
    return True


def rgb(colour):
    return (colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF)


def edit(s):
    picked = s.pick_open_note()
    if picked is None:
        return False
    note, window, point = picked
    if s.strip_point(window, *SAVE) is None:
        return False
    s.log(f"editing Nota {s.model.recno(note)} ({note.tag or 'untagged'}), click at {point}")
    s.desktop.click(*point)
    editor = s.desktop.wait_for(lambda: next((c for c in s.program.children(window) if c["class"].lower() == "edit"), None))
    if editor is None and not s.program.owns_point(window, *point):
        s.log(f"a window came over Nota {s.model.recno(note)} at {point} as it was clicked")
        return False
    if editor is None:
        raise Trouble(f"a click on Nota {s.model.recno(note)} opens no editor")
    inside = s.program.visible_point(window, editor["rect"], s.rng) or point
    s.desktop.click(*inside)
    before = s.program.probe.text(editor["hwnd"]) or ""
    if before != note.texto:
        s.trouble(f"the editor of Nota {s.model.recno(note)} opens with {before!r}, the note holds {note.texto!r}")
    if not note.tag:
        note.tag = s.new_tag()
    typed = s.text_to_type()
    if note.texto and s.rng.random() < 0.4:
        s.desktop.key("ctrl+End")
        typed = " " + typed
        expected = before + typed.replace("\n", "\r\n")
    else:
        s.desktop.key("ctrl+Home", "ctrl+shift+End")
        typed = f"{note.tag} {typed}"
        expected = typed.replace("\n", "\r\n")
    s.desktop.type(typed)
    shown = s.desktop.wait_for(lambda: (s.program.probe.text(editor["hwnd"]) or "") == expected, seconds=3)
    in_editor = s.program.probe.text(editor["hwnd"]) or ""
    if not shown and expected.startswith(in_editor):
        # The editor has no scroll bar: it takes no more than fits in the note.
        s.counts["long texts cut where the note is full"] += 1
        s.log(f"the editor of Nota {s.model.recno(note)} is full after {len(in_editor)} of {len(expected)} characters")
    elif not shown:  # the typing tool's slip, not the program's: what the editor shows is what counts
        s.counts["typing slips (the editor's text is kept)"] += 1
        s.log(f"typing slip: typed {expected!r} into Nota {s.model.recno(note)}, the editor shows {in_editor!r}")
    save = s.strip_point(window, *SAVE)
    if save is None:  # a reminder shown meanwhile, say: closed first, as a person does
        x, y = window["rect"][0] + (SAVE[0] + SAVE[1]) // 2, window["rect"][1] + 8
        cover = s.program.probe.at(x, y)["root"]
        s.log(f"the save button of Nota {s.model.recno(note)} is covered by {s.program.probe.text(cover)!r}")
        save = s.once_uncovered(lambda: s.strip_point(window, *SAVE))
    if save is None:
        raise Trouble(f"the save button of Nota {s.model.recno(note)} is covered while editing")
    s.desktop.click(*save)
    if not s.desktop.wait_for(lambda: not any(c["class"].lower() == "edit" for c in s.program.children(window))):
        raise Trouble(f"the save button of Nota {s.model.recno(note)} leaves the editor open")
    note.texto = in_editor
    view = [c for c in s.program.children(window)
            if c["class"].lower() == "static" and c["visible"] and c["rect"][1] > window["rect"][1] + 20]
    if not view or (s.program.probe.text(view[0]["hwnd"]) or "") != in_editor:
        raise Trouble(f"after saving, Nota {s.model.recno(note)} does not show its text")
    return True


def recolour(s, which=None):
    """Recolours a note through one of the two colour submenus (`which`, else either)."""
    picked = s.pick_open_note()
    if picked is None:
        return False
    note, window, point = picked
    which = which or s.rng.choice(["Color de la NOTA", "Color del Texto"])
    menu = s.note_menu(point)
    s.program.point_at_item(menu, "LOGO2", NOTE_MENU, NOTE_MENU.index(which))
    submenu = s.program.wait_for_menu([menu["hwnd"]])
    if submenu is None:
        raise Trouble(f"{which!r} opens no submenu")
    current = note.clrnota if which == "Color de la NOTA" else note.clrtexto
    index = s.rng.choice([i for i, value in enumerate(PALETTE) if value != current])
    prompt = [p for p in COLOUR_MENU if p is not None][index]
    s.log(f"Nota {s.model.recno(note)} ({note.tag or 'untagged'}): {which} {prompt}, menu at {point}")
    s.program.choose(submenu, "LOGO", COLOUR_MENU, prompt)
    s.desktop.wait_for(lambda: not s.program.menus(), seconds=3)
    if which == "Color de la NOTA":
        note.clrnota = PALETTE[index]
        shown = s.desktop.wait_for(lambda: s.note_colour_at_edge(window) in (rgb(note.clrnota), None), seconds=3)
        if not shown:
            raise Trouble(f"Nota {s.model.recno(note)} shows {s.note_colour_at_edge(window)} after "
                          f"choosing {prompt!r} ({rgb(note.clrnota)})")
    else:
        note.clrtexto = PALETTE[index]
    return True


def close(s):
    picked = s.pick_strip_point(CLOSE)
    if picked is None:
        return False
    note, point = picked
    s.log(f"closing Nota {s.model.recno(note)} at {point}")
    s.desktop.click(*point)
    if not s.desktop.wait_for(lambda: s.model.recno(note) not in s.program.notes()):
        raise Trouble(f"the close button of Nota {s.model.recno(note)} leaves it open")
    note.activada = False
    s.moved.discard(id(note))
    return True


def drag(s):
    picked = s.pick_strip_point(DRAG_BAR)
    if picked is None:
        return False
    note, point = picked
    target = (s.rng.randrange(0, 700), s.rng.randrange(0, 480))
    s.log(f"dragging Nota {s.model.recno(note)} from {point} to {target}")
    s.desktop.drag(point, target)
    def place():
        return s.program.notes().get(s.model.recno(note), {}).get("rect", [0, 0])[:2]
    if not s.desktop.wait_for(lambda: place() == list(target), seconds=3):
        raise Trouble(f"Nota {s.model.recno(note)} dragged to {target} is at {place()}")
    s.moved.add(id(note))
    return True


def answer_question(s, since, yes):
    """Answers the deletion question, in the assistant's balloon or in a box; returns its text."""
    def question():
        for window in s.program.shown():
            if window["class"] == "MemotabQuestionBalloon" or (
                    window["class"] == "#32770" and window["title"] == "Memotab v1.6"
                    and s.program.control(window, IDYES)):
                return window
        return None
    window = s.desktop.wait_for(question, seconds=10)
    if window is None:
        raise Trouble("no question before a deletion")
    s.desktop.pause(0.3)
    s.program.click_control(window, IDYES if yes else IDNO)
    if not s.desktop.wait_for(lambda: window["hwnd"] not in [w["hwnd"] for w in s.program.shown()]):
        raise Trouble("the deletion question stays open after the answer")
    return window


def delete(s):
    if len([n for n in s.model.visible()]) <= 3:
        return False
    picked = s.pick_open_note()
    if picked is None:
        return False
    note, window, point = picked
    recno = s.model.recno(note)
    yes = s.rng.random() < 0.85
    s.log(f"deleting Nota {recno} ({note.tag or 'untagged'}), menu at {point}, answer {'yes' if yes else 'no'}")
    menu = s.note_menu(point)
    s.program.choose(menu, "LOGO2", NOTE_MENU, "&Borrar NOTA")
    answer_question(s, len(s.said), yes)
    if yes:
        if not s.desktop.wait_for(lambda: recno not in s.program.notes()):
            raise Trouble(f"Nota {recno} stays on the screen after its deletion")
        note.deleted = True  # its window closes and its record is marked closed
        note.activada = False
        s.reminders.note_deleted(note.tag, s.now())
        s.moved.discard(id(note))
    else:
        s.desktop.pause(0.5)
        if recno not in s.program.notes():
            raise Trouble(f"Nota {recno} went away although the deletion was refused")
    s.counts["delete answered " + ("yes" if yes else "no")] += 1
    return True


def reminder(s, minutes=None, bad_time=None):
    """Gives a note with a text a reminder some minutes ahead (within today), through the
    note menu and the reminder dialog; now and then a wrong time is typed and corrected."""
    picked = s.pick_open_note(lambda n: n.tag)
    if picked is None:
        return False
    now = s.now()
    due = (now + datetime.timedelta(minutes=minutes or s.rng.randint(1, 3))).replace(second=0, microsecond=0)
    if due.date() != now.date() or (due - now).total_seconds() < 25:
        return False
    note, window, point = picked
    s.log(f"reminder for Nota {s.model.recno(note)} ({note.tag}) at {due:%H:%M}, menu at {point}")
    menu = s.note_menu(point)
    s.program.choose(menu, "LOGO2", NOTE_MENU, "Recordatorio")
    dialog = s.desktop.wait_for(s.program.reminder_dialog)
    if dialog is None:
        raise Trouble("\"Recordatorio\" opens no reminder dialog")
    status = s.program.control(dialog, 800)
    has_one = note.fecha is not None or note.hora.strip() != ""
    wanted = "Esta Nota ya tiene recordatorio programado" if has_one else "Esta Nota NO tiene recordatorio"
    if status is None or status["title"] != wanted:
        s.trouble(f"the reminder dialog of {note.tag} says {status and status['title']!r}, expected {wanted!r}")
    if bad_time is None and s.rng.random() < 0.2:
        bad_time = s.rng.choice(["25:75", "24:00", "23:60"])
    if bad_time:
        type_time(s, dialog, bad_time)
        since = len(s.said)
        s.program.click_control(dialog, 103)
        message = ("Las horas van de 00 a 23." if int(bad_time[:2]) > 23 else "Los minutos van de 00 a 59.")
        # A person listens to the end of the sentence before going on.
        if s.wait_to_hear(since, message + " Corrija e intente de nuevo.") is None:
            raise Trouble(f"the time {bad_time} is taken without a word")
        s.desktop.pause(1.0)
        close_message_boxes(s, since)
        if s.program.reminder_dialog() is None:
            raise Trouble(f"the reminder dialog closed with the time {bad_time}")
        s.counts["wrong times corrected"] += 1
    type_time(s, dialog, due.strftime("%H:%M"))
    s.program.click_control(dialog, 103)
    if not s.desktop.wait_for(lambda: s.program.reminder_dialog() is None):
        raise Trouble("Accept leaves the reminder dialog open")
    note.fecha, note.hora, note.status = due.date().isoformat(), due.strftime("%H:%M"), "."
    s.reminders.set(note.tag, due, s.now())
    s.log(f"reminder: {note.tag} at {due:%H:%M}")
    return True


def type_time(s, dialog, text):
    field = s.program.click_control(dialog, 102)
    s.desktop.key("End", "shift+Home")
    s.desktop.type(text)
    if not s.desktop.wait_for(lambda: s.program.probe.text(field["hwnd"]) == text, seconds=3):
        raise Trouble(f"typed the time {text!r}, the field shows {s.program.probe.text(field['hwnd'])!r}")


def close_message_boxes(s, since):
    """Closes the information boxes the program opened since utterance `since`, as a person does."""
    for window in s.program.message_boxes():
        ok = s.program.control(window, 1) or s.program.control(window, 2)
        if ok:
            s.desktop.click(*centre(ok["rect"]))
    s.desktop.pause(0.3)
