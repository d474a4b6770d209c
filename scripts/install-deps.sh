#!/usr/bin/env bash
# Installs the Debian packages that are missing: with --demo only what building and running the program
# needs; otherwise also what the tests, the package checks and the fuzzers need.
set -euo pipefail

demo_packages=(
    cmake
    ninja-build
    g++
    pkg-config
    qt6-base-dev
    # The report archive's database drivers: SQLite on this PC, PostgreSQL for a site archive
    libqt6sql6-sqlite
    libqt6sql6-psql
    libpq-dev
    libhidapi-dev
    libzip-dev
    libpugixml-dev
    # lrelease and Qt's CMake support for it; Qt's own translations of its standard buttons
    qt6-tools-dev
    qt6-l10n-tools
    qt6-translations-l10n
)
test_packages=(
    fonts-liberation
    # Independent readers of the Word and Excel files, for the tests
    python3-openpyxl
    python3-docx
    python3-fonttools
    # pdftotext, pdfinfo and pdffonts read the printed report back
    poppler-utils
    # A PostgreSQL server of their own for the site archive's tests
    postgresql
    fonts-crosextra-carlito
    fonts-crosextra-caladea
    # scripts/check-package: builds the Debian package and checks it
    dpkg-dev
    file
    lintian
    man-db
    desktop-file-utils
    appstream
    # The fuzz targets: clang with libFuzzer and the sanitizer runtimes.
    clang-14
    libfuzzer-14-dev
    libclang-rt-14-dev
)

demo=false
if [[ "${1:-}" == "--demo" ]]; then
    demo=true
fi

packages=("${demo_packages[@]}")
if ! $demo; then
    packages+=("${test_packages[@]}")
    # Node.js may come from elsewhere with its own npm; Debian's packages only where there is none.
    command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
fi

# The Open XML validator the tests run, from the npm registry, at a fixed version and place.
validator_dir=/usr/local/lib/lorimet-test-tools
validator_package=@ooxml-tools/validate@0.4.6

as_root() {
    if [[ $(id -u) -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "Run as root: $*" >&2
        return 1
    fi
}

install_validator() {
    $demo && return 0
    [[ -f "$validator_dir/node_modules/@ooxml-tools/validate/package.json" ]] && return 0
    as_root mkdir -p "$validator_dir"
    as_root npm install --no-audit --no-fund --prefix "$validator_dir" "$validator_package"
}

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if [[ ${#missing[@]} -eq 0 ]]; then
    install_validator
    exit 0
fi

command="apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $command
elif command -v sudo >/dev/null 2>&1; then
    sudo apt-get update -qq
    sudo DEBIAN_FRONTEND=noninteractive $command
else
    printf 'Some Debian packages are missing. Install them as root, then run this again:\n    %s\n' \
        "$command" >&2
    exit 1
fi
install_validator
