#pragma once
// Decimal and real literals to doubles, independent of the C locale.

// Reads a token text of digits, an optional "." with digits and an optional
// exponent. Like atof: too large gives +infinity, too small gives 0.
double DecimalLiteralToValue(const char* text);
