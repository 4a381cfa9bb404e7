#!/usr/bin/env bash
# Compares two sets of screenshots, as tools/clinora_shots writes them (one
# PNG per screen), pixel by pixel with ImageMagick's compare. Prints for each
# screen of BEFORE_DIR: identical, or how many pixels differ and the largest
# difference of one colour channel in levels of 255.
#   scripts/shots-compare.sh BEFORE_DIR AFTER_DIR
#   CLINORA_SHOTS_LEVELS  the largest difference still accepted (default 3 levels)
#   CLINORA_SHOTS_DIFFS   a folder to write a picture of each difference into
#                         (changed pixels in red over a faded copy of the screen)
# Exits 1 when a screen differs by more than that, is missing from AFTER_DIR,
# has another size or cannot be read; 0 otherwise. A screen found only in
# AFTER_DIR is listed.
set -euo pipefail

if [ $# -ne 2 ] || [ ! -d "$1" ] || [ ! -d "$2" ]; then
  sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
before="$1"
after="$2"
levels="${CLINORA_SHOTS_LEVELS:-3}"
diffs="${CLINORA_SHOTS_DIFFS:-}"
[ -z "$diffs" ] || mkdir -p "$diffs"
command -v compare >/dev/null || { echo "compare not found (package imagemagick)" >&2; exit 2; }

shopt -s nullglob
failed=0 screens=0 identical=0
for b in "$before"/*.png; do
  name=$(basename "$b")
  a="$after/$name"
  screens=$((screens + 1))
  if [ ! -f "$a" ]; then
    printf '%-36s missing\n' "${name%.png}"
    failed=1
    continue
  fi
  # compare would look for a smaller picture inside the larger one.
  sb=$(identify -format '%wx%h' "$b" 2>/dev/null) || sb="unreadable"
  sa=$(identify -format '%wx%h' "$a" 2>/dev/null) || sa="unreadable"
  if [ "$sb" != "$sa" ]; then
    printf '%-36s not alike: %s before, %s after\n' "${name%.png}" "$sb" "$sa"
    failed=1
    continue
  fi
  # compare prints its measure on stderr and exits 1 when the pictures
  # differ, 2 when it cannot compare them.
  rc=0
  pixels=$(compare -metric AE "$b" "$a" null: 2>&1) || rc=$?
  if [ "$rc" -gt 1 ]; then
    printf '%-36s cannot compare: %s\n' "${name%.png}" "${pixels//$'\n'/ }"
    failed=1
    continue
  fi
  if [ "$pixels" = 0 ]; then
    printf '%-36s identical\n' "${name%.png}"
    identical=$((identical + 1))
    continue
  fi
  # Peak absolute error: "65535-scale value (fraction)"; the fraction in levels of 255.
  peak=$(compare -metric PAE "$b" "$a" null: 2>&1 || true)
  level=$(printf '%s\n' "$peak" | sed -n 's/.*(\([0-9.e+-]*\)).*/\1/p' | awk '{ printf "%d", $1 * 255 + 0.5 }')
  verdict=""
  if [ -z "$level" ] || [ "$level" -gt "$levels" ]; then
    verdict="  <- more than $levels levels"
    failed=1
  fi
  printf '%-36s %s pixels differ (max %s levels)%s\n' "${name%.png}" "$pixels" "${level:-?}" "$verdict"
  [ -z "$diffs" ] || compare -highlight-color red -lowlight-color '#ffffff80' "$b" "$a" "$diffs/$name" 2>/dev/null || true
done
for a in "$after"/*.png; do
  [ -f "$before/$(basename "$a")" ] || printf '%-36s only after\n' "$(basename "$a" .png)"
done
echo "$identical of $screens screens identical; tolerance $levels levels"
exit "$failed"
