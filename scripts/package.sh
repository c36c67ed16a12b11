#!/usr/bin/env bash
# Makes the release: sets up what is missing, builds, and has CPack write
# into build/package/ (or $ORVU_BUILD_DIR/package/):
#   Ohmwatch-<version>-portable.zip   one folder Ohmwatch/, unzip and run
#   Ohmwatch-<version>-setup.exe      per-user installer (NSIS)
# Then checks the zip's contents as they ship (stripped): the size budget,
# and the import check of every module. With --built, skips set-up and build
# (CTest's test "release_package" runs it so after the build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_BUILD_DIR:-$root/build}
if [ "${1:-}" != "--built" ]; then
    "$root/scripts/setup.sh"
    "$root/scripts/build.sh"
fi

# Size budget, in bytes: the zip, and any one plugin module.
max_zip=$((1536 * 1024))
max_plugin=$((1024 * 1024))

cd "$build"
rm -rf package
cpack -B package >package-cpack.log 2>&1 || { cat package-cpack.log; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' CPackConfig.cmake)
zip=package/Ohmwatch-$version-portable.zip
setup=package/Ohmwatch-$version-setup.exe

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
[ -f "$zip" ] || fail "$zip was not made"
[ -f "$setup" ] || fail "$setup was not made"
[ $failures -eq 0 ] || exit 1

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
unzip -q "$zip" -d "$staging"
[ "$(ls "$staging")" = Ohmwatch ] || fail "the zip does not hold exactly one folder Ohmwatch/"
for file in Ohmwatch.exe OrvuEngine.dll libgcc_s_dw2-1.dll plugins/OPPic_gdiPlus.dll \
    plugins/OPPic_omp.dll power-disconnected.png Ohmwatch.ini README.txt LICENSE.txt; do
    [ -f "$staging/Ohmwatch/$file" ] || fail "the zip lacks Ohmwatch/$file"
done

size() { stat -c %s "$1"; }
printf '%-40s %9s bytes\n' "$(basename "$zip")" "$(size "$zip")" "$(basename "$setup")" "$(size "$setup")"
[ "$(size "$zip")" -le $max_zip ] || fail "the zip is larger than $max_zip bytes"
for module in "$staging"/Ohmwatch/*.exe "$staging"/Ohmwatch/*.dll "$staging"/Ohmwatch/plugins/*.dll; do
    printf '  %-38s %9s bytes\n' "${module#"$staging"/Ohmwatch/}" "$(size "$module")"
done
for plugin in "$staging"/Ohmwatch/plugins/*.dll; do
    [ "$(size "$plugin")" -le $max_plugin ] || fail "$(basename "$plugin") is larger than $max_plugin bytes"
done

# What ships must load on Windows XP SP3 and need nothing from elsewhere.
objdump=$(command -v i686-w64-mingw32-objdump)
"$root/tests/binaries/check_binaries.sh" "$objdump" "$root/tests/binaries/post-xp-imports.txt" \
    "$staging/Ohmwatch" || failures=$((failures + 1))

if [ $failures -ne 0 ]; then
    echo "$failures problem(s) with the release"
    exit 1
fi
echo "release written to $build/package"
