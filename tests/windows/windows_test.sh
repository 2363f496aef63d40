#!/usr/bin/env bash
# Checks of the Windows build, run on the build machine with the .exe files
# under Wine ($WINE, in the Wine prefix $WINEPREFIX), one per mode:
#   examples NATIVE EXE SOURCE   the sample comparison writes the native build's bytes, each LF as CR LF
#   prompt   EXE PRINTER SOURCE  tessovane2_prompt.cmd under Wine's cmd
#   package  BUILD SOURCE        cpack builds the zip; what it holds runs from its own folder
# Each mode works in its own scratch folder and removes it.
set -euo pipefail

mode=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
wine=${WINE:-/usr/lib/wine/wine64}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The bytes a Windows text stream writes for the text of file $1.
as_crlf() {
  sed 's/$/\r/' "$1"
}

# The time stamp differs between two runs: its lines are compared without it.
without_time() {
  sed -E 's/^( Local system time   = ).*$/\1<time>/'
}

# Wine's name for a folder of the build machine.
windows_path() {
  echo "Z:${1//\//\\}"
}

case $mode in
examples)
  native=$1 exe=$2 source=$3
  mkdir "$scratch/native" "$scratch/windows"
  for side in native windows; do cp "$source"/examples/*.hz "$scratch/$side/"; done
  (cd "$scratch/native" && "$native" old.hz new.hz compare 0.05 4 S >stdout 2>stderr) ||
    fail "native run ended with status $?"
  (cd "$scratch/windows" && "$wine" "$exe" old.hz new.hz compare 0.05 4 S >stdout 2>stderr) ||
    fail "Windows run ended with status $?"
  [ "$(ls "$scratch/native")" = "$(ls "$scratch/windows")" ] ||
    fail "different files: $(ls "$scratch/native") / $(ls "$scratch/windows")"
  grep -q $'^1   Tessovane2 Report File\r$' "$scratch/windows/compare.out" || fail "report without CR LF"
  for f in compare.out compare.stt compare.msg stderr; do
    cmp <(as_crlf "$scratch/native/$f") "$scratch/windows/$f" || fail "$f differs"
  done
  # The console's time line holds seconds: all else is the same.
  cmp <(as_crlf "$scratch/native/stdout" | without_time) <(without_time <"$scratch/windows/stdout") ||
    fail "standard output differs"
  ;;

prompt)
  exe=$1 printer=$2 source=$3
  script=$source/scripts/tessovane2_prompt.cmd
  mkdir "$scratch/beside" "$scratch/alone" "$scratch/path"
  cp "$script" "$scratch/beside/"
  cp "$script" "$scratch/alone/"
  # Stands in for the program: prints its arguments, ends with status 7.
  cp "$printer" "$scratch/beside/tessovane2.exe"
  cp "$printer" "$scratch/path/tessovane2.exe"
  prompts='Enter 1st Quillane filename: Enter 2nd Quillane filename: Enter the output filename:   Enter the maximum shift tolerance (meters):   Enter the SSN length in the 2nd file (3,4,5): Enter the match type, SSN or PID (S,s,P,p):   '
  run_script() {  # FOLDER [ARGUMENT]: standard input from $scratch/answers
    status=0
    (cd "$scratch" && "$wine" cmd /c "$(windows_path "$1")\\tessovane2_prompt.cmd" ${2:+"$2"} \
      <answers >out 2>err) || status=$?
  }

  # Wine's cmd reads everything that waits on standard input into the first
  # answer, so one line is all a test can give (Windows reads line by line);
  # it also drops a lone % from an expanded value (Windows keeps it), so no
  # answer here holds one. What the interpreter would split or expand goes
  # through whole; a double quote, which no Windows file name holds, is
  # dropped and cannot end the quoting early.
  for answer in 'old survey & (1)!x^ ;,=.hz|old survey & (1)!x^ ;,=.hz' \
    'a" & echo INJECTED & "b.hz|a & echo INJECTED & b.hz'; do
    printf '%s\r\n' "${answer%|*}" >"$scratch/answers"
    run_script "$scratch/beside"
    [ "$status" -eq 7 ] || fail "program beside the script: status $status: $(cat "$scratch/err")"
    expected=$(printf '%s\r\n6 arguments\r\n[%s]\r\n[]\r\n[]\r\n[]\r\n[]\r\n[]\r\n_' "$prompts" "${answer#*|}")
    [ "$(cat "$scratch/out"; echo _)" = "$expected" ] || fail "prompts or arguments differ: $(cat -A "$scratch/out")"
  done

  # The program found on PATH; at the end of input every answer is empty.
  : >"$scratch/answers"
  WINEPATH=$(windows_path "$scratch/path") run_script "$scratch/alone"
  [ "$status" -eq 7 ] || fail "program on PATH: status $status: $(cat "$scratch/err")"
  grep -q $'^6 arguments\r$' "$scratch/out" || fail "program on PATH: $(cat -A "$scratch/out")"

  # No program anywhere: a message and status 127, no question asked.
  run_script "$scratch/alone"
  [ "$status" -eq 127 ] && [ ! -s "$scratch/out" ] && grep -q 'neither next to' "$scratch/err" ||
    fail "missing program: status $status: $(cat "$scratch/out" "$scratch/err")"

  # Any argument: the usage text and status 1.
  run_script "$scratch/beside" extra
  [ "$status" -eq 1 ] && [ ! -s "$scratch/out" ] && grep -q $'^usage: tessovane2_prompt\r$' "$scratch/err" ||
    fail "argument given: status $status: $(cat -A "$scratch/out" "$scratch/err")"

  # The real program beside the script gets its six (empty) answers: it
  # refuses them with status 1, not with its help text.
  cp "$exe" "$scratch/alone/tessovane2.exe"
  run_script "$scratch/alone"
  [ "$status" -eq 1 ] && grep -q 'Error: Invalid' "$scratch/err" && ! grep -q 'TORMEL' "$scratch/err" ||
    fail "real program: status $status: $(cat "$scratch/err")"
  ;;

package)
  build=$1 source=$2
  "${CPACK_COMMAND:-cpack}" --config "$build/CPackConfig.cmake" -B "$scratch/package" \
    >"$scratch/cpack.log" 2>&1 || fail "cpack: $(cat "$scratch/cpack.log")"
  version=$(sed -n 's/^project(tessovane2 VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
  top=tessovane2-$version-win64
  zip=$scratch/package/$top.zip
  [ -f "$zip" ] || fail "no $top.zip: $(ls "$scratch/package")"
  unzip -q "$zip" -d "$scratch/unpacked"
  files=$(cd "$scratch/unpacked" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
  echo "$files"
  # Every program is an .exe in bin/, beside the prompt script; every manual
  # page is there as HTML.
  required="$top/README-windows.txt
$top/bin/tessovane2.exe
$top/bin/tessovane2_prompt.cmd
$top/examples/new.hz
$top/examples/old.hz"
  for page in "$source"/man/*.1; do required+=$'\n'"$top/doc/$(basename "$page").html"; done
  missing=$(comm -23 <(echo "$required" | LC_ALL=C sort) <(echo "$files"))
  [ -z "$missing" ] || fail "missing from the zip: $missing"
  others=$(comm -13 <(echo "$required" | LC_ALL=C sort) <(echo "$files") | grep -v "^$top/bin/[^/]*\.exe$" || true)
  [ -z "$others" ] || fail "unexpected in the zip: $others"
  cmp "$source/scripts/tessovane2_prompt.cmd" "$scratch/unpacked/$top/bin/tessovane2_prompt.cmd"
  for f in old.hz new.hz; do cmp "$source/examples/$f" "$scratch/unpacked/$top/examples/$f"; done
  grep -q $'PowerShell.*\r$' "$scratch/unpacked/$top/README-windows.txt" || fail "README-windows.txt: no CR LF text"

  # Linked statically: nothing but Windows' own libraries is needed.
  for exe in "$scratch/unpacked/$top"/bin/*.exe; do
    dlls=$("${OBJDUMP:-x86_64-w64-mingw32-objdump}" -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    extra=$(echo "$dlls" | grep -vxE 'kernel32\.dll|msvcrt\.dll|user32\.dll|advapi32\.dll|ws2_32\.dll' || true)
    [ -z "$extra" ] || fail "$(basename "$exe") needs $extra"
  done

  # The unpacked program compares the unpacked samples as the pinned sample case does.
  cd "$scratch/unpacked/$top/examples"
  "$wine" ../bin/tessovane2.exe old.hz new.hz run 0.05 4 S >"$scratch/out" 2>"$scratch/err" ||
    fail "unpacked program: status $?: $(cat "$scratch/err")"
  cmp <(as_crlf "$source/tests/cases/tessovane2/sample_surveys_by_ssn/expected/files/run.stt") run.stt ||
    fail "unpacked program: statistics differ"

  # The manual pages open in a browser with their sections.
  for page in "$scratch/unpacked/$top"/doc/*.html; do
    dom=$(chromium --headless --no-sandbox --disable-gpu --dump-dom "file://$page" 2>/dev/null)
    grep -q '<h2>NAME' <<<"$dom" || fail "$(basename "$page"): no NAME section in the browser"
  done
  ;;

*)
  fail "unknown mode $mode"
  ;;
esac
