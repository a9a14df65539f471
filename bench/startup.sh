#!/usr/bin/env bash
# Start-up figures of both programs against a bare Qt main window with a menu bar, in the build
# ./run tamsel makes, on a private Xvfb: time from process start to the first window mapped, and
# resident memory after a second and a half of idling.
#     bench/startup.sh [ROUNDS [OTHER_BIN]]   (default 15 rounds; needs Xvfb: apt-get install xvfb)
# OTHER_BIN, a bin directory of another build (an older checkout), adds its tamsel and wendle as
# "tamsel-other" and "wendle-other". The programs take turns in every round, so a busy machine
# slows them alike; the medians and the ratios to the bare window are what to compare.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-15}"
other="${2:-}"
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

command -v Xvfb >/dev/null || { echo "startup.sh: Xvfb is missing (apt-get install xvfb)" >&2; exit 2; }
tools/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTW_TESTS=OFF -DTW_BENCH=OFF >/dev/null
cmake --build build/release --target tamsel wendle first_map bare_window -- -j"${JOBS:-4}" >/dev/null
bin="$PWD/build/release/bin"

work="$(mktemp -d)"
# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "startup.sh: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 2; }
display=":$(head -1 "$work/display")"

# One settings home for all runs; the first round (not counted) lets the programs create it.
export DISPLAY="$display" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
names=(bare tamsel wendle)
commands=("$bin/bare_window" "$bin/tamsel" "$bin/wendle")
if [ -n "$other" ]; then
    names+=(tamsel-other wendle-other)
    commands+=("$(cd "$other" && pwd)/tamsel" "$(cd "$other" && pwd)/wendle")
fi
for round in $(seq 0 "$rounds"); do
    for i in "${!names[@]}"; do
        # Each program starts in its own bin directory, where it finds its data.
        line="$(cd "$(dirname "${commands[$i]}")" && "$bin/first_map" -- "${commands[$i]}")"
        [ "$round" -eq 0 ] || echo "${names[$i]} $line" >>"$work/figures"
    done
done

awk -v rounds="$rounds" -v names="${names[*]}" '
    {
        ++n[$1]
        for (f = 2; f <= NF; ++f) { split($f, kv, "="); v[$1, kv[1], n[$1]] = kv[2] + 0 }
    }
    function median(who, what,   c, i, j, t, s) {
        c = n[who]
        for (i = 1; i <= c; ++i) s[i] = v[who, what, i]
        for (i = 2; i <= c; ++i) for (j = i; j > 1 && s[j - 1] > s[j]; --j) { t = s[j]; s[j] = s[j - 1]; s[j - 1] = t }
        return c % 2 ? s[(c + 1) / 2] : (s[c / 2] + s[c / 2 + 1]) / 2
    }
    function minimum(who, what,   i, m) {
        m = v[who, what, 1]
        for (i = 2; i <= n[who]; ++i) if (v[who, what, i] < m) m = v[who, what, i]
        return m
    }
    END {
        printf "%d rounds: first window mapped (clock ms, median and min), CPU ms used until then,\n", rounds
        printf "resident memory after idling (MiB)\n"
        printf "%-12s %8s %8s %8s %8s %8s %8s\n", "program", "map", "min", "x bare", "cpu", "x bare", "RSS"
        bm = median("bare", "map_ms"); bc = median("bare", "cpu_ms")
        count = split(names, who, " ")
        for (w = 1; w <= count; ++w) {
            p = who[w]; m = median(p, "map_ms"); c = median(p, "cpu_ms")
            printf "%-12s %8.1f %8.1f %8.2f %8.1f %8.2f %8.1f\n", p, m, minimum(p, "map_ms"), m / bm, c, c / bc,
                median(p, "rss_kb") / 1024
        }
    }' "$work/figures"
