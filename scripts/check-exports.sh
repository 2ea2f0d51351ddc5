#!/usr/bin/env bash
# Checks that a built library exports exactly the names listed in the module
# definition file, undecorated: a Windows DLL through its export table
# (objdump -p), a Linux shared library through its dynamic symbols (nm -D).
# Usage: check-exports.sh <library> <file.def>
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 <library> <file.def>" >&2
  exit 2
fi
library=$1
def=$2
for f in "$library" "$def"; do
  [[ -r $f ]] || { echo "cannot read $f" >&2; exit 2; }
done

# Names after the EXPORTS line, one per line, without ordinals or comments.
expected=$(awk '/^[[:space:]]*EXPORTS/ {on = 1; next}
                on && NF && $1 !~ /^;/ {print $1}' "$def" | sort)

case $library in
  *.dll | *.DLL)
    # The product is i686; the x86_64 test build is read with its own objdump.
    if [[ -z ${OBJDUMP:-} ]] && file -b "$library" | grep -q 'x86-64'; then
      OBJDUMP=x86_64-w64-mingw32-objdump
    fi
    objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
    actual=$("$objdump" -p "$library" |
      awk '/^\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
           on && /^[[:space:]]*$/ {on = 0}
           on && /^[[:space:]]*\[/ {print $NF}' | sort)
    ;;
  *)
    # C++ template code from the standard library keeps default visibility;
    # its mangled names and the linker's own symbols are not part of the
    # interface.
    actual=$(nm -D --defined-only "$library" | awk '{print $NF}' |
      grep -v -E '^(_Z|_init$|_fini$|_edata$|_end$|__bss_start$)' | sort)
    ;;
esac

if [[ -z $expected ]]; then
  echo "no names in $def" >&2
  exit 1
fi

status=0
missing=$(comm -23 <(echo "$expected") <(echo "$actual"))
extra=$(comm -13 <(echo "$expected") <(echo "$actual"))
if [[ -n $missing ]]; then
  echo "listed in $def but not exported by $library:"
  echo "$missing" | sed 's/^/  /'
  status=1
fi
if [[ -n $extra ]]; then
  echo "exported by $library but not listed in $def:"
  echo "$extra" | sed 's/^/  /'
  status=1
fi
duplicates=$(echo "$expected" | uniq -d)
if [[ -n $duplicates ]]; then
  echo "listed more than once in $def:"
  echo "$duplicates" | sed 's/^/  /'
  status=1
fi
if [[ $status -eq 0 ]]; then
  echo "$library exports the $(echo "$expected" | wc -l) names of $def"
fi
exit $status
