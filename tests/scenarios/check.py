#!/usr/bin/env python3
"""Runs scenario scripts through orvo-scenario and checks what they showed.

A .scn file is one script; a .cases file holds several small ones, separated
by lines of three dashes. Each script states what it must show in comment
lines that start with "#!" (the driver skips them like any comment):

    #! status N                  exit status (0 when not stated)
    #! stderr TEXT               standard error contains TEXT
    #! json SOURCE PATH VALUE    the JSON in SOURCE (a file the script wrote,
                                 or stdout:N for the Nth line of standard
                                 output) has VALUE (JSON) at PATH
    #! missing FILE              the script did not write FILE
    #! png FILE W H              FILE is a PNG of W by H pixels
    #! wav FILE TICKS            FILE is a 48 kHz 16-bit stereo WAV of TICKS ticks
    #! identical-runs            a second run writes the same bytes
    #! moviedump FILE PATH VALUE what build/moviedump makes of FILE
    #! ffprobe FILE PATH VALUE   what ffprobe -show_streams makes of FILE
                                 (following references, packets counted)
    #! same FILE ORIGINAL        FILE holds the bytes of ORIGINAL

A script that saves works on copies in its work directory, never on the
originals beside it:

    #! copy FILE [NAME]          copies FILE into the work directory first
    #! readonly DIR              makes an empty folder that cannot be written

and "$WORK" in the script stands for the work directory. Other relative
paths start from the script's folder; FILE in the checks from the work
directory, ORIGINAL from the script's folder.

PATH is dot-separated: object keys, array indices, and "#" for the length
of an array (windows.0.items.2.text, windows.#, menus.129.enabled).

usage: check.py ORVO_SCENARIO SCRIPT WORKDIR
"""
import json
import os
import shutil
import subprocess
import sys


def split_cases(text):
    cases, current = [], []
    for line in text.splitlines():
        if line.strip() == "---":
            cases.append(current)
            current = []
        else:
            current.append(line)
    cases.append(current)
    return [c for c in cases if any(l.strip() and not l.lstrip().startswith("#") for l in c)]


def directives(lines):
    out = []
    for line in lines:
        s = line.strip()
        if s.startswith("#!"):
            words = s[2:].strip().split(None, 1)
            out.append((words[0], words[1] if len(words) > 1 else ""))
    return out


def prepare(lines, script_dir, workdir):
    if os.path.exists(workdir):
        for root, dirs, _ in os.walk(workdir):
            for d in dirs:
                os.chmod(os.path.join(root, d), 0o755)
        shutil.rmtree(workdir)
    os.makedirs(workdir)
    for kind, arg in directives(lines):
        if kind == "copy":
            words = arg.split()
            shutil.copy(os.path.join(script_dir, words[0]),
                        os.path.join(workdir, words[1] if len(words) > 1 else os.path.basename(words[0])))
        elif kind == "readonly":
            os.makedirs(os.path.join(workdir, arg), 0o555)


def run(driver, script_lines, script_dir, workdir, name):
    prepare(script_lines, script_dir, workdir)
    # The script lives beside the originals so that relative paths in it
    # start where its author meant them to.
    script = os.path.join(script_dir, ".%s.%d.scn" % (name, os.getpid()))
    with open(script, "w", encoding="utf-8") as f:
        f.write("\n".join(script_lines) + "\n")
    try:
        p = subprocess.run([driver, script], cwd=workdir, capture_output=True, timeout=120)
    finally:
        os.remove(script)
    return p


def lookup(value, path):
    for part in path.split("."):
        if part == "#":
            value = len(value)
        elif isinstance(value, list):
            value = value[int(part)]
        else:
            value = value[part]
    return value


