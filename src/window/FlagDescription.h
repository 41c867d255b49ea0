// What one of the Result row's status flags tells the user.
#ifndef BITLENS_FLAGDESCRIPTION_H
#define BITLENS_FLAGDESCRIPTION_H

#include "MathOperation.h"

#include <QString>

// The flag's name for assistive technology: "Carry", "Divide by zero".
QString FlagName(MathFlag flag);

// The tooltip of `flag` while `operation` is chosen, whose popup title is
// `title`: what a set flag means for that operation, or that the flag does
// not apply to it (and then stays clear).
QString FlagToolTip(MathFlag flag, MathOperation operation, const QString& title);

#endif
