"""The program's resources, measured with every note hidden at regular times of the run, and
their growth from the first quarter of the run to the last."""
import os

# How much a measure may grow from the first quarter's mean to the last quarter's mean.
TOLERANCE = {
    "windows": 0,  # every window the program made and holds, shown or not
    "handles": 4,  # kernel handles
    "gdi": 8,  # GDI objects (when the system counts them), apart from Wine's cache of window DCs
    "private": 4 << 20,  # private memory (anonymous resident memory of the process), bytes
}
# Wine keeps in every process a cache of window DCs that fills as windows ask for DCs and
# never shrinks: 64 at most, each a DC with a region and an object of kind 5, beside two DCs
# of the process without a region (measured: a process that gives 200 windows a DC each holds
# 66 DCs from the 34th window on, and more only while it holds more than 64 at once). Growth
# is judged apart from that cache, whose regions and objects of kind 5 are bounded by its DCs;
# the DCs against its ceiling. A DC of ours taken and never given back only takes an entry
# of the cache and shows in no count: the soak cannot see such a leak (an in-process Windows
# test counts the DCs that the program's code takes and gives back).
WINDOW_DC_CEILING = 66
DCS_WITHOUT_REGION = 2
# Wine's sound thread's window, made in the program's process when a sound plays and kept for
# minutes after (measured: still there a minute after the last sound). Not the program's own
# window: the windows are counted without it (the probe counts the windows of its class and
# title; at most one is Wine's).


def judged(resources):
    """The measures judged: the windows without Wine's sound thread's, and the GDI objects
    apart from the window DC cache (when counted by class and by kind); the probe's whole
    counts stay as "windows all" and "gdi all", the DCs as "window dcs"."""
    sound = resources.get("sound_thread_windows")
    if sound is not None:
        resources = {**resources, "windows all": resources["windows"], "windows": resources["windows"] - min(sound, 1)}
    kinds = resources.get("gdi_kinds")
    if not kinds:
        return resources
    dcs = kinds.get("dc", 0)
    cache = dcs + min(kinds.get("kind 5", 0), dcs) + min(kinds.get("region", 0), max(dcs - DCS_WITHOUT_REGION, 0))
    return {**resources, "gdi all": resources["gdi"], "gdi": resources["gdi"] - cache, "window dcs": dcs}


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
    """Measurements of the program's resources. Growth is judged within each run of the
    program (a restart starts from scratch), from the first quarter of that run's
    measurements to its last; the largest growth of every measure counts."""

    def __init__(self):
        self.samples = []  # (seconds since the start of the run, process id, resources)

    def sample(self, seconds, resources, pid):
        self.samples.append((seconds, pid, judged(resources)))

    def runs(self):
        """The samples of every process that was measured at least twice."""
        by_process = {}
        for seconds, pid, resources in self.samples:
            by_process.setdefault(pid, []).append((seconds, resources))
        return {pid: samples for pid, samples in by_process.items() if len(samples) >= 2}

    @staticmethod
    def quarters(samples):
        begin, end = samples[0][0], samples[-1][0]
        length = end - begin
        first = [r for t, r in samples if t - begin <= length / 4]
        last = [r for t, r in samples if t - begin >= length * 3 / 4]
        return first, last

    @staticmethod
    def growth_by_kind(first, last):
        """The growth of each kind of GDI object (bitmaps, regions, …) that changed."""
        kinds = sorted({kind for r in first + last for kind in r.get("gdi_kinds", {})})
        growth = {kind: round(mean([r.get("gdi_kinds", {}).get(kind, 0) for r in last])
                              - mean([r.get("gdi_kinds", {}).get(kind, 0) for r in first]), 1) for kind in kinds}
        return {kind: value for kind, value in growth.items() if value}

    def summary(self):
        """Every measure's largest growth over the runs of the program, and a sentence for
        every growth beyond its tolerance."""
        runs = self.runs()
        if not runs:
            return {"samples": len(self.samples)}, ["too few measurements to compare"]
        report = {"samples": len(self.samples), "measures": {}}
        problems = []
        for measure, tolerance in TOLERANCE.items():
            worst = None
            for pid, samples in runs.items():
                first, last = self.quarters(samples)
                before, after = mean([r[measure] for r in first]), mean([r[measure] for r in last])
                if worst is None or after - before > worst["growth"]:
                    worst = {"process": pid, "seconds": round(samples[-1][0] - samples[0][0]),
                             "first quarter": round(before, 1), "last quarter": round(after, 1),
                             "growth": round(after - before, 1), "tolerance": tolerance}
                    if measure == "gdi":
                        worst["growth by kind"] = self.growth_by_kind(first, last)
            report["measures"][measure] = worst
            if worst["growth"] > tolerance:
                problems.append(f"{measure} grew by {worst['growth']:.1f} in process {worst['process']} "
                                f"(tolerance {tolerance})")
        most_dcs = max((r.get("window dcs", 0) for _, _, r in self.samples), default=0)
        report["most window dcs"] = most_dcs
        if most_dcs > WINDOW_DC_CEILING:
            problems.append(f"{most_dcs} window DCs, more than Wine's cache holds ({WINDOW_DC_CEILING}): "
                            f"DCs taken and not given back")
        report["all"] = [{"seconds": round(t), "process": pid, **r} for t, pid, r in self.samples]
        return report, problems
