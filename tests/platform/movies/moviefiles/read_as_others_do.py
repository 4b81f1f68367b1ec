#!/usr/bin/env python3
"""How three other programs read a movie file: FFmpeg's ffprobe (following
data references), MediaInfo and mkvmerge (whose reading is seen in the
Matroska file it makes of the movie).

Prints one line per reader and track, in the file's track order:
    READER TYPE START DURATION SAMPLES
with START and DURATION in seconds (-1 when the reader does not say) and
SAMPLES the samples (frames, sound packets) the reader finds.

Usage: read_as_others_do.py MOVIE SCRATCH_DIR
"""
import json
import os
import subprocess
import sys


def run(args):
    return subprocess.run(args, capture_output=True, text=True).stdout


def number(value, default=-1.0):
    try:
        return float(value)
    except (TypeError, ValueError):
        return default


def ffprobe(path):
    # Samples are nb_frames (the sample table's count), not packets read:
    # FFmpeg reads a packet twice where one edit ends and the next begins.
    out = run(["ffprobe", "-v", "error", "-enable_drefs", "1", "-show_entries",
               "stream=codec_type,start_time,duration,nb_frames", "-of", "json", path])
    for s in json.loads(out or "{}").get("streams", []):
        yield s.get("codec_type"), number(s.get("start_time")), number(s.get("duration")), \
            int(s.get("nb_frames", 0))


def mediainfo(path):
    out = run(["mediainfo", "--Full", "--Output=JSON", path])
    media = json.loads(out or "{}").get("media") or {}
    for t in media.get("track", []):
        kind = {"Video": "video", "Audio": "audio"}.get(t.get("@type"))
        if not kind:
            continue
        # A track's delay from the edit list comes as Source_Delay (in ms);
        # its Duration runs from the movie's start, delay included.
        # FrameCount is derived from that Duration; Source_FrameCount, when
        # given, is what the sample table holds.
        start = number(t.get("Delay"), number((t.get("extra") or {}).get("Source_Delay"), 0.0) / 1000)
        samples = t.get("Source_FrameCount", t.get("FrameCount"))
        yield kind, start, number(t.get("Duration")) - start, int(number(samples, 0))


def mkvmerge(path, scratch):
    mkv = os.path.join(scratch, os.path.basename(path) + ".mkv")
    subprocess.run(["mkvmerge", "-q", "-o", mkv, path], capture_output=True)
    info = json.loads(run(["mkvmerge", "-J", mkv]) or "{}")
    for t in info.get("tracks", []):
        stamps_file = mkv + ".%d.txt" % t["id"]
        subprocess.run(["mkvextract", mkv, "timestamps_v2", "%d:%s" % (t["id"], stamps_file)], capture_output=True)
        with open(stamps_file) as f:
            stamps = sorted(float(line) / 1000 for line in f if line.strip() and not line.startswith("#"))
        os.unlink(stamps_file)
        # The last time stamp is where the last frame ends, guessed from the
        # track's one default duration; where frames of several durations
        # meet, the last frame is taken to last as long as the one before.
        start = t["properties"].get("minimum_timestamp", 0) / 1e9
        end = stamps[-2] + (stamps[-2] - stamps[-3]) if len(stamps) > 2 else (stamps or [start])[-1]
        yield t["type"], start, end - start, max(len(stamps) - 1, 0)
    if os.path.exists(mkv):
        os.unlink(mkv)


def main():
    path, scratch = sys.argv[1], sys.argv[2]
    for reader, tracks in (("ffprobe", ffprobe(path)), ("mediainfo", mediainfo(path)),
                           ("mkvmerge", mkvmerge(path, scratch))):
        for kind, start, duration, samples in tracks:
            print("%s %s %.6f %.6f %d" % (reader, kind, start, duration, samples))


if __name__ == "__main__":
    main()
