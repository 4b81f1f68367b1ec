#!/usr/bin/env python3
"""Seeds for the movie fuzzers: the header atoms of every corpus file (media
data cut to a few bytes, so that seeds stay small and runs fast), and movies
made with FFmpeg: plain, fragmented, with a compressed header (cmov, made
here from a plain one) and referring to their data through 'url ' and
'alis' references. The writer fuzzer's seeds carry its control bytes first.

usage: make-seeds.py CORPUS_DIR... OUT_DIR
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

CONTAINERS = {b"moov", b"trak", b"mdia", b"minf", b"stbl", b"dinf", b"edts", b"udta", b"moof", b"traf", b"mvex"}
MAX_SEED = 256 * 1024
CONTROL = [bytes(8), bytes([1, 2, 3, 4, 0x20, 0x40, 0x60, 3]), bytes([5, 4, 1, 0, 0x85, 0x10, 0x7F, 0])]


def atoms(data, start=0, end=None):
    end = len(data) if end is None else end
    pos = start
    while end - pos >= 8:
        size, kind = struct.unpack(">I4s", data[pos:pos + 8])
        header = 8
        if size == 1 and end - pos >= 16:
            size = struct.unpack(">Q", data[pos + 8:pos + 16])[0]
            header = 16
        elif size == 0:
            size = end - pos
        if size < header or pos + size > end:
            yield kind, pos, end - pos, header
            return
        yield kind, pos, size, header
        pos += size


def header_only(data):
    """The top-level atoms with media data cut to 16 bytes."""
    out = bytearray()
    for kind, pos, size, header in atoms(data):
        if kind == b"mdat":
            out += struct.pack(">I4s", 24, b"mdat") + data[pos + header:pos + header + 16].ljust(16, b"\0")
        else:
            out += data[pos:pos + size]
    return bytes(out)


def rebuild(data, start, end, change):
    """The atoms in data[start:end] with change(kind, body) applied to each leaf
    (returning new body bytes) and container sizes fixed."""
    out = bytearray()
    for kind, pos, size, header in atoms(data, start, end):
        if kind in CONTAINERS:
            body = rebuild(data, pos + header, pos + size, change)
        else:
            body = change(kind, data[pos + header:pos + size])
        out += struct.pack(">I4s", len(body) + 8, kind) + body
    return bytes(out)


def compressed(data):
    """The movie with its moov replaced by a cmov holding it."""
    out = bytearray()
    for kind, pos, size, header in atoms(data):
        if kind != b"moov":
            out += data[pos:pos + size]
            continue
        moov = data[pos:pos + size]
        z = zlib.compress(moov, 9)
        dcom = struct.pack(">I4s4s", 12, b"dcom", b"zlib")
        cmvd = struct.pack(">I4sI", 12 + len(z), b"cmvd", len(moov)) + z
        cmov = struct.pack(">I4s", 8 + len(dcom) + len(cmvd), b"cmov") + dcom + cmvd
        out += struct.pack(">I4s", 8 + len(cmov), b"moov") + cmov
    return bytes(out)


def referring(data, entry):
    """The movie with every data reference replaced by entry (type, bytes)."""
    kind, payload = entry

    def change(k, body):
        if k != b"dref":
            return body
        e = struct.pack(">I4sI", 12 + len(payload), kind, 0) + payload
        return body[:4] + struct.pack(">I", 1) + e
    out = bytearray()
    for k, pos, size, header in atoms(data):
        out += rebuild(data, pos, pos + size, change) if k == b"moov" else data[pos:pos + size]
    return bytes(out)


def alias_record(path):
    name = os.path.basename(path).encode()
    fixed = bytearray(150)
    struct.pack_into(">4sHH", fixed, 0, b"\0\0\0\0", 150, 2)
    fixed[10] = 4
    fixed[11:15] = b"Disk"
    fixed[50] = len(name)
    fixed[51:51 + len(name)] = name
    struct.pack_into(">hh", fixed, 134, 1, 1)
    extra = struct.pack(">hh", 18, len(path)) + path.encode() + (b"\0" if len(path) % 2 else b"")
    extra += struct.pack(">hh", -1, 0)
    record = bytes(fixed) + extra
    struct.pack_into(">H", bytearray(record), 4, len(record))
    return record


def ffmpeg_movies(folder):
    made = {}
    base = ["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=1",
            "-f", "lavfi", "-i", "sine=duration=1", "-c:v", "mpeg4", "-c:a", "pcm_s16le"]
    recipes = {
        "plain.mov": [],
        "fragmented.mp4": ["-movflags", "frag_keyframe+empty_moov", "-c:a", "aac"],
        "faststart.mp4": ["-movflags", "faststart", "-c:a", "aac"],
        "edits.mov": ["-ss", "0.3"],
    }
    for name, extra in recipes.items():
        path = os.path.join(folder, name)
        try:
            subprocess.run(base + extra + [path], check=True, timeout=60)
            with open(path, "rb") as f:
                made[name] = f.read()
        except (OSError, subprocess.SubprocessError):
            pass
    if "plain.mov" in made:
        plain = made["plain.mov"]
        made["cmov.mov"] = compressed(plain)
        made["url-ref.mov"] = referring(plain, (b"url ", b"file:///tmp/elsewhere.mov\0"))
        made["relative-ref.mov"] = referring(plain, (b"url ", b"../media/data.mov\0"))
        made["alias-ref.mov"] = referring(plain, (b"alis", alias_record("/tmp/elsewhere.mov")))
    return made


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    out = sys.argv[-1]
    reader = os.path.join(out, "reader")
    writer = os.path.join(out, "writer")
    os.makedirs(reader, exist_ok=True)
    os.makedirs(writer, exist_ok=True)
    seeds = {}
    for folder in sys.argv[1:-1]:
        for root, _, files in os.walk(folder):
            for name in files:
                with open(os.path.join(root, name), "rb") as f:
                    seeds[name] = header_only(f.read())
    with tempfile.TemporaryDirectory() as tmp:
        for name, data in ffmpeg_movies(tmp).items():
            seeds["ffmpeg-" + name] = header_only(data)
    kept = 0
    for name, data in sorted(seeds.items()):
        if not data or len(data) > MAX_SEED:
            continue
        kept += 1
        with open(os.path.join(reader, name), "wb") as f:
            f.write(data)
        for i, control in enumerate(CONTROL):
            with open(os.path.join(writer, "%s.%d" % (name, i)), "wb") as f:
                f.write(control + data)
    print("%d seeds in %s" % (kept, out))


if __name__ == "__main__":
    main()
