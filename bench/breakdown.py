#!/usr/bin/python3
"""Where the time of one conversion goes, per case: CPU time by stage from
`perf record` (every sample is 0.1 ms of CPU, put into a stage by its kernel
stack and the function it was in), the wall time of fsync and rename from
`strace`, and the wall time of a process that starts and stops at once.
Medians over the rounds. Needs perf (Debian's linux-perf) and strace, and a
Release build with the inputs of bench/run:

Usage: breakdown.py --exe TRELMO --data FOLDER [--rounds N] [--cases abc]
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

STAGES = ["process start and exit", "reading", "decoding", "field split", "records' memory", "value checks",
          "escaping and markup", "encoding", "writing", "fsync and rename", "other"]

# Kernel functions on a sample's stack that name the stage, looked for from the top.
KERNEL = [
    (re.compile(r"do_fsync|__x64_sys_fsync|__x64_sys_rename"), "fsync and rename"),
    (re.compile(r"ksys_write|sync_file_range|do_writepages"), "writing"),
    (re.compile(r"ksys_read|filemap_read|vm_mmap|do_sys_openat"), "reading"),
    (re.compile(r"execve|load_elf_binary|do_exit|exit_mmap|do_group_exit"), "process start and exit"),
    (re.compile(r"exc_page_fault|do_brk|__x64_sys_munmap"), "records' memory"),
]
# The function a user-space sample was in.
USER = [
    (re.compile(r"_dl_|do_lookup_x|check_match|ld-linux|strcmp$|^_init$"), "process start and exit"),
    (re.compile(r"firstInvalidUtf8|validate_utf8|Cp932Decoder|decodeFileText"), "decoding"),
    (re.compile(r"readRecords|splitRecords|classifyLines|FieldScan|scanFields|LineCursor|RecordFields|StripFieldQuotes|"
                r"dataSourceValue|memchr"),
     "field split"),
    (re.compile(r"malloc|free|_int_|memmove|memcpy|memset|operator new|operator delete|cfree"), "records' memory"),
    (re.compile(r"OutputEncoding|iconv|gconv|putOutsideTable"), "encoding"),
    (re.compile(r"ContentCheck|plainUtf8|RecordWriter::write$|RecordWriter::writePlain$"), "value checks"),
    (re.compile(r"XmlWriter|StreamedSave|Fragment|RecordWriter|Convert2XML|writeRecords|Maker|ChunkQueue"),
     "escaping and markup"),
    (re.compile(r"AtomicFile|__libc_write|write$"), "writing"),
]


def stage_of(stack):
    """stack: frames, innermost first, as (symbol, dso)."""
    for symbol, dso in stack:
        if "kernel" not in dso:
            break
        for pattern, stage in KERNEL:
            if pattern.search(symbol):
                return stage
    for symbol, dso in stack:
        if "kernel" in dso:
            continue
        for pattern, stage in USER:
            if pattern.search(symbol) or pattern.search(os.path.basename(dso)):
                return stage
        break
    return "other"


def profile(argv):
    with tempfile.TemporaryDirectory() as folder:
        data = os.path.join(folder, "perf.data")
        subprocess.run(["perf", "record", "-q", "-e", "cpu-clock", "-c", "100000", "-g", "-o", data, "--"] + argv,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        script = subprocess.run(["perf", "script", "-i", data, "-F", "ip,sym,dso"], check=True,
                                capture_output=True, text=True).stdout
    counts = {stage: 0 for stage in STAGES}
    for sample in script.split("\n\n"):
        stack = []
        for line in sample.strip().splitlines():
            match = re.match(r"\s*[0-9a-f]+\s+(.*?)\s+\((.*)\)\s*$", line)
            if match:
                stack.append((re.sub(r"\+0x[0-9a-f]+$", "", match.group(1)), match.group(2)))
        if stack:
            counts[stage_of(stack)] += 1
    return {stage: n * 0.1 for stage, n in counts.items()}  # ms


def sync_time(argv):
    with tempfile.NamedTemporaryFile("r") as log:
        subprocess.run(["strace", "-f", "--seccomp-bpf", "-T", "-e", "trace=fsync,rename", "-o", log.name] + argv,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return 1000 * sum(float(t) for t in re.findall(r"<([0-9.]+)>", log.read()))


def wall(argv):
    start = time.perf_counter()
    subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return 1000 * (time.perf_counter() - start)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--cases", default="abc")
    args = parser.parse_args()
    out = os.path.join(args.data, "out", "breakdown.xml")
    rows = {}
    for case in args.cases:
        argv = [args.exe, os.path.join(args.data, case + ".csv"), os.path.join(args.data, case + ".dsd"), out]
        samples = {"wall": [], "fsync and rename (wall)": [], "start and exit (wall)": []}
        cpu = {stage: [] for stage in STAGES}
        for _ in range(args.rounds):
            for measure in ("wall", "sync", "profile"):
                if os.path.exists(out):
                    os.remove(out)
                if measure == "wall":
                    samples["wall"].append(wall(argv))
                elif measure == "sync":
                    samples["fsync and rename (wall)"].append(sync_time(argv))
                else:
                    for stage, ms in profile(argv).items():
                        cpu[stage].append(ms)
            samples["start and exit (wall)"].append(wall([args.exe, "/nonexistent.csv", "/nonexistent.dsd", out]))
        rows[case] = {name: statistics.median(v) for name, v in samples.items()}
        rows[case].update({stage: statistics.median(v) for stage, v in cpu.items()})
        print("case %s done" % case, file=sys.stderr)
    names = ["wall"] + STAGES + ["fsync and rename (wall)", "start and exit (wall)"]
    print("| ms | " + " | ".join("(%s)" % case for case in rows) + " |")
    print("|---|" + "---|" * len(rows))
    for name in names:
        label = "whole run (wall)" if name == "wall" else name if "(wall)" in name else name + " (CPU)"
        print("| %s | %s |" % (label, " | ".join("%.1f" % rows[case][name] for case in rows)))
    print()
    print("Medians of %d rounds; load average %.2f (%d cores)." % (args.rounds, os.getloadavg()[0], os.cpu_count()))
    if os.path.exists(out):
        os.remove(out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
