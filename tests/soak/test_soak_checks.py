#!/usr/bin/python3
"""The soak test's own judgement, without Wine: which reminders had to be announced, how the
table model follows a restart and finds differences, when growth counts, and the pending
report's heading, and how the watcher hears what the listener saw."""
import datetime
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from growth import Growth  # noqa: E402
from model import Note, TableModel  # noqa: E402
from program import momentary  # noqa: E402
from reminders import ReminderLog  # noqa: E402
from tray_actions import heading  # noqa: E402
from watcher import Watcher  # noqa: E402

T0 = datetime.datetime(2026, 12, 8, 10, 0, 20)


def at(minutes, seconds=0):
    return T0 + datetime.timedelta(minutes=minutes, seconds=seconds)


def due(minutes):
    return (T0 + datetime.timedelta(minutes=minutes)).replace(second=0)


class ReminderExpectationTest(unittest.TestCase):
    def setUp(self):
        self.log = ReminderLog()
        self.log.started(T0)

    def test_a_minute_within_a_run_is_announced_once_and_twice_is_a_fault(self):
        self.log.set("N1", due(2), at(0))
        self.log.announced("N1", at(2, 3), "speech")
        counts, problems = self.log.summary()
        self.assertEqual((counts["due while running"], counts["announced once"]), (1, 1))
        self.assertEqual(problems, [])
        self.log.announced("N1", at(2, 9), "speech")
        self.assertIn("announced 2 times", self.log.summary()[1][0])

    def test_a_minute_while_down_stays_silent_and_the_start_minute_is_announced(self):
        self.log.set("N1", due(3), at(0))
        self.log.set("N2", due(6), at(0))
        self.log.ended(at(1))
        self.log.started(at(6, 5))  # in N2's minute: the first tick covers it
        self.assertEqual(self.log.expectation(self.log.reminders[0]), 0)
        self.assertEqual(self.log.expectation(self.log.reminders[1]), 1)
        self.log.announced("N1", at(7), "speech")
        self.assertTrue(any("N1" in p and "expected 0" in p for p in self.log.summary()[1]))

    def test_a_minute_cut_by_a_kill_cannot_be_judged(self):
        self.log.set("N1", due(1), at(0))
        self.log.ended(at(1, 10))
        self.assertIsNone(self.log.expectation(self.log.reminders[0]))

    def test_replaced_and_deleted_reminders_stay_silent(self):
        self.log.set("N1", due(3), at(0))
        self.log.set("N1", due(5), at(1))
        self.log.set("N2", due(3), at(0))
        self.log.note_deleted("N2", at(2))
        self.assertEqual([self.log.expectation(r) for r in self.log.reminders], [0, 1, 0])
        self.assertEqual(self.log.last_due(), due(5))

    def test_a_reminder_replaced_within_its_own_minute_cannot_be_judged(self):
        self.log.set("N1", due(2), at(0))
        self.log.set("N1", due(4), at(2, 1))  # the dialog was accepted as the minute began
        self.assertIsNone(self.log.expectation(self.log.reminders[0]))
        self.log.announced("N1", at(4, 3), "window")
        self.assertEqual(self.log.summary()[1], [])

    def test_an_undecidable_reminder_announced_twice_is_a_fault_unless_a_restart_cut_its_minute(self):
        self.log.set("N1", due(2), at(0))
        self.log.set("N1", due(4), at(2, 1))  # replaced as its minute began: once or not at all
        for seconds in (3, 9):
            self.log.announced("N1", at(2, seconds), "window")
        self.assertIsNone(self.log.expectation(self.log.reminders[0]))
        self.assertIn("announced 2 times", self.log.summary()[1][0])
        self.assertIn("expected at most 1", self.log.summary()[1][0])
        killed = ReminderLog()
        killed.started(T0)
        killed.set("N2", due(2), at(0))
        killed.announced("N2", at(2, 3), "window")  # shown, then killed before it was marked
        killed.ended(at(2, 4))
        killed.started(at(2, 20))
        killed.announced("N2", at(2, 25), "window")
        self.assertIsNone(killed.expectation(killed.reminders[0]))
        self.assertEqual(killed.summary()[1], [])

    def test_a_restart_in_a_later_minute_does_not_excuse_a_second_announcement(self):
        self.log.set("N1", due(2), at(0))
        self.log.announced("N1", at(1, 43), "window")  # 10:02:03
        self.log.ended(at(1, 44))  # killed within the minute
        self.log.started(at(2, 50))  # 10:03:10: the minute is gone, nothing of it is shown again
        self.log.announced("N1", at(2, 55), "window")
        self.assertIsNone(self.log.expectation(self.log.reminders[0]))
        problems = self.log.summary()[1]
        self.assertEqual(len(problems), 1, problems)
        self.assertIn("expected at most 1", problems[0])

    def test_an_announcement_of_no_reminder_is_a_fault(self):
        self.log.set("N1", due(3), at(0))
        self.log.announced("N1", at(1), "window")
        self.assertIn("matches no reminder", self.log.summary()[1][-1])


