#include <gtest/gtest.h>

#include <string>

#include "engine_test_support.h"

namespace {

TEST(Functions, ValuesAndRefusals) {
  const engine_test::OutcomeCase cases[] = {
      {__LINE__, "sin(0)", "0"},
      {__LINE__, "cos(0)", "1"},
      {__LINE__, "arctg(1)", "0.7853981633974483"},
      {__LINE__, "arcsin(1)", "1.5707963267948966"},
      {__LINE__, "arccos(-1)", "3.141592653589793"},
      {__LINE__, "arcsin(2)", "nan"},
      {__LINE__, "arccos(-1.5)", "nan"},
      // Tangent: refused only at its poles.
      {__LINE__, "tg(pi)", "-1.2246467991473532e-16"},
      {__LINE__, "tg(pi/2)", kMsgArgumentOutOfDomain},
      {__LINE__, "tg(3*pi/2)", kMsgArgumentOutOfDomain},
      {__LINE__, "tg(rad(90))", kMsgArgumentOutOfDomain},
      {__LINE__, "tg(-pi/2)", "-16331239353195370"},
      // Cotangent: refused at 0 and pi.
      {__LINE__, "ctg(0)", kMsgArgumentOutOfDomain},
      {__LINE__, "ctg(-0.0)", kMsgArgumentOutOfDomain},
      {__LINE__, "ctg(pi)", kMsgArgumentOutOfDomain},
      {__LINE__, "ctg(pi/2)", "6.123233995736766e-17"},
      // Secant is 1/cos, cosecant 1/sin.
      {__LINE__, "sec(0)", "1"},
      {__LINE__, "sec(pi)", "-1"},
      {__LINE__, "sec(pi/2)", kMsgArgumentOutOfDomain},
      {__LINE__, "sec(3*pi/2)", kMsgArgumentOutOfDomain},
      {__LINE__, "sec(2*pi)", "1"},
      {__LINE__, "cosec(pi/2)", "1"},
      {__LINE__, "cosec(0)", kMsgArgumentOutOfDomain},
      {__LINE__, "cosec(pi)", kMsgArgumentOutOfDomain},
      {__LINE__, "cosec(-0.0)", kMsgArgumentOutOfDomain},
      {__LINE__, "cosec(-pi/2)", "-1"},
      // Arccotangent between 0 and pi.
      {__LINE__, "arcctg(0)", "1.5707963267948966"},
      {__LINE__, "arcctg(-1)", "2.356194490192345"},
      {__LINE__, "arcctg(1)", "0.7853981633974483"},
      // Logarithms and roots.
      {__LINE__, "ln(0)", kMsgArgumentOutOfDomain},
      {__LINE__, "ln(-1)", kMsgArgumentOutOfDomain},
      {__LINE__, "lg(0)", kMsgArgumentOutOfDomain},
      {__LINE__, "sqrt(-4)", kMsgArgumentOutOfDomain},
      {__LINE__, "sqrt(0)", "0"},
      {__LINE__, "sqrt(16)", "4"},
      {__LINE__, "ln(1)", "0"},
      {__LINE__, "lg(1000)", "3"},
      {__LINE__, "lg(0.001)", "-3"},
      {__LINE__, "lg(1e36)", "36"},
      {__LINE__, "ln(2)", "0.6931471805599453"},
      {__LINE__, "ln(10)", "2.302585092994046"},
      {__LINE__, "ln(exp(1))", "1"},
      {__LINE__, "exp(1)", "2.718281828459045"},
      {__LINE__, "exp(0)", "1"},
      {__LINE__, "exp(1000)", "inf"},
      {__LINE__, "exp(-1000)", "0"},
      // The power: the double nearest the exact value, exact where that is a
      // double; a negative base only with an integer exponent; a zero base
      // to a negative power refused.
      {__LINE__, "2^3", "8"},
      {__LINE__, "(-2)^3", "-8"},
      {__LINE__, "5^2", "25"},
      {__LINE__, "10^9", "1e+09"},
      {__LINE__, "2^26", "67108864"},
      {__LINE__, "10^22", "1e+22"},
      {__LINE__, "10^308", "1e+308"},
      {__LINE__, "10^(-2)", "0.01"},
      {__LINE__, "2^0.5", "1.4142135623730951"},
      {__LINE__, "0^2", "0"},
      {__LINE__, "0^0", "1"},
      {__LINE__, "0^(-1)", kMsgDivisionByZero},
      {__LINE__, "(-8)^(1/3)", "nan"},
      {__LINE__, "2^1024", "inf"},
      {__LINE__, "exp(709.782712893384)", "1.7976931348622732e+308"},
      {__LINE__, "lg(1e-5)", "-5"},
      // Integer functions.
      {__LINE__, "fact(5)", "120"},
      {__LINE__, "fact(0)", "1"},
      {__LINE__, "fact(0.5)", "1"},
      {__LINE__, "fact(3.7)", "6"},
      {__LINE__, "fact(-1)", kMsgArgumentOutOfDomain},
      {__LINE__, "fact(-0.5)", kMsgArgumentOutOfDomain},
      {__LINE__, "fact(-0.0)", "1"},
      {__LINE__, "fact(170)", "7.257415615307994e+306"},
      {__LINE__, "fact(171)", "inf"},
      {__LINE__, "fact(4294967301)", "120"},
      {__LINE__, "fact(3000000000)", "1"},
      {__LINE__, "fact(arcsin(2))", "1"},
      {__LINE__, "round(2.5)", "3"},
      {__LINE__, "round(-2.5)", "-3"},
      {__LINE__, "round(2.49)", "2"},
      {__LINE__, "round(2.4)", "2"},
      {__LINE__, "round(-2.6)", "-3"},
      {__LINE__, "round(0.5)", "1"},
      {__LINE__, "round(-0.5)", "-1"},
      {__LINE__, "round(arcsin(2))", "0"},
      {__LINE__, "int(-2.7)", "-2"},
      {__LINE__, "int(3000000000)", "-1294967296"},
      {__LINE__, "frac(2.75)", "0.75"},
      {__LINE__, "frac(-2.75)", "-0.75"},
      {__LINE__, "frac(3000000000)", "4294967296"},
      {__LINE__, "sign(-3)", "-1"},
      {__LINE__, "sign(0)", "0"},
      {__LINE__, "sign(arcsin(2))", "0"},
      {__LINE__, "abs(-3)", "3"},
      {__LINE__, "sqr(-3)", "9"},
      {__LINE__, "rad(180)", "3.141592653589793"},
      {__LINE__, "rad(90)", "1.5707963267948966"},
      {__LINE__, "rad(270)", "4.71238898038469"},
      {__LINE__, "grad(pi)", "180"},
      {__LINE__, "grad(pi/2)", "90"},
      // The trigonometric functions give the double nearest the true value,
      // also for huge arguments and where the C libraries of different
      // platforms disagree.
      {__LINE__, "cos(0xEEC1FA07)", "0.3707693251818499"},
      {__LINE__, "sin(63102)", "-0.03003548676475682"},
      {__LINE__, "tg(sin(5))", "-1.4250920813534227"},
      {__LINE__, "cosec(255710759300)", "1.4309060448002686"},
      {__LINE__, "arctg(cos(5e25*2376o))", "-0.7834712737674979"},
      {__LINE__, "sin(1e22)", "-0.8522008497671888"},
      {__LINE__, "sin()", kMsgFunctionWithoutArgument},
      {__LINE__, "cos()", kMsgFunctionWithoutArgument},
  };
  engine_test::ExpectOutcomes(cases);
}

}  // namespace
