#!/usr/bin/env bash
# The source folders stand in floors, each including only from itself and the floors below it:
#   platform < resources < base < calibration < sequences < objects < analysis < app
# (installer is a library of its own over platform). Prints every include that reaches up or
# sideways and fails when there is one.
#   check_floors.sh source-folder
set -euo pipefail
cd "$1"
floors=(platform resources base calibration sequences objects analysis app)
declare -A allowed
below="platform"
for i in "${!floors[@]}"; do
  f=${floors[$i]}
  [ "$i" -eq 0 ] && below="platform" || below="$below|$f"
  allowed[$f]=$below
done
allowed[installer]="installer|platform"

faults=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  # One pass of awk over every include of the folder: a process per line is slow on a busy
  # machine.
  out=$(grep -rn --include='*.h' --include='*.cpp' --include='*.inc' '#include "[a-z_]*/' "$folder" |
    awk -v folder="$folder" -v allowed="^(${allowed[$folder]})$" -v folders="$(ls -d */ | tr -d / | tr '\n' ' ')" '
      BEGIN { n = split(folders, f, " "); for (i = 1; i <= n; ++i) isFolder[f[i]] = 1 }
      {
        target = $0
        sub(/.*#include "/, "", target)
        sub(/\/.*/, "", target)
        # Includes of files beside the including one ("ui/x.h" is not a folder of the tree).
        if (!(target in isFolder)) next
        if (target !~ allowed) {
          split($0, parts, ":")
          text = $0
          sub(/^[^:]*:[^:]*:/, "", text)
          print parts[1] ":" parts[2] ": " folder " includes from " target ": " text
        }
      }' || true)
  if [ -n "$out" ]; then
    echo "$out"
    faults=$((faults + $(wc -l <<<"$out")))
  fi
done
[ "$faults" -eq 0 ] && echo "every folder includes only from the floors below it"
[ "$faults" -eq 0 ]
