#!/usr/bin/env bash
# Runs the demonstration with the loopback HTTP and FTP servers (the ones the tests use) on
# 127.0.0.1, serving OUTDIR/served, so that its transfer section has servers to talk to. The
# servers are stopped by pid when the demonstration ends.
# Usage: demo_servers.sh TESSIVO OUTDIR
set -euo pipefail
tool=$1
outdir=$2
servers=$(cd "$(dirname "$0")/../../tests/support/servers" && pwd)
served="$outdir/served"
mkdir -p "$served"
rm -f "$served/.http-port" "$served/.ftp-port"
/usr/bin/python3 "$servers/http_server.py" "$served" > "$served/.http-port" &
http_pid=$!
/usr/bin/python3 "$servers/ftp_server.py" "$served" any > "$served/.ftp-port" 2>/dev/null &
ftp_pid=$!
trap 'kill "$http_pid" "$ftp_pid" 2>/dev/null || true; wait "$http_pid" "$ftp_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -s "$served/.http-port" ] && [ -s "$served/.ftp-port" ] && break
  sleep 0.1
done
if ! [ -s "$served/.http-port" ] || ! [ -s "$served/.ftp-port" ]; then
  echo "demo: the loopback HTTP and FTP servers did not start" >&2
  exit 1
fi
TESSIVO_DEMO_HTTP_PORT=$(head -n1 "$served/.http-port") \
TESSIVO_DEMO_FTP_PORT=$(head -n1 "$served/.ftp-port") \
  "$tool" demo "$outdir"
