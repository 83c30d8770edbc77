#!/usr/bin/python3
# dxf_interop.py - drawings written by another DXF library, in every version from
# R12 to R2018, read by velhost: model space only (a sheet's title block in paper
# space stays out), block references exploded (scaled, turned, mirrored, nested,
# arrays), ellipses and splines, a flat 3D polyline and polyface mesh, Korean
# layer names in the code page of the version (CP949) or in UTF-8, CRLF line
# ends. For each file the extents of what velhost read match the other library's
# measure of the model's figures, and an insert built around a window over
# everything encloses them. Then the same for a sample of the drawings another CAD
# program ships (its parts library, sheets and hatch patterns), when installed.
# Exits 77 (skipped) when the other library is not installed.
import glob
import math
import os
import subprocess
import sys
import tempfile

try:
    import ezdxf
    from ezdxf import bbox
except ImportError:
    print("ezdxf is not installed; skipped")
    sys.exit(77)

VELHOST = sys.argv[1]
FIGURES = {"LINE", "ARC", "CIRCLE", "POINT", "LWPOLYLINE", "POLYLINE", "ELLIPSE", "SPLINE", "INSERT"}
# Every 42nd of the other program's shipped drawings: 32 files of every kind it has.
SHIPPED = sorted(glob.glob("/usr/share/librecad/**/*.dxf", recursive=True))[::42]
VERSIONS = ["R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"]


def make(version, path, crlf):
    doc = ezdxf.new(version)
    if version in ("R12", "R2000", "R2004"):
        doc.encoding = "cp949"  # names as CP949 bytes under $DWGCODEPAGE ANSI_949
    doc.layers.add("외곽선")
    msp = doc.modelspace()
    msp.add_line((0, 0), (100, 0), dxfattribs={"layer": "외곽선"})
    msp.add_circle((50, 25), 10)
    msp.add_arc((0, 0), 5, 30, 300)
    msp.add_polyline3d([(0, 0, 5), (10, 0, 5), (10, 10, 5)])
    mesh = msp.add_polyface()  # flat: read as its outline, which widens the extents
    mesh.append_faces([[(500, -300, 2), (520, -300, 2), (520, -280, 2)], [(500, -300, 2), (520, -280, 2), (500, -270, 2)]])
    if version != "R12":
        msp.add_ellipse((200, 0), (30, 10), 0.3, start_param=0.5, end_param=4)
        msp.add_open_spline([(0, -50), (20, -90), (40, -40), (60, -80)], degree=3)
        msp.add_rational_spline([(0, 0), (10, 20), (30, -10), (40, 5)], [1, 3, 0.5, 1]).translate(-300, 0, 0)
    bolt = doc.blocks.new("BOLT", base_point=(1, 2))
    bolt.add_circle((1, 2), 2)
    bolt.add_arc((1, 2), 4, 0, 120)
    bolt.add_line((0, 0), (5, 5), dxfattribs={"layer": "0"})
    nest = doc.blocks.new("NEST")
    nest.add_blockref("BOLT", (10, 0), dxfattribs={"rotation": 30})
    msp.add_blockref("BOLT", (300, 300), dxfattribs={"xscale": 2, "yscale": 0.5, "rotation": 25})
    msp.add_blockref("NEST", (-100, 50), dxfattribs={"xscale": -1.5, "yscale": 1.5})
    msp.add_blockref("BOLT", (0, -200), dxfattribs={"rotation": 10}).grid(size=(2, 3), spacing=(20, 15))
    msp.add_text("텍스트", dxfattribs={"insert": (5000, 5000)})
    sheet = doc.layouts.get("Layout1")
    sheet.add_line((0, 0), (10000, 10000))  # a title block far from the part
    doc.saveas(path)
    if crlf:
        with open(path, "rb") as f:
            data = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        with open(path, "wb") as f:
            f.write(data)
    figures = [e for e in doc.modelspace() if e.dxftype() in FIGURES]
    ext = bbox.extents(figures, fast=False)
    return (ext.extmin.x, ext.extmin.y, ext.extmax.x, ext.extmax.y)


