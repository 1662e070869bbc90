#!/usr/bin/env python3
"""Recomputes 200 seeded random P3G connections at 40 digits from the DIN 32711 formulas and
compares every result field with what the program's calculation prints.

Usage: p3goracle.py DRIVER   (exit code 0 when every field agrees)
"""
import random
import subprocess
import sys

from mpmath import mp, mpf, sqrt, nint, fabs

mp.dps = 40
PI = mp.pi

# Shaft k6 and hub H7 up to 500 mm: range limits, IT6, IT7 and the k deviation (micrometres).
LIMITS = [3, 6, 10, 18, 30, 50, 80, 120, 180, 250, 315, 400, 500]
IT6 = [6, 8, 9, 11, 13, 16, 19, 22, 25, 29, 32, 36, 40]
IT7 = [10, 12, 15, 18, 21, 25, 30, 35, 40, 46, 52, 57, 63]
K = [0, 1, 1, 1, 2, 2, 2, 3, 3, 4, 4, 4, 5]

NAMES = ("A Ip Wp Wpd1 Wx elim hmin d1min d1max d4min d4max fapp p pFA tau1 tau2 sigmab1 sigmab2 "
         "sigmav1 sigmav2 Sp1 Sp2 Se1 Se2 pa1 pa2 fWRe1 fWRe2 Pzul1 Pzul2 Wt1 Wt2 Wb1 Wb2 s1 s2 "
         "smin1 smin2 sRatio1 sRatio2 nueFs nueFw pFs1 pFs2 pFw1 pFw2 Ts Tw d1graf").split()


def size_range(size):
    n = int(fabs(size) - mpf("0.001"))
    for index, limit in enumerate(LIMITS):
        if n < limit:
            return index
    raise ValueError("size above 500 mm")


def polar_modulus(D, d):
    if D == 0 or not D > d:
        return mpf(0)
    return 2 * (PI / 32) * (D**4 - d**4) / D


def bending_modulus(D, d):
    if D == 0:
        return mpf(0)
    inertia = (PI / 64) * (D**4 - d**4) if D > d else mpf(0)
    return 2 * inertia / D


def calculate(c):
    d1, e1, d2, d3, d4, d5 = c["d1"], c["e1"], c["d2"], c["d3"], c["d4"], c["d5"]
    l, T, Mb, KA, fW = c["l"], c["T"], c["Mb"], c["KA"], c["fW"]
    dB1, dB2, case = c["dB1"], c["dB2"], c["case"]
    Re, fS, fH = c["Re"], c["fS"], c["fH"]
    out = {}
    r = size_range(d1)
    out["d1min"] = d1 + mpf(K[r]) / 1000
    out["d1max"] = d1 + mpf(K[r] + IT6[r]) / 1000
    r = size_range(d4)
    out["d4min"] = d4
    out["d4max"] = d4 + mpf(IT7[r]) / 1000
    out["d1graf"] = d1
    A = PI / 4 * d1**2 - 4 * PI * e1**2
    Ip = PI * d1**4 / 32 - 3 * PI / 4 * d1**2 * e1**2 - 6 * PI * e1**4
    Wp = A**4 * (d1 + 4 * e1) / (20 * Ip * d1 * (d1 + 8 * e1))
    Wx = Ip / d2
    out.update(A=A, Ip=Ip, Wp=Wp, Wpd1=2 * Ip / d1, Wx=Wx, elim=d1 / 16)
    out["hmin"] = ((d2 - d3) - (out["d4max"] - out["d1min"])) / 2
    s = [(d3 - dB1) / 2, max((fabs(dB2) - d5) / 2, mpf(0))]
    fapp = {1: mpf(1), 2: mpf("0.5"), 3: mpf("0.25")}[case]
    out["fapp"] = fapp
    bracket = d1**2 / 20 + 3 * PI / 4 * e1 * d1
    p = 1000 * T * KA / (l * bracket)
    out["p"] = p
    out["pFA"] = mpf(0) if e1 == 0 else 1000 * T * KA / (3 * l * e1 * d1)
    Wt = [Wp if dB1 == 0 else polar_modulus(d3, dB1), Wp if dB2 == 0 else polar_modulus(fabs(dB2), d2)]
    Wb = [Wx if dB1 == 0 else bending_modulus(d3, dB1), Wx if dB2 == 0 else bending_modulus(fabs(dB2), d2)]
    nueFs, nueFw = {1: (mpf("1.6"), mpf(4)), 2: (mpf("3.2"), mpf(8)), 3: (mpf("7.5"), mpf(16))}[case]
    pFs, pFw = [], []
    for i in range(2):
        n = str(i + 1)
        pzul = Re[i] * fH[i] * fS[i]
        pa = pzul * fW * fapp
        fWRe = Re[i] * fW
        tau = mpf(0) if Wt[i] == 0 else 1000 * T * KA / Wt[i]
        sigmab = mpf(0) if Wb[i] == 0 else 1000 * Mb * KA / Wb[i]
        sigmav = sqrt(3 * tau**2 + sigmab**2)
        out["Pzul" + n], out["pa" + n], out["fWRe" + n] = pzul, pa, fWRe
        out["tau" + n], out["sigmab" + n], out["sigmav" + n] = tau, max(sigmab, mpf(0)), sigmav
        out["Sp" + n] = mpf(0) if p == 0 else pa / p
        out["Se" + n] = mpf(0) if sigmav == 0 else fWRe / sigmav
        out["Wt" + n], out["Wb" + n], out["s" + n] = Wt[i], Wb[i], s[i]
        pFs.append(Re[i] / nueFs)
        pFw.append(Re[i] / nueFw)
        out["pFs" + n], out["pFw" + n] = pFs[i], pFw[i]
    radicand = [1000 * T / (Re[i] * l) if Re[i] > 0 else mpf(0) for i in range(2)]
    root = [sqrt(x) if x >= 0 else mpf(0) for x in radicand]
    smin = [root[0] if Re[0] > 0 else mpf(0),
            (mpf("1.44") if d4 <= 35 else mpf("1.2")) * root[1] if Re[1] > 0 else mpf(0)]
    for i in range(2):
        n = str(i + 1)
        out["smin" + n] = smin[i]
        out["sRatio" + n] = s[i] / smin[i] if smin[i] > 0 else mpf(0)
    out["nueFs"], out["nueFw"] = nueFs, nueFw
    G = l * bracket
    out["Ts"] = mpf(0) if KA == 0 else min(pFs) * G / (1000 * KA)
    out["Tw"] = mpf(0) if KA == 0 else min(pFw) * G / (1000 * KA)
    return out


