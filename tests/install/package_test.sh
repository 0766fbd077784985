#!/usr/bin/env bash
# Builds the Debian package with CPack into a temporary folder and checks that it holds the
# same tree as `cmake --install`, under /usr, with its library dependencies filled in.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tessivo-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/pkg/*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no .deb made"
cmake --install "$build" --prefix "$work/tree" >/dev/null
(cd "$work/tree" && find . ! -type d | sed 's|^\./|./usr/|' | sort) >"$work/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$work/packaged"
diff -u "$work/expected" "$work/packaged" || fail "the package and the install tree differ"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "package dependencies were not filled in"
[ "$(dpkg-deb -f "$deb" Package)" = tessivo ] || fail "package name"
echo "package OK: $(basename "$deb")"
