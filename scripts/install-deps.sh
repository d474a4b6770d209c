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
    # scripts/check-package: builds the Debian package and checks it
    dpkg-dev
    file
    lintian
    man-db
    desktop-file-utils
    appstream
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

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
