#!/usr/bin/env bash
# The trace lines of core/traces.h against their users: the program prints every one (through its
# name, so that a line changed in the code changes for the window scripts too), every name the
# window scripts use is there, and no script spells out a line instead of naming it.
#   tracecheck.sh SOURCE_DIR
set -euo pipefail
cd "$1"
bad=0
names=$(sed -n 's/^#define TRACE_\([A-Z0-9_]*\) ".*/\1/p' core/traces.h)
[[ -n $names ]] || { echo "no TRACE_ lines in core/traces.h" >&2; exit 1; }
for n in $names; do
  grep -rqw --include='*.cpp' "TRACE_$n" core platform alphabet grid dicts filler treatment docfile deck draw export gui ||
    { echo "TRACE_$n is printed nowhere" >&2; bad=1; }
done
# In the scripts: $T_NAME, ${T_NAME...}, and the helpers that take a name.
used=$(cat tests/gui/*.sh | grep -v "^ *#" | grep -oE '\$\{?T_[A-Z0-9_]+|(trace|trace_head|traced|traced_count) [A-Z][A-Z0-9_]*' |
  sed -E 's/^\$\{?T_//; s/^[a-z_]+ //' | sort -u)
for n in $used; do
  grep -qx "$n" <<<"$names" || { echo "the window scripts use the trace $n, which core/traces.h lacks" >&2; bad=1; }
done
# A line's fixed start, where it is long enough not to be ordinary words.
while IFS= read -r l; do
  [[ $l =~ ^#define\ TRACE_([A-Z0-9_]+)\ \"([^\"]*)\" ]] || continue
  head=${BASH_REMATCH[2]%%\%*}
  ((${#head} >= 12)) || continue
  if awk '!/^[ \t]*#/ { print FILENAME ": " $0 }' tests/gui/*.sh | grep -F -- "$head"; then
    echo "the lines above spell out the trace ${BASH_REMATCH[1]}: use \$T_${BASH_REMATCH[1]} or trace" >&2
    bad=1
  fi
done <core/traces.h
exit $bad
