#pragma once
// What screen readers hear of a result line: the name of its form ("DEC",
// "HEX", ...) and, as its value, the line's text, so a line announces itself
// as "HEX, 7328CC00" rather than a bare number.

class QLabel;
class QString;

// Marks label as the result line of the form named formName and makes sure
// the accessibility of such lines is installed. Call it before the label's
// text is first set: Qt decides a widget's accessible kind when it first
// looks at the widget.
void MakeAccessibleResultLine(QLabel* label, const QString& formName);
