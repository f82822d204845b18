"""The X display as a person uses it: the pointer, the keyboard and the screen (xdotool and
ImageMagick), and a wait that keeps watching the program while it waits."""
import re
import subprocess
import time

DOUBLE_CLICK_SECONDS = 0.6  # two clicks closer than this would make a double click


class Desktop:
    def __init__(self, log):
        self.log = log
        self.last_click = 0.0
        self.watch = lambda: None  # called while waiting: looks at the program's windows

    def xdotool(self, *words):
        subprocess.run(["xdotool", *[str(word) for word in words]], check=True, capture_output=True)

    def move(self, x, y):
        # From two pixels away, so that the window there hears of a move even when the pointer was there.
        self.xdotool("mousemove", x - 2, y - 2, "mousemove", x, y)

    def click(self, x, y, button=1):
        pause = self.last_click + DOUBLE_CLICK_SECONDS - time.monotonic()
        if pause > 0:
            time.sleep(pause)
        self.move(x, y)
        time.sleep(0.05)
        self.xdotool("click", button)
        self.last_click = time.monotonic()

    def window_name_at(self, x, y):
        """The name of the X window that a click at (x, y) reaches: the pointer goes there and
        the X server is asked, whose stacking of the windows decides where a click goes."""
        self.move(x, y)
        shell = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True, text=True,
                               check=True).stdout
        window = dict(line.split("=", 1) for line in shell.split() if "=" in line).get("WINDOW")
        if window is None:
            return None
        name = subprocess.run(["xdotool", "getwindowname", window], capture_output=True, text=True)
        return name.stdout.strip() if name.returncode == 0 else None

    def drag(self, start, end, steps=8):
        self.move(*start)
        self.xdotool("mousedown", 1)
        for step in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * step // steps
            y = start[1] + (end[1] - start[1]) * step // steps
            self.xdotool("mousemove", x, y)
            self.pause(0.05)
        self.pause(0.2)
        self.xdotool("mouseup", 1)
        self.last_click = time.monotonic()

    def key(self, *names):
        self.xdotool("key", "--delay", 40, *names)

    def type(self, text):
        """Types a text as a person does; line breaks with the Return key. A character outside
        ASCII goes alone and slowly: xdotool lends it a key of its own for the moment, and a
        program that has not yet heard of that key's new meaning would miss it."""
        for number, line in enumerate(text.split("\n")):
            if number:
                self.key("Return")
            for run in re.findall(r"[\x20-\x7e]+|[^\x20-\x7e]", line):
                if run.isascii():
                    self.xdotool("type", "--delay", 25, "--", run)
                else:
                    self.xdotool("type", "--delay", 120, "--", run)
                    time.sleep(0.1)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], check=False, capture_output=True)

    def pause(self, seconds):
        """Waits, watching the program all the while."""
        end = time.monotonic() + seconds
        while True:
            self.watch()
            left = end - time.monotonic()
            if left <= 0:
                return
            time.sleep(min(0.15, left))

    def wait_for(self, condition, seconds=8.0, every=0.15):
        """Checks the condition, watching the program in between, until it holds (its value
        is returned) or the time is up (None)."""
        end = time.monotonic() + seconds
        while True:
            self.watch()
            value = condition()
            if value:
                return value
            if time.monotonic() >= end:
                return None
            time.sleep(every)
