#!/usr/bin/env bash
# Installs the Debian packages Maroket needs to build, run and test, when any is missing.
set -euo pipefail

packages=(
    g++ make cmake pkg-config
    qt6-base-dev qt6-svg-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libssl-dev ca-certificates libgmime-3.0-dev
    dovecot-pop3d dnsmasq-base python3-aiosmtpd
    clang libclang-rt-14-dev llvm-14
    dpkg-dev file desktop-file-utils appstream lintian
)

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
