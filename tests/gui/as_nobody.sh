#!/usr/bin/env bash
# Runs a test program as nobody when run as root, for whom no permission is
# ever refused; anyone else runs it as it is.
#   as_nobody.sh PROGRAM [ARGUMENT...]
set -euo pipefail
[ "$(id -u)" -eq 0 ] || exec "$@"

program=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy that nobody can reach, in a folder of nobody's own for its
# temporary files and Qt's runtime folder.
cp "$program" "$work/"
chown -R 65534:65534 "$work"
TMPDIR=$work HOME=$work XDG_RUNTIME_DIR=$work \
  setpriv --reuid=65534 --regid=65534 --clear-groups "$work/$(basename "$program")" "$@"
