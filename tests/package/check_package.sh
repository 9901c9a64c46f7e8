#!/usr/bin/env bash
# Builds the Debian package from the build tree with cpack and checks it: its control
# fields, its exact file list, the icon sizes, the menu entry, the AppStream metainfo, the
# manual pages, the program's hardening, and lintian's verdict at warning level (no error or
# warning; its info notes are shown and do not fail the package).
# usage: check_package.sh BUILD_DIR OUTPUT_DIR VERSION
# Leaves the package in OUTPUT_DIR for the tests that install it. Exit 77: a tool is missing.
set -euo pipefail
build="$1" out="$2" version="$3"
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli file readelf lintian man; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; fail "cpack"; }
deb="$out/quorel1_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no package $deb: $(ls "$out")"
rm -rf "$out/_CPack_Packages"

# Control fields.
[ "$(dpkg-deb -f "$deb" Package)" = quorel1 ] || fail "Package"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6printsupport6 libqt6gui6 libqt6core6 libsqlite3-0 'libicu[0-9]+' libc6 'libstdc\+\+6' \
              qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic fonts-noto-cjk; do
  grep -Eq "(^|, )${needed}( |,|$)" <<<"$depends" || fail "Depends lacks $needed"
done

# Exactly these files, nothing from the build tree (no data/, tests or tools).
id=jp.example.tovark.Quorel1
expected="./usr/bin/Quorel1
./usr/share/applications/$id.desktop
./usr/share/icons/hicolor/128x128/apps/$id.png
./usr/share/icons/hicolor/16x16/apps/$id.png
./usr/share/icons/hicolor/256x256/apps/$id.png
./usr/share/icons/hicolor/32x32/apps/$id.png
./usr/share/icons/hicolor/48x48/apps/$id.png
./usr/share/icons/hicolor/64x64/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/doc/quorel1/changelog.gz
./usr/share/doc/quorel1/copyright
./usr/share/lintian/overrides/quorel1
./usr/share/man/ja/man1/Quorel1.1.gz
./usr/share/man/man1/Quorel1.1.gz
./usr/share/metainfo/$id.metainfo.xml"
actual="$(dpkg-deb -c "$deb" | grep -v '^d' | awk '{print $6}' | LC_ALL=C sort)"
[ "$actual" = "$(LC_ALL=C sort <<<"$expected")" ] || fail "file list differs:
$actual"

root="$out/root"
dpkg-deb -x "$deb" "$root"
for size in 16 32 48 64 128 256; do
  file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size," || fail "icon $size"
done
# An installed program finds its libraries on the system, not in the build tree.
! readelf -d "$root/usr/bin/Quorel1" | grep -Eq 'RPATH|RUNPATH' || fail "the program keeps a run path"
file -b "$root/usr/bin/Quorel1" | grep -q ', stripped' || fail "the program is not stripped"
# Relocations bound at start, and none of the compiler's notes the install step removes.
readelf -d "$root/usr/bin/Quorel1" | grep -Eq '\(FLAGS(_1)?\).* NOW' || fail "the program is not linked with -z now"
! readelf -S --wide "$root/usr/bin/Quorel1" | grep -Eq ' \.(comment|note) ' || fail "the program keeps .comment or .note"

desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop file"
grep -qx 'Name\[ja\]=支払予定表' "$root/usr/share/applications/$id.desktop" || fail "Japanese name"
grep -qx 'Categories=Office;Finance;' "$root/usr/share/applications/$id.desktop" || fail "categories"
grep -qx 'Exec=Quorel1' "$root/usr/share/applications/$id.desktop" || fail "Exec"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo release"

# The manual pages read without a warning and name the options.
for page in man1/Quorel1.1.gz ja/man1/Quorel1.1.gz; do
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/$page" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "manual page $page: $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$root/usr/share/man/$page" 2>/dev/null | grep -q -- '--data' || fail "manual page $page lacks --data"
done
LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$root/usr/share/man/ja/man1/Quorel1.1.gz" 2>/dev/null | grep -q '支払予定の帳簿' || fail "Japanese manual page"
zcat "$root/usr/share/doc/quorel1/changelog.gz" | head -1 | grep -q "^quorel1 ($version) " || fail "changelog version"
rm -rf "$root"

# lintian at warning level: lintian_verdict.sh names the errors and warnings.
lintian_out="$out/lintian.txt"
lintian --fail-on none --display-info --tag-display-limit 0 "$deb" >"$lintian_out" 2>&1 || fail "lintian did not run: $(cat "$lintian_out")"
cat "$lintian_out"
if ! failing="$("$(dirname "$0")/lintian_verdict.sh" <"$lintian_out")"; then
  fail "lintian: $failing"
fi
echo "package $deb checked"
