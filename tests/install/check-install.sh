#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR, checks that every file of the layout is there (the
# executable, the link on the PATH, each data file the program reads beside itself, the desktop
# entry, icons and AppStream metadata) and runs the desktop and AppStream validators on the result.
# Exit 77 (skipped) when a validator is not installed.
# Usage: check-install.sh <build dir> <layout list> <program dir under the prefix> <application id>
set -euo pipefail
build=$1 layout=$2 program_dir=$3 app_id=$4

for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is missing (Debian packages desktop-file-utils, appstream; scripts/setup-deps installs them)"
        exit 77
    fi
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
prefix=/usr
root=$stage$prefix
DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

while IFS= read -r relative; do
    [[ -z "$relative" ]] && continue
    [[ -e "$root/$relative" ]] || fail "$prefix/$relative is not installed"
    [[ ! -e "$root/$relative" || -s "$root/$relative" || -d "$root/$relative" ]] || fail "$prefix/$relative is empty"
done <"$layout"

program=$root/$program_dir/plovane
[[ -f "$program" && -x "$program" ]] || fail "$prefix/$program_dir/plovane is not an executable file"
link=$root/bin/plovane
if [[ ! -L "$link" ]]; then
    fail "$prefix/bin/plovane is not a symbolic link"
elif [[ "$(readlink -f "$link")" != "$(readlink -f "$program")" ]]; then
    fail "$prefix/bin/plovane leads to $(readlink "$link"), not to the program"
elif [[ "$(readlink "$link")" == /* ]]; then
    fail "$prefix/bin/plovane is an absolute link, which breaks under a DESTDIR or a moved prefix"
fi

# Nothing outside the prefix, nothing writable by others.
outside=$(cd "$stage" && find . -mindepth 1 -not -path "./${prefix#/}" -not -path "./${prefix#/}/*" -print -quit)
[[ -z "$outside" ]] || fail "installed outside the prefix: ${outside#.}"
writable=$(find "$stage" -mindepth 1 -not -type l -perm -o+w -print -quit)
[[ -z "$writable" ]] || fail "writable by everyone: ${writable#"$stage"}"

desktop=$root/share/applications/$app_id.desktop
if ! out=$(desktop-file-validate "$desktop" 2>&1) || [[ -n "$out" ]]; then
    fail "desktop-file-validate: $out"
fi
grep -qx 'Exec=plovane %F' "$desktop" || fail "the desktop entry does not start plovane from the PATH with its files"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ]] || fail "the desktop entry's icon \"$icon\" is not installed"
metainfo=$root/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net --strict "$metainfo" >/dev/null 2>&1 ||
    fail "appstreamcli validate: $(appstreamcli validate --no-net --strict "$metainfo" 2>&1)"
# The whole tree: the metadata's launchable names the installed desktop entry, whose icon exists.
appstreamcli validate-tree --no-net --strict "$stage" >/dev/null 2>&1 ||
    fail "appstreamcli validate-tree: $(appstreamcli validate-tree --no-net --strict "$stage" 2>&1)"

for size in 48 128 256; do
    png=$root/share/icons/hicolor/${size}x$size/apps/$icon.png
    [[ -f "$png" ]] || { fail "no ${size}px icon \"$icon\""; continue; }
    # PNG header: width and height are the big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [[ "$dims" == "${size}x$size" ]] || fail "the ${size}px icon is $dims"
done

if ((failures)); then
    echo "$failures fault(s) in the installed layout"
    exit 1
fi
echo "installed layout, desktop entry and AppStream metadata are sound ($(wc -l <"$layout") files checked)"
