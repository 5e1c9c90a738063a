#!/usr/bin/env python3
"""Writes the key-click sound, data/tap.wav: a short, soft wooden tap.

The click is made from scratch: a burst of filtered noise for the attack and
two damped sine partials for the body, 16-bit mono at 44.1 kHz, about 40 ms
long. Run it from the repository root whenever the sound should change:
    python3 tools/make_tap_wav.py data/tap.wav
"""
import math
import random
import struct
import sys
import wave

RATE = 44100
LENGTH_S = 0.040
PARTIALS = ((1850.0, 0.55, 140.0), (3150.0, 0.25, 220.0))  # Hz, level, decay per second
NOISE_LEVEL = 0.35
NOISE_DECAY = 900.0
PEAK = 0.6  # of full scale, so the click never clips or startles


def samples():
    rng = random.Random(7)  # a fixed seed: the file is the same on every run
    smooth = 0.0
    for i in range(int(RATE * LENGTH_S)):
        t = i / RATE
        body = sum(level * math.exp(-decay * t) * math.sin(2 * math.pi * freq * t)
                   for freq, level, decay in PARTIALS)
        smooth = 0.6 * smooth + 0.4 * rng.uniform(-1.0, 1.0)  # a gentle low-pass
        attack = NOISE_LEVEL * math.exp(-NOISE_DECAY * t) * smooth
        fade = min(1.0, (LENGTH_S - t) / 0.005)  # no click at the very end
        yield (body + attack) * fade


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "data/tap.wav"
    values = list(samples())
    scale = PEAK / max(abs(v) for v in values)
    frames = b"".join(struct.pack("<h", int(round(v * scale * 32767))) for v in values)
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


if __name__ == "__main__":
    main()
