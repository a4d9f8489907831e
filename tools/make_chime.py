#!/usr/bin/env python3
"""Writes Kivo's default new-mail sound: a soft two-note chime.

    make_chime.py OUT.wav

Two sine tones a major third apart (the higher first), each with a quiet
octave partial, a short attack and an exponential decay, mixed and faded
to silence. 16-bit PCM, mono, 22050 Hz, 0.6 s. The output is the same byte
for byte on every run, so builds stay reproducible.
"""
import math
import os
import struct
import sys
import wave

RATE = 22050
SECONDS = 0.6
PEAK = 0.45          # of full scale: a chime, not an alarm
ATTACK = 0.006       # seconds; avoids the click of a hard start
FADE = 0.05          # seconds of fade-out at the very end

# (start in seconds, frequency in Hz, decay time constant in seconds)
NOTES = [(0.0, 1318.51, 0.11), (0.14, 1046.50, 0.16)]


def note(t, start, freq, tau):
    if t < start:
        return 0.0
    u = t - start
    envelope = min(1.0, u / ATTACK) * math.exp(-u / tau)
    return envelope * (math.sin(2 * math.pi * freq * u)
                       + 0.2 * math.sin(2 * math.pi * 2 * freq * u))


def samples():
    count = int(RATE * SECONDS)
    raw = []
    for i in range(count):
        t = i / RATE
        v = sum(note(t, *n) for n in NOTES)
        left = (count - 1 - i) / RATE
        if left < FADE:
            v *= left / FADE
        raw.append(v)
    top = max(abs(v) for v in raw) or 1.0
    return [round(v / top * PEAK * 32767) for v in raw]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_chime.py OUT.wav")
    data = samples()
    # Written beside and renamed, so an interrupted build leaves no torn file.
    temp = sys.argv[1] + ".tmp"
    with wave.open(temp, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(struct.pack("<%dh" % len(data), *data))
    os.replace(temp, sys.argv[1])


if __name__ == "__main__":
    main()
