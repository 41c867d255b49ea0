// What a notation field tells the user about itself.
#ifndef BITLENS_FIELDDESCRIPTION_H
#define BITLENS_FIELDDESCRIPTION_H

#include "engine/Notation.h"

class QLineEdit;
class QString;

// Gives `field` the name assistive technology calls it, after its row
// ("Value, hexadecimal"), and a tooltip: on what typing into it reads, or,
// for a read-only field, that it is read-only and what it shows. `rowName`
// is untranslated, marked for the "FieldDescription" context.
void DescribeField(QLineEdit& field, const char* rowName, Notation notation);

// Adds the field's whole text under its tooltip, for a field too narrow to
// show all of it. Taken when the tooltip is asked for, so typing costs
// nothing.
void ShowWholeTextInToolTip(QLineEdit& field);

// What an empty float field says at 8 bits, which hold no float.
QString NoFloatPlaceholder();
// The UUID field's below 128 bits.
QString NoUuidPlaceholder();

#endif
