#!/usr/bin/env bash
# Frames per second of the sample's scene at 800 x 600 under Xvfb with
# Mesa's software renderer and LP_NUM_THREADS rasteriser threads (default
# 2), without and with the bloom, and what the bloom costs.
# Run as: bench/scene_bench.sh BUILD_DIR [benchmark flags...]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"
build=$1
shift
start_xvfb
trap stop_xvfb EXIT
export LIBGL_ALWAYS_SOFTWARE=1 LP_NUM_THREADS=${LP_NUM_THREADS:-2} SDL_VIDEODRIVER=x11
out=$(mktemp)
"$build/bench/scene_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=3 "$@" | tee "$out"
awk '/_median/ && /light_1_plain/ { plain = $2 } /_median/ && /light_0_5/ { bloom = $2 }
     END { if (plain && bloom) printf "LP_NUM_THREADS=%s: bloom frame / plain frame = %.2f\n", ENVIRON["LP_NUM_THREADS"], bloom / plain }' "$out"
rm -f "$out"
