#!/usr/bin/env bash
# Installs the Debian packages of deps/debian.txt that are not installed yet.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Builds of several checkouts may start at once; one installer at a time keeps apt's lock free.
if [ -z "${TESSIVO_DEPS_LOCKED:-}" ] && command -v flock >/dev/null 2>&1; then
  export TESSIVO_DEPS_LOCKED=1
  exec flock /tmp/tessivo-deps.lock "$0" "$@"
fi
missing=()
while read -r pkg; do
  pkg=${pkg%%#*}; pkg=$(echo "$pkg" | xargs)
  [ -z "$pkg" ] && continue
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done < "$here/debian.txt"
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# Recommended packages come too: ImageMagick reads several formats through them.
$sudo apt-get install -y -qq "${missing[@]}"
