#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program with the user's own settings.
#   tools/run.sh [--demo] [program options...]
# With --demo the program starts on a demo mailbox instead: a private Dovecot serving generated
# messages and an SMTP sink that prints the headers of every message it receives, both on
# loopback, with settings of their own. Press Enter in the window to load the list. The servers
# stop when the window closes, on Ctrl-C and when this script is ended.
#
# Only what the program (and with --demo its servers) needs is installed and built; the test
# tools come with tools/test.sh. A build folder that tools/test.sh has set up is used as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

demo=0
if [[ ${1:-} == --demo ]]; then
    demo=1
    shift
fi

targets=(maroket)
if [[ $demo -eq 1 ]]; then
    tools/install-deps.sh demo
    targets+=(maroket_demo_peers)
else
    tools/install-deps.sh program
fi
configure=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
# A first build here leaves the tests out: they need libraries the program does not.
[[ -f build/CMakeCache.txt ]] || configure+=(-DMAROKET_BUILD_TESTS=OFF -DMAROKET_BUILD_DEMO=ON)
cmake -S . -B build "${configure[@]}" >/dev/null
cmake --build build -j"$(nproc)" --target "${targets[@]}"
[[ $demo -eq 1 ]] || exec build/maroket "$@"

if [[ ! -x build/maroket_demo_peers ]]; then
    echo "build/maroket_demo_peers is missing: the demo needs a build with MAROKET_BUILD_DEMO=ON." >&2
    exit 1
fi

work=$(mktemp -d /tmp/maroket-run-XXXXXX)
peers=

# Stops the servers (SIGTERM, SIGKILL after 10 s) and removes the folder.
stop_peers() {
    if [[ -n $peers ]]; then
        kill -TERM "$peers" 2>/dev/null || true
        for _ in $(seq 100); do
            kill -0 "$peers" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$peers" 2>/dev/null || true
        peers=
    fi
    rm -rf "$work"
    # The program removes its folder for downloaded messages when it ends; one it could not
    # remove (it was killed) goes here, when empty.
    rmdir "${XDG_RUNTIME_DIR:-/nonexistent}/maroket" "${TMPDIR:-/tmp}/maroket-$(id -u)" 2>/dev/null || true
}
trap stop_peers EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

build/maroket_demo_peers "$work/options" &
peers=$!

# The servers write the program's options once both are up: 60 s at most.
for _ in $(seq 600); do
    [[ -s $work/options ]] && break
    if ! kill -0 "$peers" 2>/dev/null; then
        peers=
        echo "The demo servers did not start." >&2
        exit 1
    fi
    sleep 0.1
done
if [[ ! -s $work/options ]]; then
    echo "The demo servers did not start within 60 s." >&2
    exit 1
fi
mapfile -t options <"$work/options"

echo "Press Enter in the window to load the demo mailbox."
build/maroket "${options[@]}" "$@"
