"""Listens for what the program announces by itself, on a thread of its own with a probe of its
own, so that nothing is missed while the person is busy (typing a long text, waiting for a
menu): the probe looks every few milliseconds, and a reminder window that a typed key closes
at once is still heard."""
import datetime
import queue
import threading
import time

from probe import Probe, ProbeError

LISTEN_MILLISECONDS = 250  # one request to the probe; the samples come back after it


class AnnouncementListener:
    def __init__(self, wine, probe_exe):
        self.probe = Probe(wine, probe_exe)
        self.samples = queue.Queue()  # {"hwnd", "how": "speech"|"window", "text", "at"}, in the order seen
        self.pid = None  # the program listened to; None while it is down
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self._listen, name="announcements", daemon=True)
        self.thread.start()

    def _listen(self):
        while not self.stopping.is_set():
            pid = self.pid
            if pid is None:
                time.sleep(0.05)
                continue
            try:
                seen = self.probe.ask("announcements", pid, LISTEN_MILLISECONDS)["seen"]
            except ProbeError:
                time.sleep(0.05)
                continue
            now = datetime.datetime.now()
            for sample in seen:
                sample["at"] = now
                self.samples.put(sample)

    def take(self):
        """The samples seen since the last call."""
        taken = []
        while True:
            try:
                taken.append(self.samples.get_nowait())
            except queue.Empty:
                return taken

    def stop(self):
        self.stopping.set()
        self.thread.join(timeout=5)
        self.probe.close()
