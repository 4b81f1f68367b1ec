#!/usr/bin/env python3
"""Checks that build/moviedump and ffprobe agree on movie files.

For every file: the same number of tracks, in the same order, with the same
kinds (video, sound, other), media time scales, sample counts, durations,
track offsets, and the same samples: where each lies in the file and how
many bytes it has. ffprobe counts in each stream's own time base and derives
start times from edit lists; the rules below translate between the two
views, and the places where ffprobe legitimately differs are named.

Usage: compare_with_ffprobe.py MOVIEDUMP (FILE|DIR)... [--make-ffmpeg-movies]
       compare_with_ffprobe.py --malformed MOVIEDUMP DIR
Exit 0 when everything agrees, 1 otherwise (each difference on stderr).
"""
import bisect
import json
import os
import re
import subprocess
import sys
import tempfile


def ffprobe(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json", path],
                         capture_output=True, text=True, check=True).stdout
    return json.loads(out)


def moviedump(tool, path):
    run = subprocess.run([tool, path], capture_output=True, text=True)
    if run.returncode != 0:
        return None, run.stderr.strip()
    return json.loads(run.stdout), None


def packet_counts(path):
    """Packets ffprobe reads per stream: what a fragmented file really holds."""
    out = subprocess.run(["ffprobe", "-v", "error", "-count_packets", "-show_entries", "stream=nb_read_packets",
                          "-of", "json", path], capture_output=True, text=True, check=True).stdout
    return [int(s.get("nb_read_packets", 0)) for s in json.loads(out).get("streams", [])]


def packets_by_stream(path):
    """(position, size) of every packet ffprobe reads, per stream, in order,
    and which of them are key frames."""
    out = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "packet=stream_index,pos,size,flags",
                          "-of", "csv=p=0", path], capture_output=True, text=True, check=True).stdout
    streams, keys = {}, {}
    for line in out.split():
        index, size, pos, flags = (line.split(",") + ["", "", "", ""])[:4]
        if not (pos.isdigit() and size.isdigit()):
            continue
        packets = streams.setdefault(int(index), [])
        # A cover picture (attached_pic) comes once more as a packet of its
        # own: the same bytes twice in a row.
        if not packets or packets[-1] != (int(pos), int(size)):
            packets.append((int(pos), int(size)))
            keys.setdefault(int(index), []).append("K" in flags)
    return streams, keys


def samples_of(media):
    """moviedump's samples, expanded from its runs of equal, adjacent ones,
    and which of them are sync samples."""
    runs = media["sampleRuns"]
    samples = [(offset + i * size, size) for offset, size, count, _ in runs for i in range(count)]
    return samples, [bool(sync) for _, _, count, sync in runs for _ in range(count)]


def merged(ranges):
    """Byte ranges joined where one ends at the next one's start."""
    out = []
    for start, size in sorted(ranges):
        if out and start == out[-1][1]:
            out[-1][1] = start + size
        else:
            out.append([start, start + size])
    return out


def compare_samples(name, samples, packets, sync=(), keys=()):
    """ffprobe reads one packet per sample, or (for sound stored as many tiny
    samples) one packet per stretch of adjacent samples; either way its
    packets cover exactly the bytes of the samples. It leaves out samples that
    no edit plays, so only those may be missing."""
    if not packets:
        return []
    if len(packets) == len(samples) and len(samples) > 0:
        for number, (ours, theirs) in enumerate(zip(samples, packets), 1):
            if ours != theirs:
                return ["%s: sample %d at %d, %d bytes; ffprobe packet at %d, %d bytes"
                        % ((name, number) + ours + theirs)]
        # ffprobe also counts partial sync samples (stps) as key frames, so
        # only a sync sample it does not call key is a difference.
        for number, (ours, theirs) in enumerate(zip(sync, keys), 1):
            if ours and not theirs:
                return ["%s: sample %d is a sync sample, ffprobe's packet is not a key frame" % (name, number)]
        return []
    covered = merged(samples)
    starts = [r[0] for r in covered]
    for pos, size in packets:
        i = bisect.bisect_right(starts, pos) - 1
        if i < 0 or pos + size > covered[i][1]:
            return ["%s: ffprobe packet at %d, %d bytes, lies outside the samples" % (name, pos, size)]
    if len(packets) > len(samples):
        return ["%s: %d samples, ffprobe %d packets" % (name, len(samples), len(packets))]
    return []


