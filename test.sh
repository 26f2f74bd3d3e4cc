#!/bin/sh
# Installs what is missing, builds, and runs every test: a normal build, an
# AddressSanitizer + UndefinedBehaviorSanitizer build, and a short run of each fuzz target.
set -e
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
"$root/scripts/deps.sh"
jobs=$(nproc 2>/dev/null || echo 2)

echo "== normal build"
"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && ctest --output-on-failure -j"$jobs")

echo "== sanitizer build"
"$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DSK_SANITIZE=ON -DSK_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j"$jobs")

echo "== fuzz targets"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSK_FUZZ=ON -DSK_TESTS=OFF -DSK_BENCH=OFF >/dev/null
ninja -C "$root/build-fuzz" sk_fuzz_all
seconds="${SK_FUZZ_SECONDS:-20}"
for target in build-fuzz/fuzz-bin/fuzz_*; do
    [ -x "$target" ] || continue
    name="$(basename "$target")"
    corpus="$root/fuzz/corpus/$name"
    work="$root/build-fuzz/corpus-run/$name"
    mkdir -p "$work"
    [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/ 2>/dev/null || true
    echo "-- $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
        "$work" >"build-fuzz/$name.log" 2>&1 || { tail -n 40 "build-fuzz/$name.log"; exit 1; }
done
echo "All tests passed."
