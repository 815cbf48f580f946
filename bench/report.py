#!/usr/bin/env python3
"""Turns the figures bench/report.sh collected into report.md and gnuplot charts.

Reads from OUT_DIR: engine.tsv (engine, size, server, tool, wall s, cpu s, peak KiB), ratios.tsv
(case, peer, case s, peer s, ratio), memory.tsv (memory, case, KiB) and cpu.tsv (cpu, case, percent). Writes report.md,
engine.png, ratios.png and memory.png there.
"""
import os
import platform
import subprocess
import sys
from datetime import datetime, timezone


def rows(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f if line.strip()]


def machine():
    model = "unknown CPU"
    with open("/proc/cpuinfo", encoding="utf-8") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo", encoding="utf-8") as f:
        mem_kib = int(f.readline().split()[1])
    return f"{model}, {os.cpu_count()} cores, {mem_kib / 1048576:.0f} GiB RAM, Linux {platform.release()}"


def plot(out_dir, name, data, script):
    data_file = os.path.join(out_dir, name + ".dat")
    with open(data_file, "w", encoding="utf-8") as f:
        f.write(data)
    full = (f'set terminal pngcairo size 900,{max(360, 60 + 28 * data.count(chr(10)))} font "sans,10"\n'
            f'set output "{os.path.join(out_dir, name + ".png")}"\n'
            'set termoption noenhanced\nset style fill solid 0.8 border -1\nset grid xtics\n' + script.replace("DATA", data_file))
    subprocess.run(["gnuplot"], input=full, text=True, check=True)


def engine_section(out_dir, engine):
    if not engine:
        return []
    lines = ["## Download engine", "",
             "Our engine (8 connections) against aria2c (-x8 -s8 -k1M) and curl (one connection), one file each, "
             "synced to disk, from three servers: our loopback range server, the same capping each connection "
             "(token bucket, no burst), and nginx.",
             "", "| server | size | tool | wall s | CPU s | peak MiB | ours / tool, wall | CPU | memory |",
             "|---|---|---|---:|---:|---:|---:|---:|---:|"]
    by_case = {}
    for _, size, server, tool, wall, cpu, rss in engine:
        by_case.setdefault((server, size), {})[tool] = (float(wall), float(cpu), float(rss))
    data = ""
    for (server, size), tools in by_case.items():
        ours = tools.get("ours")
        for tool in ("ours", "aria2c", "curl"):
            if tool not in tools:
                continue
            wall, cpu, rss = tools[tool]
            ratio = [f"{ours[i] / v:.2f}" if ours and v > 0 else "" for i, v in enumerate((wall, cpu, rss))]
            lines.append(f"| {server} | {size} | {tool} | {wall:.3f} | {cpu:.3f} | {rss / 1024:.1f} | "
                         + " | ".join(ratio) + " |")
        data += f'"{server} {size}" ' + " ".join(str(tools.get(t, (0, 0, 0))[0]) for t in ("ours", "aria2c", "curl")) + "\n"
    lines += ["", "The last three columns are our figure divided by the tool's (below 1: ours is better); "
              "a blank is a time too small for /usr/bin/time to measure.",
              "", "![engine](engine.png)", ""]
    plot(out_dir, "engine", data,
         'set title "Download wall time (s)"\nset style data histograms\nset style histogram clustered\n'
         'set logscale y\nset yrange [0.005:*]\nset key top left\nset xtics rotate by -30\n'
         'plot "DATA" using 2:xtic(1) title "ours", "" using 3 title "aria2c", "" using 4 title "curl"\n')
    return lines


def ratio_section(out_dir, ratios):
    if not ratios:
        return []
    lines = ["## Our code beside a peer doing the bare part of the same work", "",
             "| case | peer | case ms | peer ms | case / peer |", "|---|---|---:|---:|---:|"]
    data = ""
    for i, (case, peer, case_s, peer_s, ratio) in enumerate(ratios):
        lines.append(f"| {case} | {peer} | {float(case_s) * 1e3:.3f} | {float(peer_s) * 1e3:.3f} | {float(ratio):.2f} |")
        data += f'{i} "{case.removeprefix("BM_")} vs {peer.rsplit("_", 1)[-1]}" {ratio}\n'
    lines += ["", "![ratios](ratios.png)", ""]
    plot(out_dir, "ratios", data,
         'set title "Time as a multiple of the peer (log scale)"\nunset key\nset logscale x\n'
         f'set ytics nomirror\nset yrange [-0.7:{len(ratios) - 0.3}]\n'
         'plot "DATA" using 3:1:(0):3:($1-0.35):($1+0.35):ytic(2) with boxxyerror\n')
    return lines


def memory_section(out_dir, memory):
    if not memory:
        return []
    lines = ["## Resident memory", "", "| process | MiB |", "|---|---:|"]
    data = ""
    for i, (_, case, kib) in enumerate(memory):
        lines.append(f"| {case} | {int(kib) / 1024:.1f} |")
        data += f'{i} "{case}" {int(kib) / 1024:.2f}\n'
    bare = next((int(k) for _, c, k in memory if c == "bare-sdl-window"), 0)
    if bare:
        lines += ["", "As multiples of the bare SDL window: " + ", ".join(
            f"{c} {int(k) / bare:.2f}" for _, c, k in memory if c != "bare-sdl-window") + "."]
    lines += ["", "![memory](memory.png)", ""]
    plot(out_dir, "memory", data,
         f'set title "Resident memory (MiB)"\nunset key\nset yrange [-0.7:{len(memory) - 0.3}]\n'
         'plot "DATA" using 3:1:(0):3:($1-0.35):($1+0.35):ytic(2) with boxxyerror\n')
    return lines


def cpu_section(cpu, seconds):
    if not cpu:
        return []
    lines = [f"## Idle CPU", "", f"Share of one core over {seconds} s of idling (the launcher's clock ticks every second).",
             "", "| process | CPU % |", "|---|---:|"]
    lines += [f"| {case} | {float(percent):.2f} |" for _, case, percent in cpu]
    return lines + [""]


def main():
    out_dir = sys.argv[1]
    mode = sys.argv[2] if len(sys.argv) > 2 else "full"
    stamp = datetime.now(timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    lines = ["# Benchmark report", "", f"{stamp}, {mode} run, on {machine()}.", "",
             "Every figure comes from one run of `bench/report.sh`; peers ran side by side in the same run.", ""]
    lines += engine_section(out_dir, rows(os.path.join(out_dir, "engine.tsv")))
    lines += ratio_section(out_dir, rows(os.path.join(out_dir, "ratios.tsv")))
    lines += memory_section(out_dir, rows(os.path.join(out_dir, "memory.tsv")))
    lines += cpu_section(rows(os.path.join(out_dir, "cpu.tsv")), 5 if mode == "small" else 30)
    with open(os.path.join(out_dir, "report.md"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    print(f"report: {os.path.join(out_dir, 'report.md')}")


if __name__ == "__main__":
    main()
