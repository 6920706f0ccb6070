# Shared by the benchmark scripts; source it from the repository's top folder.

# Makes the synthetic catalogue of COUNT bundles (default 1,000) in $work/tree; $work is a
# temporary folder removed when the script exits.
synthetic_tree() {
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  python3 bench/make_app_tree.py "$work/tree" "${1:-1000}"
}

# Builds the given targets with the release preset.
release_build() {
  cmake --preset release >/dev/null
  cmake --build --preset release --target "$@" >/dev/null
}
