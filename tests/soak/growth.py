"""The program's resources, measured with every note hidden at regular times of the run, and
their growth from the first quarter of the run to the last."""
import os

# How much a measure may grow from the first quarter's mean to the last quarter's mean.
TOLERANCE = {
    "windows": 0,  # every window the program made and holds, shown or not
    "handles": 16,  # kernel handles
    "gdi": 16,  # GDI objects (when the system counts them)
    "private": 4 << 20,  # private memory (anonymous resident memory of the process), bytes
}


def private_memory(prefix):
    """The anonymous resident memory (bytes) of the memotab.exe that runs in a Wine prefix, read
    from the system (Wine reports no private memory of another process); None when not found."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as file:
                if not file.read().split(b"\0")[0].lower().endswith(b"memotab.exe"):
                    continue
            with open(f"/proc/{entry}/environ", "rb") as file:
                if f"WINEPREFIX={prefix}".encode() not in file.read().split(b"\0"):
                    continue
            with open(f"/proc/{entry}/status", encoding="ascii") as file:
                for line in file:
                    if line.startswith("RssAnon:"):
                        return int(line.split()[1]) * 1024
        except OSError:
            continue
    return None


def mean(values):
    return sum(values) / len(values) if values else None


class Growth:
    def __init__(self):
        self.samples = []  # (seconds since the start of the run, process id, resources)

    def sample(self, seconds, resources, pid):
        self.samples.append((seconds, pid, resources))

    def summary(self):
        """The first and last quarters' means of every measure, their growth, and a sentence for
        every growth beyond its tolerance."""
        if len(self.samples) < 2:
            return {"samples": len(self.samples)}, ["too few measurements to compare"]
        length = self.samples[-1][0]
        first = [r for t, _, r in self.samples if t <= length / 4] or [self.samples[0][2]]
        last = [r for t, _, r in self.samples if t >= length * 3 / 4] or [self.samples[-1][2]]
        report = {"samples": len(self.samples), "seconds": round(length), "measures": {}}
        problems = []
        for measure, tolerance in TOLERANCE.items():
            before, after = mean([r[measure] for r in first]), mean([r[measure] for r in last])
            grown = after - before
            report["measures"][measure] = {"first quarter": round(before, 1), "last quarter": round(after, 1),
                                           "growth": round(grown, 1), "tolerance": tolerance}
            if grown > tolerance:
                problems.append(f"{measure} grew by {grown:.1f} (tolerance {tolerance})")
        report["all"] = [{"seconds": round(t), "process": pid, **r} for t, pid, r in self.samples]
        return report, problems
