#!/usr/bin/python3
"""Synthesises the program's wave sounds into data/ with sox (Debian package sox).

Each sound is a short sum of tones with a fade; no dither, so the files are the same bytes on
every run. Run: /usr/bin/python3 tools/make_sounds.py [output folder, default data/]
"""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "data")

# name: list of (seconds, synth arguments) pieces played one after another, and the fade.
SOUNDS = {
    # a bell: short note with a long fade (a finished action)
    "Ding.wav": [(0.45, ["sine", "1320", "sine", "2640"])],
    # a low buzz (a refused input)
    "Error.wav": [(0.12, ["square", "220"]), (0.06, ["sine", "1"]), (0.18, ["square", "180"])],
    # a rising chord (the oracle, played at start)
    "Oracl.wav": [(0.18, ["sine", "523"]), (0.18, ["sine", "659"]), (0.36, ["sine", "784", "sine", "1047"])],
    "Long.wav": [(0.9, ["sine", "440", "sine", "660"])],
    "Short.wav": [(0.08, ["sine", "1760"])],
    # a ship's horn: two low notes
    "Ship.wav": [(0.5, ["sawtooth", "110", "sine", "165"]), (0.1, ["sine", "1"]), (0.7, ["sawtooth", "98", "sine", "147"])],
    "Begin.wav": [(0.12, ["sine", "660"]), (0.2, ["sine", "990"])],
    # a stone: a short burst of brown noise
    "Stone.wav": [(0.15, ["brownnoise"])],
    # a cuckoo: the falling third
    "Couto.wav": [(0.22, ["sine", "784"]), (0.05, ["sine", "1"]), (0.35, ["sine", "622"])],
    "Yes.wav": [(0.1, ["sine", "880"]), (0.14, ["sine", "1175"])],
    "no.wav": [(0.14, ["triangle", "392"]), (0.2, ["triangle", "294"])],
}

RATE = "11025"


def make(name, pieces):
    parts = []
    for i, (seconds, synth) in enumerate(pieces):
        part = os.path.join(DATA, ".%s.%d.wav" % (name, i))
        cmd = ["sox", "-D", "-R", "-n", "-r", RATE, "-c", "1", "-b", "16", part,
               "synth", "%g" % seconds] + synth + ["vol", "0.4", "fade", "q", "0.005", "%g" % seconds, "%g" % min(0.05, seconds / 2)]
        subprocess.run(cmd, check=True)
        parts.append(part)
    out = os.path.join(DATA, name)
    subprocess.run(["sox", "-D", "-R"] + parts + ["-r", RATE, "-c", "1", "-b", "16", out], check=True)
    for p in parts:
        os.remove(p)
    print("%-10s %6d bytes" % (name, os.path.getsize(out)))


def main():
    if subprocess.run(["sox", "--version"], capture_output=True).returncode != 0:
        sys.exit("sox is needed: apt-get install sox")
    os.makedirs(DATA, exist_ok=True)
    for name, pieces in SOUNDS.items():
        make(name, pieces)


if __name__ == "__main__":
    main()
