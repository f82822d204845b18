"""What a person does through the tray menu with all notes at once, the pending report, the
options and the assistant."""
import datetime
import re

from note_actions import answer_question, close_message_boxes
from program import Trouble, centre

FINAL_SENTENCES = ("Eso es todo. Por ahora no hay mas pendientes.", "No hay notas pendientes.")
RESTART_MESSAGE = "Los cambios tendrán efecto cuando reinicie Memotab v1.6"
USE_AGENT_BOX = "Usar el agente para avisarle de los eventos."


def show_all(s):
    s.tray("Mostrar todas las Notas")
    s.model.show_all()
    expected = {s.model.recno(n) for n in s.model.visible()}
    if not s.desktop.wait_for(lambda: set(s.program.notes()) == expected, seconds=10):
        raise Trouble(f"\"Mostrar todas las Notas\" shows {sorted(s.program.notes())}, expected {sorted(expected)}")
    return True


def hide_all(s):
    s.tray("Ocultar todas las Notas")
    s.model.hide_all()
    s.moved.clear()
    if not s.desktop.wait_for(lambda: not s.program.notes(), seconds=10):
        raise Trouble(f"\"Ocultar todas las Notas\" leaves {sorted(s.program.notes())} open")
    return True


def delete_all(s):
    s.tray("Eliminar todas las Notas")
    answer_question(s, len(s.said), True)
    if not s.desktop.wait_for(lambda: not s.program.notes(), seconds=10):
        raise Trouble("\"Eliminar todas las Notas\" leaves notes on the screen")
    for note in s.model.visible():
        s.reminders.note_deleted(note.tag, s.now())
    s.model.delete_all()
    s.moved.clear()
    return True


def heading(count):
    if count == 0:
        return "No hay notas pendientes."
    plural = count > 1
    return (f"Tienes {count} nota{'s' if plural else ''} pendiente{'s' if plural else ''} y a continuación te voy "
            f"a decir cual{'es son.' if plural else ' es.'}")


def pending_report(s):
    """Asks for the pending notes and listens to every sentence, closing each box or
    balloon as it has been said; checks the heading's count against the model."""
    if s.reminders.due_between(s.now(), s.now() + datetime.timedelta(seconds=90)):
        return False  # an announcement in the middle would change the count under the person's ears
    pending = [n for n in s.model.visible() if n.pending()]
    since = len(s.said)
    s.tray("Notas pendientes")
    s.watcher.closing = True
    final = None
    try:
        final = s.desktop.wait_for(lambda: next((u for u in s.said[since:] if u.text in FINAL_SENTENCES), None),
                                   seconds=40 + 30 * len(pending))
    finally:
        s.watcher.closing = False
    if final is None:
        raise Trouble(f"the pending report did not end ({len(s.said) - since} sentences heard)")
    first = s.said[since].text if len(s.said) > since else ""
    if first.split()[:3] != heading(len(pending)).split()[:3]:
        s.trouble(f"the pending report begins {first!r}, expected {heading(len(pending))!r}")
    listed = [u.text for u in s.said[since + 1:] if u.text.startswith("Esta nota ")]
    tags = [re.split(r"\s", text.split(".   ", 1)[1])[0] if ".   " in text else "" for text in listed]
    if tags != [n.tag for n in pending]:
        s.trouble(f"the pending report lists {tags}, expected {[n.tag for n in pending]}")
    s.counts["pending notes reported"] += len(pending)
    return True


def options_use_agent(s):
    """Turns the assistant's announcements off or on in the options."""
    if s.reminders.due_between(s.now(), s.now() + datetime.timedelta(seconds=90)):
        return False  # a reminder window coming up over the dialog would take the person's clicks
    s.tray("Configurar")
    dialog = s.desktop.wait_for(lambda: next(iter(s.program.dialogs("Opciones")), None))
    if dialog is None:
        raise Trouble("\"Configurar\" opens no options dialog")
    box = open_agent_page(s, dialog)
    was = s.program.checked(box)
    if was != s.use_agent():
        s.trouble(f"the options show the assistant {'on' if was else 'off'}, the settings say the opposite")
    s.desktop.click(*centre(box["rect"]))
    if not s.desktop.wait_for(lambda: s.program.checked(box) != was, seconds=3):
        raise Trouble("a click on the assistant's check box does not change it")
    since = len(s.said)
    accept = next((c for c in s.program.children(dialog) if c["title"] == "&Aceptar" and c["visible"]), None)
    if accept is None:
        raise Trouble("the options dialog has no \"&Aceptar\" button")
    s.desktop.click(*(s.program.visible_point(dialog, accept["rect"], s.rng) or centre(accept["rect"])))
    if s.wait_to_hear(since, RESTART_MESSAGE, seconds=20) is None:
        raise Trouble("Accept in the options says nothing of a restart")
    close_message_boxes(s, since)
    # The dialog ends once the character has said it (it waits for its words).
    if not s.desktop.wait_for(lambda: not s.program.dialogs("Opciones"), seconds=20):
        raise Trouble("Accept leaves the options dialog open")
    if s.use_agent() == was:
        raise Trouble(f"the settings file still says USAR={'.T.' if was else '.F.'}")
    s.log(f"options: announcements through the assistant {'off' if was else 'on'}")
    s.counts["assistant " + ("off" if was else "on")] += 1
    return True


def open_agent_page(s, dialog):
    """Clicks along the options' tab strip, right to left, until the assistant's page shows."""
    tabs = next((c for c in s.program.children(dialog) if c["class"] == "SysTabControl32"), None)
    if tabs is None:
        raise Trouble("the options dialog has no tabs")
    left, top, right, _ = tabs["rect"]
    def box():
        return next((c for c in s.program.children(dialog) if c["title"] == USE_AGENT_BOX and c["visible"]), None)
    for x in range(min(right - 10, left + 200), left + 10, -25):
        found = box()
        if found:
            return found
        s.desktop.click(x, top + 10)
        found = s.desktop.wait_for(box, seconds=1)
        if found:
            return found
    raise Trouble("no tab of the options shows the assistant's page")


def toggle_agent(s):
    visible = s.program.agent_visible()
    s.tray("Ocultar Agente" if visible else "Mostrar Agente")
    if not s.desktop.wait_for(lambda: s.program.agent_visible() != visible, seconds=10):
        raise Trouble(f"\"{'Ocultar' if visible else 'Mostrar'} Agente\" leaves the assistant as it was")
    return True


def close_menu(s):
    s.tray("Cerrar menú")
    return True
