# What the package tests share: failing with a reason, bounded waits, the server's port and the
# bytes of its log. Sourced, after `set -euo pipefail`.

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# True once the command succeeds, trying for at most SECONDS.
within() {
    local seconds=$1
    shift
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Something listens on $port (Wine's sockets are this machine's too).
listens() { grep -q "$(printf ':%04X 00000000:0000 0A' "$port")" /proc/net/tcp; }

# The log FOLDER/NR-QD8K.csv after the reports 01 15 and fa 02 0a, DI1 named DI1_BYTES (printf
# escapes). Date and time vary; every other byte is fixed: the header in CP932, CR LF.
check_csv() {
    local csv=$1/NR-QD8K.csv di1=$2
    [ -f "$csv" ] || fail "no log in $1: $(ls "$1")"
    local actual expected
    actual=$(LC_ALL=C sed -E 's#^[0-9]{4}/[0-9]{2}/[0-9]{2},[0-9]{2}:[0-9]{2}:[0-9]{2},#D,T,#' "$csv" | od -An -c)
    expected=$(printf '\x93\xfa\x95t,\x8e\x9e\x8d\x8f,\x90\xda\x91\xb1\x8c\xb3IP\x83A\x83h\x83\x8c\x83X,'"$di1"',DI2,DI3,DI4,DI5\r\n''D,T,127.0.0.1,1,0,1,0,1\r\nD,T,127.0.0.1,0,1,0,1,0\r\n' | od -An -c)
    [ "$actual" = "$expected" ] || fail "CSV bytes differ:
$actual
expected:
$expected"
}
