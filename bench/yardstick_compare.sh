#!/usr/bin/env bash
# Usage: bench/yardstick_compare.sh BUILD_DIR [ROUNDS] -- runs bench_draw and the yardstick
# renderers side by side ROUNDS times (3 by default), keeps the best median of each line and
# prints the three ratios we hold ourselves to: our stereo against our flat, our stereo
# against SDL_Renderer's stereo, our flat against SDL_Renderer's flat. The machines are
# shared and noisy: the load is printed with the figures.
set -eu
build=$(realpath "$1")
rounds=${2:-3}
yardstick=${GF_YARDSTICK:-/work/shared/yardstick/run.sh}
export SDL_VIDEODRIVER=offscreen
out=$(mktemp)
trap 'rm -f "$out"' EXIT
echo "load before: $(uptime)"
for ((i = 0; i < rounds; i++)); do
    "$build/bench/bench_draw" >>"$out"
    "$yardstick" >>"$out"
done
echo "load after: $(uptime)"
# The best median of each benchmark line, then the ratios.
awk '
    / median / {
        label = $0; sub(/: median.*/, "", label)
        ms = $0; sub(/.*: median /, "", ms); sub(/ ms.*/, "", ms)
        if (!(label in best) || ms + 0 < best[label]) best[label] = ms + 0
    }
    END {
        for (l in best) printf "best of %d: %-40s %6.2f ms\n", '"$rounds"', l, best[l]
        flat = best["bench_draw yardstick-scene flat"]; stereo = best["bench_draw yardstick-scene stereo"]
        sdl_flat = best["sdl_renderer(opengl) flat"]; sdl_stereo = best["sdl_renderer(opengl) stereo"]
        if (flat && stereo) printf "our stereo / our flat:            %.2f (aim: 1.15 or less)\n", stereo / flat
        if (stereo && sdl_stereo) printf "our stereo / SDL_Renderer stereo: %.2f (aim: 0.50 or less)\n", stereo / sdl_stereo
        if (flat && sdl_flat) printf "our flat / SDL_Renderer flat:     %.2f (aim: 1.00 or less)\n", flat / sdl_flat
    }' "$out" | sort
