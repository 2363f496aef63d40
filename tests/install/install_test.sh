#!/usr/bin/env bash
# Checks of the installed tool, one per mode:
#   manpage PAGE                    the page renders without a single groff warning
#   prefix  BUILD SOURCE            cmake --install into a scratch prefix: exactly our files
#   prompt  BUILD SOURCE            tessovane2_prompt runs real comparisons
#   package BUILD SOURCE            cpack builds a .deb holding the same files
# Each mode works in its own scratch folder and removes it.
set -euo pipefail

mode=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The files an installation holds, relative to its prefix.
expected_files="bin/tessovane2
bin/tessovane2_prompt
bin/tessovane2_shifts
share/doc/tessovane2/examples/new.hz
share/doc/tessovane2/examples/old.hz
share/man/man1/tessovane2.1
share/man/man1/tessovane2_shifts.1"

install_into() {  # BUILD PREFIX
  "${CMAKE_COMMAND:-cmake}" --install "$1" --prefix "$2" >"$scratch/install.log" ||
    fail "cmake --install: $(cat "$scratch/install.log")"
}

# The station lines of a report (everything after its 12 header lines).
station_lines() {
  tail -n +13 "$1"
}

case $mode in
manpage)
  page=$1
  LC_ALL=C groff -man -ww -z "$page" 2>"$scratch/warnings"
  [ ! -s "$scratch/warnings" ] || fail "groff warns: $(cat "$scratch/warnings")"
  # man -l goes through the same formatter with the preprocessors the page asks for.
  LC_ALL=C MANWIDTH=80 man --warnings -l "$page" >"$scratch/page.txt" 2>"$scratch/warnings"
  [ ! -s "$scratch/warnings" ] || fail "man -l warns: $(cat "$scratch/warnings")"
  grep -q 'EXIT STATUS' "$scratch/page.txt" || fail "rendered page has no EXIT STATUS section"
  ;;

