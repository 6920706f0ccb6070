#!/usr/bin/env bash
# Configures the project afresh in temporary folders: an ordinary build's Info.plist has no
# update feed and no public key, a release's values land in it, and bad values stop the
# configuration with a message that names the setting.
#
# Usage: check_build_settings.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

configure() {  # folder, then -D settings
  local folder=$1
  shift
  cmake -S "$source_dir" -B "$work/$folder" -G Ninja -DJOLSTRAND_BUILD_TESTS=OFF \
    -DJOLSTRAND_BUILD_BENCHMARKS=OFF "$@" >"$work/$folder.log" 2>&1
}
plist_value() {  # folder, key: the string under the key in the generated Info.plist
  tr -d '\n\t' <"$work/$1/Info.plist" | grep -o "<key>$2</key><string>[^<]*</string>" |
    sed -e 's/.*<string>//' -e 's/<\/string>//'
}
expect_refused() {  # folder, expected message, then -D settings
  local folder=$1 message=$2
  shift 2
  if configure "$folder" "$@"; then fail "configuring with $* succeeded"; fi
  grep -q "$message" "$work/$folder.log" || { cat "$work/$folder.log"; fail "no \"$message\" for $*"; }
}

configure ordinary || { cat "$work/ordinary.log"; fail "configuring an ordinary build"; }
grep -q "<key>JolstrandUpdateFeed</key>" "$work/ordinary/Info.plist" || fail "no JolstrandUpdateFeed key"
[ -z "$(plist_value ordinary JolstrandUpdateFeed)" ] || fail "an ordinary build has an update feed"
grep -q "<key>SUPublicEDKey</key>" "$work/ordinary/Info.plist" || fail "no SUPublicEDKey key"
[ -z "$(plist_value ordinary SUPublicEDKey)" ] || fail "an ordinary build has a public key"
[ "$(plist_value ordinary CFBundleVersion)" = 1 ] || fail "an ordinary build's build number is not 1"

release_settings=(-DJOLSTRAND_BUILD_NUMBER=42 "-DJOLSTRAND_UPDATE_FEED=https://example.com/feed.xml?a=1&b=2"
                  -DJOLSTRAND_PUBLIC_ED_KEY=c2VjcmV0IGtleSBieXRlcyBmb3IgdGVzdGluZzE=)
configure release "${release_settings[@]}" || { cat "$work/release.log"; fail "configuring a release"; }
[ "$(plist_value release CFBundleVersion)" = 42 ] || fail "the release's build number"
[ "$(plist_value release JolstrandUpdateFeed)" = "https://example.com/feed.xml?a=1&amp;b=2" ] ||
  fail "the release's feed: $(plist_value release JolstrandUpdateFeed)"
[ "$(plist_value release SUPublicEDKey)" = c2VjcmV0IGtleSBieXRlcyBmb3IgdGVzdGluZzE= ] ||
  fail "the release's public key"

# A release build needs neither Google Benchmark nor the screenshot tools.
configure lean -DJOLSTRAND_BUILD_BENCHMARKS=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON ||
  { cat "$work/lean.log"; fail "configuring without Google Benchmark"; }
grep -q "the benchmarks are left out" "$work/lean.log" || fail "no note that the benchmarks are left out"
for target in matcher_bench panel_snapshot window_snapshot screen_grab; do
  if grep -q "build $target:\|/$target:" "$work/lean/build.ninja"; then fail "a release build builds $target"; fi
done
grep -q "app/jolstrand:" "$work/lean/build.ninja" || fail "the lean build has no program"

expect_refused zero "JOLSTRAND_BUILD_NUMBER must be a positive integer" -DJOLSTRAND_BUILD_NUMBER=0
expect_refused words "JOLSTRAND_BUILD_NUMBER must be a positive integer" -DJOLSTRAND_BUILD_NUMBER=4a
expect_refused plain_http "JOLSTRAND_UPDATE_FEED must be an https:// address" \
  -DJOLSTRAND_UPDATE_FEED=http://example.com/feed.xml
expect_refused markup "JOLSTRAND_UPDATE_FEED must be an https:// address" \
  "-DJOLSTRAND_UPDATE_FEED=https://example.com/</string>"
expect_refused key "JOLSTRAND_PUBLIC_ED_KEY must be base64" "-DJOLSTRAND_PUBLIC_ED_KEY=<key>"
echo ok
