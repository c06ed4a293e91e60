#!/usr/bin/env bash
# Throughput and peak memory of quorvane-report --batch on a generated file.
#
#   bench/batch.sh BUILD_DIR [ROWS]       (ROWS defaults to 1,000,000)
#
# Writes ROWS random valid rows with bench/batch_rows.py into a scratch file,
# then runs the built program with 1 and 2 jobs, output to /dev/null, under
# /usr/bin/time -v, and prints the charts per second and the peak resident
# memory of each run. A second file with every tenth row broken checks that
# the bad rows cost nothing extra and give status 3.
set -euo pipefail
build=${1:?usage: bench/batch.sh BUILD_DIR [ROWS]}
rows=${2:-1000000}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exe="$build/tools/report/quorvane-report"
[ -x "$exe" ] || { echo "no $exe: build the quorvane-report target first" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

python3 "$here/batch_rows.py" "$rows" > "$scratch/good.csv"
python3 "$here/batch_rows.py" "$rows" --bad-every 10 > "$scratch/mixed.csv"
echo "rows: $rows ($(du -h "$scratch/good.csv" | cut -f1) of CSV)"

run() {  # file jobs
    local status=0
    /usr/bin/time -v "$exe" --batch "$1" --jobs "$2" > /dev/null 2> "$scratch/time" || status=$?
    local wall rss
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$scratch/time")
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$scratch/time")
    local user sys
    user=$(sed -n 's/.*User time (seconds): //p' "$scratch/time")
    sys=$(sed -n 's/.*System time (seconds): //p' "$scratch/time")
    python3 - "$rows" "$wall" "$rss" "$user" "$sys" "$2" "$(basename "$1")" "$status" <<'PY'
import sys
rows, wall, rss, user, sys_t, jobs, name, status = sys.argv[1:]
parts = [float(p) for p in wall.split(":")]
seconds = parts[-1] + 60 * parts[-2] + (3600 * parts[-3] if len(parts) > 2 else 0)
print(f"{name:10} jobs {jobs}: {seconds:7.2f} s  {int(rows) / seconds:10.0f} charts/s  "
      f"cpu {float(user) + float(sys_t):7.2f} s  peak RSS {int(rss) / 1024:6.1f} MiB  status {status}")
PY
}

for jobs in 1 2; do run "$scratch/good.csv" "$jobs"; done
for jobs in 1 2; do run "$scratch/mixed.csv" "$jobs"; done
