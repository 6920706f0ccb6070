#!/usr/bin/env bash
# Builds one package from a build folder with cpack, unpacks it into a temporary folder and
# checks it from the outside: its layout, its run-time search paths, the Info.plist compiled into
# its launcher module (and the portable archive's copy of it), the desktop entry, and the unpacked
# program's --list over a fixture tree. The .deb must also pass lintian without errors or
# warnings and name its dependencies.
#
# `install` checks what `cmake --install` lays out in the same way.
#
# Usage: check_package.sh deb|archive|install BUILD_DIR IDENTIFIER VERSION BUILD_NUMBER
set -euo pipefail
kind=$1 build=$2 identifier=$3 version=$4 build_number=$5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

case "$kind" in
  deb)
    (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
      { cat "$work/cpack.log"; fail "cpack -G DEB"; }
    package=$(echo "$work"/out/jolstrand_"$version"_*.deb)
    [ -f "$package" ] || fail "no jolstrand_${version}_<arch>.deb"
    dpkg-deb -x "$package" "$work/root"
    top="$work/root/usr"
    depends=$(dpkg-deb -f "$package" Depends)
    echo "Depends: $depends"
    # libsodium checks update signatures and libarchive unpacks updates.
    for needed in libqt6widgets6 libqt6svg6 libicu libplist libglib2.0-0 libc6 qt6-qpa-plugins \
                  libsodium libarchive; do
      [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed"
    done
    [ -f "$top/share/doc/jolstrand/copyright" ] || fail "no copyright file"
    [ ! -e "$top/share/jolstrand/Info.plist" ] || fail "the .deb carries the portable Info.plist"
    # Informational tags (hardening hints, the .comment section) are accepted; errors and
    # warnings fail.
    lintian_status=0
    lintian --fail-on error,warning --tag-display-limit 0 "$package" >"$work/lintian.log" 2>&1 ||
      lintian_status=$?
    grep -v '^running with root' "$work/lintian.log" || true
    [ "$lintian_status" -eq 0 ] || fail "lintian reports errors or warnings"
    ;;
  archive)
    (cd "$build" && cpack -G TGZ -B "$work/out" >"$work/cpack.log" 2>&1) ||
      { cat "$work/cpack.log"; fail "cpack -G TGZ"; }
    package=$(echo "$work"/out/Jolstrand-"$version"-linux-*.tar.gz)
    [ -f "$package" ] || fail "no Jolstrand-${version}-linux-<arch>.tar.gz"
    folder=$(basename "$package" .tar.gz)
    mkdir "$work/unpacked"
    tar -xzf "$package" -C "$work/unpacked"
    [ "$(ls "$work/unpacked")" = "$folder" ] || fail "the archive does not unpack into one folder $folder"
    # It runs wherever it is unpacked: move it somewhere else before running it.
    mv "$work/unpacked/$folder" "$work/moved"
    top="$work/moved"
    [ -f "$top/README.txt" ] || fail "no README.txt at the top of the folder"
    for needed in qt6-qpa-plugins libglib2.0-0 ca-certificates; do
      grep -q "$needed" "$top/README.txt" || fail "README.txt does not name the system package $needed"
    done
    [ -f "$top/share/doc/jolstrand/LICENSE" ] || fail "no LICENSE"
    [ ! -e "$top/bin/jolstrand-release" ] || fail "the release tool is not for users"
    # The copy of the program's Info.plist by which updates recognise the folder and its build.
    copied_plist=$(tr -d '\n\t' <"$top/share/jolstrand/Info.plist" 2>/dev/null) ||
      fail "no share/jolstrand/Info.plist"
    [[ "$copied_plist" == *"<key>CFBundleVersion</key><string>$build_number</string>"* ]] ||
      fail "share/jolstrand/Info.plist does not report build $build_number"
    [[ "$copied_plist" == *"<key>CFBundleIdentifier</key><string>$identifier</string>"* ]] ||
      fail "share/jolstrand/Info.plist names another program"
    # The layout list by which updates tell the program's folder from a prefix: exactly what the
    # archive holds in its top folder, bin/, lib/ and share/.
    [ -f "$top/share/jolstrand/portable-layout" ] || fail "no share/jolstrand/portable-layout"
    held=$(cd "$top" && find . bin lib share -mindepth 1 -maxdepth 1 | sed 's|^\./||' | LC_ALL=C sort)
    listed=$(LC_ALL=C sort "$top/share/jolstrand/portable-layout")
    [ "$held" = "$listed" ] ||
      fail "portable-layout lists"$'\n'"$listed"$'\n'"but the archive holds"$'\n'"$held"
    # The README's install commands work on an account that has nothing yet.
    source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
    install_commands=$(awk '/^\*\*Any Linux: the portable archive/ {on = 1}
                            /^Its layout is fixed/ {on = 0}
                            on && /^    [^ ]/ {print substr($0, 5)}' "$source_dir/README.md" |
                       sed "s/Jolstrand-0\.1\.0-linux-x86_64/$folder/g")
    [ -n "$install_commands" ] || fail "no install commands in the README"
    mkdir "$work/new-account"
    (cd "$work/out" && HOME="$work/new-account" bash -euc "$install_commands --version") \
      >"$work/readme-install.log" 2>&1 ||
      { cat "$work/readme-install.log"; fail "the README's install commands fail on a new account"; }
    grep -q "^Jolstrand $version (build $build_number)$" "$work/readme-install.log" ||
      fail "the README's installed program did not run: $(cat "$work/readme-install.log")"
    ;;
  install)
    cmake --install "$build" --prefix "$work/prefix" --strip >"$work/install.log" ||
      { cat "$work/install.log"; fail "cmake --install"; }
    top="$work/prefix"
    [ -f "$top/share/doc/jolstrand/LICENSE" ] || fail "no LICENSE"
    [ ! -e "$top/README.txt" ] || fail "the portable README is installed into the prefix"
    [ ! -e "$top/share/doc/jolstrand/copyright" ] || fail "the .deb's copyright file is installed"
    [ ! -e "$top/share/jolstrand/Info.plist" ] || fail "the portable Info.plist is installed"
    [ ! -e "$top/share/jolstrand/portable-layout" ] || fail "the portable layout is installed"
    cmake --install "$build" --prefix "$work/tools" --component release-tools >/dev/null
    [ -x "$work/tools/bin/jolstrand-release" ] || fail "no release-tools component"
    ;;
  *) fail "unknown kind $kind" ;;
