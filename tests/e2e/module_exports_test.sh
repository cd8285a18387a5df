#!/usr/bin/env bash
# The module library exports exactly its three entry points and no unique
# symbols, which would keep it mapped after dlclose and defeat hot reload.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
library="$1/modules/_TESSEL01.so"
[ "$(basename "$library")" = _TESSEL01.so ] && [ -f "$library" ] || fail "no $library"
exports=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TDBR]$/ {print $3}' | sort | tr '\n' ' ')
[ "$exports" = "sendmsg setcallback zokmoduleinit " ] || fail "exports: $exports"
if readelf --dyn-syms -W "$library" | grep -q UNIQUE; then fail "unique symbols in the module"; fi
echo "module exports: ok"
