#pragma once
// The computations of the vocabulary rows (engine/vocabulary.h) that take
// more than one expression. Each takes the operands as the
// evaluator hands them over: a the left operand or the function's argument,
// b the right operand (not used by functions). Integer operators work on the
// 32-bit conversion of their operands.

// The double nearest pi: the value of "pi" and an argument some functions refuse.
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kThreeHalvesPi = 4.71238898038469;

double IntegerQuotient(double a, double b);
double Remainder(double a, double b);
double ShiftLeft(double a, double b);
double ShiftRight(double a, double b);
double Power(double a, double b);
double BitwiseAnd(double a, double b);
double BitwiseOr(double a, double b);
double ExclusiveOr(double a, double b);
double LogicalAnd(double a, double b);
double LogicalOr(double a, double b);
double IntegerPart(double x, double);
double FractionalPart(double x, double);
double Round(double x, double);
double Factorial(double x, double);
double Sign(double x, double);
