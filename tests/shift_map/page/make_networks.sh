#!/bin/sh
# Writes the pages the map's rules are checked on (map_rules_test.mjs), from
# networks of bench/generate_network.py (its default seed, so the same bytes
# every time):
#   make_networks.sh GENERATOR TESSOVANE2_SHIFTS OUTDIR
# OUTDIR/n5000.html and n60000.html: the generator's realistic networks
# (0.5 % blunders, a mis-keyed pair, a -10 cm bowl; 5-digit SSNs, so that
# the *86 records of 60,000 marks find their own); n5000-reversed.html: the
# same 5,000 with the 2nd file's stations in reverse order; n5000-b0.html,
# -b6.html, -b15.html: 0, 6 and 15 % blunders; n5000-tol30.html: the 5,000
# with a horizontal tolerance of 30 cm; n5000-fit.html: with --fit similarity;
# n2000-dateline.html and n2000-west.html: 2,000 marks across the 180th
# meridian, with longitudes E and W, and all W in [0, 360);
# n2000-alternating.html: no change but heights alternately +-1 cm.
set -e
generator=$1 shifts=$2 out=$3
mkdir -p "$out"
page() {  # NAME FILE1 FILE2 [TOLERANCE [OPTION...]]: the page of the pair, status 1 (movers) expected
  name=$1 first=$2 second=$3 tolerance=${4:-0.05}
  shift $(( $# < 4 ? $# : 4 ))
  status=0
  "$shifts" "$first" "$second" "$out/$name" "$tolerance" 5 P --vertical-tolerance 0.02 --formats html -q "$@" 2>/dev/null || status=$?
  [ "$status" -le 1 ] || { echo "tessovane2_shifts failed ($status) on $name" >&2; exit 1; }
}
for marks in 5000 60000; do
  python3 "$generator" "$marks" "$out/n$marks" --ssn-digits 5
  page "n$marks" "$out/n$marks.old.hz" "$out/n$marks.new.hz"
done
# The header (lines before the first *80 record), then each station's block
# (its *80 record and the records after it) in reverse order.
awk 'substr($0, 7, 3) == "*80" { ++n } n == 0 { print; next } { block[n] = block[n] $0 "\n" }
     END { for (k = n; k >= 1; --k) printf "%s", block[k] }' "$out/n5000.new.hz" > "$out/n5000-reversed.new.hz"
page n5000-reversed "$out/n5000.old.hz" "$out/n5000-reversed.new.hz"
page n5000-tol30 "$out/n5000.old.hz" "$out/n5000.new.hz" 0.3
page n5000-fit "$out/n5000.old.hz" "$out/n5000.new.hz" 0.05 --fit similarity
# Heights alternately 1 cm up and 1 cm down: every *86 record of the 2nd
# file (the orthometric height in millimetres in columns 17-23) moved.
python3 "$generator" 2000 "$out/n2000-alternating" --ssn-digits 5 --plain --heights 1 --no-height 0
awk 'substr($0, 7, 3) == "*86" { k++; $0 = substr($0, 1, 16) sprintf("%07d", substr($0, 17, 7) + (k % 2 ? 10 : -10)) substr($0, 24) }
     { print }' "$out/n2000-alternating.new.hz" > "$out/n2000-alternating.moved.hz"
page n2000-alternating "$out/n2000-alternating.old.hz" "$out/n2000-alternating.moved.hz"
# Across the 180th meridian, written E and W, and as longitudes west beyond 180.
python3 "$generator" 2000 "$out/n2000-dateline" --ssn-digits 5 --center=-17,179.9
page n2000-dateline "$out/n2000-dateline.old.hz" "$out/n2000-dateline.new.hz"
python3 "$generator" 2000 "$out/n2000-west" --ssn-digits 5 --center=-17,179.9 --west-beyond-180
page n2000-west "$out/n2000-west.old.hz" "$out/n2000-west.new.hz"
for rate in 0 6 15; do
  python3 "$generator" 5000 "$out/n5000-b$rate" --ssn-digits 5 --blunders "0.$(printf %02d "$rate")"
  page "n5000-b$rate" "$out/n5000-b$rate.old.hz" "$out/n5000-b$rate.new.hz"
done
