// Placeholders until the library's own exponential and logarithms land.
#include <cmath>

#include "numerics/numerics.h"

namespace numerics {

double Exponential(double x) { return std::exp(x); }
double NaturalLogarithm(double x) { return std::log(x); }
double DecimalLogarithm(double x) { return std::log10(x); }
double Power(double base, double exponent) { return std::pow(base, exponent); }

}  // namespace numerics
