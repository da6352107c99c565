#!/usr/bin/env python3
"""Turns a benchmark run into the table of ratios against the floors, taken between the least
times of the repetitions (the "min" aggregate), and writes it into the performance document
between its result markers.

    report.py results.json largest_session.txt docs/performance.md
"""
import json
import re
import sys

UNITS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
BEGIN, END = "<!-- results begin -->", "<!-- results end -->"


def least(path):
    with open(path) as f:
        run = json.load(f)
    found = {}
    side_by_side = None
    for b in run["benchmarks"]:
        if b.get("aggregate_name") == "min":
            found[b["run_name"]] = b["real_time"] * UNITS[b["time_unit"]]
        if b.get("aggregate_name") == "max":  # a worst case, for the goals that bound one
            found[b["run_name"] + " max"] = b["real_time"] * UNITS[b["time_unit"]]
            if "busy_ms" in b:
                found[b["run_name"] + " busy max"] = b["busy_ms"] * 1e6
        if b["run_name"].startswith("BM_StrokeStepInterleaved") and (
                b.get("aggregate_name") == "median" or side_by_side is None):
            side_by_side = b
    return run["context"], found, side_by_side


def peak_kib(path):
    with open(path) as f:
        m = re.search(r"Maximum resident set size \(kbytes\): (\d+)", f.read())
    return int(m.group(1)) if m else None


def show(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.1f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.2f} µs"
    return f"{ns:.1f} ns"


def main(results, session, document):
    context, t, side_by_side = least(results)
    rows = []
    for p in (7, 32, 48, 96):
        goal = 1.5 if p == 96 else 3.0
        rows.append((f"BM_DrawSquare/{p}", t[f"BM_DrawSquare/{p}"], f"BM_TileCopyFloor/{p}",
                     t[f"BM_TileCopyFloor/{p}"], goal))
    rows.append(("BM_StrokeStep/96", t["BM_StrokeStep/96"],
                 "BM_CanvasRepaint + 2 × BM_LabelRepaint",
                 t["BM_CanvasRepaint"] + 2 * t["BM_LabelRepaint"], 1.5))
    rows.append(("BM_SubDrawLargest", t["BM_SubDrawLargest"], "BM_CanvasAllocFloor",
                 t["BM_CanvasAllocFloor"], 1.3))
    rows.append(("BM_SaveLargest", t["BM_SaveLargest"], "BM_DurableWriteFloor",
                 t["BM_DurableWriteFloor"], 2.0))

    lines = ["| benchmark | min | floor | floor min | ratio | goal | met |",
             "|---|---|---|---|---|---|---|"]
    for name, value, floor_name, floor, goal in rows:
        ratio = value / floor
        lines.append(f"| `{name}` | {show(value)} | `{floor_name}` | {show(floor)} | "
                     f"{ratio:.2f} | ≤ {goal} | {'yes' if ratio <= goal else 'no'} |")

    if side_by_side is not None:
        ratio = side_by_side["ratio"]
        lines += ["", "The stroke step and its floor measured side by side "
                  "(`BM_StrokeStepInterleaved`, median of the repetitions):", "",
                  "| step | CanvasRepaint + 2 × LabelRepaint | ratio | goal | met |",
                  "|---|---|---|---|---|",
                  f"| {show(side_by_side['step_us'] * 1e3)} | {show(side_by_side['floor_us'] * 1e3)} | "
                  f"{ratio:.2f} | ≤ 1.5 | {'yes' if ratio <= 1.5 else 'no'} |"]

    gap = t.get("BM_SaveEventLoopGap/iterations:1/manual_time max")
    if gap is not None:
        goal = 16e6  # a frame at 60 Hz
        lines += ["", "The window's event loop while the largest canvas is saved through the real "
                  "window (`BM_SaveEventLoopGap`: the longest gap between the ticks of a 1 ms "
                  "timer, worst of the repetitions), beside the whole save (`BM_SaveLargest`), "
                  "which is how long the window would stand still were the save on the window's "
                  "thread:",
                  "",
                  "| longest gap | of it the window's own work | whole save | goal | met |",
                  "|---|---|---|---|---|",
                  f"| {show(gap)} | "
                  f"{show(t.get('BM_SaveEventLoopGap/iterations:1/manual_time busy max', 0))} | "
                  f"{show(t['BM_SaveLargest'])} | ≤ 16 ms | {'yes' if gap <= goal else 'no'} |"]

    lines += ["", "Parts and other floors (no goal of their own):", "",
              "| benchmark | min |", "|---|---|"]
    for name in ("BM_ReadoutRepaint", "BM_LabelRepaint", "BM_CanvasRepaint", "BM_WriteFloor"):
        if name in t:
            lines.append(f"| `{name}` | {show(t[name])} |")

    peak = peak_kib(session)
    canvas = 9600 * 9600 * 4
    limit = canvas * 1.1 + 150 * 1024 * 1024
    if peak is not None:
        peak_bytes = peak * 1024
        lines += ["", f"Peak resident memory of one session at 100 × 100 × 96 (set up, draw, save): "
                  f"**{peak_bytes / 2**20:.0f} MiB**; the canvas itself is {canvas / 2**20:.0f} MiB; "
                  f"goal ≤ {limit / 2**20:.0f} MiB (canvas × 1.1 + 150 MiB): "
                  f"{'met' if peak_bytes <= limit else 'not met'}."]
    lines += ["", f"Run of {context.get('date', '?')} on {context.get('num_cpus', '?')} CPUs at "
              f"{context.get('mhz_per_cpu', '?')} MHz; least of "
              f"{context.get('repetitions', 5) or 5} repetitions."]
    table = "\n".join(lines)
    print(table)

    with open(document) as f:
        text = f.read()
    start, stop = text.index(BEGIN) + len(BEGIN), text.index(END)
    with open(document, "w") as f:
        f.write(text[:start] + "\n" + table + "\n" + text[stop:])


if __name__ == "__main__":
    main(*sys.argv[1:4])
