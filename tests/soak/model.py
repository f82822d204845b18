"""What the note table must hold, kept by the soak test as it drives the program, and its
comparison with what the dump tool reads from the table."""
import dataclasses
import datetime
import json
import subprocess

# Palette values (0x00BBGGRR) in palette order, and the prompts of the note menu's colour
# submenus in the same order.
PALETTE = [0, 8388608, 32768, 8421376, 128, 8388736, 32896, 12632256, 8421504, 16711680, 65280, 16776960, 255,
           16711935, 65535, 16777215]


# A note is its record: two notes with the same contents and place are still two records.
@dataclasses.dataclass(eq=False)
class Note:
    tag: str  # the first word of its text, unique in the run
    x1: int
    y1: int
    x2: int
    y2: int
    clrtexto: int
    clrnota: int
    texto: str = ""
    fecha: str = None  # "YYYY-MM-DD"
    hora: str = ""
    status: str = ""
    activada: bool = True
    deleted: bool = False

    def pending(self):
        return self.fecha is not None and self.hora.strip() != "" and self.status != "X"


def stored_text(text):
    """A text as the dump shows it: trailing blanks removed."""
    return text.rstrip(" ")


class TableModel:
    def __init__(self):
        self.records = []  # by record number - 1, deleted ones included until the next start

    def visible(self):
        return [note for note in self.records if not note.deleted]

    def by_tag(self, tag):
        for note in self.records:
            if note.tag == tag and not note.deleted:
                return note
        return None

    def recno(self, note):
        return self.records.index(note) + 1

    def append(self, note):
        self.records.append(note)
        return len(self.records)

    def first_rectangle(self):
        """Whether the next new note takes the first note's place: only in a table with no record at all."""
        return not self.records

    def hide_all(self):
        for note in self.visible():
            note.activada = False

    def show_all(self):
        for note in self.visible():
            note.activada = True

    def delete_all(self):
        self.hide_all()
        for note in self.visible():
            note.deleted = True

    def start(self, show_notes):
        """The start-up's clean-up: deleted records go, every note is closed, then opened
        again when the settings say so."""
        self.records = [note for note in self.records if not note.deleted]
        for note in self.records:
            note.activada = show_notes

    def compare(self, dumped):
        """The differences between the model and the dump's records, as sentences."""
        problems = []
        if len(dumped) != len(self.records):
            problems.append(f"the table holds {len(dumped)} records, the model {len(self.records)}")
        for recno, (note, row) in enumerate(zip(self.records, dumped), start=1):
            expected = {
                "deleted": note.deleted, "X1": note.x1, "Y1": note.y1, "X2": note.x2, "Y2": note.y2,
                "CLRTEXTO": note.clrtexto, "CLRNOTA": note.clrnota, "TEXTO": stored_text(note.texto),
                "FECHA": note.fecha, "HORA": note.hora.rstrip(" "), "STATUS": note.status.rstrip(" "),
                "ACTIVADA": note.activada,
            }
            for field, value in expected.items():
                found = row.get(field)
                if isinstance(value, int) and not isinstance(value, bool) and isinstance(found, (int, float)):
                    found = int(found)
                if found != value:
                    problems.append(f"record {recno} ({note.tag}) {field}: table {found!r}, expected {value!r}")
            if row.get("recno") != recno:
                problems.append(f"record {recno} ({note.tag}) is numbered {row.get('recno')}")
        return problems


def dump(tool, table_path):
    """Every record of the table, deleted ones included, as the dump tool reads them."""
    done = subprocess.run([tool, "dump", table_path], capture_output=True, text=True, encoding="utf-8", check=True)
    return [json.loads(line) for line in done.stdout.splitlines() if line.strip()]


def today():
    return datetime.date.today().isoformat()
