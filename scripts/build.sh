#!/bin/sh
# Configures and builds one build folder: build.sh FOLDER [cmake options...]
set -e
dir="$1"
shift
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/$dir" -G Ninja "$@" >/dev/null
ninja -C "$root/$dir"
