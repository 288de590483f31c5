#!/usr/bin/env bash
# Builds the .deb from a configured and built tree (build/ or the folder given as $1) and checks
# it: control fields, contents, desktop entry, metainfo and lintian (when installed, no errors).
# Then installs it (dpkg -i as root, else unpacked into a scratch root) and starts the installed
# program under the offscreen platform until its main window is shown. Every wait has a limit.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}

fail() {
    echo "check-package: $*" >&2
    exit 1
}

timeout 600 cmake --build "$dir" -j"$(nproc)" --target maroket maroket_docs
rm -f "$dir"/maroket_*.deb
(cd "$dir" && timeout 600 cpack -G DEB)
debs=("$dir"/maroket_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one package in $dir, found: ${debs[*]}"
deb=${debs[0]}

dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

field() { dpkg-deb --field "$deb" "$1"; }
version=$(field Version)
[[ $(field Package) == maroket ]] || fail "package name is $(field Package)"
[[ $(field Section) == mail ]] || fail "section is $(field Section)"
[[ -n $(field Maintainer) && -n $(field Description) ]] || fail "no maintainer or description"
# Package names of Depends, without versions or alternatives.
depends=$(field Depends | tr ',|' '\n\n' | sed 's/(.*//; s/ //g' | sort -u)
grep -qx libqt6svg6 <<<"$depends" || fail "Depends lacks the SVG plugin's package: $depends"
grep -qx qt6-translations-l10n <<<"$depends" || fail "Depends lacks Qt's translations: $depends"
grep -qx libqt6widgets6 <<<"$depends" || fail "Depends lacks what dpkg-shlibdeps finds: $depends"

# Exactly the program and its data: no test program, benchmark, screenshot tool or fuzz target.
id=se.velmo.Maroket
expected="./usr/bin/maroket
./usr/share/applications/$id.desktop
./usr/share/doc/maroket/changelog.gz
./usr/share/doc/maroket/copyright
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/maroket.1.gz
./usr/share/metainfo/$id.metainfo.xml"
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
[[ "$files" == "$expected" ]] || fail "contents differ from the expected files:
$(diff <(echo "$expected") <(echo "$files") || true)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg-deb --extract "$deb" "$root"

timeout 60 desktop-file-validate "$root/usr/share/applications/$id.desktop"
timeout 60 appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"
# The metainfo belongs to the desktop entry beside it.
timeout 60 appstreamcli validate-tree --no-net "$root"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo's release is not $version"
zcat "$root/usr/share/man/man1/maroket.1.gz" | grep -q "Maroket $version" ||
    fail "the manual page is not of version $version"

if command -v lintian >/dev/null; then
    # Warnings and notes are shown; an error fails the check.
    timeout 300 lintian --fail-on error --display-info --tag-display-limit 0 "$deb"
else
    echo "check-package: lintian is not installed, skipped"
fi

if [[ $(id -u) -eq 0 ]]; then
    was_installed=$(dpkg-query -W -f='${Status}' maroket 2>/dev/null || true)
    timeout 300 dpkg -i "$deb"
    [[ "$was_installed" == "install ok installed" ]] ||
        trap 'timeout 300 dpkg --purge maroket >/dev/null; rm -rf "$scratch"' EXIT
    program=/usr/bin/maroket
    how=installed
else
    program=$root/usr/bin/maroket
    how=unpacked
fi

said=$(timeout 30 "$program" --version)
[[ "$said" == "Maroket $version" ]] || fail "$program --version says '$said', the package is $version"
# The English translation is inside the program.
said=$(LANG=en_GB.UTF-8 LANGUAGE= LC_ALL= timeout 30 "$program" --help | head -n 1)
[[ "$said" == "Usage: maroket"* ]] || fail "$program --help on an English desktop says '$said'"

# A private home, so that nothing of the user's is read or written.
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
QT_QPA_PLATFORM=offscreen QT_DEBUG_PLUGINS=1 timeout 60 "$program" --exit-when-shown \
    2>"$scratch/plugins.log" || {
    tail -n 20 "$scratch/plugins.log" >&2
    fail "$program did not show its main window"
}
# Every Qt plugin the window loaded (platform, SVG images) comes from a package it depends on.
loaded=$(sed -n 's/.*"\(.*\.so\)" loaded library.*/\1/p' "$scratch/plugins.log")
grep -q libqsvg <<<"$loaded" || fail "the SVG plugin was not loaded: $loaded"
for plugin in $loaded; do
    owner=$(dpkg -S "$plugin" | cut -d: -f1)
    grep -qx "$owner" <<<"$depends" || fail "$plugin comes from $owner, which is not in Depends"
done
echo "check-package: $deb $how and started to its window"
