#!/usr/bin/python3
"""Time and peak memory of the executable on hostile inputs (the tests check
what it does with them; this measures what it costs). Each input is written
into a temporary folder and converted once; the table shows the exit status,
the first message, the wall time and the peak resident memory against the
size of the largest input file.

Usage: hostile.py TRELMO   (bench/hostile builds a Release executable first)
"""

import os
import socket
import subprocess
import sys
import tempfile
import time

TEXT_SCHEMA = '<element name="r" root="t"><attribute name="k" DataSource="1"/><text DataSource="2"/></element>'
SMALL_CSV = b"1,a\r\n2,b\r\n"


def laughs():
    lines = ['<?xml version="1.0"?>', '<!DOCTYPE element [', '<!ENTITY l0 "ha">']
    for i in range(1, 12):
        lines.append('<!ENTITY l%d "%s">' % (i, ("&l%d;" % (i - 1)) * 10))
    lines += [']>', '<element name="&l11;" root="t"><text DataSource="1"/></element>']
    return "\n".join(lines).encode()


def external(target):
    return ('<?xml version="1.0"?>\n<!DOCTYPE element [<!ENTITY x SYSTEM "%s">]>\n'
            '<element name="r" root="&x;"><text DataSource="1"/></element>' % target).encode()


def unreachable_dtd(url):
    return ('<?xml version="1.0"?>\n<!DOCTYPE element SYSTEM "%s">\n'
            '<element name="r"><text DataSource="1"/></element>' % url).encode()


def nested(depth):
    return (b'<element name="r">' + b'<element name="e">' * depth + b'<text DataSource="1"/>' +
            b'</element>' * depth + b'</element>')


def many_elements(count):
    return b'<element name="r">' + b'<element name="e"/>' * (count - 1) + b'</element>'


def huge_attribute(size):
    return b'<element name="r" x="' + b"v" * size + b'"><text DataSource="1"/></element>'


def cases(listener_url):
    yield "CSV: 100 MB line without a line end", b"1,a\r\n2," + b"y" * (100 << 20), TEXT_SCHEMA.encode()
    yield "CSV: a field of 32,768 commas", b'1,"' + b"," * 32768 + b'"\r\n2,x\r\n', TEXT_SCHEMA.encode()
    yield "CSV: 32,768 commas unquoted", b"1," + b"," * 32768 + b"\r\n2,x\r\n", TEXT_SCHEMA.encode()
    yield "CSV: invalid CP932 bytes", b"1,a\r\n2,b\r\n3,\x85\x40\r\n", TEXT_SCHEMA.encode()
    yield "CSV: NUL bytes", b"1,a\x00b\r\n2,c\r\n", TEXT_SCHEMA.encode()
    yield "CSV: unterminated quote on the last line", b'1,a\r\n2,b\r\n3,"open\r\n', TEXT_SCHEMA.encode()
    yield "schema: billion laughs", SMALL_CSV, laughs()
    yield "schema: external entity, local file", SMALL_CSV, external("file:///etc/passwd")
    yield "schema: external entity, network", SMALL_CSV, external(listener_url + "/entity")
    yield "schema: document type on an unreachable host", SMALL_CSV, unreachable_dtd("http://192.0.2.1/s.dtd")
    yield "schema: document type on a local listener", SMALL_CSV, unreachable_dtd(listener_url + "/s.dtd")
    yield "schema: 100,000 levels of nesting", SMALL_CSV, nested(100000)
    yield "schema: 32,768 elements", SMALL_CSV, many_elements(32768)
    yield "schema: 50 MB attribute value", SMALL_CSV, huge_attribute(50 << 20)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    exe = sys.argv[1]
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    listener.setblocking(False)
    url = "http://127.0.0.1:%d" % listener.getsockname()[1]

    print("| input | exit | first message | time | peak memory | largest input | memory / input |")
    print("|---|---|---|---|---|---|---|")
    contacted = []
    with tempfile.TemporaryDirectory() as tmp:
        csv_path, dsd_path, out = (os.path.join(tmp, n) for n in ("in.csv", "s.dsd", "out.xml"))
        for name, csv, dsd in cases(url):
            with open(csv_path, "wb") as f:
                f.write(csv)
            with open(dsd_path, "wb") as f:
                f.write(dsd)
            if os.path.exists(out):
                os.remove(out)
            # Started by /usr/bin/time: a child forked from here would count this
            # process's memory (the inputs above) as its own peak.
            report = os.path.join(tmp, "time.txt")
            start = time.perf_counter()
            proc = subprocess.run(["/usr/bin/time", "-q", "-f", "%M", "-o", report, exe, csv_path, dsd_path, out],
                                  stderr=subprocess.PIPE)
            wall = time.perf_counter() - start
            message = proc.stderr.decode("utf-8", "replace").split("\r\n")[0][:60]
            largest = max(len(csv), len(dsd))
            with open(report) as f:
                rss = int(f.read().split()[-1]) * 1024
            ratio = "%.1f×" % (rss / largest) if largest >= 1e7 else "-"
            print("| %s | %d | %s | %.2f s | %.1f MB | %.2f MB | %s |" % (
                name, proc.returncode, message.replace("|", "\\|") or "(none)", wall,
                rss / 1e6, largest / 1e6, ratio))
            try:
                listener.accept()
                contacted.append(name)
            except BlockingIOError:
                pass
    print()
    print("Network contacts: %s" % (", ".join(contacted) if contacted else "none"))
    return 1 if contacted else 0


if __name__ == "__main__":
    sys.exit(main())
