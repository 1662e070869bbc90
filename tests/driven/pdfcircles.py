"""The circles a PDF page draws, measured in millimetres on the paper.

A circle or ellipse is drawn as one closed path of four Bezier curves (as Qt's PDF writer draws
an ellipse); its size across and down is that of the box through the four curves' end points,
taken through the transformation in force (cm, q, Q). Reads uncompressed and Flate streams of
the page contents; text, images and other objects are passed over.
"""

import re
import zlib

MM_PER_POINT = 25.4 / 72

OBJECT = re.compile(rb"(\d+)\s+(\d+)\s+obj\b(.*?)\bendobj", re.S)
TOKEN = re.compile(rb"\((?:\\.|[^\\)])*\)|<<|>>|<[0-9A-Fa-f\s]*>|\[|\]|/[^\s/\[\]()<>{}%]*|"
                   rb"[-+]?(?:\d+\.?\d*|\.\d+)|[A-Za-z'\"*]+|%[^\n]*")


def objects(data):
    """Each object's dictionary text and its stream (decoded; None without a stream)."""
    found = {}
    for match in OBJECT.finditer(data):
        body = match.group(3)
        stream = None
        start = re.search(rb"\bstream\r?\n", body)
        if start is not None:
            head = body[:start.start()]
            raw = body[start.end():body.rindex(b"endstream")]
            if b"/FlateDecode" in head:
                try:
                    raw = zlib.decompressobj().decompress(raw)
                except zlib.error:
                    raw = None
            elif b"/Filter" in head:
                raw = None
            stream = raw
            body = head
        found[int(match.group(1))] = (body, stream)
    return found


def page_contents(data):
    """The content streams of the pages, in the order of the file."""
    table = objects(data)
    streams = []
    for number in sorted(table):
        body, _ = table[number]
        if not re.search(rb"/Type\s*/Page\b", body):
            continue
        contents = re.search(rb"/Contents\s*(\[[^\]]*\]|\d+\s+\d+\s+R)", body)
        if contents is None:
            continue
        for reference in re.findall(rb"(\d+)\s+\d+\s+R", contents.group(1)):
            stream = table.get(int(reference), (None, None))[1]
            if stream is not None:
                streams.append(stream)
    return streams


def multiply(m, n):
    """The matrix m then n, as PDF writes [a b c d e f]."""
    a, b, c, d, e, f = m
    p, q, r, s, t, u = n
    return (a * p + b * r, a * q + b * s, c * p + d * r, c * q + d * s,
            e * p + f * r + t, e * q + f * s + u)


def apply(m, x, y):
    a, b, c, d, e, f = m
    return a * x + c * y + e, b * x + d * y + f


def circles(stream):
    """(across, down) in millimetres of every closed path of four curves in one stream."""
    found = []
    ctm = (1, 0, 0, 1, 0, 0)
    stack = []
    operands = []
    path = []       # segments of the current subpath: ("m"|"l"|"c", end point in page space)
    for token in TOKEN.findall(stream):
        if token[:1] == b"%":
            continue
        if re.fullmatch(rb"[-+]?(?:\d+\.?\d*|\.\d+)", token):
            operands.append(float(token))
            continue
        if not re.fullmatch(rb"[A-Za-z'\"*]+", token):
            operands = []
            continue
        op = token.decode()
        numbers = operands
        operands = []
        if op == "q":
            stack.append(ctm)
        elif op == "Q" and stack:
            ctm = stack.pop()
        elif op == "cm" and len(numbers) == 6:
            ctm = multiply(tuple(numbers), ctm)
        elif op == "m" and len(numbers) == 2:
            path = [("m", apply(ctm, *numbers))]
        elif op == "l" and len(numbers) == 2:
            path.append(("l", apply(ctm, *numbers)))
        elif op in ("c", "v", "y") and len(numbers) >= 4:
            path.append(("c", apply(ctm, *numbers[-2:])))
        elif op == "h" or op in ("s", "b", "b*"):
            curves = [point for kind, point in path if kind == "c"]
            if len(curves) == 4 and len(path) == 5:
                xs = [x for x, _ in curves]
                ys = [y for _, y in curves]
                found.append(((max(xs) - min(xs)) * MM_PER_POINT,
                              (max(ys) - min(ys)) * MM_PER_POINT))
            path = []
        elif op in ("S", "f", "F", "f*", "B", "B*", "n"):
            path = []
    return found


def pdf_circles(path):
    with open(path, "rb") as f:
        data = f.read()
    found = []
    for stream in page_contents(data):
        found += circles(stream)
    return found
