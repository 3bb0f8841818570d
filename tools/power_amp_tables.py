#!/usr/bin/env python3
"""Derives the piecewise-cubic curves of the guitar power amp and prints them
as the C++ data file effects/drive/PowerAmpTables.cpp.

    python3 tools/power_amp_tables.py > effects/drive/PowerAmpTables.cpp

Each curve is fixed by its middle segment, which sets the character of the
curve around rest, and by its two saturation levels.  Between an anchor and a saturation level the
curve follows a smooth target: a power-law approach (1 - x)^q that leaves the
anchor with the anchor's own slope and arrives with zero slope, or, for the
cut-off side of a tube, an exponential tail.  Every other segment is the
cubic Hermite interpolant of that target between its two boundaries, with the
knot slopes limited (Fritsch-Carlson) so that each segment stays monotone.
The coefficients are expanded to the absolute input v, rounded to float, and
the constant term is chosen to split the rounding error between both ends.
"""

import math
import struct


def f32(x):
    return struct.unpack('f', struct.pack('f', x))[0]


def evaluate(c, v):
    return ((c[0] * v + c[1]) * v + c[2]) * v + c[3]


def slope(c, v):
    return (3.0 * c[0] * v + 2.0 * c[1]) * v + c[2]


# Share of a tail's mean slope left at its end.  A tail that arrived quite
# flat would let the rounding of its last cubic fold the curve back (or past
# the saturation level) just before the end.
END_SLOPE_SHARE = 0.02


def power_tail(anchor, y_anchor, m_anchor, end, level):
    """y_anchor at anchor with slope m_anchor, level at end, where the slope
    has fallen to END_SLOPE_SHARE of the mean."""
    span = end - anchor
    s = END_SLOPE_SHARE
    q = (m_anchor * span / (level - y_anchor) - s) / (1.0 - s)
    assert q > 1.0, q

    def f(v):
        x = min(max((v - anchor) / span, 0.0), 1.0)
        return level - (level - y_anchor) * ((1.0 - s) * (1.0 - x) ** q + s * (1.0 - x))

    def df(v):
        x = min(max((v - anchor) / span, 0.0), 1.0)
        return (level - y_anchor) / span * ((1.0 - s) * q * (1.0 - x) ** (q - 1.0) + s)

    return f, df


def exponential_tail(anchor, y_anchor, m_anchor, end, level):
    """level at end rising exponentially to y_anchor with slope m_anchor."""
    length = anchor - end
    ratio = m_anchor / (y_anchor - level)
    lo, hi = 1e-9, ratio
    for _ in range(200):  # k·e^(kL)/(e^(kL) − 1) = ratio, increasing in k
        k = 0.5 * (lo + hi)
        if k * math.exp(k * length) / math.expm1(k * length) < ratio:
            lo = k
        else:
            hi = k
    k = 0.5 * (lo + hi)
    beta = (y_anchor - level) / math.expm1(k * length)

    def f(v):
        return level + beta * math.expm1(k * (v - end))

    def df(v):
        return beta * k * math.exp(k * (v - end))

    return f, df


def limit_slopes(knots, values, slopes, fixed):
    """Fritsch-Carlson: every knot slope within three secant slopes of both
    neighbouring segments and of the same sign, so each Hermite segment of
    monotone data is monotone."""
    for i in range(len(knots)):
        secants = []
        if i > 0:
            secants.append((values[i] - values[i - 1]) / (knots[i] - knots[i - 1]))
        if i + 1 < len(knots):
            secants.append((values[i + 1] - values[i]) / (knots[i + 1] - knots[i]))
        bound = min(3.0 * abs(s) for s in secants)
        if any(s * slopes[i] < 0 for s in secants):
            assert i not in fixed
            slopes[i] = 0.0
        elif abs(slopes[i]) > bound:
            slopes[i] = math.copysign(bound, slopes[i])
    return slopes


def next_float(x, direction):
    bits = struct.unpack('<i', struct.pack('<f', x))[0]
    if x == 0.0:
        return math.copysign(1.4e-45, direction)
    step = 1 if (x > 0) == (direction > 0) else -1
    return struct.unpack('<f', struct.pack('<i', bits + step))[0]