def note(tag, **fields):
    return Note(tag=tag, x1=1, y1=2, x2=26, y2=17, clrtexto=0, clrnota=65535, **fields)


def row(recno, n, **changes):
    fields = {"recno": recno, "deleted": n.deleted, "X1": 1, "Y1": 2, "X2": 26, "Y2": 17, "CLRTEXTO": 0,
              "CLRNOTA": 65535, "TEXTO": n.texto, "FECHA": n.fecha, "HORA": n.hora, "STATUS": n.status,
              "ACTIVADA": n.activada}
    fields.update(changes)
    return fields


class TableModelTest(unittest.TestCase):
    def test_a_start_drops_deleted_records_and_opens_or_closes_every_note(self):
        model = TableModel()
        for tag in ("N1", "N2", "N3"):
            model.append(note(tag))
        model.records[1].deleted = True
        model.start(show_notes=False)
        self.assertEqual([n.tag for n in model.records], ["N1", "N3"])
        self.assertEqual(model.recno(model.by_tag("N3")), 2)
        self.assertFalse(any(n.activada for n in model.records))
        model.start(show_notes=True)
        self.assertTrue(all(n.activada for n in model.records))

    def test_two_untagged_notes_alike_in_every_field_are_two_records(self):
        model = TableModel()
        model.append(Note(tag="", x1=5, y1=5, x2=30, y2=20, clrtexto=0, clrnota=65535))
        model.append(Note(tag="", x1=5, y1=5, x2=30, y2=20, clrtexto=0, clrnota=65535))
        self.assertEqual([model.recno(n) for n in model.visible()], [1, 2])

    def test_the_comparison_names_every_difference(self):
        model = TableModel()
        model.append(note("N1", texto="N1 año\r\nmás  "))
        model.append(note("N2", fecha="2026-12-08", hora="10:05", status="."))
        same = [row(1, model.records[0], TEXTO="N1 año\r\nmás"), row(2, model.records[1])]
        self.assertEqual(model.compare(same), [])
        black = [same[0], row(2, model.records[1], CLRNOTA=0, STATUS="X")]
        problems = model.compare(black)
        self.assertEqual(len(problems), 2)
        self.assertIn("CLRNOTA: table 0, expected 65535", problems[0])
        self.assertIn("holds 1 records", model.compare(same[:1])[0])


