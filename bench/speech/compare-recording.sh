#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# compare-recording.sh [BUILD_DIR] [RUNS]: records a 10,000-word text with orvena-speak and with
# each backend's own command-line tool on the same voice and settings, RUNS times each in turn
# (default 1), and prints the best wall times, their ratio, the CPU times (user + system, which a
# busy machine disturbs less than wall time) and orvena-speak's peak resident memory.
#   Mary (flite slt) at its natural 167 wpm   vs  flite -voice slt -f TEXT -o FILE
#   English (America) at espeak's 175 wpm      vs  espeak-ng -v en-us -f TEXT -w FILE
set -euo pipefail
build=${1:-"$(dirname "$0")/../../build/dev"}
runs=${2:-1}
tool="$build/bin/orvena-speak"
[ -x "$tool" ] || { echo "no $tool: build orvena-speak first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same text as BenchText.h: the paragraph repeated, each time with its number, to 10,000 words.
paragraph="The morning train left the station a little after seven, carrying farmers, clerks and a few \
sleepy students towards the city. Outside, the fields were still grey with frost. A woman near \
the window opened her newspaper and read about the harbour, where three ships had arrived \
overnight with timber, coffee and machine parts. Nobody spoke much. When the conductor came \
through, he checked each ticket carefully, nodded, and moved on without a word. By the time the \
sun rose over the hills, the carriage was warm, and most of the passengers were asleep again. "
words_per_part=$(( $(wc -w <<<"$paragraph") + 4 ))
part=1; done_words=0
: >"$work/text.txt"
while [ "$done_words" -lt 10000 ]; do
  printf '%sThat was part %d.\n' "$paragraph" "$part" >>"$work/text.txt"
  done_words=$((done_words + words_per_part)); part=$((part + 1))
done
echo "text: $(wc -w <"$work/text.txt") words"

measure() { # runs "$@"; prints "wall cpu rss_kB"
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>&1
  read -r wall user sys rss <"$work/time"
  echo "$wall $(echo "$user + $sys" | bc -l) $rss"
}
best() { # keeps the smaller of two measurements, field by field
  if [ -z "$1" ]; then echo "$2"; return; fi
  read -r w1 c1 r1 <<<"$1"; read -r w2 c2 r2 <<<"$2"
  echo "$(echo "if ($w1 < $w2) $w1 else $w2" | bc -l) $(echo "if ($c1 < $c2) $c1 else $c2" | bc -l) $((r1 > r2 ? r1 : r2))"
}

compare() { # name, reference command..., -- orvena-speak arguments...
  local name=$1; shift
  local ref_cmd=()
  while [ "$1" != "--" ]; do ref_cmd+=("$1"); shift; done
  shift
  local ref="" ours="" i
  for ((i = 0; i < runs; i++)); do
    ref=$(best "$ref" "$(measure "${ref_cmd[@]}")")
    ours=$(best "$ours" "$(measure "$tool" "$@")")
  done
  read -r rw rc _ <<<"$ref"; read -r ow oc orss <<<"$ours"
  printf '%-7s wall: reference %6.2f s, orvena-speak %6.2f s, ratio %.3f | cpu: %6.2f s, %6.2f s, ratio %.3f | peak RSS %d MB\n' \
    "$name" "$rw" "$ow" "$(echo "$ow / $rw" | bc -l)" "$rc" "$oc" "$(echo "$oc / $rc" | bc -l)" $((orss / 1024))
}

compare flite flite -voice slt -f "$work/text.txt" -o "$work/flite.wav" -- \
  --voice Mary --speed 167 --output "$work/ours-flite.wav" "$work/text.txt"
compare espeak espeak-ng -v en-us -f "$work/text.txt" -w "$work/espeak.wav" -- \
  --voice "English (America)" --speed 175 --pitch 100 --output "$work/ours-espeak.wav" "$work/text.txt"
for f in flite ours-flite espeak ours-espeak; do
  printf '%-12s %s\n' "$f" "$(soxi -d "$work/$f.wav" 2>/dev/null || echo '?')"
done
