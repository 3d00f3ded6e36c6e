#!/usr/bin/env bash
# Validates the desktop entry and the metainfo, builds the Debian package from this build
# tree and checks that it holds everything an installed program needs and declares what it
# runs on.
set -euo pipefail
source_dir=$1 build_dir=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
fail() { echo "$*"; status=1; }

desktop-file-validate "$source_dir/resources/bralun.desktop" || fail "desktop entry invalid"
metainfo=$(ls "$source_dir"/resources/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" || fail "metainfo invalid"
id=$(basename "$metainfo")

cpack --config "$build_dir/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
deb="$out/bralun_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$out"; fail "no $deb"; exit 1; }

listing=$(dpkg-deb -c "$deb")
expect=(./usr/lib/games/bralun/bralun ./usr/lib/games/bralun/bralun-progress.so
        ./usr/lib/games/bralun/bralun.hlp ./usr/lib/games/bralun/bralun.mid
        ./usr/lib/games/bralun/bralun.installed ./usr/share/man/man6/bralun.6.gz
        ./usr/share/doc/bralun/copyright ./usr/share/doc/bralun/changelog.gz
        ./usr/share/applications/bralun.desktop "./usr/share/metainfo/$id")
for size in 16 32 48 64 128 256; do
  expect+=("./usr/share/icons/hicolor/${size}x${size}/apps/bralun.png")
done
for path in "${expect[@]}"; do
  grep -q " $path\$" <<<"$listing" || fail "missing from the package: $path"
done
grep -q ' ./usr/games/bralun -> ../lib/games/bralun/bralun$' <<<"$listing" ||
  fail "usr/games/bralun is not a link to the program"

# What the binary links comes from dpkg-shlibdeps; what it loads at run time is named.
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libc6 libqt6widgets6 libqt6sql6 libqt6charts6 qt6-qpa-plugins qt6-translations-l10n libqt6sql6-sqlite \
           libsdl2-mixer-2.0-0 fonts-ipafont-gothic fonts-ipafont-mincho \
           "timgm6mb-soundfont | fluid-soundfont-gm"; do
  grep -qF "$dep" <<<"$depends" || fail "not declared in Depends: $dep"
done

# Debian's own checker: no error and no warning.
lintian --no-cfg --fail-on error,warning "$deb" >"$out/lintian.log" 2>&1 ||
  fail "lintian: $(cat "$out/lintian.log")"
[ "$status" -eq 0 ] && echo "$(basename "$deb"): entry, metainfo, files, dependencies and lintian in order"
exit "$status"