class GrowthTest(unittest.TestCase):
    def measures(self, windows, private):
        return {"windows": windows, "handles": 40, "gdi": 60, "private": private}

    def test_growth_beyond_the_tolerance_is_a_fault_and_within_it_is_not(self):
        growth = Growth()
        for minute, windows in enumerate([30, 30, 30, 30, 30, 30, 30, 31]):
            growth.sample(minute * 60, self.measures(windows, 50 << 20), 1)
        report, problems = growth.summary()
        self.assertEqual(report["measures"]["windows"]["growth"], 0.5)
        self.assertEqual(problems, ["windows grew by 0.5 in process 1 (tolerance 0)"])
        steady = Growth()
        for minute in range(8):
            steady.sample(minute * 60, self.measures(30, (50 << 20) + minute * 1000), 1)
        self.assertEqual(steady.summary()[1], [])

    def test_the_growth_of_gdi_objects_is_told_by_kind(self):
        growth = Growth()
        for minute, bitmaps in enumerate([50, 50, 51, 52, 53, 54, 55, 56]):
            kinds = {"bitmap": bitmaps, "dc": 40, "region": 30 + minute % 2}
            growth.sample(minute * 60, {**self.measures(30, 50 << 20), "gdi": sum(kinds.values()),
                                        "gdi_kinds": kinds}, 1)
        report, problems = growth.summary()
        self.assertEqual(report["measures"]["gdi"]["growth by kind"], {"bitmap": 5.5})
        self.assertEqual(problems, [])  # within the tolerance, and still shown by kind

    def test_wines_window_dc_cache_is_judged_against_its_ceiling_and_the_rest_by_growth(self):
        def measures(dcs, bitmaps, regions=3):
            kinds = {"dc": dcs, "kind 5": dcs, "region": dcs - 2 + regions, "bitmap": bitmaps}
            return {**self.measures(30, 50 << 20), "gdi": sum(kinds.values()), "gdi_kinds": kinds}
        filling = Growth()  # the cache fills from 45 to 66 DCs: 63 objects, none of them ours
        for minute, dcs in enumerate([45, 50, 60, 66, 66, 66, 66, 66]):
            filling.sample(minute * 60, measures(dcs, 57), 1)
        report, problems = filling.summary()
        self.assertEqual(problems, [])
        self.assertEqual(report["measures"]["gdi"]["growth"], 0)
        self.assertEqual(report["most window dcs"], 66)
        leaking = Growth()  # DCs past the ceiling, and bitmaps and regions of ours
        for minute, dcs in enumerate([66, 66, 66, 66, 66, 66, 67, 68]):
            leaking.sample(minute * 60, measures(dcs, 57 + 4 * minute, 3 + minute), 1)
        report, problems = leaking.summary()
        self.assertEqual(report["measures"]["gdi"]["growth"], 30.0)
        self.assertEqual(problems, ["gdi grew by 30.0 in process 1 (tolerance 8)",
                                    "68 window DCs, more than Wine's cache holds (66): DCs taken and not given back"])

    def test_objects_of_kind_5_beyond_the_caches_dcs_count_as_growth(self):
        growth = Growth()
        for minute in range(8):  # the cache full; two more objects of kind 5 every minute
            kinds = {"dc": 66, "kind 5": 66 + 2 * minute, "region": 64, "bitmap": 57}
            growth.sample(minute * 60, {**self.measures(30, 50 << 20), "gdi": sum(kinds.values()),
                                        "gdi_kinds": kinds}, 1)
        report, problems = growth.summary()
        self.assertEqual(report["measures"]["gdi"]["growth"], 12.0)
        self.assertEqual(report["measures"]["gdi"]["growth by kind"], {"kind 5": 12.0})
        self.assertEqual(problems, ["gdi grew by 12.0 in process 1 (tolerance 8)"])

    def test_wines_sound_thread_is_not_counted_among_the_programs_windows_and_only_one_is_its(self):
        growth = Growth()
        for minute in range(8):  # the sound thread's window comes and goes
            sound = minute % 3 == 0
            growth.sample(minute * 60, {**self.measures(10 + sound, 50 << 20), "sound_thread_windows": int(sound)}, 1)
        self.assertEqual(growth.summary()[1], [])
        growth.sample(8 * 60, {**self.measures(12, 50 << 20), "sound_thread_windows": 0}, 1)
        problems = growth.summary()[1]  # two windows of the program's own
        self.assertEqual(len(problems), 1)
        self.assertTrue(problems[0].startswith("windows grew by"), problems)
        twice = Growth()  # a second window of that class and title is not Wine's
        for minute in range(8):
            twice.sample(minute * 60, {**self.measures(10 + (minute >= 4), 50 << 20),
                                       "sound_thread_windows": 1 + (minute >= 4)}, 1)
        self.assertEqual(twice.summary()[1], ["windows grew by 1.0 in process 1 (tolerance 0)"])

    def test_a_restart_starts_from_scratch_and_each_run_is_judged(self):
        growth = Growth()
        for minute in range(4):  # the first run ends with more than the second starts with
            growth.sample(minute * 60, self.measures(31, 60 << 20), 1)
        for minute in range(4, 8):
            growth.sample(minute * 60, self.measures(30, 50 << 20), 2)
        self.assertEqual(growth.summary()[1], [])
        growth.sample(8 * 60, self.measures(30, 50 << 20), 3)  # one measurement cannot show growth
        leaking = Growth()
        for minute in range(4):
            leaking.sample(minute * 60, self.measures(30, 50 << 20), 1)
        for minute, windows in zip(range(4, 9), [30, 30, 31, 32, 33]):
            leaking.sample(minute * 60, self.measures(windows, 50 << 20), 2)
        report, problems = leaking.summary()
        self.assertEqual(report["measures"]["windows"]["process"], 2)
        self.assertEqual(problems, ["windows grew by 2.5 in process 2 (tolerance 0)"])
        self.assertEqual(Growth().summary()[1], ["too few measurements to compare"])