def extents_of(drawing, kinds=(0,)):
    import json

    with open(drawing) as f:
        d = json.load(f)
    xs, ys = [], []
    for s in d["segments"]:
        if s["kind"] not in kinds:
            continue
        for e in s["elements"]:
            t, v = e.get("type"), e.get("values")
            if t == 1:
                xs += [v[0], v[2]]
                ys += [v[1], v[3]]
            elif t == 2:
                xs += [v[0] - v[2], v[0] + v[2]]
                ys += [v[1] - v[2], v[1] + v[2]]
            elif t == 3:
                a0 = math.atan2(v[3] - v[1], v[2] - v[0])
                a1 = math.atan2(v[5] - v[1], v[4] - v[0])
                while a1 <= a0:
                    a1 += 2 * math.pi
                pts = [(v[2], v[3]), (v[4], v[5])]
                pts += [(v[0] + v[6] * math.cos(k * math.pi / 2), v[1] + v[6] * math.sin(k * math.pi / 2))
                        for k in range(-4, 8) if a0 < k * math.pi / 2 < a1]
                xs += [p[0] for p in pts]
                ys += [p[1] for p in pts]
            elif t == 9:
                xs.append(v[0])
                ys.append(v[1])
    return (min(xs), min(ys), max(xs), max(ys)), d


def model_figures(entities):
    """The model's figures as the other library sees them, block references exploded."""
    for e in entities:
        if e.dxftype() == "INSERT":
            for placed in (e.multi_insert() if e.mcount > 1 else [e]):
                yield from model_figures(placed.virtual_entities())
        elif e.dxftype() in FIGURES:
            yield e


def check(path, theirs, folder, failures, summary=True, layer=None):
    """velhost reads the file to the same extents and an insert around it all encloses them."""
    name = os.path.basename(path)
    read = os.path.join(folder, name + ".json")
    run = subprocess.run([VELHOST, "run", "--drawing", path, "--out", read], capture_output=True, text=True)
    if run.returncode != 0:
        failures.append(f"{name}: velhost failed: {run.stderr}")
        return
    if theirs is None:
        return
    ours, drawing = extents_of(read)
    if max(abs(a - b) for a, b in zip(theirs, ours)) > 0.01:
        failures.append(f"{name}: extents {ours} differ from {theirs}")
    if layer:
        names = {item.get("name") for item in drawing.get("layers", [])}
        if layer not in names:
            failures.append(f"{name}: layer names {sorted(n for n in names if n)}")
    if summary and ("1 LINE (paper space)" not in run.stderr or "TEXT (not figures)" not in run.stderr):
        failures.append(f"{name}: summary {run.stderr.strip()!r}")
    # An insert around a window over everything encloses every figure (the insert
    # takes at most 999 figures, so a larger sheet is only read).
    if len(drawing["segments"]) > 999:
        return
    script = os.path.join(folder, name + ".vel")
    registry = os.path.join(folder, name + ".reg")
    with open(registry, "w") as f:
        f.write('Windows Registry Editor Version 5.00\n\n'
                '[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\n"mType"="1"\n"Method"="0"\n')
    window = 10 * max(1000.0, *map(abs, theirs))
    with open(script, "w") as f:
        f.write(f"run\nselect {-window} {-window} {window} {window}\ndone\nescape\n")
    out = os.path.join(folder, name + "-insert.json")
    run = subprocess.run([VELHOST, "run", "--drawing", path, "--script", script,
                          "--registry", registry, "--out", out], capture_output=True, text=True)
    if run.returncode != 0 or "message:" in run.stdout:
        failures.append(f"{name}: insert session: {run.stdout}{run.stderr}")
        return
    _, after = extents_of(out)
    outline = after["segments"][-1]
    xs = [v for e in outline["elements"] if e["type"] == 1 for v in e["values"][0::2][:2]]
    ys = [v for e in outline["elements"] if e["type"] == 1 for v in e["values"][1::2][:2]]
    if not (min(xs) < theirs[0] and min(ys) < theirs[1] and max(xs) > theirs[2] and max(ys) > theirs[3]):
        failures.append(f"{name}: insert {min(xs), min(ys), max(xs), max(ys)} does not enclose {theirs}")


def main():
    failures = []
    names = []
    with tempfile.TemporaryDirectory() as folder:
        for version in VERSIONS:
            for crlf in (False, True):
                name = f"{version}{'-crlf' if crlf else ''}"
                path = os.path.join(folder, name + ".dxf")
                names.append(name + ".dxf")
                check(path, make(version, path, crlf), folder, failures, layer="외곽선")
        for path in SHIPPED:
            names.append(os.path.basename(path))
            figures = list(model_figures(ezdxf.readfile(path).modelspace()))
            ext = bbox.extents(figures, fast=False) if figures else None
            theirs = (ext.extmin.x, ext.extmin.y, ext.extmax.x, ext.extmax.y) if ext and ext.has_data else None
            check(path, theirs, folder, failures, summary=False)
    for f in failures:
        print(f)
    failed = len({f.split(":")[0] for f in failures})
    print(f"{len(names) - failed} passed, {failed} failed")
    return 1 if failures else 0


sys.exit(main())
