#!/usr/bin/env bash
# scripts/install-deps.sh as a user without root and without sudo meets it: it installs nothing and
# names every missing package on one apt-get line; with --demo only those the program is built with.
set -euo pipefail
script=$1

fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
# A system with bash and little else: the user is not root, there is no sudo, and dpkg-query reports
# the packages named in MISSING as not installed.
ln -s "$(command -v bash)" "$fake/bash"
printf '#!/bin/sh\necho 1000\n' >"$fake/id"
cat >"$fake/dpkg-query" <<'END'
#!/bin/sh
for package; do :; done
case " $MISSING " in *" $package "*) exit 1 ;; esac
printf 'install ok installed'
END
chmod +x "$fake/id" "$fake/dpkg-query"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs the script; sets status, out and err.
run() {
    status=0
    out=$(MISSING="$1" PATH="$fake" "$fake/bash" "$script" "${@:2}" 2>"$fake/err") || status=$?
    err=$(<"$fake/err")
}

run "cmake libzip-dev python3-openpyxl lintian" --demo
[[ $status -eq 1 ]] || fail "--demo with missing packages exits $status"
[[ -z "$out" ]] || fail "--demo prints on standard output: $out"
lines=$(grep -c 'apt-get' <<<"$err" || true)
[[ $lines -eq 1 ]] || fail "--demo names $lines apt-get lines: $err"
install=$(grep 'apt-get install' <<<"$err" || true)
for package in cmake libzip-dev; do
    [[ " $install " == *" $package "* ]] || fail "--demo does not name $package: $err"
done
for package in python3-openpyxl lintian; do
    [[ " $install " != *" $package "* ]] || fail "--demo asks for $package, which only the tests need"
done
[[ $(wc -l <<<"$err") -le 2 ]] || fail "--demo says more than the packages: $err"

run "cmake python3-openpyxl lintian"
[[ $status -eq 1 ]] || fail "the full check with missing packages exits $status"
for package in cmake python3-openpyxl lintian; do
    [[ " $(grep 'apt-get install' <<<"$err") " == *" $package "* ]] || fail "the full check does not name $package"
done

run "" --demo
[[ $status -eq 0 && -z "$out$err" ]] || fail "--demo with nothing missing exits $status and says: $out$err"

[[ $failures -eq 0 ]] && echo "PASS: install-deps.sh"
exit $((failures > 0))
