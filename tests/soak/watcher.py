"""Keeps an eye on what the program says by itself: the assistant's speech balloon, message
boxes, the reminder windows, and any error box. The balloon's texts and the reminder windows
come from the announcement listener, which hears them whatever the person is doing. Between a
person's actions it also closes what a person would close (a balloon that has finished
speaking, an information box, a reminder window)."""
import datetime
import time

from program import ERROR_TITLES, IDNO, IDOK, MESSAGE_TEXT_ID, centre, is_message_box

BALLOON_SETTLED = 1.5  # seconds a balloon's text stays the same before it counts as said in full


class Utterance:
    def __init__(self, text, how, at=None):
        self.text = text
        self.how = how
        self.at = at or datetime.datetime.now()  # when it was first seen


class Watcher:
    def __init__(self, program, log, on_said, on_error, screenshot, listener):
        self.program = program
        self.listener = listener  # takes() the balloon texts and reminder windows seen since its last call
        self.log = log
        self.on_said = on_said  # (utterance) for every new thing said: balloon, box or reminder window
        self.on_error = on_error  # (title, text) for an error box
        self.screenshot = screenshot
        self.closing = False  # whether to close finished balloons, boxes and reminder windows
        self.seen = set()  # windows already reported
        self.balloon = None  # the utterance the balloon shows
        self.balloon_changed = 0.0
        self.busy = False

    def poll(self):
        if self.busy:
            return
        self.busy = True
        try:
            self._poll()
        finally:
            self.busy = False

    def _poll(self):
        for sample in self.listener.take():
            self.heard(sample)
        shown = self.program.shown()
        balloons = [w for w in shown if w["class"] == "MemotabSpeechBalloon"]
        if balloons:
            self._close_finished_balloon(balloons[0])
        for window in shown:
            if window["title"] in ERROR_TITLES and window["hwnd"] not in self.seen:
                self.seen.add(window["hwnd"])
                children = self.program.children(window)
                text = " / ".join(c["title"] for c in children if c["title"])
                self.screenshot("error-box")
                self.on_error(window["title"], text)
            elif window["class"] == "#32770" and window["title"] == "Recordatorio":
                self._reminder_window(window)
            elif window["class"] == "#32770":
                self._message_box(window)

    def heard(self, sample):
        """A sample of the listener: a balloon's new text ("" once hidden) or a reminder window."""
        if sample["how"] == "window":
            self.on_said(Utterance(sample["text"] or "", "window", sample["at"]))
            return
        text = sample["text"] or ""
        current = self.balloon.text if self.balloon else ""
        if not text:
            self.balloon = None
        elif self.balloon is None or not text.startswith(current):
            self.balloon = Utterance(text, "speech", sample["at"])
            self.balloon_changed = time.monotonic()
            self.on_said(self.balloon)
        elif text != current:
            self.balloon.text = text
            self.balloon_changed = time.monotonic()

    def _close_finished_balloon(self, balloon):
        if (self.closing and self.balloon is not None and balloon["title"] == self.balloon.text
                and time.monotonic() - self.balloon_changed > BALLOON_SETTLED):
            self.program.desktop.click(*centre(balloon["rect"]))
            self.balloon_changed = time.monotonic()  # not clicked again before the listener hears it go

    def _reminder_window(self, window):
        children = self.program.children(window)
        if any(child["id"] == 800 for child in children):
            return  # the reminder dialog, a person's business
        if self.closing:
            ok = [c for c in children if c["id"] == 102]
            if ok:
                self.program.desktop.click(*centre(ok[0]["rect"]))

    def _message_box(self, window):
        children = self.program.children(window)
        if not is_message_box(children):
            return
        texts = [c for c in children if c["id"] == MESSAGE_TEXT_ID]
        if window["hwnd"] not in self.seen:
            self.seen.add(window["hwnd"])
            utterance = Utterance(self.program.probe.text(texts[0]["hwnd"]) or "", "box")
            utterance.title = window["title"]
            utterance.asks = any(c["id"] == IDNO for c in children)
            self.on_said(utterance)
        if self.closing:
            answer = [c for c in children if c["id"] in (IDOK, IDNO) and c["visible"]]
            if answer:
                if answer[0]["id"] == IDNO:
                    self.log(f"an unasked question {window['title']!r}: answered No")
                self.program.desktop.click(*centre(answer[0]["rect"]))
