#!/usr/bin/env bash
# Installs what Jolstrand needs to build and test: Debian (apt) or macOS (Homebrew).
# `scripts/bootstrap.sh release` installs only what a release build and its packages need (no
# test or benchmark libraries). Idempotent: when everything is present it only checks and
# returns.
set -euo pipefail

# A release build (the `release` preset, then cpack).
release_packages=(
  build-essential cmake ninja-build pkg-config ccache
  libicu-dev libplist-dev nlohmann-json3-dev libsodium-dev libarchive-dev libglib2.0-dev
  qt6-base-dev qt6-base-private-dev qt6-svg-dev qt6-image-formats-plugins qt6-wayland libxcb1-dev
  libgl-dev libwayland-dev wayland-protocols dpkg-dev file
)
# Everything else the tests, benchmarks and tools need.
debian_packages=(
  "${release_packages[@]}" git
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang clang-format clang-tidy libclang-rt-dev openssl python3
  xvfb xauth xdotool
  dbus-daemon openbox xterm x11-utils trayer python3-dbus python3-gi
  lintian desktop-file-utils man-db groff-base sway wtype grim
  libglib2.0-bin gsettings-desktop-schemas gnome-settings-daemon-common libkf5globalaccel-bin
  adwaita-icon-theme breeze-icon-theme papirus-icon-theme hicolor-icon-theme
)
[ "${1:-}" = release ] && debian_packages=("${release_packages[@]}")

brew_packages=(cmake ninja pkg-config ccache icu4c libplist nlohmann-json libsodium libarchive
  googletest google-benchmark llvm qt@6)

install_debian() {
  local missing=()
  for pkg in "${debian_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "bootstrap: installing ${missing[*]}" >&2
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_macos() {
  command -v brew >/dev/null || { echo "bootstrap: Homebrew is required on macOS" >&2; exit 1; }
  local missing=()
  for pkg in "${brew_packages[@]}"; do
    brew list --versions "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] || brew install "${missing[@]}"
  install_sparkle
}

# Sparkle 2's release archive (the framework and its tools), unpacked into .deps/Sparkle.
sparkle_version=2.6.4
install_sparkle() {
  local root deps
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  deps="$root/.deps/Sparkle"
  [ -d "$deps/Sparkle.framework" ] && return 0
  mkdir -p "$deps"
  echo "bootstrap: fetching Sparkle $sparkle_version" >&2
  curl -fsSL "https://github.com/sparkle-project/Sparkle/releases/download/$sparkle_version/Sparkle-$sparkle_version.tar.xz" |
    tar -xJ -C "$deps"
}

case "$(uname -s)" in
  Linux)
    command -v dpkg-query >/dev/null || { echo "bootstrap: only Debian-based Linux is supported" >&2; exit 1; }
    install_debian ;;
  Darwin) install_macos ;;
  *) echo "bootstrap: unsupported system $(uname -s)" >&2; exit 1 ;;
esac
