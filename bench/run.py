#!/usr/bin/python3
"""Whole-process benchmark: Trelmo, the Python peer and the floor (copying the
input and the output file), run alternately on the inputs of generate.py.
Prints medians, ratios and peak memory as a Markdown table, and checks that
Trelmo and the peer wrote the same XML (compared in canonical form). Each case
is converted again with its schema naming an XSD (x.dsd), which the output
must meet, beside libxml2's own streaming parse of the output (xmllint
--stream), the floor of any check that reads the output, and xmllint's own
streaming validation against the same XSD. With
--window, the same conversion through the conversion window is timed too, and
its file must be the command line's, byte for byte.

Usage: run.py --exe TRELMO --data FOLDER [--window WINDOW_BENCH] [--rounds N] [--cases abc]
Normally started through bench/run, which builds a Release executable first.
"""

import argparse
import hashlib
import os
import statistics
import subprocess
import sys
import tempfile
import time

from lxml import etree

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = {
    "a": "32,767 × 20, UTF-8",
    "b": "32,767 × 200, UTF-8",
    "c": "32,767 × 20, CP932 → Shift_JIS",
}


def timed(argv):
    """Runs argv; returns (wall seconds, peak resident KB, exit status, stderr).
    The command is started by /usr/bin/time, a small process: a child forked
    straight from this one would count this process's memory as its own peak."""
    # What earlier runs wrote is flushed first, so that its writeback does not
    # slow down this run's own writing.
    os.sync()
    with tempfile.NamedTemporaryFile("r") as report:
        start = time.perf_counter()
        proc = subprocess.run(["/usr/bin/time", "-q", "-f", "%M", "-o", report.name] + argv,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        wall = time.perf_counter() - start
        peak = int(report.read().split()[-1])
    return wall, peak, proc.returncode, proc.stderr.decode("utf-8", "replace")


def canonical_digest(path):
    parser = etree.XMLParser(resolve_entities=False, no_network=True, huge_tree=True)
    tree = etree.parse(path, parser)
    return hashlib.sha256(etree.tostring(tree, method="c14n", with_comments=True)).hexdigest()


def remove(*paths):
    for path in paths:
        if os.path.exists(path):
            os.remove(path)


def ensure_data(folder):
    stamp = os.path.join(folder, "stamp")
    with open(os.path.join(HERE, "generate.py"), "rb") as f:
        want = hashlib.sha256(f.read()).hexdigest()
    if os.path.exists(stamp) and open(stamp).read() == want:
        return
    print("Generating the inputs in %s ..." % folder, file=sys.stderr)
    subprocess.run([sys.executable, os.path.join(HERE, "generate.py"), folder], check=True)
    with open(stamp, "w") as f:
        f.write(want)


def run_case(case, args, out):
    csv_path = os.path.join(args.data, case + ".csv")
    dsd_path = os.path.join(args.data, case + ".dsd")
    mine = os.path.join(out, case + ".trelmo.xml")
    peer = os.path.join(out, case + ".peer.xml")
    window = os.path.join(out, case + ".window.xml")
    checked = os.path.join(out, case + ".xsd.xml")
    xsd_path = os.path.join(args.data, ("b" if case == "b" else "a") + ".xsd")
    copy1, copy2 = os.path.join(out, case + ".copy1"), os.path.join(out, case + ".copy2")
    commands = {
        "trelmo": [args.exe, csv_path, dsd_path, mine],
        # Right after the command line, so that both run in the same conditions.
        "window": [args.window, csv_path, dsd_path, window],
        "peer": [sys.executable, os.path.join(HERE, "peer.py"), csv_path, dsd_path, peer],
        # The floor: read and write every byte of the input and of the output.
        "floor": ["/bin/sh", "-c", 'cat "$1" > "$3" && cat "$2" > "$4"', "floor", csv_path, mine, copy1, copy2],
        "xsd": [args.exe, csv_path, os.path.join(args.data, case + "x.dsd"), checked],
        "parse": ["xmllint", "--noout", "--stream", checked],
        "xmllint": ["xmllint", "--noout", "--stream", "--schema", xsd_path, checked],
    }
    if not args.window:
        del commands["window"]
    outputs = {"trelmo": mine, "peer": peer, "window": window, "xsd": checked}
    for name in outputs:
        if name not in commands:
            continue
        remove(outputs[name])
        _, _, code, err = timed(commands[name])
        if code != 0:
            sys.exit("%s failed on case %s (exit %d): %s" % (name, case, code, err))
    same = canonical_digest(mine) == canonical_digest(peer)
    window_same = None
    if args.window:
        with open(mine, "rb") as a, open(window, "rb") as b:
            window_same = a.read() == b.read()
    times = {name: [] for name in commands}
    memory = {name: [] for name in commands}
    for _ in range(args.rounds):
        for name, argv in commands.items():
            if name not in ("parse", "xmllint"):  # these read the checked output
                remove(outputs.get(name, copy1))
            if name == "floor":
                remove(copy2)
            wall, rss, code, err = timed(argv)
            if code != 0:
                sys.exit("%s failed on case %s (exit %d): %s" % (name, case, code, err))
            times[name].append(wall)
            memory[name].append(rss)
    result = {name: statistics.median(values) for name, values in times.items()}
    result["mem"] = max(memory["trelmo"]) * 1024
    result["xsd_mem"] = max(memory["xsd"]) * 1024
    result["xsd_out"] = os.path.getsize(checked)
    result["peer_mem"] = max(memory["peer"]) * 1024
    result["in"] = os.path.getsize(csv_path)
    result["out"] = os.path.getsize(mine)
    result["same"] = same
    if args.window:
        result["window_mem"] = max(memory["window"]) * 1024
        result["window_same"] = window_same
    remove(copy1, copy2)
    return result


def mb(n):
    return "%.1f MB" % (n / 1e6)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--window")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--cases", default="abc")
    args = parser.parse_args()

    ensure_data(args.data)
    out = os.path.join(args.data, "out")
    os.makedirs(out, exist_ok=True)
    load_before = os.getloadavg()
    results = {}
    for case in args.cases:
        print("case %s ..." % case, file=sys.stderr)
        results[case] = run_case(case, args, out)
    load_after = os.getloadavg()

    print("| case | input | output | Trelmo | peer | floor | peer / Trelmo | Trelmo / floor "
          "| Trelmo peak memory | memory / output | peer peak memory | same XML |")
    print("|---|---|---|---|---|---|---|---|---|---|---|---|")
    for case, r in results.items():
        print("| (%s) %s | %s | %s | %.3f s | %.2f s | %.3f s | %.1f× | %.1f× | %s | %.2f× | %s | %s |" % (
            case, CASES[case], mb(r["in"]), mb(r["out"]), r["trelmo"], r["peer"], r["floor"],
            r["peer"] / r["trelmo"], r["trelmo"] / r["floor"], mb(r["mem"]), r["mem"] / r["out"],
            mb(r["peer_mem"]), "yes" if r["same"] else "NO"))
    if args.window:
        print()
        print("| case | command line | window | window / command line | command line peak memory "
              "| window peak memory | window / command line | same file |")
        print("|---|---|---|---|---|---|---|---|")
        for case, r in results.items():
            print("| (%s) %s | %.3f s | %.3f s | %.2f× | %s | %s | %.2f× | %s |" % (
                case, CASES[case], r["trelmo"], r["window"], r["window"] / r["trelmo"], mb(r["mem"]),
                mb(r["window_mem"]), r["window_mem"] / r["mem"], "yes" if r["window_same"] else "NO"))
    print()
    print("| case | Trelmo | Trelmo + XSD | + XSD / Trelmo | xmllint parse only (floor) | Trelmo + floor "
          "| xmllint + XSD | + XSD peak memory | memory / output |")
    print("|---|---|---|---|---|---|---|---|---|")
    for case, r in results.items():
        print("| (%s) %s | %.3f s | %.3f s | %.2f× | %.3f s | %.3f s | %.3f s | %s | %.2f× |" % (
            case, CASES[case], r["trelmo"], r["xsd"], r["xsd"] / r["trelmo"], r["parse"],
            r["trelmo"] + r["parse"], r["xmllint"], mb(r["xsd_mem"]), r["xsd_mem"] / r["xsd_out"]))
    print()
    print("Medians of %d alternating rounds; load average %.2f before, %.2f after (%d cores)." % (
        args.rounds, load_before[0], load_after[0], os.cpu_count()))

    checks = []
    if "a" in results and "c" in results:
        checks.append(("(c) within 1.2× of (a)", results["c"]["trelmo"] <= 1.2 * results["a"]["trelmo"]))
    if "b" in results and args.window:
        b = results["b"]
        checks.append(("(b) the window within 1.5× the command line's time", b["window"] <= 1.5 * b["trelmo"]))
        checks.append(("(b) the window within 1.5× the command line's peak memory",
                       b["window_mem"] <= 1.5 * b["mem"]))
    for case, r in results.items():
        if args.window:
            checks.append(("(%s) the window writes the command line's file" % case, r["window_same"]))
        floor = 3.5 if case == "c" else 3
        checks.append(("(%s) within %g× of the floor" % (case, floor), r["trelmo"] <= floor * r["floor"]))
        checks.append(("(%s) at least 25× faster than the peer" % case, r["peer"] >= 25 * r["trelmo"]))
        checks.append(("(%s) peak memory below 2.5× the output" % case, r["mem"] < 2.5 * r["out"]))
        checks.append(("(%s) same canonical XML as the peer" % case, r["same"]))
        # Where parsing the output alone costs more than 2× the conversion, the check is held to that floor.
        xsd_bound = max(3 * r["trelmo"], 1.2 * (r["trelmo"] + r["parse"]))
        checks.append(("(%s) the XSD check within 3× (or 1.2× conversion + parse)" % case, r["xsd"] <= xsd_bound))
        checks.append(("(%s) peak memory with the XSD check below 2.5× the output" % case,
                       r["xsd_mem"] < 2.5 * r["xsd_out"]))
    print()
    for text, ok in checks:
        print("- %s: %s" % (text, "met" if ok else "NOT met"))
    return 0 if all(ok for _, ok in checks) else 1


if __name__ == "__main__":
    sys.exit(main())
