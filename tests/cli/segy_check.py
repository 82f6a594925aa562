"""Reads a SEG-Y file written by export-segy with segyio and checks it against
what kalvex-cli says of the recording: the trace count and order, the sample
interval, the headers, the textual header's channels and units, and the
samples against the Signal Traces curves (to float rounding).
usage: segy_check.py OUT.sgy INFO.json GRAPH.json FORMAT SWEEP_START SWEEP_END SWEEP_TYPE"""
import json
import re
import sys

import numpy as np
import segyio

path, info_path, graph_path, fmt = sys.argv[1:5]
sweep_start, sweep_end, sweep_type = (int(v) for v in sys.argv[5:8])
info = json.load(open(info_path, encoding="utf-8"))
curves = json.load(open(graph_path, encoding="utf-8"))["curves"]
problems = []


def check(condition, what):
    if not condition:
        problems.append(what)


with segyio.open(path, ignore_geometry=True) as f:
    check(f.tracecount == len(curves), f"{f.tracecount} traces for {len(curves)} channels")
    check(len(f.samples) == info["recordLength"], f"{len(f.samples)} samples per trace")
    check(segyio.tools.dt(f) == 1e6 / info["sampleRate"], f"interval {segyio.tools.dt(f)}")
    b = f.bin
    check(b[segyio.BinField.Format] == (5 if fmt == "ieee" else 1), "format code")
    check(b[segyio.BinField.SEGYRevision] == 0x0100, "revision")
    check(b[segyio.BinField.Traces] == f.tracecount, "traces in the binary header")
    raw = bytes(f.text[0]).decode("ascii")
    text = "\n".join(raw[k:k + 80] for k in range(0, len(raw), 80))
    check(text.startswith("C 1 KALVEX VIBRATOR TEST RECORD"), "textual header: " + text[:80])
    check(info["modeName"] in text, "textual header without the mode")
    sweep_ms = round(1000 * info["sweepLength"] / info["sampleRate"])
    for i, curve in enumerate(curves):
        h = f.header[i]
        check(h[segyio.TraceField.TRACE_SEQUENCE_FILE] == i + 1, f"trace {i + 1}: sequence")
        check(h[segyio.TraceField.TRACE_SAMPLE_INTERVAL] == 1e6 / info["sampleRate"], "interval")
        check(h[segyio.TraceField.SweepLength] == sweep_ms, f"trace {i + 1}: sweep length")
        check(h[segyio.TraceField.SweepFrequencyStart] == sweep_start, "sweep start")
        check(h[segyio.TraceField.SweepFrequencyEnd] == sweep_end, "sweep end")
        check(h[segyio.TraceField.SweepType] == sweep_type, "sweep type")
        name = curve["name"]
        channel = h[segyio.TraceField.TraceNumber]
        row = re.compile(rf"C\s*\d+\s+{i + 1}\s+{channel}\s+{re.escape(name)}\s+\S+")
        check(any(row.match(line) for line in text.splitlines()),
              f"textual header without the row of trace {i + 1} ({name})")
        values = np.asarray(curve["values"])
        trace = f.trace[i][: len(values)]
        scale = max(1e-30, float(np.abs(values).max()))
        check(np.allclose(trace, values, rtol=1e-6, atol=scale * 1e-6),
              f"trace {i + 1} ({name}) differs: {trace[:3]} against {values[:3]}")

if problems:
    print(path + ": " + "; ".join(problems))
    sys.exit(1)
