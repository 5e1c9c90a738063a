# checks.sh -- sourced by the scripts that test a built or installed game from
# outside (the Debian package test, the wine smoke test): named steps, named
# checks that count failures, and the closing line.
failures=0

step() { echo "== $*"; }
die() {
    echo "FAIL: $*"
    exit 1
}
# check DESCRIPTION COMMAND...: runs the command quietly and reports.
check() {
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        echo "ok: $what"
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}
# finish NAME: the closing line, and the exit status.
finish() {
    echo "$1: $((failures == 0 ? 1 : 0)) passed, $((failures == 0 ? 0 : 1)) failed ($failures failed checks)"
    [ "$failures" -eq 0 ]
}
