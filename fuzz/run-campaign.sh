#!/bin/sh
# A fuzzing campaign on one core: the reader and the writer fuzzer take turns
# in slices until END (seconds since the epoch), each resuming from its own
# corpus. A slice that stops on a finding leaves the input in
# BUILD/campaign/artifacts and the campaign goes on with the next slice.
#   fuzz/run-campaign.sh BUILD_DIR END [SLICE_SECONDS [FIRST_TURN]]
# (FIRST_TURN 1 starts with the writer.)
set -u
build=$1
end=$2
# Five-minute slices: the writer keeps finding inputs that merge millions of
# made-up sizes (a few hundred ms each under the sanitizers), and they are
# only set aside between slices. With 15-minute slices it fell to 150 inputs
# a second; with five-minute slices (and cheaper merging) it averaged 350.
slice=${3:-300}
here=$(cd "$(dirname "$0")" && pwd)
out=$build/campaign
mkdir -p "$out/reader" "$out/writer" "$out/artifacts"
[ -d "$out/seeds" ] || python3 "$here/make-seeds.py" "$here/../tests/corpus/wellformed" \
    "$here/../tests/corpus/malformed" "$here/corpus" "$out/seeds"
# Short allocation stacks and a smaller quarantine: most of the cost of an
# input under AddressSanitizer is its bookkeeping of allocations.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=2:quarantine_size_mb=32}
# Undefined behaviour stops the slice and leaves its input, like a crash;
# by default the sanitizer only prints it and goes on.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
# An input that takes 100 ms or more under the sanitizers (fragmented files
# claiming millions of zero-size samples: bounded by design, but slow) would
# take most of a slice once the fuzzer mutates it, so before each slice the
# inputs added since the last one are timed and the slow ones set aside in
# BUILD/campaign/slow.
set_slow_inputs_aside() {
    dir=$out/$1
    mkdir -p "$out/slow/$1"
    touch "$out/$1.timing"
    if [ -f "$out/$1.timed" ]; then
        find "$dir" -type f -newer "$out/$1.timed"
    else
        find "$dir" -type f
    fi | xargs -r "$build/fuzz/movie_$1_fuzzer" 2>&1 |
        sed -n 's/^Executed \(.*\) in \([0-9]*\) ms$/\2 \1/p' |
        awk '$1 >= 100 { print $2 }' | xargs -r mv -t "$out/slow/$1"
    mv "$out/$1.timing" "$out/$1.timed"
}
# A hang still stops a slice, but 20 s rather than a few: under the
# sanitizers, on a shared machine, the largest tables that are bounded by
# design (2^24 sizes made up for a merged fragment) take several seconds.
# How long inputs take in a release build is the hostile bench's business.
# The entropic schedule costs more than the input itself here: every run
# touches thousands of coverage features and libFuzzer weighs each of them
# (three quarters of the processor time in a profile with it on).
turn=${4:-0}
while :; do
    left=$((end - $(date +%s)))
    [ "$left" -gt 30 ] || break
    [ "$left" -lt "$slice" ] && time=$left || time=$slice
    [ $((turn % 2)) -eq 0 ] && name=reader || name=writer
    set_slow_inputs_aside $name
    echo "== $name for $time s from $(date -u +%H:%M:%S)" >> "$out/$name.log"
    "$build/fuzz/movie_${name}_fuzzer" -dict="$here/movie-atoms.dict" -max_total_time="$time" \
        -entropic=0 -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=256 -max_len=16384 -print_final_stats=1 \
        -artifact_prefix="$out/artifacts/$name-" "$out/$name" "$out/seeds/$name" >> "$out/$name.log" 2>&1
    echo "== exit $?" >> "$out/$name.log"
    turn=$((turn + 1))
done
