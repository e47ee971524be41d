#!/usr/bin/env bash
# How much of a core the real game uses while it has lost the focus: under Xvfb it skips
# the intro, hands the focus away, and sums its user and system time over the window; the
# same on the title with the focus, for scale. Then the focus comes back and Escape must
# still quit it: a suspended game that never wakes is a hang.
# Usage: bench/suspended_cpu.sh [GAME [DATA_DIR [SECONDS [MAX_PERCENT]]]]
#   MAX_PERCENT: exit 1 when the suspended figure is above it (for a sanity test).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
game=${1:-$here/build/glimmerfrost}
data=${2:-$here/build/Data}
seconds=${3:-10}
max=${4:-}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$game" "$work/glimmerfrost"
mkdir -p "$work/Data"
cp "$data"/*.ogg "$work/Data/"

cat >"$work/measure.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
seconds=$2
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
percent() { awk -v t="$1" -v s="$seconds" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "%.1f", 100 * t / (s * hz) }'; }

ALSOFT_DRIVERS=null "$work/glimmerfrost" >"$work/out.txt" 2>&1 &
pid=$!
win=$(xdotool search --sync --onlyvisible --name 'Glimmerfrost 3D' | head -n 1)
xdotool windowfocus --sync "$win"
sleep 1
xdotool key --window "$win" space  # skips the intro; the title ignores it
sleep 1

# With no window manager the focus goes to the root window: the game hears it lose it.
root=$(xdotool search --maxdepth 0 --name '' | head -n 1)
xdotool windowfocus "$root"
sleep 1
a=$(cpu_ticks "$pid")
sleep "$seconds"
b=$(cpu_ticks "$pid")
echo "suspended $(percent $((b - a)))"

xdotool windowfocus --sync "$win"
sleep 1
a=$(cpu_ticks "$pid")
sleep "$seconds"
b=$(cpu_ticks "$pid")
echo "focused $(percent $((b - a)))"

# Escape quits from the title. On a slow machine the space above may have come before the
# intro could take it, so an Escape may first end the intro: press until the game is gone.
deadline=$((SECONDS + 60))
while kill -0 "$pid" 2>/dev/null && ((SECONDS < deadline)); do
    xdotool key --window "$win" Escape 2>/dev/null || true
    for _ in 1 2 3 4 5 6 7 8; do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.25
    done
done
if kill -0 "$pid" 2>/dev/null; then
    echo "the game did not come back from the suspension" >&2
    kill "$pid"
    exit 1
fi
wait "$pid"
INNER
chmod +x "$work/measure.sh"

if ! result=$(timeout $((4 * seconds + 100)) xvfb-run -a -s '-screen 0 1024x768x24' \
    "$work/measure.sh" "$work" "$seconds"); then
    echo "suspended_cpu: the run failed" >&2
    cat "$work/out.txt" >&2 || true
    exit 1
fi
suspended=$(awk '/^suspended/ {print $2}' <<<"$result")
focused=$(awk '/^focused/ {print $2}' <<<"$result")
echo "CPU while suspended: $suspended % of a core over ${seconds} s" \
    "(on the title with the focus: $focused %)"
if [[ -n "$max" ]] && awk -v v="$suspended" -v m="$max" 'BEGIN { exit !(v > m) }'; then
    echo "suspended_cpu: above $max %" >&2
    exit 1
fi