def check_media(kind, path, numbers):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        return "cannot read (%s)" % e
    if kind == "png":
        if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
            return "not a PNG"
        size = [int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")]
        return "" if size == numbers else "%d by %d pixels" % tuple(size)
    if data[:4] != b"RIFF" or data[8:16] != b"WAVEfmt ":
        return "not a WAV file"
    channels, rate, bits = (int.from_bytes(data[22:24], "little"), int.from_bytes(data[24:28], "little"),
                            int.from_bytes(data[34:36], "little"))
    frames = int.from_bytes(data[40:44], "little") // 4
    if (channels, rate, bits) != (2, 48000, 16):
        return "%d channels, %d Hz, %d bits" % (channels, rate, bits)
    return "" if frames == numbers[0] * 800 else "%d frames, not %d ticks" % (frames, numbers[0])


def outputs(workdir, proc):
    files = {"<stdout>": proc.stdout}
    for entry in sorted(os.listdir(workdir)):
        if os.path.isfile(os.path.join(workdir, entry)):
            with open(os.path.join(workdir, entry), "rb") as f:
                files[entry] = f.read()
    return files


def reader_json(command):
    p = subprocess.run(command, capture_output=True, timeout=120)
    if p.returncode != 0:
        raise ValueError(p.stderr.decode("utf-8", "replace").strip())
    return json.loads(p.stdout)


def json_of(kind, source, driver, workdir, stdout_lines):
    if kind == "moviedump":
        return reader_json([os.path.join(os.path.dirname(driver), "moviedump"), os.path.join(workdir, source)])
    if kind == "ffprobe":
        return reader_json(["ffprobe", "-v", "error", "-enable_drefs", "1", "-count_packets", "-show_streams",
                            "-of", "json", os.path.join(workdir, source)])
    if source.startswith("stdout:"):
        return json.loads(stdout_lines[int(source[7:]) - 1])
    with open(os.path.join(workdir, source), encoding="utf-8") as f:
        return json.load(f)


def check_case(driver, lines, script_dir, workdir, name):
    errors = []
    lines = [l.replace("$WORK", workdir) for l in lines]
    proc = run(driver, lines, script_dir, workdir, name)
    stdout_lines = proc.stdout.decode("utf-8").splitlines()
    stderr = proc.stderr.decode("utf-8")
    wanted_status = 0
    for kind, arg in directives(lines):
        if kind == "status":
            wanted_status = int(arg)
        elif kind == "stderr":
            if arg not in stderr:
                errors.append("standard error lacks %r" % arg)
        elif kind == "missing":
            if os.path.exists(os.path.join(workdir, arg)):
                errors.append("%s was written" % arg)
        elif kind in ("png", "wav"):
            problem = check_media(kind, os.path.join(workdir, arg.split()[0]), [int(n) for n in arg.split()[1:]])
            if problem:
                errors.append("%s: %s" % (arg.split()[0], problem))
        elif kind in ("copy", "readonly"):
            pass
        elif kind == "same":
            mine, original = arg.split()
            try:
                with open(os.path.join(workdir, mine), "rb") as a, open(os.path.join(script_dir, original), "rb") as b:
                    if a.read() != b.read():
                        errors.append("%s differs from %s" % (mine, original))
            except OSError as e:
                errors.append("%s: cannot read (%s)" % (mine, e))
        elif kind in ("json", "moviedump", "ffprobe"):
            source, path, expected = arg.split(None, 2)
            try:
                actual = lookup(json_of(kind, source, driver, workdir, stdout_lines), path)
            except (OSError, ValueError, IndexError, KeyError, TypeError) as e:
                errors.append("%s %s %s: cannot read (%s)" % (kind, source, path, e))
                continue
            if actual != json.loads(expected):
                errors.append("%s %s %s is %s, expected %s" % (kind, source, path, json.dumps(actual), expected))
        elif kind == "identical-runs":
            first = outputs(workdir, proc)
            again = run(driver, lines, script_dir, workdir + ".again", name)
            second = outputs(workdir + ".again", again)
            if first.keys() != second.keys():
                errors.append("two runs wrote different files: %s / %s" % (sorted(first), sorted(second)))
            for key in sorted(set(first) & set(second)):
                if first[key] != second[key]:
                    errors.append("two runs wrote different bytes to %s" % key)
        else:
            errors.append("unknown expectation #! %s" % kind)
    if proc.returncode != wanted_status:
        errors.append("exit status %d, expected %d" % (proc.returncode, wanted_status))
    if errors:
        errors.append("standard error was: %s" % stderr.strip())
    return errors


def main():
    driver, script, workdir = (os.path.abspath(a) for a in sys.argv[1:4])
    with open(script, encoding="utf-8") as f:
        text = f.read()
    cases = split_cases(text) if script.endswith(".cases") else [text.splitlines()]
    name = os.path.splitext(os.path.basename(script))[0]
    failed = 0
    for number, lines in enumerate(cases, 1):
        title = next((l.lstrip("# ").strip() for l in lines if l.startswith("# ")), "case %d" % number)
        errors = check_case(driver, lines, os.path.dirname(os.path.abspath(script)),
                            os.path.join(workdir, "case%d" % number), name)
        print("%s %s: %s" % ("FAIL" if errors else "ok  ", name, title))
        for e in errors:
            print("      " + e)
        failed += bool(errors)
    print("%d of %d cases failed" % (failed, len(cases)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
