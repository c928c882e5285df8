#!/usr/bin/env bash
# gifview --compose on the corpus animations whose frames come with their
# composited pictures: every frame step, flattened onto black, equals that
# picture flattened the same way, and the alpha channel marks the
# transparent pixels. The frames that reach beyond the logical screen are
# left out: the control grows its picture to cover them, the pictures clip.
set -euo pipefail
gifview=$1
gifs=$2/peterdn/gifs
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0 compared=0

alphas() {  # the distinct alpha bytes of a 32-bit BMP's pixels
  od -An -tu1 -v -j54 "$1" | tr -s ' ' '\n' | sed '/^$/d' | awk 'NR % 4 == 0' | sort -un | tr '\n' ' '
}

for gif in "$gifs"/*.gif; do
  name=$(basename "$gif" .gif)
  [[ $name == *out_of_bounds* ]] && continue
  mkdir -p "$out/$name"
  wine "$gifview" "$gif" --compose "$out/$name"
  for bmp in "$out/$name"/frame-*.bmp; do
    step=$(basename "$bmp" .bmp)
    step=$((10#${step#frame-} - 1))
    png=$gifs/frames/$name-$step.png
    [ -f "$png" ] || png=$gifs/frames/$name.png
    convert "$bmp" -background black -alpha remove -alpha off "$out/a.png"
    convert "$png" -background black -alpha remove -alpha off "$out/b.png"
    differ=$(compare -metric AE "$out/a.png" "$out/b.png" null: 2>&1 || true)
    compared=$((compared + 1))
    if [ "$differ" != 0 ]; then
      echo "FAIL $name step $((step + 1)): $differ pixels differ"
      failed=$((failed + 1))
    fi
  done
done

# Alpha: both values in a picture with transparency, 255 alone without.
a=$(alphas "$out/static_transparent/frame-001.bmp")
b=$(alphas "$out/static_nontransparent/frame-001.bmp")
if [ "$a" != "0 255 " ] || [ "$b" != "255 " ]; then
  echo "FAIL alpha: transparent picture has [$a], opaque one [$b]"
  failed=$((failed + 1))
fi
# A picture that does not load: exit status 1, nothing written.
mkdir -p "$out/bad"
status=0
wine "$gifview" "$0" --compose "$out/bad" >/dev/null 2>&1 || status=$?
if [ $status != 1 ] || [ -n "$(ls "$out/bad")" ]; then
  echo "FAIL a file that is no GIF: status $status"
  failed=$((failed + 1))
fi

echo "$compared frame steps compared, $failed failures"
[ $compared -gt 40 ] && [ $failed = 0 ]
