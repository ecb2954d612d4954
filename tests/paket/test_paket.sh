#!/usr/bin/env bash
# The packages as a Windows user gets them (CTest runs this): builds the x86_64 installer and
# ZIP with CPack, unpacks the ZIP, and runs test_paket.exe in a fresh Wine prefix and on an X
# screen of its own, so that what the installer writes (registry, Start menu, Documents)
# reaches no other test. Every step is bounded in time.
#   test_paket.sh <build tree> <work folder> <test_paket.exe>
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(cd "$here/../.." && pwd)"
[ $# -eq 3 ] || { echo "usage: test_paket.sh <build tree> <work folder> <test_paket.exe>" >&2; exit 2; }
tree="$1" work="$2" exe="$3"

rm -rf "$work/paket" "$work/zip" "$work/rabota" "$work/wineprefix" "$work/home"
mkdir -p "$work/zip" "$work/rabota" "$work/home"

nachalo=$SECONDS
if ! timeout 300 cpack --config "$tree/CPackConfig.cmake" -B "$work/paket" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "test_paket: CPack failed" >&2
    exit 1
fi
installer="$(find "$work/paket" -maxdepth 1 -name 'Orvanta-*-win64.exe')"
[ -f "$installer" ] && [ -f "${installer%.exe}.zip" ] || { echo "test_paket: no installer or ZIP" >&2; exit 1; }
cmake -E chdir "$work/zip" cmake -E tar xf "${installer%.exe}.zip" || exit 1
zip="$(find "$work/zip" -mindepth 1 -maxdepth 1 -type d)"
echo "test_paket: packages built and the ZIP unpacked in $((SECONDS - nachalo)) s"

# A session of our own: a fresh prefix, our own Xvfb, and a home without the user's folders
# (Wine would link the prefix's Documents to the home's).
unset ZY_WINE_SESSION DISPLAY
export HOME="$work/home"
. "$top/scripts/wine-env.sh"
zy_session_start "$work/wineprefix" || exit 1
trap zy_session_stop EXIT
echo "test_paket: Wine prefix ready after $((SECONDS - nachalo)) s"
ZY_PAKET_INSTALLER="$installer" ZY_PAKET_ZIP="$zip" ZY_PAKET_RABOTA="$work/rabota" \
    timeout 480 wine "$exe" </dev/null
rc=$?
zy_session_stop
echo "test_paket: done after $((SECONDS - nachalo)) s"
# The prefix (about 700 MB) stays for a look only when something failed.
[ $rc -ne 0 ] || rm -rf "$work/wineprefix"
exit $rc
