// A click into a number field, as a user who comes to type expects it.
#ifndef BITLENS_FIELDCLICK_H
#define BITLENS_FIELDCLICK_H

#include <functional>

class QLineEdit;

// A click that brings the focus into `field` selects all its text when
// `programWrote` says the program wrote it, so that typing replaces the
// number, as after Tab; the next click places the cursor. A text the user
// is working on, or a drag that selects part of it, keeps the usual click.
void SelectAllOnClickInto(QLineEdit& field, std::function<bool()> programWrote);

#endif
