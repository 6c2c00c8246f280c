#!/usr/bin/env bash
# check-layers.sh [ROOT]: fails when a folder includes one above it.
#
# The folders stand in layers, each including only itself and those below:
#   base < assets < effects < music < core < platform, web, tools
# (platform, web and tools all stand on core and never include each other).
# tests, bench and fuzz stand beside the program and may include any layer.
# Every quoted include must name a file that exists, so a moved file cannot
# leave an include behind that this check would not see, and no files may
# include each other in a circle (tsort finds the loop).
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root"
declare -A rank=([base]=0 [assets]=1 [effects]=2 [music]=3 [core]=4 [platform]=5 [web]=5 [tools]=5)
status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r file; do
  from=${file%%/*}
  while IFS= read -r target; do
    to=${target%%/*}
    echo "$file $target" >>"$edges"
    if [[ ! -f "$target" ]]; then
      echo "$file: includes $target, which does not exist"
      status=1
    elif [[ -z "${rank[$to]+x}" ]]; then
      echo "$file: includes $target, outside the program's layers"
      status=1
    elif [[ "$to" != "$from" && ${rank[$to]} -ge ${rank[$from]} ]]; then
      echo "$file: includes $target, but $from/ stands below $to/"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files --cached --others --exclude-standard -- base assets effects music core platform web tools |
         grep -E '\.(h|cpp)$')
if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
  echo "these files include each other in a circle:"
  grep -v 'input contains a loop' "$edges.loop" | sed 's/^tsort: /  /'
  status=1
fi
rm -f "$edges.loop"
if [[ $status -eq 0 ]]; then echo "layers: no include runs upward"; fi
exit $status
