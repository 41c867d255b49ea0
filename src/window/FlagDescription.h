// What one of the Result row's status flags tells the user.
#ifndef BITLENS_FLAGDESCRIPTION_H
#define BITLENS_FLAGDESCRIPTION_H

#include "engine/MathOperation.h"

#include <QString>

// The flag's name for assistive technology: "Carry flag", "Divide-by-zero
// flag": alone, "Zero" could be a number.
QString FlagName(MathFlag flag);

// What a set `flag` means while `operation` is chosen, whose popup title is
// `title`, or that the flag does not apply to it (and then stays clear):
// the flag's accessible description, which follows its name.
QString FlagMeaning(MathFlag flag, MathOperation operation, const QString& title);

// The tooltip, which stands alone: "Carry flag: " and the meaning.
QString FlagToolTip(MathFlag flag, MathOperation operation, const QString& title);

#endif
