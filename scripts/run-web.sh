#!/usr/bin/env bash
# Builds the browser edition (the core and the site, into build-web/site/) and serves it on
# 127.0.0.1 with Python's http.server, printing the address. The folder can be served by
# any static host as it is.
#   ./scripts/run-web.sh [PORT]     (default 8030)
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8030}
./scripts/install-deps.sh
npm ci --no-audit --no-fund
./scripts/build-web.sh
echo "run-web: Velmora is served at http://127.0.0.1:$port/ (Ctrl+C stops it)"
exec python3 -m http.server --bind 127.0.0.1 --directory build-web/site "$port"
