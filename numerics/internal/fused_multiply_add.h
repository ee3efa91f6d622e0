#pragma once
// The exact rounding error of a product through the processor's fused
// multiply-add, where it has one.
//
// a * b - round(a * b) is itself a double (unless it underflows), and both
// Dekker's method (double_double.h) and one fused multiply-subtract give it
// exactly: the same bits, whichever is used. The fused instruction takes
// one step instead of seventeen, which shortens the fast paths; the results
// stay those of plain IEEE operations on every platform.
//
// x86-64 processors have it from 2013 on (FMA3), not all of them, so it is
// chosen at run time. Until the start-up code has looked at the processor,
// and on every other architecture, the flag is false and Dekker's method
// runs.

namespace numerics::internal {

extern bool hasFusedMultiplyAdd;

// round(a * b - c), one rounding. Only where hasFusedMultiplyAdd is true.
inline double FusedMultiplySubtract(double a, double b, double c) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  // The assembler knows the instruction whatever the compiler targets, so
  // the rest of the library stays built for every x86-64 processor.
  asm("vfmsub231sd %[b], %[a], %[c]" : [c] "+x"(c) : [a] "x"(a), [b] "x"(b));
  return c;
#else
  return a * b - c;  // never reached: the flag stays false here
#endif
}

}  // namespace numerics::internal
