#!/usr/bin/env bash
# Installs the Debian 12 packages FLR builds, tests and runs with; only those missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    clang libclang-rt-14-dev clang-format
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libgl-dev
    unixodbc unixodbc-dev libsqliteodbc odbc-postgresql sqlite3
    libsdl2-dev
    nlohmann-json3-dev libcsv-dev
)
if [ "${FLR_WITH_POSTGRES:-0}" = 1 ]; then
    packages+=(postgresql)
fi
# scripts/manual-screenshots.sh: a virtual display, a window manager, keys and captures.
if [ "${FLR_WITH_SCREENSHOTS:-0}" = 1 ]; then
    packages+=(xvfb matchbox-window-manager xdotool imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
