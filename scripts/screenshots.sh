#!/usr/bin/env bash
# Re-makes the pictures of the main screens in docs/screenshots/ that the README shows:
# velmora-demo makes a demo fleet, and velmora-screenshots opens the screens on it one by
# one under Xvfb and saves a picture of each. Review the pictures before committing them.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
export CCACHE_BASEDIR=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target velmora-demo velmora-screenshots

# A fixed folder, because the company set-up picture shows the data path.
demo=/tmp/velmora-demo
if [ -e "$demo" ]; then
    echo "screenshots: $demo is there already; remove it (or wait for the other run) first" >&2
    exit 1
fi
trap 'rm -rf "$demo"' EXIT
./build/bin/velmora-demo "$demo"

out=docs/screenshots
mkdir -p "$out"
rm -f "$out"/*.png
# The real window system under Xvfb, not the offscreen platform the tests use.
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1600x1000x24" ./build/bin/velmora-screenshots "$demo" "$out" 2>"$out.log" ||
    { cat "$out.log" >&2; rm -f "$out.log"; exit 1; }
rm -f "$out.log"
echo "screenshots: pictures in $out/"
