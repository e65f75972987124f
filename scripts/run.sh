#!/usr/bin/env bash
# Builds Velmora and starts it. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "velmora: no display to show the program on (DISPLAY is not set); run this from a desktop session, or under Xvfb: xvfb-run bash scripts/run.sh" >&2
    exit 1
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target velmora velmora-sql velmora-demo
exec ./build/bin/velmora
