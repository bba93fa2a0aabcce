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
  while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$text")
    # Includes of files beside the including one ("ui/x.h" is not a folder of the tree).
    [ -d "$target" ] || continue
    if ! [[ "$target" =~ ^(${allowed[$folder]})$ ]]; then
      echo "$file:$line: $folder includes from $target: $text"
      faults=$((faults + 1))
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' --include='*.inc' '#include "[a-z_]*/' "$folder" || true)
done
[ "$faults" -eq 0 ] && echo "every folder includes only from the floors below it"
[ "$faults" -eq 0 ]
