#!/usr/bin/env bash
# The folders of src/ include only from folders below them, and the headless
# run (what /silent executes) reaches nothing of the widget model.
set -euo pipefail
src=${1:?the src folder}
cd "$src"

rank() {
  case $1 in
    base) echo 0 ;; platform) echo 1 ;; engine) echo 2 ;; backup) echo 3 ;;
    profiles) echo 4 ;; run) echo 5 ;; ui) echo 6 ;;
    log | settings | about) echo 7 ;; app) echo 8 ;;
    *) echo "unknown folder $1" >&2; return 1 ;;
  esac
}

includes() { sed -n 's/^#include "\([a-z0-9_]*\/[^"]*\)".*/\1/p' "$1"; }

faults=0
for file in $(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort); do
  from=${file%%/*}
  for inc in $(includes "$file"); do
    to=${inc%%/*}
    [[ $to == "$from" || ! -d $to ]] && continue
    if (($(rank "$to") >= $(rank "$from"))); then
      echo "$file includes $inc: $to is not below $from" >&2
      faults=$((faults + 1))
    fi
  done
done

declare -A seen=()
start=app/Unattended.cpp
[[ -f $start ]] || { echo "$start is gone: say where the headless run starts" >&2; exit 1; }
queue=("$start")
while ((${#queue[@]})); do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  [[ -n ${seen[$file]:-} || ! -f $file ]] && continue
  seen[$file]=1
  if [[ $file == ui/* ]]; then
    echo "the headless run reaches $file" >&2
    faults=$((faults + 1))
  fi
  for inc in $(includes "$file"); do
    queue+=("$inc")
    [[ $inc == *.h ]] && queue+=("${inc%.h}.cpp")
  done
done

((faults == 0)) && echo "layers hold; the headless run reaches ${#seen[@]} files, none of ui/"
exit $((faults > 0))
