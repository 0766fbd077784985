#!/usr/bin/env bash
# Runs every fuzz target of a fuzzing build for SECONDS seconds each over a seed corpus made here
# (small files written by the toolkit's own savers and by ImageMagick; nothing binary is kept in
# the repository). Fails when any target finds a crash, a leak, a timeout or an out-of-memory.
# Usage: fuzz/run_fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:?build folder}
seconds=${2:-30}
src=$(cd "$(dirname "$0")/.." && pwd)
corpus=$build/fuzz-corpus
findings=$build/fuzz-findings
tool=$build/tools/tessivo/tessivo
convert=$(command -v convert-im6.q16 || command -v convert)
rm -rf "$corpus" "$findings"
mkdir -p "$findings"
for t in bmp gif ico jpeg png tiff plugin script; do mkdir -p "$corpus/$t"; done

# The toolkit's own savers, in several pixel formats.
for depth in 1 8 24 32; do
  "$tool" call CreateNewImage 13 7 $depth -1 \
    -- SaveAsPNG "$corpus/png/own$depth.png" -- SaveAsGIF "$corpus/gif/own$depth.gif" \
    -- SaveAsTIFF "$corpus/tiff/own$depth.tif" -- SaveAsICO "$corpus/ico/own$depth.ico" \
    -- SaveAsJPEG "$corpus/jpeg/own$depth.jpg" -- SaveAsPBM "$corpus/plugin/own$depth.pbm" >/dev/null || true
done
# ImageMagick's writers, for the variants the toolkit does not write itself.
picture=(-size 17x11 gradient:red-blue -fill white -draw "point 3,3")
"$convert" "${picture[@]}" "$corpus/bmp/im.bmp"
"$convert" "${picture[@]}" -type palette "BMP3:$corpus/bmp/im8.bmp"
"$convert" "${picture[@]}" -compress rle -type palette "BMP3:$corpus/bmp/rle8.bmp"
"$convert" "${picture[@]}" "$corpus/gif/im.gif"
"$convert" "${picture[@]}" "$corpus/ico/im.ico"
"$convert" "${picture[@]}" -interlace plane "$corpus/jpeg/progressive.jpg"
"$convert" "${picture[@]}" "$corpus/png/im.png"
"$convert" "${picture[@]}" -interlace png "$corpus/png/interlaced.png"
"$convert" "${picture[@]}" -compress zip "$corpus/tiff/zip.tif"
"$convert" "${picture[@]}" -monochrome -compress group4 "$corpus/tiff/g4.tif"
"$convert" "${picture[@]}" "${picture[@]}" "$corpus/tiff/two-pages.tif"
for f in pcx tga psd sgi ras xpm pnm pam xbm jbg dds hdr pfm; do
  "$convert" "${picture[@]}" "$corpus/plugin/im.$f" 2>/dev/null || true
done
# Scripts: the demonstration, one call per file.
n=0
grep -v '^\s*#' "$src/tools/tessivo/demo.tvs" | grep -v '^\s*$' | head -400 | while IFS= read -r line; do
  n=$((n + 1)); printf '%s\n' "$line" > "$corpus/script/line$n.tvs"
done

# Metadata items: one ASCII make, one LONG offset tag, one rational, then a tag text.
mkdir -p "$corpus/metadata" "$corpus/pdf"
printf '\x60\x0f\x01\x02\x06Maker\0\x02\x69\x87\x04\x04\x08\0\0\0\xff\x1a\x01\x05\x08\x48\0\0\0\x01\0\0\0\x0a\x02Caption' \
  > "$corpus/metadata/items"
printf '\x61\x05300/1, 72.5' > "$corpus/metadata/text"
# The writer embeds any image file; its tail doubles as the text drawn.
cp "$corpus"/jpeg/* "$corpus"/tiff/g4.tif "$corpus"/png/own1.png "$corpus/pdf/"
# Template sets: two empty templates, as the toolkit saves them.
mkdir -p "$corpus/templates"
"$tool" call ADRCreateTemplateEmpty -- ADRCreateTemplateEmpty \
  -- ADRSaveTemplateConfig "$corpus/templates/two.tpl" >/dev/null || true
# Scanner scripts: a start, one 4 x 2 colour frame read in one piece, then the end of the page.
mkdir -p "$corpus/sane"
printf '\x00\x01\x01\x01\x0c\x04\x28\x02\x64\x00\x06\x18ABCDEFGHIJKLMNOPQRSTUVWX\x08\x00' > "$corpus/sane/rgb"
declare -A dirs=([fuzz_decode_bmp]=bmp [fuzz_decode_gif]=gif [fuzz_decode_ico]=ico
  [fuzz_decode_jpeg]=jpeg [fuzz_decode_png]=png [fuzz_decode_tiff]=tiff
  [fuzz_tvimgplug_load]=plugin [fuzz_script]=script
  [fuzz_metadata_write]=metadata [fuzz_pdf_writer]=pdf [fuzz_template_file]=templates [fuzz_sane_frames]=sane)
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  dir=$corpus/${dirs[$name]:-}
  [ -n "${dirs[$name]:-}" ] || { mkdir -p "$corpus/$name"; dir=$corpus/$name; }
  echo "== $name: $seconds s over $(ls "$dir" | wc -l) seeds"
  if ! LSAN_OPTIONS=suppressions=$src/tests/lsan.supp ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
       "$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 -print_final_stats=1 \
       -artifact_prefix="$findings/$name-" "$dir" > "$findings/$name.log" 2>&1; then
    echo "!! $name found a problem:"; tail -40 "$findings/$name.log"; status=1
  else
    grep -E "stat::number_of_executed_units" "$findings/$name.log" || true
  fi
done
exit $status
