#!/usr/bin/env bash
# Rewrites the option reference of README.md (between its options:begin and
# options:end lines) from the option table, through build/pellucid_docs, and
# the example scripts it quotes (between "<!-- include:PATH -->" and
# "<!-- include:end -->") from the files of the repository.
# A test fails while README.md and the table or the files disagree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" >/dev/null

section=$(mktemp)
trap 'rm -f "$section"' EXIT
"$root/build/pellucid_docs" readme "$section"
awk -v section="$section" -v root="$root" '
  /<!-- options:begin/ { while ((getline line < section) > 0) print line; skip = 1; next }
  /<!-- options:end/ { skip = 0; next }
  /^<!-- include:end -->$/ { print "```"; print; skip = 0; next }
  /^<!-- include:.* -->$/ {
    print
    file = $0
    sub(/^<!-- include:/, "", file)
    sub(/ -->$/, "", file)
    print "```bash"
    while ((getline line < (root "/" file)) > 0) print line
    close(root "/" file)
    skip = 1
    next
  }
  !skip { print }
' "$root/README.md" >"$root/README.md.new"
mv "$root/README.md.new" "$root/README.md"
