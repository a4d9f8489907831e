#!/usr/bin/env python3
"""Checks the default sound: a valid RIFF/WAVE file that the system's
simple sound player takes (uncompressed 16-bit PCM, mono), short, audible,
unclipped, and starting and ending at silence so it does not click.

    check_sound.py KIVO_WAV
"""
import struct
import sys
import wave


def main():
    path = sys.argv[1]
    raw = open(path, "rb").read()
    problems = []
    if raw[0:4] != b"RIFF" or raw[8:12] != b"WAVE":
        sys.exit("FAIL: not a RIFF/WAVE file")
    if struct.unpack_from("<I", raw, 4)[0] != len(raw) - 8:
        problems.append("the RIFF size does not match the file's length")
    fmt = raw.find(b"fmt ")
    if fmt < 0 or struct.unpack_from("<H", raw, fmt + 8)[0] != 1:
        problems.append("the format is not plain PCM")

    with wave.open(path, "rb") as w:
        channels, width, rate, frames = w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes()
        data = w.readframes(frames)
    if channels != 1:
        problems.append(f"{channels} channels, expected mono")
    if width != 2:
        problems.append(f"{8 * width}-bit samples, expected 16-bit")
    if rate not in (11025, 22050, 44100):
        problems.append(f"unusual sample rate {rate}")
    seconds = frames / rate if rate else 0
    if not 0.2 <= seconds < 1.0:
        problems.append(f"lasts {seconds:.2f} s, expected 0.2 to 1 s")
    if len(data) != frames * channels * width:
        problems.append("the data chunk is shorter than its header says")

    if width == 2 and channels == 1 and data:
        samples = struct.unpack("<%dh" % (len(data) // 2), data)
        peak = max(abs(s) for s in samples)
        if peak < 0.1 * 32767:
            problems.append(f"nearly silent (peak {peak})")
        if peak >= 32767:
            problems.append("clipped")
        # A jump from silence to a loud sample is heard as a click: the
        # first and last samples are silent and the first half millisecond
        # stays quiet.
        edge = max(1, int(0.0005 * rate))
        if abs(samples[0]) > 0.01 * 32767 or abs(samples[-1]) > 0.01 * 32767 or \
                max(abs(s) for s in samples[:edge] + samples[-edge:]) > 0.1 * 32767:
            problems.append("does not start and end at silence (it would click)")

    for p in problems:
        print("FAIL: " + p)
    if problems:
        sys.exit(1)
    print(f"PASS: {seconds:.2f} s, {rate} Hz, 16-bit mono PCM")


if __name__ == "__main__":
    main()
