#!/usr/bin/env python3
"""Writes numerics/internal/trig_tables.h: the constants of the trigonometric functions.

Every value is computed with exact integer arithmetic on fixed-point numbers
carrying far more bits than the tables keep, then rounded once:
  - the bits of 2/pi that the argument reduction multiplies with (1536 bits);
  - pi/2 and pi as 256-bit fractions of the wide fixed-point format;
  - pi/2 as a double-double (and a third word);
  - sin(i/128), cos(i/128) and tan(i/128), i = 0..101, as double-doubles;
  - atan(i/64), i = 0..64, as double-doubles;
  - the Taylor coefficients of asin at i/128, i = 0..96, and then at
    1 - u above 3/4, u on a grid of 32 points per binade from 1/4 - 1/256
    down to 1/32: the first four as double-doubles, the next eight as
    doubles;
  - pi/2 as four doubles for the short reduction: three of 33 bits, so that
    their products with a multiple k < 2^20 are exact, and the rest;
  - pi/180 and 180/pi as double-doubles and as 256-bit integers with an
    exponent (their leading bits, truncated).
Run it from the repository root: python3 tools/generate-trig-tables.py
The header is committed, so the build never needs this script.
"""

import os
import sys
from fractions import Fraction

WORK_BITS = 1900          # working precision of every series
TWO_OVER_PI_WORDS = 24    # 1536 bits
FIXED_FRACTION_BITS = 256
SIN_COS_STEP = 128        # table points i/128 cover [0, pi/4] with i = 0..101
SIN_COS_COUNT = 102
ATAN_STEP = 64            # table points i/64 cover [0, 1]
ATAN_COUNT = 65
ASIN_STEP = 128           # table points i/128 cover [0, 3/4] with i = 0..96
ASIN_COUNT = 97
ASIN_DEGREE = 11          # coefficients 0..11
ASIN_POINTS_PER_BINADE = 32   # above 3/4: points 1 - u, 32 per binade of u
ASIN_NEAR_ONE_BINADES = 3     # u from 1/4 down to 1/32


def atan_inverse(k, bits):
    """atan(1/k) * 2^bits, truncated, for an integer k > 1."""
    one = 1 << bits
    power = one // k          # (1/k)^(2n+1)
    total = 0
    n = 0
    k2 = k * k
    while power:
        term = power // (2 * n + 1)
        total += -term if n % 2 else term
        power //= k2
        n += 1
    return total


def pi_fixed(bits):
    """pi * 2^bits by Machin's formula, with guard bits dropped at the end."""
    guard = 64
    b = bits + guard
    value = 16 * atan_inverse(5, b) - 4 * atan_inverse(239, b)
    return value >> guard


def sin_cos_fixed(x, bits):
    """sin(x), cos(x) * 2^bits for x = x_scaled / 2^bits, 0 <= x < 1."""
    one = 1 << bits
    s = 0
    c = 0
    term = one          # x^n / n!
    n = 0
    while term:
        phase = n % 4
        if phase == 0:
            c += term
        elif phase == 1:
            s += term
        elif phase == 2:
            c -= term
        else:
            s -= term
        n += 1
        term = term * x // (one * n)
    return s, c


