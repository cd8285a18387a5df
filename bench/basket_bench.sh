#!/usr/bin/env bash
# The basket against boost.serialization, each case in a process of its
# own: the cases allocate and free hundreds of thousands of small blocks,
# and what one leaves in the allocator's free lists weighs on the next.
# Prints each case's median and the ratios the goals are stated in.
# Run as: bench/basket_bench.sh BUILD_DIR [repetitions]
set -euo pipefail
build=$1
repetitions=${2:-7}
median() {
  "$build/bench/basket_bench" --benchmark_filter="^$1\$" --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true 2>/dev/null | awk '/_median/ { print $2 }'
}
declare -A ms
for case in BM_BasketWrite BM_BoostWrite BM_BasketRead BM_BoostRead BM_BasketReadChangedClass; do
  ms[$case]=$(median "$case")
  printf '%-28s %8s ms\n' "$case" "${ms[$case]}"
done
awk -v basket_write="${ms[BM_BasketWrite]}" -v boost_write="${ms[BM_BoostWrite]}" \
  -v basket_read="${ms[BM_BasketRead]}" -v boost_read="${ms[BM_BoostRead]}" \
  -v changed_read="${ms[BM_BasketReadChangedClass]}" 'BEGIN {
    printf "write: boost / basket = %.2f\n", boost_write / basket_write
    printf "unchanged read: boost / basket = %.2f\n", boost_read / basket_read
    printf "changed read / unchanged read = %.2f\n", changed_read / basket_read }'
