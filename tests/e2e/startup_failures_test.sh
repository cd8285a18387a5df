#!/usr/bin/env bash
# How start-up failures end the host: a missing own INI before anything
# else exists, and a failure in the second stage with its full report.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tree=$(make_tree "$1")
trap 'rm -rf "$tree"' EXIT
cd "$tree"

# No own INI: the first-stage box, on stderr here, and exit code 1.
mv zokhost.ini zokhost.ini.away
code=0
./zokhost 2>missing.err || code=$?
[ "$code" = 1 ] || fail "missing INI: exit code $code, expected 1"
grep -q "Zokwerk crashed at startup!" missing.err || fail "missing INI: no start-up box: $(cat missing.err)"
grep -q "Configuration manager crashed." missing.err || fail "missing INI: wrong text: $(cat missing.err)"
[ ! -f LOG ] || fail "missing INI: a log was written"
mv zokhost.ini.away zokhost.ini

# A configuration file that cannot be read fails the second stage: the
# report names the failed start first and the cause below it.
rm config.ini
mkdir config.ini
code=0
./zokhost 2>stage2.err || code=$?
[ "$code" = 1 ] || fail "second stage: exit code $code, expected 1"
report=$(tr -d '\r' <stage2.err)
died_line=$(grep -n "Failed to initialize ZOK." <<<"$report" | head -1 | cut -d: -f1)
cause_line=$(grep -n "Cannot read the configuration file" <<<"$report" | head -1 | cut -d: -f1)
[ -n "$died_line" ] && [ -n "$cause_line" ] || fail "second stage: report incomplete: $report"
[ "$died_line" -lt "$cause_line" ] || fail "second stage: cause listed before the failed start"
log_has LOG "Zokwerk stops because of these errors" || fail "second stage: report not logged"
echo "start-up failures: ok"
