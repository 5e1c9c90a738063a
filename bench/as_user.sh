# as_user.sh -- sourced by the real-window benchmarks.
#
# AS_USER=name runs the programs as that user (the script itself runs as root
# then): as a desktop user starts them, where root's start differs (X keeps no
# compose cache for root). Sets AS to the command prefix that does it; empty
# without AS_USER.
AS=()
if [ -n "${AS_USER:-}" ]; then
    [ "$(id -u)" = 0 ] || { echo "AS_USER needs root" >&2; exit 2; }
    AS=(setpriv --reuid="$(id -u "$AS_USER")" --regid="$(id -g "$AS_USER")" --clear-groups)
fi
