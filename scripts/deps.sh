#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and packaging Velmora need,
# skipping those already installed. The package build works out the package's dependencies
# with dpkg-shlibdeps (dpkg-dev) and draws the PNG icons with rsvg-convert; its test checks
# the metadata with appstreamcli and desktop-file-validate. The fuzz targets are built with
# clang, whose libFuzzer runtime comes with libclang-rt-14-dev. The engine talks to a database
# server through libpq (libpq-dev); the tests start a PostgreSQL 15 server of their own
# (postgresql), and one test puts a connection pooler in front of it (pgbouncer). The entry
# journal's hashes come from OpenSSL's libcrypto (libssl-dev). Needs root (or sudo) only when
# something is missing.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
    libsqlite3-dev sqlite3 mdbtools-dev libpq-dev libssl-dev postgresql pgbouncer
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth poppler-utils
    dpkg-dev librsvg2-bin appstream desktop-file-utils
    clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO="sudo"
    else
        echo "These Debian packages are missing and installing them needs root: ${missing[*]}" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
