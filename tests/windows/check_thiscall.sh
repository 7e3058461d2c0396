#!/usr/bin/env bash
# Checks in the disassembly of the 32-bit DLL that the operations of the
# panel's table are thiscall, as the host's compiler calls them: each takes
# the panel in ECX (reads ECX before anything writes it) and pops its stack
# arguments on return (`ret $N`, N = 4 per argument after the panel).
# A cdecl thunk would return with a plain `ret` and read the panel from the
# stack; stdcall would pop one argument more, fastcall one fewer.
#
# Usage: check_thiscall.sh OBJDUMP DLL
set -euo pipefail
objdump=$1 dll=$2

# Table slot, the thunk's name in the framework, and the bytes it must pop.
thunks=(
  "0 destroyThunk 0x4"  # (self, unsigned flags)
  "1 dispatchThunk 0x8" # (self, void* payload, int code)
)

listing="$("$objdump" -d "$dll")"

# A function's own body: from its label to the blank line after it (its
# .cold part, if any, is a separate label and not read).
body_of() {
  awk -v name="$1" '
    /^[0-9a-f]+ <.*>:$/ { inside = (index($0, name) > 0 && index($0, ".cold") == 0); next }
    inside && /^$/ { inside = 0 }
    inside' <<<"$listing"
}

failures=0
for entry in "${thunks[@]}"; do
  read -r slot name pops <<<"$entry"
  body="$(body_of "$name")"
  if [ -z "$body" ]; then
    echo "FAIL: slot $slot: no function named $name in $dll (is the DLL stripped?)" >&2
    failures=$((failures + 1))
    continue
  fi

  # AT&T syntax: the destination is the last operand. The first instruction
  # that names %ecx must read it (as a source, or in test/cmp/push).
  first_ecx="$( (grep -m1 '%ecx' <<<"$body" || true) | cut -f3 | tr -s ' ')"
  case "$first_ecx" in
    test* | cmp* | push* | *%ecx*,*) ecx_read=1 ;;
    *) ecx_read=0 ;;
  esac
  # A thunk that ends in a jump to a member function (a tail call) returns
  # through that function's own ret, which pops the same arguments.
  tail="$(cut -f3 <<<"$body" | (grep -E '^jmp +[0-9a-f]+ <[^>+]+>' || true) | tail -n1 | sed 's/.*<\(.*\)>.*/\1/')"
  returns_from="$body"
  if ! cut -f3 <<<"$body" | grep -qE '^ret' && [ -n "$tail" ]; then
    returns_from="$(body_of "<$tail>")"
  fi
  returns="$(cut -f3 <<<"$returns_from" | (grep -E '^ret' || true) | tr -s ' ' | sed 's/ *$//' | sort -u)"

  echo "slot $slot ($name): first use of ECX: ${first_ecx:-none}; returns: $(echo $returns)"
  if [ "$ecx_read" -ne 1 ]; then
    echo "FAIL: slot $slot: $name does not take the panel in ECX" >&2
    failures=$((failures + 1))
  fi
  if [ "$returns" != "ret \$$pops" ]; then
    echo "FAIL: slot $slot: $name must return with 'ret \$$pops' only. found: $(echo ${returns:-none})" >&2
    failures=$((failures + 1))
  fi
done

[ $failures -eq 0 ] || exit 1
echo "$dll: both table operations are thiscall"
