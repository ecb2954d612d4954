#!/usr/bin/env bash
# Search and encode/decode benchmark with Python's int divmod of the same blocks beside it:
# builds the 64-bit tree, runs bench_poisk_kod.exe under Wine (it leaves its 64 MiB of encode
# data in build/x86_64/benchwork), then python3 on those blocks with the same keys.
#   bench/ishodniki/bench_poisk_kod.sh
set -uo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
"$top/scripts/setup" >/dev/null || exit 1
"$top/scripts/build" x86_64 >/dev/null || exit 1
. "$top/scripts/wine-env.sh"
tree="$top/build/x86_64"
work="$tree/benchwork"
zy_session_start "$tree/wineprefix" || exit 1
trap 'rm -f "$work/bench_kod_dannye.bin"; zy_session_stop' EXIT
mkdir -p "$work"
(cd "$work" && wine "$tree/bin/bench_poisk_kod.exe" ostavit) || exit 1
echo
python3 "$top/bench/ishodniki/bench_kod_python.py" "$work/bench_kod_dannye.bin"