esac

program="$top/bin/jolstrand"
module="$top/lib/jolstrand/modules/jolstrand-launcher.so"
[ -x "$program" ] || fail "no bin/jolstrand"
[ -f "$module" ] || fail "no launcher module lib/jolstrand/modules/jolstrand-launcher.so"
[ ! -x "$module" ] || fail "the launcher module is executable"
[ ! -e "$top/bin/jolstrand-release" ] || fail "the release tool is packaged"
for binary in "$program" "$module"; do
  name=${binary#"$top/"}
  if readelf -d "$binary" | grep -Eq 'RPATH|RUNPATH'; then
    fail "$name has a run-time search path: $(readelf -d "$binary" | grep -E 'RPATH|RUNPATH')"
  fi
  if readelf -S "$binary" | grep -q '\.debug_info'; then fail "$name is not stripped"; fi
done
# The command-line modes answer without loading Qt; the launcher loads the module beside the
# program. Without a display the module says so and ends, which shows that it got that far; a
# display that does not answer ends the same way, through Qt.
if readelf -d "$program" | grep -q 'libQt6'; then fail "bin/jolstrand links Qt"; fi
for display in "" "DISPLAY=:97"; do
  status=0
  started=$(ulimit -c 0; env -i PATH=/usr/bin:/bin HOME="$work" $display timeout 20 "$program" 2>&1) ||
    status=$?
  [[ "$started" != *"couldn't load the launcher"* ]] || fail "bin/jolstrand: $started"
  [[ "$started" == *"no display: run it in a desktop session"* && $status -eq 1 ]] ||
    fail "bin/jolstrand without a display ($display) ended with $status: $started"
done
version_line=$(env -i "$program" --version)
[ "$version_line" = "Jolstrand $version (build $build_number)" ] || fail "--version says: $version_line"

# The Info.plist compiled into the launcher (stored uncompressed): identifier and versions.
plist_text=$(tr -d '\n\t' <"$module" | grep -ao '<plist version="1.0">.*</plist>' | head -n 1)
[ -n "$plist_text" ] || fail "no Info.plist inside the launcher module"
for pair in "CFBundleIdentifier:$identifier" "CFBundleShortVersionString:$version" \
            "CFBundleVersion:$build_number" "CFBundleExecutable:jolstrand"; do
  [[ "$plist_text" == *"<key>${pair%%:*}</key><string>${pair#*:}</string>"* ]] ||
    fail "the embedded Info.plist lacks ${pair%%:*} = ${pair#*:}"
done

entry="$top/share/applications/$identifier.desktop"
[ -f "$entry" ] || fail "no desktop entry $identifier.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
grep -qx "Exec=jolstrand" "$entry" || fail "the desktop entry does not start the launcher"
grep -qx "Icon=$identifier" "$entry" || fail "the desktop entry names another icon"
[ -f "$top/share/icons/hicolor/scalable/apps/$identifier.svg" ] || fail "no icon in the hicolor theme"
[ -f "$top/share/man/man1/jolstrand.1.gz" ] || fail "no manual page"
# The manual page is well formed and describes Linux: desktop entries, the flags and the files.
man_warnings=$(man --warnings -l "$top/share/man/man1/jolstrand.1.gz" 2>&1 >/dev/null)
[ -z "$man_warnings" ] || fail "man --warnings: $man_warnings"
page=$(MANWIDTH=1000 man -l "$top/share/man/man1/jolstrand.1.gz" 2>/dev/null)
for fact in "desktop entries" XDG_DATA_DIRS --setup --about --version Wayland settings.ini usage.json; do
  [[ "$page" == *"$fact"* ]] || fail "the manual page does not mention $fact"
done

# The unpacked program over a fixture tree.
info_plist() {
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>'
  printf '<key>CFBundleIdentifier</key><string>%s</string>' "$1"
  [ -z "${2:-}" ] || printf '<key>CFBundleDisplayName</key><string>%s</string>' "$2"
  printf '</dict></plist>\n'
}
fixture="$work/fixture"
mkdir -p "$fixture/Applications/Quill.app/Contents" "$fixture/System/Applications/Soundboard.app/Contents" "$fixture/Home"
info_plist Quill "Quill Writer" >"$fixture/Applications/Quill.app/Contents/Info.plist"
info_plist com.example.board >"$fixture/System/Applications/Soundboard.app/Contents/Info.plist"
listing=$(env -i PATH=/usr/bin:/bin JOLSTRAND_ROOT="$fixture" HOME="$fixture/Home" \
  XDG_DATA_HOME="$fixture/Home/data" XDG_DATA_DIRS="$fixture/share" LC_ALL=C.UTF-8 \
  "$program" --list) || fail "jolstrand --list failed"
expected_1=$'Quill\tquill\t'"$fixture/Applications/Quill.app  (also: quill writer)"
expected_2=$'Soundboard\tcom.example.board\t'"$fixture/System/Applications/Soundboard.app"
mapfile -t lines <<<"$listing"
[ "${#lines[@]}" -eq 3 ] || fail "expected 3 lines from --list, got: $listing"
[ "${lines[0]}" = "$expected_1" ] || fail "first line: ${lines[0]}"
[ "${lines[1]}" = "$expected_2" ] || fail "second line: ${lines[1]}"
[[ "${lines[2]}" =~ ^2\ apps,\ scanned\ in\ [0-9]+\.[0-9]+\ seconds$ ]] || fail "summary: ${lines[2]}"
[ -z "${package:-}" ] || echo "ok: $(basename "$package"), $(stat -c %s "$package") bytes"
