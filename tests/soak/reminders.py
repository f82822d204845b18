"""The reminders the soak test set, the announcements it saw, and which reminders had to be
announced: every one whose minute began and ended while the program ran (or whose minute
is the minute the program started in), exactly once; none whose minute passed while the
program was down."""
import dataclasses
import datetime


@dataclasses.dataclass
class Reminder:
    tag: str
    due: datetime.datetime  # the start of its minute
    set_at: datetime.datetime
    replaced: datetime.datetime = None  # when a newer reminder of the same note took its place
    deleted: datetime.datetime = None  # when its note was deleted
    announcements: list = dataclasses.field(default_factory=list)

    def minute(self):
        return self.due.strftime("%H:%M")


@dataclasses.dataclass
class Run:
    started: datetime.datetime
    ended: datetime.datetime = None


def minute_of(moment):
    return moment.replace(second=0, microsecond=0)


class ReminderLog:
    def __init__(self):
        self.reminders = []
        self.runs = []
        self.unmatched = []  # announcements of no reminder the test set

    def set(self, tag, due, now):
        for earlier in self.reminders:
            if earlier.tag == tag and earlier.replaced is None and earlier.due + datetime.timedelta(minutes=1) > now:
                earlier.replaced = now
        self.reminders.append(Reminder(tag, due, now))

    def note_deleted(self, tag, now):
        for reminder in self.reminders:
            if reminder.tag == tag and reminder.deleted is None:
                reminder.deleted = now

    def started(self, now):
        self.runs.append(Run(now))

    def ended(self, now):
        self.runs[-1].ended = now

    def announced(self, tag, now, how):
        """Records an announcement of the note `tag` seen at `now`, for its latest reminder due by then."""
        candidates = [r for r in self.reminders if r.tag == tag and r.due <= now + datetime.timedelta(seconds=5)]
        if not candidates:
            self.unmatched.append((tag, now, how))
            return None
        reminder = candidates[-1]
        reminder.announcements.append((now, how))
        return reminder

    def expectation(self, reminder):
        """1 when the reminder had to be announced, 0 when it had to stay silent, None when the
        test cannot say (its minute overlapped a start or an end of the program)."""
        if reminder.deleted is not None and reminder.deleted < reminder.due + datetime.timedelta(minutes=1):
            return None if reminder.deleted >= reminder.due else 0
        if reminder.replaced is not None:  # before its minute: silent; within it: a race with the tick
            return 0 if reminder.replaced < reminder.due else None
        minute_end = reminder.due + datetime.timedelta(minutes=1)
        for run in self.runs:
            ended = run.ended or datetime.datetime.max
            if minute_of(run.started) == reminder.due:
                return 1  # the first tick after a start covers the start minute
            if run.started <= reminder.due and minute_end <= ended:
                return 1
            if run.started <= reminder.due < ended or run.started < minute_end <= ended:
                return None
        return 0

    def restarted_within_its_minute(self, reminder):
        """Whether the program ended and started again, both within the reminder's minute: a window
        shown just before a kill is shown again after the restart, its note not yet marked as
        announced. A restart in a later minute announces nothing of a minute gone by."""
        minute_end = reminder.due + datetime.timedelta(minutes=1)

        def within(moment):
            return moment is not None and reminder.due <= moment <= minute_end

        return any(within(run.ended) and within(restart.started) for run, restart in zip(self.runs, self.runs[1:]))

    def due_between(self, start, end):
        """The reminders still to come whose minute overlaps [start, end]."""
        return [r for r in self.reminders
                if r.replaced is None and r.deleted is None and r.due <= end and r.due + datetime.timedelta(minutes=1) > start]

    def last_due(self):
        live = [r.due for r in self.reminders if r.replaced is None and r.deleted is None]
        return max(live) if live else None

    def summary(self):
        """Counts, and a sentence for every reminder whose announcements were not as expected."""
        problems = []
        counts = {"set": len(self.reminders), "due while running": 0, "announced once": 0, "due while down": 0,
                  "silent while down": 0, "replaced or deleted": 0, "undecidable": 0}
        for reminder in self.reminders:
            expected = self.expectation(reminder)
            seen = len(reminder.announcements)
            gone = [m for m in (reminder.replaced, reminder.deleted) if m is not None and m < reminder.due]
            if gone:
                counts["replaced or deleted"] += 1
            if expected is None:
                counts["undecidable"] += 1
                if seen > 1 and not self.restarted_within_its_minute(reminder):  # once at most, whatever else is unsure
                    problems.append(self.miscount(reminder, "at most 1"))
                continue
            if expected == 1:
                counts["due while running"] += 1
                counts["announced once"] += seen == 1
            elif not gone:
                counts["due while down"] += 1
                counts["silent while down"] += seen == 0
            if seen != expected:
                problems.append(self.miscount(reminder, expected))
        for tag, at, how in self.unmatched:
            problems.append(f"announcement of {tag} at {at:%H:%M:%S} ({how}) matches no reminder")
        return counts, problems

    @staticmethod
    def miscount(reminder, expected):
        return (f"reminder of {reminder.tag} for {reminder.due:%Y-%m-%d %H:%M}: announced {len(reminder.announcements)} "
                f"times ({', '.join(f'{at:%H:%M:%S} {how}' for at, how in reminder.announcements)}), expected {expected}")
