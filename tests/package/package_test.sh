#!/usr/bin/env bash
# package_test.sh OUT VERSION TOOL: builds the Debian package once
# (tools/build-deb.sh OUT) and checks it:
#   lintian reports no error (its whole output is printed);
#   its Depends name SDL2 and libpng (from dh_shlibdeps), its Recommends ffmpeg;
#   unpacked with dpkg -x, it holds exactly the files `make install` puts under
#   /usr, and its desktop entry, metadata and manual pages validate;
#   the unpacked corvexa-tool writes the same frame as the build's TOOL.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
out=$(realpath -m "$1") version=$2 tool=$3
arch=$(dpkg --print-architecture)
deb=$out/corvexa_${version}_${arch}.deb
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

start=$(date +%s)
"$source_dir/tools/build-deb.sh" "$out" || exit 1
[[ -f "$deb" ]] || { echo "FAILED: no $deb"; ls "$out"; exit 1; }
echo "built $(basename "$deb") in $(($(date +%s) - start)) s: $(stat -c %s "$deb") bytes," \
  "$(dpkg-deb -f "$deb" Installed-Size) KiB installed"

lintian_out=$(lintian --info "$deb" 2>&1)
echo "lintian:"; sed 's/^/  /' <<<"${lintian_out:-(nothing)}"
grep -q "^E:" <<<"$lintian_out" && fail "lintian reports errors"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"
for library in libsdl2 libpng; do
  grep -q "$library" <<<"$depends" || fail "Depends names no $library"
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *ffmpeg* ]] || fail "ffmpeg is not recommended"

root=$out/unpacked
dpkg -x "$deb" "$root"
expected="/usr/bin/corvexa
/usr/bin/corvexa-tool
/usr/share/applications/corvexa.desktop
/usr/share/doc/corvexa/changelog.gz
/usr/share/doc/corvexa/copyright
/usr/share/icons/hicolor/128x128/apps/corvexa.png
/usr/share/icons/hicolor/16x16/apps/corvexa.png
/usr/share/icons/hicolor/256x256/apps/corvexa.png
/usr/share/icons/hicolor/32x32/apps/corvexa.png
/usr/share/icons/hicolor/48x48/apps/corvexa.png
/usr/share/icons/hicolor/64x64/apps/corvexa.png
/usr/share/man/man1/corvexa-tool.1.gz
/usr/share/man/man6/corvexa.6.gz
/usr/share/metainfo/corvexa.metainfo.xml"
files=$(cd "$root" && find . -type f | sed 's/^\.//' | LC_ALL=C sort)
if [[ "$files" != "$expected" ]]; then
  fail "the package's files differ from the expected list:"
  diff <(echo "$expected") <(echo "$files")
fi
for size in 16 32 48 64 128 256; do
  cmp -s "$root/usr/share/icons/hicolor/${size}x${size}/apps/corvexa.png" \
    "$source_dir/platform/icons/corvexa-$size.png" || fail "the ${size}-pixel icon is not platform/icons'"
done

docs=$out/docs
mkdir -p "$docs"
gunzip -c "$root/usr/share/man/man6/corvexa.6.gz" >"$docs/corvexa.6"
gunzip -c "$root/usr/share/man/man1/corvexa-tool.1.gz" >"$docs/corvexa-tool.1"
"$here/check_docs.sh" "$version" "$root/usr/bin/corvexa-tool" \
  "$root/usr/share/applications/corvexa.desktop" "$root/usr/share/metainfo/corvexa.metainfo.xml" \
  "$docs/corvexa.6" "$docs/corvexa-tool.1" || fail "the package's documents"

"$root/usr/bin/corvexa-tool" frames --ticks 4321 --raw --out-dir "$out/frames-package" >/dev/null &&
  "$tool" frames --ticks 4321 --raw --out "$out/frames-build" >/dev/null ||
  fail "corvexa-tool frames"
cmp "$out/frames-package/tick-04321.u32" "$out/frames-build/tick-04321.u32" ||
  fail "the packaged corvexa-tool draws tick 4,321 differently"

[[ $failures -eq 0 ]] || exit 1
echo "the package installs Corvexa $version where it belongs"
