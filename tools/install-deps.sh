#!/usr/bin/env bash
# Installs the Debian packages Maroket needs, when any is missing.
#   tools/install-deps.sh [program|demo|all]
# program: what building and running the program needs; demo: that and the demo's servers
# (tools/run.sh --demo); all (the default): everything the tests, the sanitizer and fuzz runs and
# the package check need as well (tools/test.sh).
set -euo pipefail

program=(
    g++ make cmake pkg-config
    qt6-base-dev qt6-svg-dev qt6-l10n-tools qt6-translations-l10n
    libssl-dev ca-certificates libgmime-3.0-dev
    qt6-networkauth-dev qtkeychain-qt6-dev libsecret-1-0
)
demo=(dovecot-pop3d python3-aiosmtpd)
tests=(
    libgtest-dev libgmock-dev libbenchmark-dev
    dnsmasq-base
    dbus-daemon dbus-bin gnome-keyring
    clang libclang-rt-14-dev llvm-14
    dpkg-dev file desktop-file-utils appstream lintian
)

case ${1:-all} in
program) packages=("${program[@]}") ;;
demo) packages=("${program[@]}" "${demo[@]}") ;;
all) packages=("${program[@]}" "${demo[@]}" "${tests[@]}") ;;
*)
    echo "usage: $0 [program|demo|all]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