def decimal(rng, low, high, digits):
    return round(rng.uniform(low, high), digits)


def random_connection(rng):
    d1 = decimal(rng, 10, 200, 2)
    e1 = 0.0 if rng.random() < 0.05 else decimal(rng, 0.01, d1 / 16, 3)
    d2, d3 = d1 + 2 * e1, d1 - 2 * e1
    l = decimal(rng, 0.4 * d1, 2 * d1, 2)
    fields = {
        "d1": d1, "e1": e1, "d2": round(d2, 3), "d3": round(d3, 3), "d4": d1, "d5": round(d2, 3),
        "l": l, "l1": decimal(rng, 0.9 * l, 1.2 * l, 2), "l2": decimal(rng, 0.9 * l, 1.2 * l, 2),
        "dB1": 0.0 if rng.random() < 0.5 else decimal(rng, 1, 0.8 * d3, 2),
        "dB2": 0.0 if rng.random() < 0.4 else decimal(rng, 1.1 * d2, 3 * d2, 2),
        "T": decimal(rng, -2000, 5000, 1), "Mb": decimal(rng, -500, 2000, 1),
        "KA": 0.0 if rng.random() < 0.05 else decimal(rng, 1, 2.5, 2),
        "fW": decimal(rng, 0.5, 1.5, 2), "case": rng.randint(1, 3),
        "Re": [0 if rng.random() < 0.05 else rng.randint(200, 1200) for _ in range(2)],
        "fS": [decimal(rng, 1, 1.5, 2) for _ in range(2)],
        "fH": [decimal(rng, 0.8, 1.2, 2) for _ in range(2)],
    }
    return fields


def input_line(c):
    values = [c["d1"], c["e1"], c["d2"], c["d3"], c["d4"], c["d5"], c["l"], c["l1"], c["l2"],
              c["dB1"], c["dB2"], c["T"], c["Mb"], c["KA"], c["fW"], c["case"],
              c["Re"][0], c["Re"][1], c["fS"][0], c["fS"][1], c["fH"][0], c["fH"][1]]
    return " ".join(repr(v) for v in values)


def exact(c):
    """The connection with every decimal read exactly, as the program reads its input."""
    e = {k: (mpf(repr(v)) if isinstance(v, float) else v) for k, v in c.items()}
    for key in ("fS", "fH"):
        e[key] = [mpf(repr(v)) for v in c[key]]
    return e


def main():
    rng = random.Random(32711)
    connections = [random_connection(rng) for _ in range(200)]
    text = "".join(input_line(c) + "\n" for c in connections)
    run = subprocess.run([sys.argv[1]], input=text, capture_output=True, text=True, check=True)
    lines = run.stdout.splitlines()
    if len(lines) != len(connections):
        print(f"driver printed {len(lines)} lines for {len(connections)} connections")
        return 1
    failures = 0
    for number, (c, line) in enumerate(zip(connections, lines), 1):
        expected = calculate(exact(c))
        values = line.split()
        if len(values) != len(NAMES):
            print(f"connection {number}: {line}")
            failures += 1
            continue
        for name, value in zip(NAMES, values):
            got, want = mpf(value), expected[name]
            if fabs(got - want) > max(mpf("1e-12") * fabs(want), mpf("1e-9")):
                print(f"connection {number} {name}: program {value}, oracle {mp.nstr(want, 20)}")
                failures += 1
    print(f"{len(connections)} connections, {len(NAMES)} fields each, {failures} disagreements")
    return 0 if failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
