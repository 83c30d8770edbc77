#!/usr/bin/python3
# bench_whole_run.py BUILD WORK RUNS - the body of bench-whole-run.sh: the drawing made, the
# commands timed in turn, their figures printed.
import math
import os
import shutil
import statistics
import subprocess
import sys
import time

BUILD, WORK, RUNS = sys.argv[1], sys.argv[2], int(sys.argv[3])
FIGURES, VERTICES = 999, 1000  # closed polylines, bulged vertices each
ELEMENTS = FIGURES * VERTICES


def make_drawing(path):
    """999 closed polylines of 1,000 bulged vertices in a grid: the same bytes on every machine."""
    with open(path, "w", newline="\n") as f:
        f.write("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n"
                "0\nSECTION\n2\nENTITIES\n")
        for n in range(FIGURES):
            cx, cy = 100.0 * (n % 37), 100.0 * (n // 37)
            f.write(f"0\nLWPOLYLINE\n8\n0\n90\n{VERTICES}\n70\n1\n")
            rows = []
            for i in range(VERTICES):
                a = 2 * math.pi * i / VERTICES
                r = 40.0 + 2.0 * math.sin(7 * a)
                bulge = 0.01 if i % 2 else -0.01
                rows.append(f"10\n{cx + r * math.cos(a):.6f}\n20\n{cy + r * math.sin(a):.6f}\n"
                            f"42\n{bulge:.6f}\n")
            f.write("".join(rows))
        f.write("0\nENDSEC\n0\nEOF\n")


def run(command, cwd):
    """One run: wall seconds, processor seconds, peak resident bytes."""
    start = time.monotonic()
    child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL,
                             env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(command)}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss * 1024


drawing = os.path.join(WORK, "whole-run.dxf")
if not os.path.exists(drawing):
    make_drawing(drawing + ".part")
    os.replace(drawing + ".part", drawing)
script = os.path.join(WORK, "run.vel")
with open(script, "w") as f:
    f.write("run\nselect -100 -100 3800 2800\ndone\nescape\n")
registry = os.path.join(WORK, "run.reg")
settings = ('Windows Registry Editor Version 5.00\n\n'
            '[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\n'
            '"mType"="1"\n"Method"="0"\n"mIsCheckHole"="1"\n')

def ours():
    with open(registry, "w") as f:
        f.write(settings)
    return [os.path.join(BUILD, "bin", "velhost"), "run", "--drawing", drawing, "--script", script,
            "--registry", registry, "--out", os.path.join(WORK, "out.dxf")]

commands = {"dxflib's bare parse": lambda: [os.path.join(BUILD, "bin", "dxflib_bare"), drawing]}
if shutil.which("librecad"):
    commands["LibreCAD's load (dxf2pdf)"] = lambda: ["librecad", "dxf2pdf", drawing]

size = os.path.getsize(drawing)
print(f"drawing: {FIGURES} closed polylines of {VERTICES} bulged vertices, {ELEMENTS:,} elements, "
      f"{size / 1e6:.1f} MB")
figures = {name: [] for name in ["our whole run", *commands]}
for i in range(RUNS + 1):  # the first round warms the caches and is not counted
    rounds = {"our whole run": run(ours(), WORK)}
    for name, command in commands.items():
        rounds[name] = run(command(), WORK)
    if i:
        for name, figure in rounds.items():
            figures[name].append(figure)

median = lambda values: statistics.median(values)
print(f"{'':28}{'cpu s':>10}{'wall s':>10}{'peak MiB':>10}")
for name, rows in figures.items():
    print(f"{name:28}{median([r[1] for r in rows]):10.3f}{median([r[0] for r in rows]):10.3f}"
          f"{median([r[2] for r in rows]) / 2**20:10.1f}")
for name in commands:
    ratio = median([a[1] / b[1] for a, b in zip(figures["our whole run"], figures[name])])
    print(f"our whole run against {name}: {ratio:.2f} (processor time, median of the pairs)")
peak = median([r[2] for r in figures["our whole run"]])
print(f"our whole run's peak: {peak / ELEMENTS:.0f} bytes per element")
