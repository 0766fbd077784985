#!/bin/bash
# Whole-process file pipeline benchmark: load, load + save and load + filter + save of a
# 6000x4000 RGB picture, timed for the tessivo command line, libvips (one thread), ImageMagick
# (one thread) and, for loading, the format library's own decode into one caller buffer
# (build/bench/reference_decode). Runs alternate between the tools; each figure is the median of
# RUNS runs; peak memory is the largest resident set /usr/bin/time reports.
#
# Usage: bench/pipeline.sh [BUILD_DIR]   (RUNS=5 by default; inputs are generated into
# BUILD_DIR/bench/pipeline on first use and kept)
set -u
BUILD=${1:-build}
RUNS=${RUNS:-5}
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
case $BUILD in /*) ;; *) BUILD=$ROOT/$BUILD ;; esac
TESSIVO=$BUILD/tools/tessivo/tessivo
REFERENCE=$BUILD/bench/reference_decode
MAGICK=/usr/bin/convert   # the ImageMagick binary itself, not a wrapper found earlier on PATH
WORK=$BUILD/bench/pipeline
export VIPS_CONCURRENCY=1 OMP_NUM_THREADS=1

for tool in "$TESSIVO" "$REFERENCE" /usr/bin/time vips "$MAGICK"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "pipeline.sh: $tool is missing (make build; deps/debian.txt lists the packages)" >&2
    exit 1
  fi
done
mkdir -p "$WORK" || exit 1
cd "$WORK" || exit 1

# --- Inputs: a smooth fractal surface with fine noise, so the encoders face photo-like data.
if [ ! -s photo.png ]; then
  echo "pipeline.sh: generating the 6000x4000 inputs in $WORK"
  set -e
  for band in 1 2 3; do
    vips perlin "p$band.v" 6000 4000 --cell-size $((160 + 70 * band)) --seed "$band"
  done
  vips bandjoin "p1.v p2.v p3.v" pj.v
  vips linear pj.v pl.v "110 100 90" "128 120 110"
  vips gaussnoise noise.v 6000 4000 --sigma 6 --mean 0 --seed 4
  vips add pl.v noise.v pn.v
  vips cast pn.v rgb.v uchar
  vips copy rgb.v photo.tif
  vips copy rgb.v "photo_lzw.tif[compression=lzw]"
  vips copy rgb.v "photo.jpg[Q=90]"
  vips copy rgb.v photo.png
  rm -f p1.v p2.v p3.v pj.v pl.v noise.v pn.v rgb.v
  set +e
fi
printf '3 3 8 0\n1 1 1\n1 0 1\n1 1 1\n' >blur3x3.mat
BITMAP_MIB=$(awk 'BEGIN { printf "%.2f", 6000 * 4000 * 3 / 1048576 }')

# run_one LABEL COMMAND...: appends "seconds peak_kib" to LABEL.times; a failing command stops
# the benchmark (a figure of a run that did not do the work would mislead).
run_one() {
  local label=$1
  shift
  local start end
  start=$(date +%s%N)
  if ! /usr/bin/time -f '%M' -o "$label.rss" "$@" >"$label.out" 2>&1; then
    echo "pipeline.sh: failed: $*" >&2
    cat "$label.out" >&2
    exit 1
  fi
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 )) $(tail -n 1 "$label.rss")" >>"$label.times"
}

# median_seconds LABEL / peak_mib LABEL
median_seconds() {
  awk '{ print $1 }' "$1.times" | sort -n |
    awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f", m / 1e6 }'
}
peak_mib() { awk 'BEGIN { p = 0 } { if ($2 > p) p = $2 } END { printf "%.1f", p / 1024 }' "$1.times"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

rm -f ./*.times
T="$TESSIVO call"
IM="$MAGICK -limit thread 1"
for ((i = 1; i <= RUNS; ++i)); do
  for f in tif lzw; do
    src=photo.tif; [ $f = lzw ] && src=photo_lzw.tif
    run_one "load_${f}_tessivo" $T CreateImageFromFile $src
    run_one "load_${f}_reference" "$REFERENCE" tiff $src
    run_one "load_${f}_vips" vips copy $src o.v
    run_one "load_${f}_magick" $IM $src null:
  done
  run_one load_jpg_tessivo $T CreateImageFromFile photo.jpg
  run_one load_jpg_reference "$REFERENCE" jpeg photo.jpg
  run_one load_jpg_vips vips copy photo.jpg o.v
  run_one load_jpg_magick $IM photo.jpg null:
  run_one load_png_tessivo $T CreateImageFromFile photo.png
  run_one load_png_reference "$REFERENCE" png photo.png
  run_one load_png_vips vips copy photo.png o.v
  run_one load_png_magick $IM photo.png null:

  run_one save_tessivo $T CreateImageFromFile photo.jpg -- SaveAsJPEG out_t.jpg 85
  run_one save_vips vips copy photo.jpg "out_v.jpg[Q=85]"
  run_one save_magick $IM photo.jpg -quality 85 out_m.jpg

  run_one blur_tessivo $T CreateImageFromFile photo.jpg -- FxBlur -- SaveAsJPEG out_t.jpg 85
  run_one blur_vips vips conv photo.jpg "out_v.jpg[Q=85]" blur3x3.mat --precision integer
  run_one blur_magick $IM photo.jpg -define convolve:scale=0.125 \
    -morphology Convolve '3x3: 1,1,1 1,0,1 1,1,1' -quality 85 out_m.jpg

  run_one inplace_tessivo $T CreateImageFromFile photo.tif -- FxBlur
  run_one copyfilter_tessivo $T CreateImageFromFile photo.tif -- FxDespeckle
done
rm -f o.v out_t.jpg out_v.jpg out_m.jpg ./*.rss ./*.out

echo
echo "File pipeline, 6000x4000 RGB ($BITMAP_MIB MiB decoded), one thread, whole process, median of $RUNS"
printf '%-26s %9s %9s %9s %9s | %7s %7s %7s | %8s %8s %8s %8s\n' work tessivo_s library_s vips_s magick_s \
  "/lib" "/vips" "/magick" tv_MiB lib_MiB vips_MiB im_MiB
row() {
  local name=$1 key=$2
  local t v m r="-" rl="-" pr="-"
  t=$(median_seconds "${key}_tessivo"); v=$(median_seconds "${key}_vips"); m=$(median_seconds "${key}_magick")
  if [ -f "${key}_reference.times" ]; then
    r=$(median_seconds "${key}_reference"); rl=$(ratio "$t" "$r"); pr=$(peak_mib "${key}_reference")
  fi
  printf '%-26s %9s %9s %9s %9s | %7s %7s %7s | %8s %8s %8s %8s\n' "$name" "$t" "$r" "$v" "$m" \
    "$rl" "$(ratio "$t" "$v")" "$(ratio "$t" "$m")" \
    "$(peak_mib "${key}_tessivo")" "$pr" "$(peak_mib "${key}_vips")" "$(peak_mib "${key}_magick")"
}
row "load TIFF uncompressed" load_tif
row "load TIFF LZW" load_lzw
row "load JPEG" load_jpg
row "load PNG" load_png
row "JPEG load + save" save
row "JPEG load + FxBlur + save" blur
echo
echo "Peak memory over the decoded bitmap (targets: load <= 1.15x + 20 MiB, in place <= 1.2x, copy <= 2.1x)"
for key in load_tif load_lzw load_jpg load_png inplace copyfilter; do
  p=$(peak_mib "${key}_tessivo")
  printf '%-26s %8s MiB  %5sx the bitmap  (load limit %s MiB)\n' "$key" "$p" "$(ratio "$p" "$BITMAP_MIB")" \
    "$(awk -v b="$BITMAP_MIB" 'BEGIN { printf "%.1f", 1.15 * b + 20 }')"
done
printf '%-26s %8s s\n' "TIFF + FxBlur (in place)" "$(median_seconds inplace_tessivo)"
printf '%-26s %8s s\n' "TIFF + FxDespeckle (copy)" "$(median_seconds copyfilter_tessivo)"
