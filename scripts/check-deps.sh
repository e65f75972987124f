#!/usr/bin/env bash
# Fails when a configured build loads a CMake package configuration that comes from a Debian
# package outside what scripts/deps.sh installs (directly, or through its dependencies without
# recommends). A fresh machine has nothing else, so such a build would fail to configure there.
#
#   scripts/check-deps.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "check-deps: $build/CMakeCache.txt not found; configure the build first" >&2
    exit 2
fi
if ! command -v apt-cache >/dev/null || ! command -v dpkg >/dev/null; then
    echo "check-deps: skipped (apt-cache or dpkg not available on this machine)"
    exit 0
fi

list=$(sed -n '/^PACKAGES=(/,/^)/p' scripts/deps.sh | sed -e 's/#.*//' -e 's/PACKAGES=(//' -e 's/)//' | tr -s ' \n\t' ' ')
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances $list 2>/dev/null | grep -v '^ ' | sed 's/:.*//' | sort -u)
if [ -z "$closure" ]; then
    echo "check-deps: apt-cache gave no dependency list for: $list" >&2
    exit 1
fi

missing=()
checked=0
while IFS= read -r dir; do
    config=$(ls "$dir"/*onfig.cmake "$dir"/*-config.cmake 2>/dev/null | head -1 || true)
    [ -n "$config" ] || continue
    owner=$(dpkg -S "$(readlink -f "$config")" 2>/dev/null | head -1 | cut -d: -f1 || true)
    [ -n "$owner" ] || owner=$(dpkg -S "$config" 2>/dev/null | head -1 | cut -d: -f1 || true)
    [ -n "$owner" ] || continue
    checked=$((checked + 1))
    # A here-string, not a pipe: grep -q stops at the first match, and under pipefail the
    # writer cut off by that would count as a failure, now and then.
    if ! grep -qx "$owner" <<<"$closure"; then
        missing+=("$owner ($config)")
    fi
done < <(grep -E '^[A-Za-z0-9_]+_DIR:PATH=/' "$build/CMakeCache.txt" | cut -d= -f2 | sort -u)

if [ ${#missing[@]} -gt 0 ]; then
    echo "check-deps: the build loads CMake packages from Debian packages that scripts/deps.sh does not install:" >&2
    printf '  %s\n' "${missing[@]}" >&2
    exit 1
fi
echo "check-deps: $checked CMake package configurations, all from packages scripts/deps.sh installs"