def hermite(x0, x1, y0, y1, m0, m1):
    """The cubic through (x0, y0) and (x1, y1) with slopes m0, m1, in powers of
    the absolute input, rounded to float.

    The rounded cubic is kept inside its two knot values: it starts at or
    beyond y0 and ends at or short of y1, in the direction the curve moves.
    Where the rounding has left it too steep for that, its linear term is
    eased off one step at a time.  So a boundary between segments never steps
    against the curve's direction, and the last segment never passes the
    saturation level."""
    h = x1 - x0
    d = (y1 - y0) / h
    a2 = (3.0 * d - 2.0 * m0 - m1) / h
    a3 = (m0 + m1 - 2.0 * d) / (h * h)
    c = [a3, a2 - 3.0 * a3 * x0, m0 - 2.0 * a2 * x0 + 3.0 * a3 * x0 * x0]
    c = [f32(x) for x in c]
    rising = 1.0 if y1 > y0 else -1.0
    for _ in range(1000):
        rest = lambda v: evaluate(c[:3] + [0.0], v)
        c3 = f32(0.5 * ((y0 - rest(x0)) + (y1 - rest(x1))))
        row = c[:3] + [c3]
        if rising * (evaluate(row, x0) - y0) >= 0.0 and rising * (y1 - evaluate(row, x1)) >= 0.0:
            return row
        c[2] = next_float(c[2], -rising)
    raise RuntimeError('no rounding keeps the segment inside its knots')


def fit(knots, target, fixed_rows):
    """One cubic per pair of neighbouring knots.  fixed_rows maps a segment
    number to its given coefficients; its end values and slopes become the
    neighbours' knot data."""
    values = [target[0](v) for v in knots]
    slopes = [target[1](v) for v in knots]
    fixed = set()
    for seg, c in fixed_rows.items():
        for i in (seg, seg + 1):
            values[i] = evaluate(c, knots[i])
            slopes[i] = slope(c, knots[i])
            fixed.add(i)
    slopes = limit_slopes(knots, values, slopes, fixed)
    rows = []
    for seg in range(len(knots) - 1):
        if seg in fixed_rows:
            rows.append(list(fixed_rows[seg]))
        else:
            rows.append(hermite(knots[seg], knots[seg + 1], values[seg], values[seg + 1], slopes[seg],
                                slopes[seg + 1]))
    return rows


def piecewise(pieces):
    """A target made of (upper bound, f, df) pieces in ascending order."""
    def pick(v):
        for upper, f, df in pieces:
            if v <= upper:
                return f, df
        return pieces[-1][1], pieces[-1][2]
    return (lambda v: pick(v)[0](v)), (lambda v: pick(v)[1](v))


# Phase splitter: segment k covers v from k − 16 − 1/32 (k ≤ 16) or k − 16
# (k ≥ 17); segment 16 spans −1/32 .. 1.
SPLITTER_KNOTS = [-1.0 / 32.0 - (16 - j) for j in range(17)] + [float(j) for j in range(1, 17)]


def splitter_half(middle, below, above):
    left, right = SPLITTER_KNOTS[16], SPLITTER_KNOTS[17]
    fl = power_tail(left, evaluate(middle, left), slope(middle, left), SPLITTER_KNOTS[0], below)
    fr = power_tail(right, evaluate(middle, right), slope(middle, right), SPLITTER_KNOTS[-1], above)
    mid = (lambda v: evaluate(middle, v), lambda v: slope(middle, v))
    target = piecewise([(left, *fl), (right, *mid), (math.inf, *fr)])
    return fit(SPLITTER_KNOTS, target, {16: middle})


# Tubes: segment k covers v from 4k − 57 to 4k − 53 (k ≤ 13), −1 .. 4
# (k = 14) or 4k − 56 to 4k − 52 (k ≥ 15).
TUBE_KNOTS = [4.0 * k - 57.0 for k in range(15)] + [4.0 * k - 56.0 for k in range(15, 65)]


def tube(middle, below, above):
    left, right = TUBE_KNOTS[14], TUBE_KNOTS[15]
    fl = exponential_tail(left, evaluate(middle, left), slope(middle, left), TUBE_KNOTS[0], below)
    fr = power_tail(right, evaluate(middle, right), slope(middle, right), TUBE_KNOTS[-1], above)
    mid = (lambda v: evaluate(middle, v), lambda v: slope(middle, v))
    target = piecewise([(left, *fl), (right, *mid), (math.inf, *fr)])
    return fit(TUBE_KNOTS, target, {14: middle})


# Output transformer: segment k covers v from (32k − 257)/256 to
# (32k − 225)/256 (k ≤ 8) or (k − 8)/8 to (k − 7)/8 (k ≥ 9).  The positive
# half is the middle cubic up to 1/8 and a power-law approach to the limit at
# 1; the negative half mirrors it.
OT_KNOTS = [(32.0 * k - 257.0) / 256.0 for k in range(9)] + [(k - 8.0) / 8.0 for k in range(9, 17)]


def transformer(middle, limit):
    edge = OT_KNOTS[9]
    tail = power_tail(edge, evaluate(middle, edge), slope(middle, edge), 1.0, limit)
    mid = (lambda v: evaluate(middle, v), lambda v: slope(middle, v))
    positive = piecewise([(edge, *mid), (math.inf, *tail)])
    f = lambda v: positive[0](v) if v >= 0 else -positive[0](-v)
    df = lambda v: positive[1](v) if v >= 0 else positive[1](-v)
    return fit(OT_KNOTS, (f, df), {8: middle})