def kind_of(media_type):
    return {"vide": "video", "soun": "audio"}.get(media_type, "other")


# Files that ffprobe reads or reports differently for a reason of its own.
FFPROBE_MISREADS = {
    # The elst atom is padded with an embedded 'skip' atom; ffprobe reads
    # the padding as 98 more edits, so its start time and duration follow them.
    "mp4parser-example.f4v": {"duration", "offset"},
    # ffprobe's start time is the first presentation time: here 1.16 s of
    # B-frame delay (composition offset) that the edit list does not take out.
    "mp4ff-vvc_400kbps_2s.mp4": {"offset"},
}


def expected_duration_ts(movie, track):
    """The stream duration ffprobe reports, in media units, and how far off
    it may be.

    ffprobe takes the whole edit list (the offset included) in the media's
    scale, but never more than the media's duration. Edits count in movie
    units, so a conversion can be off by one movie unit in media units."""
    media = track["media"]
    whole = (track["offset"] + track["duration"]) * media["timeScale"] / movie["timeScale"]
    tolerance = max(1, -(-media["timeScale"] // movie["timeScale"]))
    return min(round(whole), media["duration"]), tolerance


def compare(tool, path):
    problems = []
    movie, error = moviedump(tool, path)
    if movie is None:
        return ["moviedump failed: " + error]
    probe = ffprobe(path)
    streams = probe.get("streams", [])
    tracks = movie["tracks"]
    if len(streams) != len(tracks):
        return ["%d tracks, ffprobe %d streams" % (len(tracks), len(streams))]
    packets = packet_counts(path) if movie.get("fragmented") else None
    read_packets, key_packets = packets_by_stream(path)
    for position, (track, stream) in enumerate(zip(tracks, streams)):
        name = "track %d" % track["index"]
        media = track["media"]
        kind = kind_of(media["type"])
        theirs = stream.get("codec_type")
        if kind != "other" and kind != theirs:
            problems.append("%s: kind %s, ffprobe %s" % (name, kind, theirs))
        if kind == "other" and theirs in ("video", "audio"):
            problems.append("%s: kind %s, ffprobe %s" % (name, media["type"], theirs))
        if stream.get("time_base") != "1/%d" % media["timeScale"]:
            problems.append("%s: time scale %d, ffprobe time base %s" % (name, media["timeScale"], stream.get("time_base")))
        # ffprobe's nb_frames counts only the samples of the movie atom in a
        # fragmented file; the packets it reads are compared instead.
        if "nb_frames" in stream and not movie.get("fragmented") and int(stream["nb_frames"]) != media["sampleCount"]:
            problems.append("%s: %d samples, ffprobe %s" % (name, media["sampleCount"], stream["nb_frames"]))
        # ffprobe adjusts the durations of data streams (it stretches a
        # one-sample timed-metadata track to the next one, trims telemetry),
        # and reports a fragmented file's header durations rather than what
        # its fragments hold: durations are compared for video and sound of
        # plain files.
        check_duration = (kind != "other" and not movie.get("fragmented") and
                          "duration" not in FFPROBE_MISREADS.get(os.path.basename(path), ()))
        if packets is not None and packets[position] != media["sampleCount"]:
            problems.append("%s: %d samples, ffprobe read %d packets" % (name, media["sampleCount"], packets[position]))
        if check_duration and "duration_ts" in stream and media["sampleCount"] > 0:
            want, tolerance = expected_duration_ts(movie, track)
            if abs(int(stream["duration_ts"]) - want) > tolerance:
                problems.append("%s: duration %d media units, ffprobe %s" % (name, want, stream["duration_ts"]))
        samples, sync = samples_of(media)
        problems += compare_samples(name, samples, read_packets.get(position, []), sync, key_packets.get(position, []))
        check_offset = track["duration"] > 0 and "offset" not in FFPROBE_MISREADS.get(os.path.basename(path), ())
        if check_offset and track["offset"] > 0 and "start_pts" in stream and media["sampleCount"] > 0:
            want = round(track["offset"] * media["timeScale"] / movie["timeScale"])
            first = track["edits"][0]["mediaTime"] if track["edits"] else 0
            if abs(int(stream["start_pts"]) - want) > 1 and first == 0:
                problems.append("%s: offset %d media units, ffprobe start %s" % (name, want, stream["start_pts"]))
    return problems


FFMPEG_MOVIES = {
    # name: ffmpeg arguments after the inputs' generators
    "two-tracks.mov": ["-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=2",
                       "-f", "lavfi", "-i", "sine=frequency=440:duration=2",
                       "-c:v", "mpeg4", "-c:a", "aac"],
    "itsoffset.mov": ["-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=2",
                      "-itsoffset", "1.5", "-f", "lavfi", "-i", "sine=frequency=440:duration=2",
                      "-map", "0", "-map", "1", "-c:v", "mpeg4", "-c:a", "pcm_s16be"],
    "timecode.mov": ["-f", "lavfi", "-i", "testsrc=size=160x120:rate=30:duration=1",
                     "-c:v", "mpeg4", "-timecode", "01:00:00:00"],
    "odd-scale.mov": ["-f", "lavfi", "-i", "testsrc=size=160x120:rate=30000/1001:duration=1",
                      "-c:v", "mpeg4", "-video_track_timescale", "23809"],
    "moov-at-end.mp4": ["-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=3", "-c:v", "mpeg4"],
    "faststart.mp4": ["-f", "lavfi", "-i", "sine=duration=3", "-c:a", "aac", "-movflags", "+faststart"],
    "fragmented.mp4": ["-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=3",
                       "-f", "lavfi", "-i", "sine=duration=3", "-c:v", "mpeg4", "-g", "10", "-c:a", "aac",
                       "-movflags", "frag_keyframe+empty_moov"],
    "pcm-long.mov": ["-f", "lavfi", "-i", "sine=sample_rate=48000:duration=20", "-c:a", "pcm_s16le"],
}


def make_ffmpeg_movies(folder):
    paths = []
    for name, args in FFMPEG_MOVIES.items():
        path = os.path.join(folder, name)
        subprocess.run(["ffmpeg", "-v", "error", "-y"] + args + [path], check=True)
        paths.append(path)
    return paths


def check_fails_cleanly(tool, path):
    """A damaged file: moviedump either prints a movie or says why not."""
    run = subprocess.run([tool, path], capture_output=True, text=True, timeout=60)
    if run.returncode == 0:
        json.loads(run.stdout)
        return []
    if run.returncode == 1 and re.match(r"^error -?\d+: .+", run.stderr):
        return []
    return ["exit %d: %s" % (run.returncode, run.stderr.strip()[:200])]


def main():
    args = sys.argv[1:]
    if args and args[0] == "--malformed":
        tool, folder = args[1], args[2]
        names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
        if not names:
            print("%s: no files to check" % folder, file=sys.stderr)
            return 1
        failed = False
        for name in names:
            for p in check_fails_cleanly(tool, os.path.join(folder, name)):
                print("%s: %s" % (name, p), file=sys.stderr)
                failed = True
        return 1 if failed else 0
    make = "--make-ffmpeg-movies" in args
    args = [a for a in args if a != "--make-ffmpeg-movies"]
    tool, targets = args[0], args[1:]
    files = []
    for t in targets:
        if os.path.isdir(t):
            files += sorted(os.path.join(t, f) for f in os.listdir(t))
        else:
            files.append(t)
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        if make:
            files += make_ffmpeg_movies(tmp)
        for path in files:
            problems = compare(tool, path)
            for p in problems:
                print("%s: %s" % (os.path.basename(path), p), file=sys.stderr)
            failed = failed or bool(problems)
        print("%d files compared" % len(files))
    if not files:
        print("no files to compare", file=sys.stderr)
        return 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
