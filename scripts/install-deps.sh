#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those that are missing.
set -euo pipefail

packages=(
    cmake
    ninja-build
    g++
    pkg-config
    qt6-base-dev
    libhidapi-dev
    libzip-dev
    libpugixml-dev
    fonts-liberation
    python3-docx
)
# Node.js runs the Open XML validator; a Node.js installed another way, with its own npm, serves as well.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

install_missing() {
    command="apt-get install -y --no-install-recommends ${missing[*]}"
    if [[ $(id -u) -eq 0 ]]; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $command
    elif command -v sudo >/dev/null 2>&1; then
        sudo apt-get update -qq
        sudo DEBIAN_FRONTEND=noninteractive $command
    else
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them as root with:" >&2
        echo "    apt-get update && $command" >&2
        exit 1
    fi
}

[[ ${#missing[@]} -eq 0 ]] || install_missing

# The Open XML validator that the document tests run, from npm, kept in the user's cache rather than in
# the source tree. CMake finds it at the same path.
validator_dir="${XDG_CACHE_HOME:-$HOME/.cache}/lorimet-adapter/ooxml-validate"
if [[ ! -x "$validator_dir/node_modules/.bin/ooxml-validate" ]]; then
    npm install --silent --no-audit --no-fund --prefix "$validator_dir" @ooxml-tools/validate@0.4.6
fi
