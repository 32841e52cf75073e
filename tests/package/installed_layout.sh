#!/usr/bin/env bash
# Checks an installation of the configurator: the files a package must hold, and the installed
# command line against the installed simulator, finding the shipped database in share/ and
# keeping the user's files in the user's folders.
#   installed_layout.sh --install BUILD_DIR   installs the build into a scratch root (DESTDIR)
#   installed_layout.sh --root ROOT           checks an unpacked package (dpkg-deb -x)
set -euo pipefail
scratch=$(mktemp -d)
sim=
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

case "${1:-}" in
--install)
    DESTDIR="$scratch/root" cmake --install "$2" --prefix /usr >/dev/null
    root="$scratch/root"
    ;;
--root) root="$2" ;;
*) fail "usage: $0 --install BUILD_DIR | --root ROOT" ;;
esac

share=usr/share/vexa7xx-configurator
for f in usr/bin/vexa7xx-configurator usr/bin/vexa7xx-cli usr/bin/vexa7xx-sim usr/bin/vexa7xx-sign \
    $share/devices.db $share/translations/en.qm \
    usr/share/applications/vexa7xx-configurator.desktop \
    usr/share/icons/hicolor/256x256/apps/vexa7xx-configurator.png \
    usr/share/icons/hicolor/scalable/apps/vexa7xx-configurator.svg \
    usr/lib/udev/rules.d/60-vexa7xx.rules \
    usr/share/man/man1/vexa7xx-cli.1.gz usr/share/man/man1/vexa7xx-sim.1.gz \
    usr/share/man/man1/vexa7xx-sign.1.gz; do
    [ -f "$root/$f" ] || fail "not installed: $f"
done
# bin/ holds the programs and nothing else.
others=$(ls "$root/usr/bin" | grep -v -x -e vexa7xx-configurator -e vexa7xx-cli -e vexa7xx-sim -e vexa7xx-sign || true)
[ -z "$others" ] || fail "more than the programs in bin/: $others"

rule="$root/usr/lib/udev/rules.d/60-vexa7xx.rules"
grep -q '^SUBSYSTEM=="tty", ATTRS{idVendor}=="0483", ATTRS{idProduct}=="5740",.*TAG+="uaccess"' "$rule" ||
    fail "the udev rule does not give the user access to 0483:5740 ports"
grep -q 'ENV{ID_MM_DEVICE_IGNORE}="1"' "$rule" || fail "the udev rule does not keep ModemManager away"
desktop="$root/usr/share/applications/vexa7xx-configurator.desktop"
grep -qx 'Exec=vexa7xx-configurator' "$desktop" || fail "the desktop entry does not start the program"
grep -qx 'Icon=vexa7xx-configurator' "$desktop" || fail "the desktop entry names another icon"
zcat "$root/usr/share/man/man1/vexa7xx-cli.1.gz" | grep -q '^\.TH VEXA7XX-CLI 1' || fail "vexa7xx-cli.1 is no manual page"
zcat "$root/usr/share/man/man1/vexa7xx-cli.1.gz" | grep -q 'provision --template' || fail "vexa7xx-cli.1 lacks provision"
zcat "$root/usr/share/man/man1/vexa7xx-sim.1.gz" | grep -q -- '--keep-param' || fail "vexa7xx-sim.1 lacks the simulator's options"

# The installed programs, as a user whose folders are in the scratch folder.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_DATA_HOME="$scratch/home/.local/share"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
before=$(find "$root" | sort)
"$root/usr/bin/vexa7xx-sim" --model 750 --link "$scratch/port" --reboot-delay 300 >"$scratch/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do
    [ -e "$scratch/port" ] && break
    sleep 0.1
done
[ -e "$scratch/port" ] || fail "the installed simulator did not start: $(cat "$scratch/sim.log")"
"$root/usr/bin/vexa7xx-cli" --port "$scratch/port" --json info >"$scratch/info.json" ||
    fail "the installed CLI could not identify the simulated device"
grep -q '"model":"Vexa750v2"' "$scratch/info.json" || fail "unexpected identity: $(cat "$scratch/info.json")"
grep -q '"supported":true' "$scratch/info.json" ||
    fail "firmware not supported: the installed CLI did not find devices.db in share/"
# The console keeps its history: in the user's data folder, not beside the program.
printf '8605 00\n' | "$root/usr/bin/vexa7xx-cli" --port "$scratch/port" console >"$scratch/console.txt" ||
    fail "the installed console failed"
[ -s "$XDG_DATA_HOME/vexa7xx-configurator/cmd_history.txt" ] ||
    fail "the history is not in the user's data folder"
after=$(find "$root" | sort)
[ "$before" = "$after" ] || fail "the programs wrote into the installation: $(diff <(echo "$before") <(echo "$after") || true)"
echo "installed layout ok: $root"
