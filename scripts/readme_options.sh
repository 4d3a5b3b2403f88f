#!/usr/bin/env bash
# Rewrites the option reference of README.md (between its options:begin and
# options:end lines) from the option table, through build/pellucid_docs.
# A test fails while README.md and the table disagree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" >/dev/null

section=$(mktemp)
trap 'rm -f "$section"' EXIT
"$root/build/pellucid_docs" readme "$section"
awk -v section="$section" '
  /<!-- options:begin/ { while ((getline line < section) > 0) print line; skip = 1; next }
  /<!-- options:end/ { skip = 0; next }
  !skip { print }
' "$root/README.md" >"$root/README.md.new"
mv "$root/README.md.new" "$root/README.md"
