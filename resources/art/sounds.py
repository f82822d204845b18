#!/usr/bin/python3
"""Writes Memotab's three sounds (16-bit mono WAV, 22050 Hz) into the given folder:
Aviso.Wav, a bright two-note chime for notices; Error.Wav, a low falling tone for errors;
Pregunta.Wav, a rising pair of notes for questions. Each note is a sine with a soft attack
and an exponential decay, plus a quieter octave for warmth."""
import math
import struct
import sys
import wave

RATE = 22050


def note(frequency, seconds, volume=0.5, decay=5.0):
    samples = []
    for i in range(int(RATE * seconds)):
        t = i / RATE
        envelope = min(1.0, t / 0.01) * math.exp(-decay * t)
        value = math.sin(2 * math.pi * frequency * t) + 0.3 * math.sin(4 * math.pi * frequency * t)
        samples.append(volume * envelope * value / 1.3)
    return samples


def glide(start, end, seconds, volume=0.45):
    samples, phase = [], 0.0
    count = int(RATE * seconds)
    for i in range(count):
        t = i / RATE
        frequency = start + (end - start) * i / count
        phase += 2 * math.pi * frequency / RATE
        envelope = min(1.0, t / 0.01) * min(1.0, (seconds - t) / 0.05)
        samples.append(volume * envelope * math.sin(phase))
    return samples


def mix(*parts):
    """Parts are (offset in seconds, samples)."""
    length = max(int(offset * RATE) + len(samples) for offset, samples in parts)
    out = [0.0] * length
    for offset, samples in parts:
        start = int(offset * RATE)
        for i, value in enumerate(samples):
            out[start + i] += value
    return out


def write(path, samples):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32000)) for s in samples))


def main(folder):
    write(f"{folder}/Aviso.Wav", mix((0.0, note(880, 0.35)), (0.12, note(1318.5, 0.6))))
    write(f"{folder}/Error.Wav", mix((0.0, glide(392, 220, 0.45)), (0.0, note(196, 0.5, 0.25, 3.0))))
    write(f"{folder}/Pregunta.Wav", mix((0.0, note(659.3, 0.25, decay=7.0)), (0.16, note(987.8, 0.45))))


if __name__ == "__main__":
    main(sys.argv[1])
