#!/usr/bin/env bash
# Installs what building and serving need (scripts/install-deps.sh web), builds the browser version and serves it on this machine only:
#   scripts/web.sh [PORT]      (default 8070), then open the address it prints.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
port=${1:-8070}
"$root/scripts/install-deps.sh" web
"$root/scripts/build-web.sh"
echo "crowdfire in the browser: http://127.0.0.1:$port/  (Ctrl+C stops the server)"
cd "$root/build-web/site"
exec python3 -m http.server --bind 127.0.0.1 "$port"