class MomentaryWindowsTest(unittest.TestCase):
    def test_boxes_menus_questions_and_a_shown_speech_balloon_are_of_the_moment(self):
        def window(kind, visible=True):
            return {"class": kind, "visible": visible, "title": ""}
        lasting = [window("TWINDOW", False), window("MemotabCharacter"), window("MemotabSpeechBalloon", False),
                   window("tooltips_class32", False)]
        self.assertEqual(momentary(lasting), [])
        for kind, visible in [("#32770", True), ("#32770", False), ("#32768", True),
                              ("MemotabQuestionBalloon", False), ("MemotabSpeechBalloon", True)]:
            self.assertEqual(momentary(lasting + [window(kind, visible)]), [window(kind, visible)])


class QuietProgram:
    """A program with no window shown: the watcher only hears what the listener saw."""
    def shown(self):
        return []


class Samples:
    """A listener that saw the given samples."""
    def __init__(self):
        self.waiting = []

    def saw(self, how, text, seconds=0):
        self.waiting.append({"hwnd": 1, "how": how, "text": text, "at": at(0, seconds)})

    def take(self):
        taken, self.waiting = self.waiting, []
        return taken


class HearingTest(unittest.TestCase):
    def setUp(self):
        self.listener = Samples()
        self.said = []
        self.watcher = Watcher(QuietProgram(), print, self.said.append, None, None, self.listener)

    def heard(self):
        return [(u.how, u.text, u.at) for u in self.said]

    def test_a_reminder_window_gone_before_the_poll_is_heard_once_at_the_time_it_came(self):
        self.listener.saw("window", "N3 llamar", seconds=7)
        self.watcher.poll()
        self.watcher.poll()
        self.assertEqual(self.heard(), [("window", "N3 llamar", at(0, 7))])

    def test_a_growing_balloon_is_one_utterance_and_the_same_text_again_after_it_went_is_another(self):
        for words in ("N1", "N1 comprar", "N1 comprar pan"):
            self.listener.saw("speech", words, seconds=1)
        self.watcher.poll()
        self.assertEqual(self.heard(), [("speech", "N1 comprar pan", at(0, 1))])
        self.listener.saw("speech", "", seconds=4)
        self.listener.saw("speech", "N1 comprar pan", seconds=5)
        self.watcher.poll()
        self.assertEqual(len(self.said), 2)
        self.assertEqual(self.said[1].at, at(0, 5))

    def test_a_new_sentence_in_a_balloon_still_shown_is_another_utterance(self):
        self.listener.saw("speech", "Tienes 2 notas")
        self.listener.saw("speech", "Esta nota")
        self.watcher.poll()
        self.assertEqual([u.text for u in self.said], ["Tienes 2 notas", "Esta nota"])


class PendingHeadingTest(unittest.TestCase):
    def test_one_and_several(self):
        self.assertEqual(heading(0), "No hay notas pendientes.")
        self.assertEqual(heading(1), "Tienes 1 nota pendiente y a continuación te voy a decir cual es.")
        self.assertEqual(heading(3), "Tienes 3 notas pendientes y a continuación te voy a decir cuales son.")


if __name__ == "__main__":
    unittest.main()
