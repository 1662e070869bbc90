#!/usr/bin/env python3
"""The circle measure of the driven walk on pages made here: an ellipse drawn under a scaling
transformation measures as the paper shows it, compressed or not; other paths are no circles."""

import os
import sys
import unittest
import zlib

# The source tree stays as checked out: no bytecode beside the scripts.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pdfcircles import MM_PER_POINT, pdf_circles  # noqa: E402

# A circle of 100 pt about (50, 50) as Qt writes one: four curves, closed, stroked.
CIRCLE = (b"100 50 m 100 77.6 77.6 100 50 100 c 22.4 100 0 77.6 0 50 c "
          b"0 22.4 22.4 0 50 0 c 77.6 0 100 22.4 100 50 c h S")


def page(content, compress):
    stream = zlib.compress(content) if compress else content
    flate = b" /Filter /FlateDecode" if compress else b""
    return (b"%PDF-1.4\n1 0 obj\n<< /Type /Page /Contents 2 0 R >>\nendobj\n"
            b"2 0 obj\n<< /Length " + str(len(stream)).encode() + flate + b" >>\nstream\n" +
            stream + b"\nendstream\nendobj\n%%EOF\n")


class PdfCirclesTest(unittest.TestCase):
    def measure(self, content, compress=True):
        folder = os.environ.get("TMPDIR", "/tmp")
        path = os.path.join(folder, "pdfcircles_test.%d.pdf" % os.getpid())
        with open(path, "wb") as f:
            f.write(page(content, compress))
        try:
            return [(round(a / MM_PER_POINT, 3), round(d / MM_PER_POINT, 3))
                    for a, d in pdf_circles(path)]
        finally:
            os.remove(path)

    def test_a_circle_under_a_stretching_transformation_measures_as_an_ellipse(self):
        content = b"q 0.5 0 0 -1 0 842 cm q 2 0 0 0.75 10 10 cm " + CIRCLE + b" Q Q"
        self.assertEqual(self.measure(content), [(100.0, 75.0)])
        self.assertEqual(self.measure(content, compress=False), [(100.0, 75.0)])

    def test_the_transformation_ends_with_its_group(self):
        content = b"q 3 0 0 3 0 0 cm Q " + CIRCLE
        self.assertEqual(self.measure(content), [(100.0, 100.0)])

    def test_lines_and_open_curves_are_no_circles(self):
        square = b"0 0 m 100 0 l 100 100 l 0 100 l h S "
        arc = b"100 50 m 100 77.6 77.6 100 50 100 c 22.4 100 0 77.6 0 50 c S "
        text = b"BT /F1 12 Tf (0 0 m 1 1 l h) Tj ET "
        self.assertEqual(self.measure(square + arc + text), [])


if __name__ == "__main__":
    unittest.main()
