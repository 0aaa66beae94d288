#!/usr/bin/env bash
# compara-csv.sh BUILD_DIR: times lorum-tabla csv, shapelib's dbfdump and a python3-dbfread script
# printing the same CSV, on one 100,000-record item table. Best of five runs each, in seconds.
set -euo pipefail
build=${1:-build-rel}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$build"/bin/bench_tabla --crea-mercancias "$dir/mercanci.dbf" 100000
cat > "$dir/dbfread_csv.py" <<'PY'
import csv, sys, dbfread
t = dbfread.DBF(sys.argv[1])
w = csv.writer(sys.stdout)
w.writerow(t.field_names)
for r in t:
    w.writerow(["" if v is None else ("%.15g" % v if isinstance(v, float) else v) for v in r.values()])
PY
mejor() {
  local m=999999
  for _ in 1 2 3 4 5; do
    local t0 t1
    t0=$(date +%s.%N); "$@" > /dev/null; t1=$(date +%s.%N)
    m=$(echo "$t1 - $t0 < $m" | bc -l | grep -q 1 && echo "$t1 - $t0" | bc -l || echo "$m")
  done
  printf '%.3f' "$m"
}
l=$(mejor "$build"/bin/lorum-tabla csv "$dir/mercanci.dbf")
d=$(mejor dbfdump "$dir/mercanci.dbf")
p=$(mejor /usr/bin/python3 "$dir/dbfread_csv.py" "$dir/mercanci.dbf")
echo "lorum-tabla csv: $l s"
echo "dbfdump:         $d s  ($(echo "$d / $l" | bc -l | xargs printf '%.1f') x)"
echo "dbfread (python): $p s  ($(echo "$p / $l" | bc -l | xargs printf '%.1f') x)"
