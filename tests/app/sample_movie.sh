#!/bin/sh
# ./run's sample movie is a real movie: ffmpeg decodes five seconds of
# picture and sound from it without an error, and Orvo's own reader finds a
# video and a sound track.
# Usage: sample_movie.sh MAKE_SAMPLE_MOVIE MOVIEDUMP OUTDIR
set -u
MAKE=$1
MOVIEDUMP=$2
OUT=$3
mkdir -p "$OUT"
movie="$OUT/sample.mov"
rm -f "$movie"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$MAKE" "$movie" || fail "make-sample-movie exited with $?"
[ -s "$movie" ] || { echo "FAIL: no movie written"; exit 1; }
[ ! -e "$movie.part" ] || fail "the temporary file was left behind"

streams=$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$movie" | sort | tr '\n' ' ')
[ "$streams" = "audio video " ] || fail "streams are '$streams', not one audio and one video"

# Decoding every frame proves the picture and sound are there, not just headers.
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$movie")
[ "$frames" -ge 120 ] 2>/dev/null || fail "only '$frames' video frames decode"
errors=$(ffmpeg -v error -nostdin -i "$movie" -f null - 2>&1)
[ -z "$errors" ] || fail "decoding reports: $errors"

dump=$("$MOVIEDUMP" "$movie") || fail "moviedump cannot read the sample"
echo "$dump" | grep -q '"type": *"vide"' || fail "Orvo finds no video track"
echo "$dump" | grep -q '"type": *"soun"' || fail "Orvo finds no sound track"

[ "$failures" -eq 0 ] && echo "sample movie: all checks passed"
[ "$failures" -eq 0 ]
