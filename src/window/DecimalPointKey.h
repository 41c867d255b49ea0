// The float fields' decimal point from any keyboard.
#ifndef BITLENS_DECIMALPOINTKEY_H
#define BITLENS_DECIMALPOINTKEY_H

class QLineEdit;

// A comma typed into `field` types its point instead. The float notation
// has no other use for a comma, which the keypad of many layouts (German
// among them) types for its decimal key and their users type out of habit;
// read as it is, "3,5" would silently be 3.
void TypeCommaAsPoint(QLineEdit& field);

#endif
