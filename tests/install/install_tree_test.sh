#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as another project would: the
# installed tool with its plug-in, the example built through the CMake package, and the same
# example compiled with one pkg-config line. Usage: install_tree_test.sh BUILD_DIR SOURCE_DIR [CXXFLAGS]
set -euo pipefail
build=$1 source=$2 extra_flags=${3:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/tessivo-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }

for f in lib/libtessivo.so include/tessivo/tessivo.h include/tessivo/imaging.h include/tessivo/plugins \
         lib/tessivo/plugins/tvimgplug.so lib/tessivo/plugins/tvtwain.so lib/tessivo/plugins/tvbarcode.1dreader.so \
         lib/tessivo/plugins/tvbarcode.dmreader.so lib/tessivo/plugins/tvocrplug.tesseract.so bin/tessivo \
         lib/cmake/Tessivo/TessivoConfig.cmake \
         lib/cmake/Tessivo/TessivoConfigVersion.cmake lib/cmake/Tessivo/TessivoTargets.cmake \
         lib/pkgconfig/tessivo.pc; do
  [ -e "$prefix/$f" ] || fail "missing $f in the installed tree"
done
soname=$(readelf -d "$prefix/lib/libtessivo.so" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ -n "$soname" ] || fail "libtessivo.so has no SONAME"
[ -e "$prefix/lib/$soname" ] || fail "the SONAME $soname is not installed"
# Nothing installed may point back into the build tree.
if readelf -d "$prefix/bin/tessivo" "$prefix/lib/$soname" | grep -E 'R(UN)?PATH' | grep -q "$build"; then
  fail "build-tree RPATH left in"
fi
loaded=$(env -u LD_LIBRARY_PATH ldd "$prefix/bin/tessivo" | awk -v so="$soname" '$1 == so {print $3}')
[ -n "$loaded" ] && [ "$(realpath "$loaded")" = "$(realpath "$prefix/lib/$soname")" ] || \
  fail "bin/tessivo does not load the installed library (it loads '$loaded')"

tool() { env -u TESSIVO_PLUGIN_DIR -u LD_LIBRARY_PATH "$prefix/bin/tessivo" "$@"; }
# TGA goes through the codec plug-in: found in lib/tessivo/plugins without any setting...
tool call CreateNewImage 48 32 24 0xFF3366CC -- SaveAsTGA "$work/in.tga" -- SaveAsPNG "$work/in.png" \
  >"$work/tool.log" || { cat "$work/tool.log"; fail "installed tool could not use its plug-in"; }
# ...while TESSIVO_PLUGIN_DIR still wins: an empty folder means no plug-in.
mkdir "$work/no-plugins"
if TESSIVO_PLUGIN_DIR=$work/no-plugins "$prefix/bin/tessivo" call CreateNewImage 8 8 24 -- \
   SaveAsTGA "$work/none.tga" >"$work/tool2.log" 2>&1; then fail "TESSIVO_PLUGIN_DIR was not honoured"; fi

check_output() {  # the blurred file is a 48x32 image
  tool call CreateImageFromFile "$1" -- GetWidth -- GetHeight >"$work/check.log" || fail "cannot read $1"
  grep -q "GetWidth = 48" "$work/check.log" && grep -q "GetHeight = 32" "$work/check.log" || \
    { cat "$work/check.log"; fail "$1 has the wrong size"; }
}

# The example through find_package(Tessivo CONFIG REQUIRED).
cmake -S "$source/examples/cpp" -B "$work/example" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_FLAGS="$extra_flags" >"$work/example.log" 2>&1 || { cat "$work/example.log"; fail "example: configure"; }
cmake --build "$work/example" >>"$work/example.log" 2>&1 || { cat "$work/example.log"; fail "example: build"; }
env -u TESSIVO_PLUGIN_DIR "$work/example/blur_image" "$work/in.tga" "$work/out-cmake.png" || fail "example (CMake) failed"
check_output "$work/out-cmake.png"

# The example with one pkg-config line.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
# shellcheck disable=SC2046,SC2086
c++ -std=c++20 $extra_flags "$source/examples/cpp/blur_image.cpp" $(pkg-config --cflags --libs tessivo) \
  -Wl,-rpath,"$prefix/lib" -o "$work/blur_pc" || fail "example: pkg-config compile"
env -u TESSIVO_PLUGIN_DIR "$work/blur_pc" "$work/in.png" "$work/out-pc.png" || fail "example (pkg-config) failed"
check_output "$work/out-pc.png"
# A missing input is reported, not a crash.
if "$work/blur_pc" "$work/missing.png" "$work/out-missing.png" 2>/dev/null; then fail "missing input not reported"; fi
[ ! -e "$work/out-missing.png" ] || fail "output written for a missing input"
# The Python module, when built, imports from the installed tree and finds its plug-in.
if [ -d "$prefix/lib/python3/dist-packages/tessivo" ]; then
  env -u TESSIVO_PLUGIN_DIR PYTHONPATH="$prefix/lib/python3/dist-packages" /usr/bin/python3 -c "
import sys, tessivo
im = tessivo.Imaging()
assert im.CreateImageFromFile(sys.argv[1]) != 0 and im.GetWidth() == 48, im.GetStat()
" "$work/in.tga" || fail "installed Python module"
fi
echo "install tree OK"
