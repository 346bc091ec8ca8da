#!/usr/bin/env bash
# A short fuzz run for ctest:
#   smoke.sh <program> <target> <scratch corpus> <crash folder> [libFuzzer options...]
# The target's committed corpus (fuzz/corpus/<target>) is only read: new inputs go to the
# scratch corpus, which starts empty each time. The target's dictionary and options file are
# used when present. A crash input is kept in the crash folder and fails the test.
set -euo pipefail
fuzz_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
program="$1" target="$2" work="$3" crashes="$4"
shift 4
options=("$@")
if [ -f "$fuzz_dir/$target.dict" ]; then
  options+=(-dict="$fuzz_dir/$target.dict")
fi
if [ -f "$fuzz_dir/$target.options" ]; then
  read -r -a listed <<<"$(grep -v '^#' "$fuzz_dir/$target.options" | tr '\n' ' ')"
  options+=("${listed[@]}")
fi
rm -rf "$work"
mkdir -p "$work" "$crashes"
exec "$program" "${options[@]}" -artifact_prefix="$crashes/" -print_final_stats=1 "$work" "$fuzz_dir/corpus/$target"
