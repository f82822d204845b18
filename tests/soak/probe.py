"""The soak probe (memotab_soak_probe.exe) under Wine, asked one question at a time."""
import json
import subprocess


class ProbeError(Exception):
    pass


class Probe:
    def __init__(self, wine, probe_exe):
        self.process = subprocess.Popen([wine, probe_exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True, encoding="utf-8", bufsize=1)

    def ask(self, *words):
        self.process.stdin.write(" ".join(str(word) for word in words) + "\n")
        self.process.stdin.flush()
        line = self.process.stdout.readline()
        if not line:
            raise ProbeError("the probe has ended")
        answer = json.loads(line)
        if "error" in answer:
            raise ProbeError(answer["error"])
        return answer

    def close(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    # The questions, by name.

    def start(self, windows_dir):
        return self.ask("start", windows_dir)["pid"]

    def exit_code(self, pid, milliseconds=0):
        return self.ask("exit-code", pid, milliseconds)["code"]

    def main_window(self, pid):
        return self.ask("main", pid)["hwnd"]

    def windows(self, pid):
        return self.ask("windows", pid)["windows"]

    def children(self, hwnd):
        return self.ask("children", hwnd)["children"]

    def text(self, hwnd):
        return self.ask("text", hwnd)["text"]

    def send(self, hwnd, message, wparam=0, lparam=0):
        return self.ask("send", hwnd, message, wparam, lparam)["result"]

    def at(self, x, y):
        return self.ask("at", x, y)

    def pixel(self, x, y):
        rgb = self.ask("pixel", x, y)["rgb"]
        return tuple(rgb) if rgb else None

    def tray(self):
        return self.ask("tray")

    def place(self, hwnd, x, y):
        return self.ask("place", hwnd, x, y)["ok"]

    def resources(self, pid):
        return self.ask("resources", pid)
