#!/usr/bin/env bash
# Throughput and peak memory of quorvane-report --batch, beside a baseline.
#
#   bench/batch.sh BUILD_DIR [ROWS] [BASELINE_REPORT] [REPEATS]
#
# ROWS defaults to 1,000,000 and REPEATS to 3. Writes ROWS random valid rows
# with bench/batch_rows.py into a scratch file, and a second file with every
# tenth row broken; QV_BENCH_FILES chooses others (see below). Then runs the built program (and BASELINE_REPORT, another
# build of quorvane-report, when given) on each file with 1 and 2 jobs,
# output to /dev/null, under /usr/bin/time -v, REPEATS times, the programs in
# turn so that both meet the same machine. One-job runs are pinned to CPU
# QV_BENCH_CPU (default 1). Prints every run (rows per second, CPU time,
# peak resident memory, exit status), then the medians: rows per second of
# each program and job count, this build against the baseline, and two jobs
# against one.
set -euo pipefail
build=${1:?usage: bench/batch.sh BUILD_DIR [ROWS] [BASELINE_REPORT] [REPEATS]}
rows=${2:-1000000}
baseline=${3:-}
repeats=${4:-3}
cpu=${QV_BENCH_CPU:-1}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exe="$build/cli/quorvane-report"
[ -x "$exe" ] || { echo "no $exe: build the quorvane-report target first" >&2; exit 1; }
[ -z "$baseline" ] || [ -x "$baseline" ] || { echo "no baseline program $baseline" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The files, QV_BENCH_FILES of: good, mixed, places (200 cities over all
# rows), everyplace (each row names a city in another way).
files=${QV_BENCH_FILES:-good mixed}
for file in $files; do
    case $file in
        good) python3 "$here/batch_rows.py" "$rows" > "$scratch/good.csv" ;;
        mixed) python3 "$here/batch_rows.py" "$rows" --bad-every 10 > "$scratch/mixed.csv" ;;
        places) python3 "$here/batch_rows.py" "$rows" --places 200 > "$scratch/places.csv" ;;
        everyplace) python3 "$here/batch_rows.py" "$rows" --every-row-another-place > "$scratch/everyplace.csv" ;;
        *) echo "unknown file $file" >&2; exit 1 ;;
    esac
done
echo "rows: $rows ($(du -ch "$scratch"/*.csv | tail -1 | cut -f1) of CSV in all); load: $(cut -d' ' -f1-3 /proc/loadavg)"

run() {  # name program file jobs
    local status=0 pin=()
    [ "$4" = 1 ] && pin=(taskset -c "$cpu")
    "${pin[@]}" /usr/bin/time -v "$2" --batch "$3" --jobs "$4" > /dev/null 2> "$scratch/time" || status=$?
    python3 - "$rows" "$1" "$(basename "$3" .csv)" "$4" "$status" "$scratch/time" <<'PY' | tee -a "$scratch/runs"
import re, sys
rows, name, file, jobs, status, path = sys.argv[1:]
text = open(path).read()
def field(label):
    return re.search(re.escape(label) + r": (.*)", text).group(1)
parts = [float(p) for p in field("Elapsed (wall clock) time (h:mm:ss or m:ss)").split(":")]
seconds = parts[-1] + 60 * parts[-2] + (3600 * parts[-3] if len(parts) > 2 else 0)
cpu = float(field("User time (seconds)")) + float(field("System time (seconds)"))
rss = int(field("Maximum resident set size (kbytes)")) / 1024
print(f"{name:9} {file:10} jobs {jobs}: {seconds:7.2f} s {int(rows) / seconds:10.0f} rows/s "
      f"cpu {cpu:7.2f} s  peak RSS {rss:6.1f} MiB  status {status}")
PY
}

for _ in $(seq "$repeats"); do
    for file in $files; do
        for jobs in 1 2; do
            [ -z "$baseline" ] || run baseline "$baseline" "$scratch/$file.csv" "$jobs"
            run this "$exe" "$scratch/$file.csv" "$jobs"
        done
    done
done

python3 - "$scratch/runs" <<'PY'
import re, statistics, sys
rates, rss = {}, {}
for line in open(sys.argv[1]):
    m = re.match(r"(\S+)\s+(\S+)\s+jobs (\d): .*?(\d+) rows/s .*peak RSS\s+([\d.]+)", line)
    if m:
        key = (m.group(1), m.group(2), int(m.group(3)))
        rates.setdefault(key, []).append(int(m.group(4)))
        rss.setdefault(key, []).append(float(m.group(5)))
print("medians:")
for key in sorted(rates):
    print(f"  {key[0]:9} {key[1]:10} jobs {key[2]}: {statistics.median(rates[key]):10.0f} rows/s "
          f"peak RSS {max(rss[key]):6.1f} MiB")
for file in sorted({key[1] for key in rates}):
    for jobs in (1, 2):
        this, base = rates.get(("this", file, jobs)), rates.get(("baseline", file, jobs))
        if this and base:
            print(f"  {file:10} jobs {jobs}: this build / baseline = "
                  f"{statistics.median(this) / statistics.median(base):.2f}")
    for name in ("this", "baseline"):
        one, two = rates.get((name, file, 1)), rates.get((name, file, 2))
        if one and two:
            print(f"  {file:10} {name}: two jobs / one = {statistics.median(two) / statistics.median(one):.2f}")
PY
