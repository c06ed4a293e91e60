#!/usr/bin/env bash
# What looking up a place costs a whole process: CPU time and peak resident
# memory of quorvane-report with --place and --find-place beside the same
# chart without a place, each run under /usr/bin/time -v, and, when the
# build has bench_gui_startup and a display is given, the form's first list
# of places after two letters typed into City.
#
#   bench/atlas.sh BUILD_DIR [RUNS] [BASELINE_REPORT]
#
# RUNS (default 20) runs of each command, pinned to CPU QV_BENCH_CPU
# (default 1), with the programs in turn so that all meet the same machine;
# BASELINE_REPORT, another build of quorvane-report, runs beside. Prints the
# median CPU time (user + system, from the kernel's accounting of the child,
# to the microsecond; /usr/bin/time rounds to 10 ms) and the largest peak
# resident memory of each, against the goals: a --place chart and a
# --find-place in at most 25 ms of CPU time and 24 MiB, the form's list in
# at most 100 ms. The batch's speed with places is bench/batch.sh's
# (QV_BENCH_FILES="places everyplace").
#
# Set QV_BENCH_DISPLAY (e.g. :11, an Xvfb display) to time the form's list
# on a real X server; otherwise it runs on the offscreen platform.
set -euo pipefail
build=${1:?usage: bench/atlas.sh BUILD_DIR [RUNS] [BASELINE_REPORT]}
runs=${2:-20}
baseline=${3:-}
cpu=${QV_BENCH_CPU:-1}
exe="$build/cli/quorvane-report"
[ -x "$exe" ] || { echo "no $exe: build the quorvane-report target first" >&2; exit 1; }
[ -z "$baseline" ] || [ -x "$baseline" ] || { echo "no baseline program $baseline" >&2; exit 1; }
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"

python3 - "$runs" "$cpu" "$exe" "$baseline" <<'PY'
import os, re, statistics, subprocess, sys, tempfile

runs, cpu, exe, baseline = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
chart = ["--name", "Ada", "--date", "1962-06-15", "--time", "14:30"]
commands = {
    "chart without a place": chart + ["--zone", "34", "--lat", "55:45N", "--lon", "37:37E",
                                      "--city", "Moscow", "--state", "Moscow", "--country", "Russia"],
    "--place chart": chart + ["--place", "Moscow"],
    "--find-place name": ["--find-place", "Sao Paulo"],
    "--find-place point": ["--find-place", "47:35N,11:04E"],
}
goals = {"--place chart": (25, 24), "--find-place name": (25, 24), "--find-place point": (25, 24)}
programs = [("this", exe)] + ([("baseline", baseline)] if baseline else [])

def run(program, args):
    with tempfile.TemporaryFile(mode="w+") as report:
        child = subprocess.Popen(["taskset", "-c", cpu, "/usr/bin/time", "-v", program] + args,
                                 stdout=subprocess.DEVNULL, stderr=report)
        _, status, usage = os.wait4(child.pid, 0)
        report.seek(0)
        text = report.read()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{program} {' '.join(args)} failed:\n{text}")
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1)) / 1024
    return (usage.ru_utime + usage.ru_stime) * 1000, rss

results = {}
for _ in range(runs):
    for what, args in commands.items():
        for name, program in programs:
            results.setdefault((name, what), []).append(run(program, args))

print(f"{runs} runs each, median CPU time and largest peak resident memory:")
for (name, what), values in results.items():
    ms = statistics.median(v[0] for v in values)
    rss = max(v[1] for v in values)
    verdict = ""
    if name == "this" and what in goals:
        goal_ms, goal_mib = goals[what]
        verdict = "  within the goal" if ms <= goal_ms and rss <= goal_mib else \
                  f"  OVER the goal of {goal_ms} ms and {goal_mib} MiB"
    print(f"  {name:9} {what:22} {ms:8.1f} ms {rss:7.1f} MiB{verdict}")
PY

gui="$build/bench/bench_gui_startup"
if [ -x "$gui" ]; then
    platform=offscreen
    [ -z "${QV_BENCH_DISPLAY:-}" ] || platform=xcb
    times=()
    for _ in $(seq 5); do
        out=$(DISPLAY=${QV_BENCH_DISPLAY:-} QT_QPA_PLATFORM=$platform taskset -c "$cpu" "$gui" \
              --benchmark_filter=BM_FirstLettersToPlacesOffered --benchmark_format=csv 2>/dev/null |
              grep '^"BM_FirstLettersToPlacesOffered' || true)
        # name,iterations,real_time,cpu_time,time_unit,...
        [ -n "$out" ] && times+=("$(echo "$out" | cut -d, -f3)")
    done
    if [ ${#times[@]} -gt 0 ]; then
        python3 - "${times[@]}" <<'PY'
import statistics, sys
times = [float(t) for t in sys.argv[1:]]
m = statistics.median(times)
verdict = "within the goal" if m <= 100 else "OVER the goal of 100 ms"
print(f"  the form's first list of places after two letters ({len(times)} runs, "
      f"wall time): median {m:.1f} ms, slowest {max(times):.1f} ms  {verdict}")
PY
    fi
fi
