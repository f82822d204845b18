"""The soak run's measurements of the program's resources, taken with every note hidden at a
quiet moment."""
import os
import time

import tray_actions
from growth import private_memory
from program import Trouble, momentary

QUIET_WITHIN = 60  # seconds a measurement waits for the program's windows of the moment to go


class Measuring:
    """The measuring part of the soak run (mixed into it): uses its session, desktop, probe,
    growth and log, and its settle, picture and recover."""

    def momentary(self):
        return momentary(self.session.program.windows())

    def wait_until_quiet(self):
        """Waits, closing what a person closes, until the program has no window of the moment,
        so that a measurement counts only the windows that last; False when it never came."""
        self.session.watcher.closing = True
        try:
            return self.desktop.wait_for(lambda: not self.momentary(), seconds=QUIET_WITHIN, every=0.5) is not None
        finally:
            self.session.watcher.closing = False

    def measure(self):
        """Hides every note, waits for a quiet moment, measures the program's resources, shows
        the notes again."""
        self.log("measurement")
        try:
            tray_actions.hide_all(self.session)
            self.settle()
            if not self.wait_until_quiet():
                self.session.trouble(f"no quiet moment to measure in {QUIET_WITHIN} s: " + ", ".join(
                    f"{w['class']} {w['title']!r}" for w in self.momentary()))
            resources = self.probe.resources(self.pid)
            resources["private"] = private_memory(os.environ["WINEPREFIX"])
            self.log(f"resources: {resources}")
            self.growth.sample(time.monotonic() - self.began, resources, self.pid)
            tray_actions.show_all(self.session)
        except Trouble as trouble:
            self.session.trouble(f"measurement: {trouble}")
            self.picture("trouble")
            self.recover()
        self.session.counts["measurements (all hidden, then shown)"] += 1
        self.settle()