def atan_fixed(x, bits):
    """atan(x) * 2^bits for 0 <= x <= 1 given as x * 2^bits."""
    one = 1 << bits
    halvings = 0
    # atan(x) = 2 atan(x / (1 + sqrt(1 + x^2))) until x is small.
    while x > one >> 4:
        root = isqrt_fixed(one + x * x // one, bits)
        x = x * one // (one + root)
        halvings += 1
    total = 0
    power = x
    x2 = x * x // one
    n = 0
    while power:
        term = power // (2 * n + 1)
        total += -term if n % 2 else term
        power = power * x2 // one
        n += 1
    return total << halvings


def asin_coefficients(i, denominator, bits):
    """The Taylor coefficients a_0 .. a_ASIN_DEGREE of asin at x = i/denominator, * 2^bits.

    a_0 = asin x, a_1 = 1/sqrt(1 - x^2), and from (1 - x^2) y'' = x y':
    a_(n+2) = ((2n + 1) x (n + 1) a_(n+1) + n^2 a_n) / ((1 - x^2)(n + 2)(n + 1)).
    """
    one = 1 << bits
    step2 = denominator * denominator
    rest = step2 - i * i                          # (1 - x^2) * denominator^2
    root = isqrt_fixed(rest * one // step2, bits)  # sqrt(1 - x^2) * 2^bits
    x = i * one // denominator
    a = [atan_fixed(x * one // root, bits), one * one // root]
    for n in range(ASIN_DEGREE - 1):
        numerator = (2 * n + 1) * (n + 1) * a[n + 1] * i // denominator + n * n * a[n]
        a.append(numerator * step2 // (rest * (n + 2) * (n + 1)))
    return a


def asin_points():
    """The table points as (numerator, denominator): i/ASIN_STEP up to 3/4,
    then 1 - u for u below 1/4 on the grid of ASIN_POINTS_PER_BINADE points
    per binade, u decreasing (x increasing) down to the last binade's first
    point."""
    points = [(i, ASIN_STEP) for i in range(ASIN_COUNT)]
    for binade in range(ASIN_NEAR_ONE_BINADES):
        # u = (ASIN_POINTS_PER_BINADE + m) / (ASIN_POINTS_PER_BINADE * 2^(binade + 3)), m = 31 .. 0
        denominator = ASIN_POINTS_PER_BINADE << (binade + 3)
        for m in range(ASIN_POINTS_PER_BINADE - 1, -1, -1):
            points.append((denominator - (ASIN_POINTS_PER_BINADE + m), denominator))
    return points


def isqrt_fixed(v, bits):
    import math
    return math.isqrt(v << bits)


def double_double(value, bits):
    """(hi, lo): the double nearest value / 2^bits and the double nearest the rest."""
    exact = Fraction(value, 1 << bits)
    hi = float(exact)
    lo = float(exact - Fraction(hi))
    return hi, lo


def check_agreement():
    """The values must not depend on the working precision."""
    for bits in (WORK_BITS, WORK_BITS + 97):
        yield two_over_pi_bits(bits)


def two_over_pi_bits(bits):
    pi = pi_fixed(bits)
    scaled = (2 << (2 * bits)) // pi                 # 2/pi * 2^bits
    wanted = 64 * TWO_OVER_PI_WORDS
    return scaled >> (bits - wanted)                 # the first `wanted` bits after the point


def hexfloat(x):
    if x == 0.0:
        return "0.0"
    return x.hex()


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    # The committed table by default; another path lets a test compare.
    out_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "numerics", "internal", "trig_tables.h")

    first, second = check_agreement()
    if first != second:
        sys.exit("2/pi differs between working precisions")
    two_over_pi = first
    words = []
    for i in range(TWO_OVER_PI_WORDS):
        shift = 64 * (TWO_OVER_PI_WORDS - 1 - i)
        words.append((two_over_pi >> shift) & ((1 << 64) - 1))

    bits = WORK_BITS
    pi = pi_fixed(bits)
    half_pi = pi >> 1

    def fixed_limbs(value):
        # Nearest 256-bit fraction, six little-endian 64-bit limbs.
        scaled = (value + (1 << (bits - FIXED_FRACTION_BITS - 1))) >> (bits - FIXED_FRACTION_BITS)
        return [(scaled >> (64 * i)) & ((1 << 64) - 1) for i in range(6)]

    hp_hi, hp_mid = double_double(half_pi, bits)
    hp_lo = float(Fraction(half_pi, 1 << bits) - Fraction(hp_hi) - Fraction(hp_mid))
    pi_hi, pi_mid = double_double(pi, bits)
    pi_lo = float(Fraction(pi, 1 << bits) - Fraction(pi_hi) - Fraction(pi_mid))

    sin_cos = []
    for i in range(SIN_COS_COUNT):
        x = (i << bits) // SIN_COS_STEP
        s, c = sin_cos_fixed(x, bits)
        sin_cos.append((double_double(s, bits), double_double(c, bits), double_double((s << bits) // c, bits)))

    degree = pi // 180                               # pi/180 * 2^bits
    radian = (180 << (2 * bits)) // pi               # 180/pi * 2^bits

    def leading_bits(value):
        # (K, exponent): K the leading 256 bits of value / 2^bits,
        # truncated, and value / 2^bits = (K + something in [0, 1)) * 2^exponent.
        shift = value.bit_length() - 256
        return value >> shift, shift - bits

    atans = []
    for i in range(ATAN_COUNT):
        x = (i << bits) // ATAN_STEP
        atans.append(double_double(atan_fixed(x, bits), bits))

    lines = []
    emit = lines.append
    emit("#pragma once")
    emit("// Generated by tools/generate-trig-tables.py; do not edit by hand.")
    emit("// Constants of the trigonometric functions (numerics/trigonometry.cpp), each")
    emit("// computed with exact integer arithmetic and rounded once.")
    emit("")
    emit("#include <cstdint>")
    emit("")
    emit("namespace trig_tables {")
    emit("")
    emit("// The bits of 2/pi after the binary point, most significant first:")
    emit("// word 0 holds the bits of weight 2^-1 .. 2^-64.")
    emit(f"inline constexpr int kTwoOverPiWordCount = {TWO_OVER_PI_WORDS};")
    emit("inline constexpr uint64_t kTwoOverPi[kTwoOverPiWordCount] = {")
    for i in range(0, len(words), 3):
        emit("    " + " ".join(f"0x{w:016X}u," for w in words[i:i + 3]))
    emit("};")
    emit("")
    emit("// pi/2 and pi as wide fixed-point numbers: 256 fraction bits, nearest,")
    emit("// six little-endian 64-bit limbs.")
    emit("inline constexpr uint64_t kHalfPiFixed[6] = {")
    emit("    " + " ".join(f"0x{w:016X}u," for w in fixed_limbs(half_pi)))
    emit("};")
    emit("inline constexpr uint64_t kPiFixed[6] = {")
    emit("    " + " ".join(f"0x{w:016X}u," for w in fixed_limbs(pi)))
    emit("};")
    emit("")
    emit("// pi/2 and pi as sums of three doubles, each the nearest to what remains.")
    emit(f"inline constexpr double kHalfPiHi = {hexfloat(hp_hi)};")
    emit(f"inline constexpr double kHalfPiMid = {hexfloat(hp_mid)};")
    emit(f"inline constexpr double kHalfPiLo = {hexfloat(hp_lo)};")
    emit(f"inline constexpr double kPiHi = {hexfloat(pi_hi)};")
    emit(f"inline constexpr double kPiMid = {hexfloat(pi_mid)};")
    emit(f"inline constexpr double kPiLo = {hexfloat(pi_lo)};")
    emit("")
    emit("struct DoubleDoubleEntry {")
    emit("  double hi;")
    emit("  double lo;")
    emit("};")
    emit("")
    emit(f"// sin(i/{SIN_COS_STEP}) and cos(i/{SIN_COS_STEP}) for i = 0..{SIN_COS_COUNT - 1}.")
    emit(f"inline constexpr int kSinCosStep = {SIN_COS_STEP};")
    emit(f"inline constexpr int kSinCosCount = {SIN_COS_COUNT};")
    emit("inline constexpr DoubleDoubleEntry kSinTable[kSinCosCount] = {")
    for (s, _c, _t) in sin_cos:
        emit(f"    {{{hexfloat(s[0])}, {hexfloat(s[1])}}},")
    emit("};")
    emit("inline constexpr DoubleDoubleEntry kCosTable[kSinCosCount] = {")
    for (_s, c, _t) in sin_cos:
        emit(f"    {{{hexfloat(c[0])}, {hexfloat(c[1])}}},")
    emit("};")
    emit(f"// tan(i/{SIN_COS_STEP}) for the same i.")
    emit("inline constexpr DoubleDoubleEntry kTanTable[kSinCosCount] = {")
    for (_s, _c, t) in sin_cos:
        emit(f"    {{{hexfloat(t[0])}, {hexfloat(t[1])}}},")
    emit("};")
    emit("")
    emit(f"// atan(i/{ATAN_STEP}) for i = 0..{ATAN_COUNT - 1}.")
    emit(f"inline constexpr int kAtanStep = {ATAN_STEP};")
    emit(f"inline constexpr int kAtanCount = {ATAN_COUNT};")
    emit("inline constexpr DoubleDoubleEntry kAtanTable[kAtanCount] = {")
    for a in atans:
        emit(f"    {{{hexfloat(a[0])}, {hexfloat(a[1])}}},")
    emit("};")
    emit("")
    points = asin_points()
    emit(f"// asin(c + d) = sum of a_n d^n, n = 0..{ASIN_DEGREE}, for the points c = i/{ASIN_STEP}, i = 0..{ASIN_COUNT - 1},")
    emit(f"// then c = 1 - u above 3/4, u = (1 + m/{ASIN_POINTS_PER_BINADE}) 2^-e for e = 3..{ASIN_NEAR_ONE_BINADES + 2}, m = {ASIN_POINTS_PER_BINADE - 1}..0")
    emit("// (c increasing): a_0 .. a_3 as double-doubles, a_4 .. a_11 as doubles.")
    emit(f"inline constexpr int kAsinStep = {ASIN_STEP};")
    emit(f"inline constexpr int kAsinUniformCount = {ASIN_COUNT};")
    emit(f"inline constexpr int kAsinPointsPerBinade = {ASIN_POINTS_PER_BINADE};")
    emit(f"inline constexpr int kAsinNearOneBinades = {ASIN_NEAR_ONE_BINADES};")
    emit(f"inline constexpr int kAsinCount = {len(points)};")
    emit(f"inline constexpr int kAsinHigherCount = {ASIN_DEGREE - 3};")
    emit("struct AsinEntry {")
    emit("  DoubleDoubleEntry leading[4];")
    emit(f"  double higher[{ASIN_DEGREE - 3}];")
    emit("};")
    emit("inline constexpr AsinEntry kAsinTable[kAsinCount] = {")
    for (numerator, denominator) in points:
        a = asin_coefficients(numerator, denominator, bits)
        leading = ", ".join("{%s, %s}" % tuple(hexfloat(v) for v in double_double(c, bits)) for c in a[:4])
        higher = ", ".join(hexfloat(float(Fraction(c, 1 << bits))) for c in a[4:])
        emit(f"    {{{{{leading}}}, {{{higher}}}}},")
    emit("};")
    emit("")
    emit("// pi/2 = kHalfPiPart1 + kHalfPiPart2 + kHalfPiPart3 + kHalfPiPart4 + less")
    emit("// than 2^-150: the first three of 33 significant bits each, so that k times")
    emit("// each is exact for k < 2^20; the fourth the double nearest what remains.")
    remaining = Fraction(half_pi, 1 << bits)
    for part in range(1, 5):
        if part < 4:
            exponent = 0
            while Fraction(2) ** (exponent + 1) <= abs(remaining):
                exponent += 1
            while Fraction(2) ** exponent > abs(remaining):
                exponent -= 1
            unit = Fraction(2) ** (exponent - 32)        # 33 bits from the leading one
            value = float((remaining / unit).__floor__() * unit)
        else:
            value = float(remaining)
        remaining -= Fraction(value)
        emit(f"inline constexpr double kHalfPiPart{part} = {hexfloat(value)};")
    emit("")
    emit("// pi/180 and 180/pi: as double-doubles, and as K * 2^exponent with K")
    emit("// the leading 256 bits (truncated; four little-endian 64-bit limbs, the")
    emit("// top bit set), for the exact rounding of a product with them.")
    for name, value in (("DegreeInRadians", degree), ("RadianInDegrees", radian)):
        hi, lo = double_double(value, bits)
        k, exponent = leading_bits(value)
        emit(f"inline constexpr double k{name}Hi = {hexfloat(hi)};")
        emit(f"inline constexpr double k{name}Lo = {hexfloat(lo)};")
        emit(f"inline constexpr uint64_t k{name}Bits[4] = {{")
        emit("    " + " ".join(f"0x{(k >> (64 * i)) & ((1 << 64) - 1):016X}u," for i in range(4)))
        emit("};")
        emit(f"inline constexpr int k{name}Exponent = {exponent};")
    emit("")
    emit("}  // namespace trig_tables")
    with open(out_path, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