# The anchor rows and saturation levels.
SPLITTER_A = [0.06077, -0.53441, -31.784966, 0.130448]
SPLITTER_B = [-0.090582, -0.53441, 31.784966, 0.130448]
EL34_MIDDLE = [-0.000006, 0.000429, 0.007409, 0.048823]
# The 6L6 idles a little hotter and steeper than the EL34 and bends later.
L6_MIDDLE = [-0.000005, 0.000352, 0.008012, 0.053106]
OT_MIDDLE = [-4.675686, 0.0, 3.000191, 0.0]

SPLITTER_BELOW = (141.77133, -192.22488)
SPLITTER_ABOVE = (-192.0067, 141.77165)
EL34_ENDS = (8.612871e-07, 0.8434333)
L6_ENDS = (4.322529e-05, 0.8954548)
OT_LIMIT = 1.3


def f32_row(row):
    return [f32(x) for x in row]


def text(x):
    return '%.9g' % x if x != 0.0 else '0'


def check_monotone(rows, knots, rising):
    """Every segment moves the curve's way all along its span."""
    for k, row in enumerate(rows):
        previous = evaluate(row, knots[k])
        for i in range(1, 2001):
            value = evaluate(row, knots[k] + (knots[k + 1] - knots[k]) * i / 2000.0)
            assert rising * (value - previous) >= 0.0, (k, i)
            previous = value


def print_rows(rows, knots):
    for k, row in enumerate(rows):
        cells = ', '.join('%16s' % text(x) for x in row)
        print('    {%s},  // %2d: %.6g .. %.6g' % (cells, k, knots[k], knots[k + 1]))


def report(name, rows, knots, ends):
    """Largest mismatch at any boundary, including the two ends."""
    worst = 0.0
    for k in range(len(rows) - 1):
        worst = max(worst, abs(evaluate(rows[k], knots[k + 1]) - evaluate(rows[k + 1], knots[k + 1])))
    worst = max(worst, abs(evaluate(rows[0], knots[0]) - ends[0]), abs(evaluate(rows[-1], knots[-1]) - ends[1]))
    return '//   %-19s %.3g' % (name + ':', worst)


def main():
    a = splitter_half(f32_row(SPLITTER_A), SPLITTER_BELOW[0], SPLITTER_ABOVE[0])
    b = splitter_half(f32_row(SPLITTER_B), SPLITTER_BELOW[1], SPLITTER_ABOVE[1])
    el34 = tube(f32_row(EL34_MIDDLE), *EL34_ENDS)
    l6 = tube(f32_row(L6_MIDDLE), *L6_ENDS)
    ot = transformer(f32_row(OT_MIDDLE), OT_LIMIT)
    check_monotone(a, SPLITTER_KNOTS, -1.0)
    check_monotone(b, SPLITTER_KNOTS, 1.0)
    check_monotone(el34, TUBE_KNOTS, 1.0)
    check_monotone(l6, TUBE_KNOTS, 1.0)
    check_monotone(ot, OT_KNOTS, 1.0)

    print('// Generated by tools/power_amp_tables.py; edit the generator, not this file.')
    print('#include "effects/drive/PowerAmpTables.h"')
    print()
    print('// Each row holds c0, c1, c2, c3 of c0·v³ + c1·v² + c2·v + c3; the comment names the')
    print('// segment and the span of v it serves.  The curves step by no more than float')
    print('// rounding where two segments meet:')
    print(report('splitter A', a, SPLITTER_KNOTS, SPLITTER_BELOW[0:1] + SPLITTER_ABOVE[0:1]))
    print(report('splitter B', b, SPLITTER_KNOTS, SPLITTER_BELOW[1:2] + SPLITTER_ABOVE[1:2]))
    print(report('EL34', el34, TUBE_KNOTS, EL34_ENDS))
    print(report('6L6', l6, TUBE_KNOTS, L6_ENDS))
    print(report('output transformer', ot, OT_KNOTS, (-OT_LIMIT, OT_LIMIT)))
    print()
    print('const SplitterTable kPhaseSplitterTable{{')
    for k in range(len(a)):
        cells_a = ', '.join('%16s' % text(x) for x in a[k])
        cells_b = ', '.join('%16s' % text(x) for x in b[k])
        print('    {{%s},  // %2d: %.6g .. %.6g' % (cells_a, k, SPLITTER_KNOTS[k], SPLITTER_KNOTS[k + 1]))
        print('     {%s}},' % cells_b)
    print('}};')
    for name, rows, knots in (('kEl34Table', el34, TUBE_KNOTS), ('k6L6Table', l6, TUBE_KNOTS)):
        print()
        print('const TubeTable %s{{' % name)
        print_rows(rows, knots)
        print('}};')
    print()
    print('const TransformerTable kOutputTransformerTable{{')
    print_rows(ot, OT_KNOTS)
    print('}};')


if __name__ == '__main__':
    main()
