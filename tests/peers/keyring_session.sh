#!/bin/sh
# A D-Bus session bus of the tests' own at FOLDER/bus, with the desktop's keyring on it or none.
#
# Usage: keyring_session.sh FOLDER keyring|none
#
# The bus starts no service by itself, so "none" is a desktop without any keyring. With
# "keyring", gnome-keyring's Secret Service runs on it with its files under FOLDER, its login
# keyring made and unlocked at start with a password of the test's, so that nothing ever asks
# for one (there is no display to ask on). Prints "ready" once the keyring owns its name on the
# bus. Ends, with the bus and the keyring, on SIGTERM to its process group.
set -eu
dir=$1
cat >"$dir/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$dir/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --nofork --config-file="$dir/bus.conf" &
export DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/bus"
tries=0
until [ -S "$dir/bus" ]; do
    tries=$((tries + 1))
    [ $tries -lt 200 ] || exit 1
    sleep 0.05
done
if [ "$2" = keyring ]; then
    export HOME="$dir" XDG_DATA_HOME="$dir/data" XDG_RUNTIME_DIR="$dir/run"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    printf 'test' | gnome-keyring-daemon --foreground --unlock --components=secrets &
    until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
        grep -q true; do
        tries=$((tries + 1))
        [ $tries -lt 400 ] || exit 1
        sleep 0.05
    done
fi
echo ready
wait
