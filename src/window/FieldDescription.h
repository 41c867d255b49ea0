// What a notation field tells the user about itself.
#ifndef BITLENS_FIELDDESCRIPTION_H
#define BITLENS_FIELDDESCRIPTION_H

#include "Notation.h"

class QLineEdit;

// Gives `field` the name assistive technology calls it, after its row
// ("Value, hexadecimal"), and a tooltip: on what typing into it reads, or,
// for a read-only field, that it is read-only and what it shows. `rowName`
// is untranslated, marked for the "FieldDescription" context.
void DescribeField(QLineEdit& field, const char* rowName, Notation notation);

#endif
