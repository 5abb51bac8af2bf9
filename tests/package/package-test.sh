#!/usr/bin/env bash
# Builds the Debian package, checks what it declares and holds, then runs the unpacked serving
# program as an ordinary user: with /usr unwritable, it must serve a unit and keep its files
# under XDG_DATA_HOME, without loading Qt.
# Usage: package-test.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$1 version=$2 app_id=$3
source "$(dirname "$0")/checks.sh"

if ! command -v dpkg-deb >/dev/null; then
    echo "dpkg-deb is missing: no package to test here"
    exit 77
fi

scratch=$(mktemp -d)
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then kill -KILL "$program_pid" 2>/dev/null || true; fi
    chmod -R u+w "$scratch"
    rm -rf "$scratch"
}
trap cleanup EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$scratch/out/nr-qd8k_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb") in: $(ls "$scratch/out")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = nr-qd8k ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Suggests)" = "fcitx5-mozc | ibus-mozc" ] || fail "Suggests: $(field Suggests)"
[ -n "$(field Section)" ] && [ -n "$(field Maintainer)" ] || fail "no Section or Maintainer"
# Names only, without version constraints: the libraries come from the binaries.
depends=$(field Depends | tr ',' '\n' | sed -E 's/^ *//; s/ .*//')
for wanted in libc6 libqt6widgets6 fonts-ipafont-gothic qt6-translations-l10n; do
    grep -qx "$wanted" <<<"$depends" || fail "Depends lacks $wanted: $(field Depends)"
done

icons=usr/share/icons/hicolor
expected=$(sort <<LIST
./usr/bin/NR-QD8K
./usr/bin/nr-load
./usr/bin/nr-serve
./usr/bin/nr-unit
./usr/share/applications/$app_id.desktop
./usr/share/doc/nr-qd8k/changelog.gz
./usr/share/doc/nr-qd8k/copyright
./$icons/16x16/apps/$app_id.png
./$icons/24x24/apps/$app_id.png
./$icons/32x32/apps/$app_id.png
./$icons/48x48/apps/$app_id.png
./$icons/64x64/apps/$app_id.png
./$icons/128x128/apps/$app_id.png
./$icons/256x256/apps/$app_id.png
./$icons/scalable/apps/$app_id.svg
./usr/share/metainfo/$app_id.metainfo.xml
LIST
)
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
[ "$files" = "$expected" ] || fail "file list differs:
$(diff <(echo "$expected") <(echo "$files"))"

if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" || fail "lintian reports errors"
fi

root=$scratch/root
dpkg -x "$deb" "$root"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
        fail "metainfo does not validate"
fi

# As installed: nobody but root may write in /usr, and the user is not root.
chmod -R a-w "$root/usr"
chmod 755 "$scratch"
as_user=()
user_home=$scratch/home
data=$user_home/.local/share
mkdir -p "$data/NR-QD8K" "$user_home/run"
port=$(perl -MIO::Socket::INET -e 'print IO::Socket::INET->new(LocalAddr => "127.0.0.1:0", Listen => 1)->sockport')
# Settings for that port that log; DI1 is named in CP932. The serving program serves whatever
# the settings say of the window's button.
printf '#$PORT=%s\r\n#$DI1=\x83h\x83A\r\n#$LOGGING=ON\r\n#$SERVER=STOP\r\n' "$port" \
    >"$data/NR-QD8K/line.qd"
printf '%s' "$data/NR-QD8K/line.qd" >"$data/NR-QD8K/NR-QD8K.ini"
chmod 700 "$user_home/run"
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$user_home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

if ldd "$root/usr/bin/nr-serve" | grep -i qt; then fail "nr-serve loads Qt"; fi
env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$user_home" XDG_DATA_HOME="$data" \
    "${as_user[@]}" "$root/usr/bin/nr-serve" >"$scratch/program.log" 2>&1 &
program_pid=$!

ended() { ! kill -0 "$program_pid" 2>/dev/null; }
within 10 listens || { cat "$scratch/program.log"; fail "nothing listens on $port"; }

unit() { "$root/usr/bin/nr-unit" --host 127.0.0.1 --port "$port" "$@"; }
[ "$(unit 01 15)" = "01 15" ] || fail "no reply to 01 15"
[ "$(unit --three 02 0a)" = "02 0a" ] || fail "no reply to fa 02 0a"

# It prints its trace in the terminal's encoding, line by line as the pane shows it.
for line in "cfgファイルが見つかったから処理する" "server start." "#\$PORT=$port" "Send : 01 15" "Received : fa 02 0a"; do
    grep -q "$line" "$scratch/program.log" || { cat "$scratch/program.log"; fail "not printed: $line"; }
done
! grep -qx '' "$scratch/program.log" || { cat "$scratch/program.log"; fail "blank lines printed"; }

kill -INT "$program_pid"
within 10 ended || fail "still running 10 s after SIGINT"
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || { cat "$scratch/program.log"; fail "exit status $status after SIGINT"; }

check_csv "$data/NR-QD8K" '\x83h\x83A'
echo "$(basename "$deb"): fields, files and a unit served as an ordinary user as expected"
