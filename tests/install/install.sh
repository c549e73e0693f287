#!/usr/bin/env bash
# Installs the built program into a temporary prefix as a user would and checks the result:
#   install.sh <case> <build-folder> <readme>
# Each case has its own prefix. The installs use the cartlist component, so their manifest is
# install_manifest_cartlist.txt and the user's install_manifest.txt is left alone.
set -euo pipefail

case_name=$1
build=$2
readme=$3
manifest=$build/install_manifest_cartlist.txt

tmp=$(mktemp -d)
pid=""
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    chmod -R u+w "$tmp" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A space in the prefix, as in a home folder named "Jane Doe".
prefix="$tmp/Jane Doe/.local"
app="$prefix/lib/cartlist"
db="$app/Cartstock.mdb"

# The installer's environment, whatever the environment of the test run: no sudo, no DESTDIR.
install_into() {
    env -u SUDO_USER -u DESTDIR cmake --install "$build" --prefix "$1" --component cartlist
}

png_size() {
    local b
    read -ra b < <(od -An -tu1 -j16 -N8 "$1")
    echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}

fingerprint() { echo "$(sha256sum <"$1") $(stat -c %i "$1")"; }

# Waits until the program holds the database open: the proof that it found its folder. A
# program that looked elsewhere shows its start-up failure box instead and never opens it.
wait_until_database_open() {
    local pid=$1 want=$2 fd
    for _ in $(seq 600); do
        kill -0 "$pid" 2>/dev/null || fail "cartlist exited before opening $want"
        for fd in /proc/"$pid"/fd/*; do
            [ "$(readlink "$fd" 2>/dev/null)" != "$want" ] || return 0
        done
        sleep 0.1
    done
    fail "cartlist did not open $want within a minute"
}

case $case_name in
layout_and_launch)
    for tool in desktop-file-validate appstreamcli; do
        command -v "$tool" >/dev/null || fail "$tool is missing: run tools/install-deps --test"
    done
    install_into "$prefix" >"$tmp/first.log"

    for f in cartlist cartlist-makedb Cartstock.hlp Cartstock.mdb; do
        [ -f "$app/$f" ] || fail "$app/$f is missing"
    done
    [ "$(readlink "$prefix/bin/cartlist")" = ../lib/cartlist/cartlist ] ||
        fail "bin/cartlist is not the relative link to lib/cartlist/cartlist"
    entry="$prefix/share/applications/cartlist.desktop"
    desktop-file-validate "$entry"
    # The link's full path, quoted for the space; it names the program under any prefix.
    grep -qxF "Exec=\"$prefix/bin/cartlist\"" "$entry" || fail "Exec does not name the installed link: $(grep ^Exec "$entry")"
    [ -f "$prefix/share/icons/hicolor/scalable/apps/cartlist.svg" ] || fail "no scalable icon"
    # Each picture is as big as the folder it is in says, from 16 to 256 pixels.
    for s in 16 256; do [ -f "$prefix/share/icons/hicolor/${s}x$s/apps/cartlist.png" ] || fail "no ${s}x$s icon"; done
    for icon in "$prefix"/share/icons/hicolor/*x*/apps/cartlist.png; do
        folder=${icon%/apps/*}
        [ "$(png_size "$icon")" = "${folder##*/}" ] || fail "$icon is not ${folder##*/}"
    done
    appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml

    grep -qxF "$prefix/bin/cartlist" "$manifest" || fail "the manifest does not list the link"
    ! grep -q Cartstock.mdb "$manifest" || fail "the manifest lists the database: uninstalling would delete it"

    # Started through the link, from another folder.
    cd "$tmp"
    "$prefix/bin/cartlist" -platform offscreen >"$tmp/run.log" 2>&1 &
    pid=$!
    wait_until_database_open "$pid" "$(realpath "$db")"
    # And it keeps running once its windows are up.
    sleep 2
    kill -0 "$pid" 2>/dev/null || fail "cartlist exited after opening the database: $(cat "$tmp/run.log")"
    kill "$pid"
    wait "$pid" || true
    pid=""

    # The user's data changes; a second install keeps it as it is, byte for byte, in place.
    "$app/cartlist-makedb" --empty "$tmp/changed.mdb" >/dev/null
    cat "$tmp/changed.mdb" >"$db"
    before=$(fingerprint "$db")
    install_into "$prefix" >"$tmp/second.log"
    grep -qF "Kept your database unchanged: $db" "$tmp/second.log" || fail "the second install did not say it kept the database"
    [ "$(fingerprint "$db")" = "$before" ] || fail "the second install changed the database"

    # The README's uninstall recipe, run on this install's manifest, removes everything but the
    # database.
    uninstall=$(awk '/<!-- uninstall-command -->/{getline; getline; print; exit}' "$readme")
    [[ $uninstall == *build/install_manifest.txt* ]] || fail "no uninstall command in the README"
    quoted="'$manifest'"
    (cd "$tmp" && bash -euo pipefail -c "${uninstall//build\/install_manifest.txt/$quoted}")
    left=$(find "$prefix" ! -type d)
    [ "$left" = "$db" ] || fail "the uninstall left: $left"
    [ "$(fingerprint "$db")" = "$before" ] || fail "the uninstall changed the database"
    ;;

refuses_unwritable_folder)
    # A prefix whose folders the installing user cannot write.
    system="$tmp/system"
    mkdir -p "$system"
    chmod 755 "$tmp" "$system"
    # The refusal explains itself, and the command it advises installs for the user, run as
    # it is written (with this test's component, to leave the user's manifest alone).
    refused() {
        local text advised
        text=$(tr -s '\n ' '  ' <"$1") # CMake wraps its messages
        [[ $text == *"keeps its database"* ]] || fail "the refusal does not explain itself: $text"
        [ ! -e "$system/lib" ] || fail "files were installed before the refusal"
        advised=$(grep -o 'cmake --install.*' "$1" | head -1)
        mkdir -p "$tmp/home"
        HOME="$tmp/home" env -u SUDO_USER -u DESTDIR bash -c "$advised --component cartlist" >"$tmp/advised.log" 2>&1 ||
            fail "the advised command failed: $advised"
        [ -x "$tmp/home/.local/bin/cartlist" ] || fail "the advised command did not install into ~/.local: $advised"
    }
    if [ "$(id -u)" -eq 0 ]; then
        # Root may write anything, so the refusal is seen through an ordinary user's eyes,
        # where that user can read the build.
        if setpriv --reuid=65534 --regid=65534 --clear-groups test -r "$build/cmake_install.cmake"; then
            ! setpriv --reuid=65534 --regid=65534 --clear-groups \
                env -u SUDO_USER -u DESTDIR cmake --install "$build" --prefix "$system" --component cartlist \
                >"$tmp/user.log" 2>&1 || fail "an ordinary user installed into a folder not theirs"
            refused "$tmp/user.log"
        else
            echo "skipped the ordinary user's install: they cannot read $build"
        fi
        # Under sudo everything would belong to root, and the user running the program could not
        # save: refused too.
        ! SUDO_USER=nobody env -u DESTDIR cmake --install "$build" --prefix "$system" --component cartlist \
            >"$tmp/sudo.log" 2>&1 || fail "an install under sudo went ahead"
        refused "$tmp/sudo.log"
    else
        chmod 555 "$system"
        ! install_into "$system" >"$tmp/user.log" 2>&1 || fail "installed into a folder the user cannot write"
        refused "$tmp/user.log"
    fi
    ;;

keeps_earlier_database)
    # Earlier versions installed everything into <prefix>/bin: the new folder starts from the
    # database there, and the link takes the old executable's place.
    mkdir -p "$prefix/bin"
    "$build/cartlist-makedb" --empty "$prefix/bin/Cartstock.mdb" >/dev/null
    cp "$build/cartlist" "$prefix/bin/cartlist"
    earlier=$(sha256sum <"$prefix/bin/Cartstock.mdb")
    install_into "$prefix" >"$tmp/install.log"
    grep -q "Copied your database from the earlier install" "$tmp/install.log" || fail "the install did not say it copied the database"
    [ "$(sha256sum <"$db")" = "$earlier" ] || fail "the database in $app is not the earlier one"
    [ "$(sha256sum <"$prefix/bin/Cartstock.mdb")" = "$earlier" ] || fail "the earlier database changed"
    [ "$(readlink "$prefix/bin/cartlist")" = ../lib/cartlist/cartlist ] || fail "bin/cartlist is not the link"
    ;;

*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: $case_name"
