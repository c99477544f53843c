#!/usr/bin/env python3
"""Writes the seed rolls of the roll target into the folder given (default
fuzz/corpus/roll): small rolls of the kinds the player's unit and end-to-end
tests build in memory, one file each. Run it again after changing a roll;
the files are committed, so fuzzing needs no Python."""

import os
import struct
import sys


def vlv(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)


class Roll:
    """One track of events at absolute ticks, written in tick order."""

    def __init__(self, division=192):
        self.division = division
        self.events = []

    def raw(self, tick, data):
        self.events.append((tick, len(self.events), bytes(data)))
        return self

    def on(self, tick, hole, status=0x90):
        return self.raw(tick, [status, hole, 64])

    def off(self, tick, hole, status=0x80, velocity=64):
        return self.raw(tick, [status, hole, velocity])

    def hole(self, hole, a, b):
        return self.on(a, hole).off(b, hole)

    def meta(self, tick, kind, payload):
        if isinstance(payload, str):
            payload = payload.encode("latin-1")
        return self.raw(tick, bytes([0xFF, kind]) + vlv(len(payload)) + payload)

    def tempo(self, tick, micro):
        return self.raw(tick, [0xFF, 0x51, 0x03, micro >> 16, (micro >> 8) & 0xFF, micro & 0xFF])

    def required(self, start, first=99):
        """Ten closings of required holes, so that the roll is played."""
        for i in range(10):
            self.hole(first + i, start + 48 * i, start + 48 * i + 24)
        return self

    def body(self):
        out = b""
        last = 0
        for tick, _, data in sorted(self.events):
            out += vlv(tick - last) + data
            last = tick
        return out + b"\x00\xff\x2f\x00"

    def file(self, tracks=1):
        body = self.body()
        head = b"MThd" + struct.pack(">IHHH", 6, 0 if tracks == 1 else 1, tracks, self.division)
        chunk = b"MTrk" + struct.pack(">I", len(body)) + body
        empty = b"MTrk" + struct.pack(">I", 4) + b"\x00\xff\x2f\x00"
        return head + chunk + empty * (tracks - 1)


def rolls():
    # The road of one hole: pedal hole 6 for a quarter note at 192 ticks.
    yield "one-pedal-hole", Roll().hole(6, 192, 384).required(1000)
    yield "header-texts-and-tempo", (
        Roll()
        .meta(0, 2, "(c) 1927 Estey")
        .tempo(0, 500000)
        .meta(0, 3, "Hymn")
        .meta(5, 1, "Roll 165")
        .required(200)
    )
    yield "tempo-out-of-range", Roll().tempo(0, 8000000).hole(6, 192, 384).required(1000)
    yield "tempo-zero", Roll().tempo(0, 500000).tempo(10, 0).hole(6, 192, 384).required(1000)
    yield "short-meta-events", (
        Roll()
        .raw(0, [0xFF, 0x02, 0x00])
        .raw(0, [0xFF, 0x51, 0x01, 0x07])
        .raw(0, [0xFF, 0x51, 0x02, 0x07, 0xA1])
        .raw(0, [0xF0, 0x02, 0x01, 0xF7])
        .required(100)
    )
    yield "manuals", Roll().hole(30, 29, 222).hole(31, 0, 222).hole(7, 300, 500).required(600)
    yield "channel-5-and-velocity-0", (
        Roll().on(192, 6, 0x95).off(384, 6, 0x95, 0).on(400, 8).off(500, 8, 0x90, 0).required(600)
    )
    yield "reopened-and-idle-holes", (
        Roll().on(100, 6).on(192, 6).off(384, 6).off(50, 8).off(400, 1).off(500, 123).required(600)
    )
    yield "hole-121-and-122", Roll().on(0, 6).on(10, 121).off(960, 6).off(480, 121).hole(122, 1000, 1100).required(1200)
    yield "other-messages", (
        Roll()
        .raw(0, [0xB0, 7, 100])
        .raw(0, [0xC0, 5])
        .raw(0, [0xE0, 0, 64])
        .hole(6, 192, 384)
        .raw(400, [0xA0, 6, 1])
        .meta(500, 1, "x")
        .required(600)
    )
    yield "holes-out-of-range", Roll().hole(0, 0, 10).hole(126, 20, 30).hole(127, 40, 50).required(100)
    plain = Roll()
    for n, hole in enumerate([1, 2, 3, 4, 5, 125]):
        t = 1000 * n
        plain.hole(hole, t, t + 10).hole(6, t + 100, t + 150).hole(8, t + 200, t + 250).hole(10, t + 300, t + 350)
    yield "stop-controls-plain", plain.required(7000)
    together = Roll()
    for n, hole in enumerate([3, 3, 1, 125]):
        t = 2000 * n
        together.hole(hole, t, t + 10).hole(124, t + 100, t + 110).hole(123, t + 120, t + 130)
        together.hole(6, t + 300, t + 400)
    yield "stop-controls-together", together.required(9000)
    swell = Roll()
    for i, hole in enumerate([123, 123, 123, 124, 124, 124, 124, 123]):
        swell.hole(hole, 200 * i, 200 * i + 20).hole(7, 200 * i + 50, 200 * i + 150)
    yield "swell-shades", swell.required(2000)
    yield "coarse-division", Roll(1).hole(6, 0, 1).hole(7, 1, 2).required(10)
    yield "two-tracks", (Roll().hole(6, 192, 384).required(1000), 2)
    yield "not-a-roll", Roll().hole(60, 0, 100)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "corpus", "roll")
    os.makedirs(folder, exist_ok=True)
    for name, roll in rolls():
        tracks = 1
        if isinstance(roll, tuple):
            roll, tracks = roll
        with open(os.path.join(folder, name + ".mid"), "wb") as f:
            f.write(roll.file(tracks))
    # The SMPTE division, and running status across the whole track.
    smpte = Roll().hole(6, 192, 384).required(1000)
    smpte.division = 0xE728
    with open(os.path.join(folder, "smpte-division.mid"), "wb") as f:
        f.write(smpte.file())
    running = b"\x00\x90\x06\x40\x60\x06\x00" + b"".join(
        bytes([0x00, h, 0x40, 0x30, h, 0x00]) for h in range(99, 110)
    ) + b"\x00\xff\x2f\x00"
    with open(os.path.join(folder, "running-status.mid"), "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(running)) + running)


if __name__ == "__main__":
    main()
