#!/usr/bin/env python3
"""Times Skerrow against the peers a user would pick to save a video streamed
in pieces, on the same playlist in the same run: `ffmpeg -i URL -c copy`
and `yt-dlp -N 4`. The playlist's segments come from serve.py, which waits
before every answer as a distant server would (30 ms by default). Rounds
alternate the order of the three; the table gives medians, each tool's time
as a share of ffmpeg's, and each one's peak memory.

Usage: compare.py --skerrow PATH [--rounds 5] [--latency-ms 30]
                  [--playlist vod.m3u8] [--inputs DIR]

The inputs (make_inputs.py) are made once in DIR (default: a folder in
$XDG_CACHE_HOME/skerrow). Every saved file is checked: it must hold all the
playlist's frames.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def cache_folder():
    base = os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache")
    return os.path.join(base, "skerrow", "bench-stream-inputs")


def start_server(root, latency_ms, state):
    port_file = os.path.join(state, "port")
    server = subprocess.Popen([sys.executable, os.path.join(HERE, "serve.py"), "--root", root, "--latency-ms",
                               str(latency_ms), "--port-file", port_file], stdout=subprocess.DEVNULL)
    for _ in range(200):
        if os.path.exists(port_file) and open(port_file).read().strip():
            return server, int(open(port_file).read())
        time.sleep(0.05)
    server.kill()
    raise SystemExit("serve.py did not start")


def run(command, cwd):
    """Wall seconds and peak resident MiB of one command, which must succeed."""
    started = time.monotonic()
    child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.monotonic() - started
    errors = child.stderr.read().decode(errors="replace")
    if os.waitstatus_to_exitcode(status) != 0:
        raise SystemExit("%s failed:\n%s" % (" ".join(command), errors[-2000:]))
    return seconds, usage.ru_maxrss / 1024


def frames(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-count_packets", "-show_entries",
                          "stream=nb_read_packets", "-of", "csv=p=0", path], capture_output=True, text=True)
    # A playlist is also a program, so the count may come twice.
    counts = [line for line in out.stdout.split() if line.strip()]
    return int(counts[0]) if counts else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--skerrow", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--latency-ms", type=int, default=30)
    parser.add_argument("--playlist", default="vod.m3u8")
    parser.add_argument("--inputs", default=cache_folder())
    parser.add_argument("--peers", default="ffmpeg,yt-dlp", help="which peers run (comma-separated)")
    args = parser.parse_args()

    subprocess.run([sys.executable, os.path.join(HERE, "make_inputs.py"), "--out", args.inputs], check=True)
    state = tempfile.mkdtemp(prefix="skerrow-bench-stream-")
    server, port = start_server(args.inputs, args.latency_ms, state)
    url = "http://127.0.0.1:%d/%s" % (port, args.playlist)
    expected = frames(os.path.join(args.inputs, args.playlist))
    skerrow = os.path.abspath(args.skerrow)
    tools = {
        "skerrow": lambda out: [skerrow, "--download", url, "--output", out],
        "ffmpeg": lambda out: ["ffmpeg", "-v", "error", "-y", "-i", url, "-c", "copy", out],
        "yt-dlp": lambda out: ["yt-dlp", "-q", "--no-part", "-N", "4", "-o", out, url],
    }
    names = ["skerrow"] + [name for name in args.peers.split(",") if name]
    times = {name: [] for name in names}
    memory = {name: [] for name in names}
    try:
        for round_number in range(args.rounds):
            order = names[round_number % len(names):] + names[:round_number % len(names)]
            for name in order:
                folder = os.path.join(state, name)
                shutil.rmtree(folder, ignore_errors=True)
                os.makedirs(folder)
                out = os.path.join(folder, "out.mp4")
                seconds, peak = run(tools[name](out), folder)
                got = frames(out)
                if got != expected:
                    raise SystemExit("%s saved %d frames of %d" % (name, got, expected))
                times[name].append(seconds)
                memory[name].append(peak)
    finally:
        server.kill()
        shutil.rmtree(state, ignore_errors=True)

    reference = statistics.median(times[names[1]]) if len(names) > 1 else None
    print("| tool | rounds | median s | share of %s's time | peak memory (median) |" % (names[1] if reference else "-"))
    print("|---|---|---|---|---|")
    for name in names:
        median = statistics.median(times[name])
        share = "%.2fx" % (median / reference) if reference else "-"
        print("| %s | %d | %.2f | %s | %.1f MiB |" % (name, args.rounds, median, share,
                                                    statistics.median(memory[name])))


if __name__ == "__main__":
    main()
