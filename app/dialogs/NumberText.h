// Numbers read from what the user typed, the way the parameter dialogs read
// them: a leading number is taken and whatever follows is ignored.
#pragma once

#include <QString>

#include <functional>

class QLineEdit;

// Leading blanks, an optional sign and decimal digits; 0 when there are no
// digits. Values beyond the int range stop at its ends.
int ParseLeadingInt(const QString& text);
// Leading blanks, an optional sign, digits with an optional decimal point and
// an optional exponent; 0 when there is no number or it is not finite.
double ParseLeadingDouble(const QString& text);

// After every change of the edit's text, correct(text) replaces the text when
// the two differ. Runs once at once on the present text.
void InstallTextCorrection(QLineEdit* pEdit, std::function<QString(const QString&)> correct);
