#!/usr/bin/env python3
"""Writes the trial files of the golden-output runs into trials/.

Jumps built from a velocity profile as the synthetic trials of the C++ tests
are (still, dip, push, flight under gravity, stop), with a small fixed ripple
on the force so that the filters have something to do, in every file kind the
reader takes; and a cut of the demonstration trial at half its rate. The files
are committed; run this only to change them, then `scripts/golden-outputs
update`.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
G = 9.81


def jump(lines, fs, mass, start, dip, take_off, phase_s=0.2):
    """(displacement, force) per data line of a jump; force m(g + a), 0 in flight."""
    phase = int(phase_s * fs)
    up = start + 2 * phase
    landing = up + round(2 * take_off / G * fs)
    rest = landing + int(0.1 * fs)
    v = []
    for i in range(lines):
        if start <= i < start + phase:
            x = -dip * math.sin(math.pi * (i - start) / phase)
        elif start + phase <= i <= up:
            x = take_off * math.sin(math.pi / 2 * (i - start - phase) / phase)
        elif up < i <= landing:
            x = take_off - G * (i - up) / fs
        elif landing < i < rest:
            x = (take_off - G * (landing - up) / fs) * (rest - i) / (rest - landing)
        else:
            x = 0.0
        v.append(x)
    disp, force, d = [], [], 1.0
    for i in range(lines):
        if i:
            d += (v[i - 1] + v[i]) / 2 / fs
        disp.append(d)
        a = (v[i + 1] - v[i - 1]) * fs / 2 if 0 < i < lines - 1 else 0.0
        in_flight = up < i < landing
        ripple = 3 * math.sin(1.7 * i) + 2 * math.sin(0.37 * i)
        force.append(0.0 if in_flight else max(0.0, mass * (9.807 + a) + ripple))
    return disp, force


def num(x, decimals):
    text = f"{x:.{decimals}f}"
    return text[1:] if text.startswith("-") and float(text) == 0 else text


def data_lines(disp, force):
    out = []
    for i, d in enumerate(disp):
        line = num(d, 4)
        if force is not None:
            line += " " * (14 - len(line) % 14) + num(force[i], 5)
        out.append(line)
    return "".join(line + "\r\n" for line in out)


def write(name, text, folder="trials"):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "w", newline="") as f:
        f.write(text)


def lifts(fs, heights):
    """Displacement of lifts from a bar zeroed at the bottom: up, hold, down, rest."""
    disp = []

    def move(seconds, a, b):
        n = int(seconds * fs)
        for i in range(n):
            u = i / n
            disp.append(a + (b - a) * u * u * u * (10 - 15 * u + 6 * u * u))

    move(0.5, 0.0, 0.0)
    for h in heights:
        move(0.8, 0.0, h)
        move(0.3, h, h)
        move(1.0, h, 0.0)
        move(0.4, 0.0, 0.0)
    return disp


def main():
    os.makedirs(os.path.join(HERE, "trials"), exist_ok=True)
    # Countermovement jump, displacement and force: version 2.
    d, f = jump(601, 500, 78.5, 100, 0.5, 2.0)
    write("a_cmj_v2.qlx", '"QLX Data File Version 2"\r\n"2026-03-14 09:26:53"\r\n'
          '500,1,78.5,"G7","Ada","Moss",78.5\r\n' + data_lines(d, f))
    # Squat jump at 250 Hz, displacement only: version 2 without force.
    d, _ = jump(301, 250, 70, 50, 0.0, 1.8)
    write("b_squat_v2_noforce.qlx", '"QLX Data File Version 2"\r\n"2026-03-14 09:31:02"\r\n'
          '250,0,70,"G8","Ben","Hale",70\r\n' + data_lines(d, None))
    # Countermovement jump: version 1 with force.
    d, f = jump(501, 500, 92, 60, 0.7, 1.6)
    write("c_cmj_v1.qlx", '"QLX Data File"\r\n"2026-03-14 09:40:10"\r\n500,1,92\r\n' +
          data_lines(d, f))
    # A file without a header (force always read): mass from the settings.
    d, f = jump(451, 500, 65, 40, 0.4, 1.5)
    write("d_headerless.QLX", "500,0\r\n" + data_lines(d, f))
    # A force-platform export: no displacement, body weight in newtons.
    _, f = jump(500, 500, 84, 80, 0.6, 2.2, phase_s=0.15)
    head = ("BioWare 3.0 Export,\r\nTrial,1\r\nNumber of samples:  500\r\n"
            "Sampling rate:        500\r\n" + "Header line\r\n" * 5 +
            "Body weight [N]:    823.788\r\nColumns\r\nUnits\r\n")
    write("e_platform_export.qlx", head + "".join(f"0.0000 {num(x, 5)}\r\n" for x in f))
    # The demonstration trial around its jump, every second sample (250 Hz).
    with open(os.path.join(TOP, "data", "test.dat"), newline="") as src:
        lines = src.read().split("\r\n")
    write("f_demo_250hz.qlx", "\r\n".join(lines[:2]) + "\r\n" +
          lines[2].replace("500,", "250,", 1) + "\r\n" +
          "".join(line + "\r\n" for line in lines[3 + 700:3 + 1950:2]))
    # Three lifts of falling height for the training mode's repetitions
    # (kept apart from trials/, which the batch runs take whole).
    write("lifts_v2.qlx", '"QLX Data File Version 2"\r\n"2026-03-14 10:02:45"\r\n'
          '250,0,82.5,"G9","Cleo","Marsh",82.5\r\n' +
          data_lines(lifts(250, [0.62, 0.55, 0.48]), None), folder="reps")


if __name__ == "__main__":
    main()
