#!/usr/bin/env bash
# Prints the form in which the program stores PASSWORD as "Palavra-Passe"
# on a machine whose drive C: has the volume serial SERIAL (hex, as in
# drive_c/.windows-serial), in UTF-8, the way a .reg file spells it.
# Worked out here, apart from the program's code, for the window tests and
# the sample settings of scripts/run.sh.
# Usage: scramble.sh SERIAL PASSWORD
set -euo pipefail
serial=${1:?usage: scramble.sh SERIAL PASSWORD}
serial=$((16#${serial//[[:space:]]/}))

# The key: the serial as a signed 32-bit number in decimal.
[ "$serial" -lt $((1 << 31)) ] || serial=$((serial - (1 << 32)))
key=$serial

# Each code in code page 1252 is shifted by the code of the key character
# at its place, the key repeating over the text; six of the sums are
# stored as codes 248 to 255 instead.
declare -A replaced=([127]=254 [129]=255 [141]=252 [143]=251 [144]=250 [157]=248)
stored="" i=0
for code in $(printf '%s' "$2" | iconv -f UTF-8 -t CP1252 | od -An -v -tu1); do
  printf -v k '%d' "'${key:i % ${#key}:1}"
  sum=$((code + k))
  sum=${replaced[$sum]:-$sum}
  [ "$sum" -le 255 ] || { echo "scramble.sh: cannot store character $((i + 1))" >&2; exit 1; }
  stored+=$(printf '\\x%02x' "$sum")
  i=$((i + 1))
done

# Back to text. Code page 1252 leaves 0x81, 0x8D, 0x8F, 0x90 and 0x9D
# undefined, but those are replaced sums, never stored codes.
printf '%b' "$stored" | iconv -f CP1252 -t UTF-8