prefix)
  build=$1 source=$2
  install_into "$build" "$scratch/prefix"
  actual=$(cd "$scratch/prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
  [ "$actual" = "$expected_files" ] || fail "installed files differ:
$actual"
  for program in bin/tessovane2 bin/tessovane2_prompt bin/tessovane2_shifts; do
    [ -x "$scratch/prefix/$program" ] || fail "$program is not executable"
  done
  for page in tessovane2.1 tessovane2_shifts.1; do
    cmp "$source/man/$page" "$scratch/prefix/share/man/man1/$page"
  done
  for f in old.hz new.hz; do
    cmp "$source/examples/$f" "$scratch/prefix/share/doc/tessovane2/examples/$f"
  done
  # The installed program runs from the prefix alone: -h gives the help text and status 1.
  status=0
  "$scratch/prefix/bin/tessovane2" -h >/dev/null 2>"$scratch/help" || status=$?
  [ "$status" -eq 1 ] || fail "tessovane2 -h ended with status $status"
  grep -q 'See Unix script tessovane2_prompt.' "$scratch/help" || fail "help text missing"
  # The companion runs from the prefix too: the samples give status 1 (stations moved, added, removed).
  mkdir "$scratch/shifts"
  cp "$source/examples/old.hz" "$source/examples/new.hz" "$scratch/shifts/"
  status=0
  (cd "$scratch/shifts" && "$scratch/prefix/bin/tessovane2_shifts" old.hz new.hz run 0.05 4 S >"$scratch/summary" \
    2>/dev/null) || status=$?
  [ "$status" -eq 1 ] || fail "tessovane2_shifts on the samples ended with status $status"
  [ -s "$scratch/shifts/run.csv" ] && [ -s "$scratch/shifts/run.geojson" ] || fail "tessovane2_shifts wrote no files"
  ;;

prompt)
  build=$1 source=$2
  install_into "$build" "$scratch/prefix"
  mkdir "$scratch/work" "$scratch/decoy"
  cp "$source/examples/new.hz" "$scratch/work/"
  cp "$source/examples/old.hz" "$scratch/work/old survey.hz"
  # A tessovane2 on PATH that must not be run while one lies next to the script.
  printf '#!/bin/sh\nexit 42\n' >"$scratch/decoy/tessovane2"
  chmod +x "$scratch/decoy/tessovane2"

  # Installed script, binary next to it; names with blanks; one answer ends
  # in CR LF; the last line has no line end.
  status=0
  (cd "$scratch/work" &&
    printf 'old survey.hz\nnew.hz\r\nmy run\n0.05\n4\nS' |
    PATH="$scratch/decoy:$PATH" "$scratch/prefix/bin/tessovane2_prompt" >"$scratch/out" 2>"$scratch/err") ||
    status=$?
  [ "$status" -eq 0 ] || fail "prompt run ended with status $status: $(cat "$scratch/err")"
  prompts='Enter 1st Quillane filename: Enter 2nd Quillane filename: Enter the output filename:   Enter the maximum shift tolerance (meters):   Enter the SSN length in the 2nd file (3,4,5): Enter the match type, SSN or PID (S,s,P,p):   '
  [ "$(head -n 1 "$scratch/out")" = "$prompts" ] || fail "prompts differ: $(head -n 1 "$scratch/out")"
  grep -qx ' 1st input  filename = old survey.hz' "$scratch/out" || fail "1st file name not passed whole"
  grep -qx ' 2nd input  filename = new.hz' "$scratch/out" || fail "CR kept in the 2nd file name"
  grep -qx 'End tessovane2... bye!' "$scratch/out" || fail "run did not end"
  for f in "my run.out" "my run.stt" "my run.msg"; do
    [ -f "$scratch/work/$f" ] || fail "no file '$f'"
  done
  # The same comparison as the pinned whole-run case of the samples.
  diff <(station_lines "$scratch/work/my run.out") \
    <(station_lines "$source/tests/cases/tessovane2/sample_surveys_by_ssn/expected/files/run.out") ||
    fail "report lines differ from the sample run"

  # Script from the source tree, program found on PATH; a failing run's
  # status comes back unchanged.
  status=0
  (cd "$scratch/work" &&
    printf 'no such.hz\nnew.hz\nrun\n0.05\n4\nP\n' |
    PATH="$build/bin:$PATH" "$source/scripts/tessovane2_prompt" >"$scratch/out" 2>"$scratch/err") ||
    status=$?
  [ "$status" -eq 1 ] || fail "failing run ended with status $status"
  grep -qx 'Error: unable to open 1st input file no such.hz' "$scratch/err" ||
    fail "wrong error: $(cat "$scratch/err")"

  # No tessovane2 anywhere: a message and status 127, no question asked.
  mkdir "$scratch/alone"
  cp "$source/scripts/tessovane2_prompt" "$scratch/alone/"
  status=0
  PATH=/nonexistent /bin/sh "$scratch/alone/tessovane2_prompt" </dev/null >"$scratch/out" 2>"$scratch/err" ||
    status=$?
  [ "$status" -eq 127 ] && [ ! -s "$scratch/out" ] && grep -q 'neither next to' "$scratch/err" ||
    fail "missing program: status $status"
  ;;

package)
  build=$1
  "${CPACK_COMMAND:-cpack}" --config "$build/CPackConfig.cmake" -B "$scratch/package" \
    >"$scratch/cpack.log" 2>&1 || fail "cpack: $(cat "$scratch/cpack.log")"
  deb=$(find "$scratch/package" -maxdepth 1 -name 'tessovane2_*.deb')
  [ -n "$deb" ] || fail "no .deb made: $(cat "$scratch/cpack.log")"
  listing=$(dpkg-deb -c "$deb")
  echo "$listing"
  actual=$(echo "$listing" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./usr/||' | LC_ALL=C sort)
  [ "$actual" = "$expected_files" ] || fail "package files differ:
$actual"
  echo "$listing" | grep -q '^-rwxr-xr-x .* ./usr/bin/tessovane2_prompt$' ||
    fail "script not executable in the package"
  echo "$listing" | grep -q '^-rwxr-xr-x .* ./usr/bin/tessovane2_shifts$' ||
    fail "tessovane2_shifts not executable in the package"
  [ "$(dpkg-deb -f "$deb" Package Version | tr '\n' ' ')" = "Package: tessovane2 Version: 1.4 " ] ||
    fail "package name or version: $(dpkg-deb -f "$deb" Package Version)"
  ;;

*)
  fail "unknown mode $mode"
  ;;
esac
