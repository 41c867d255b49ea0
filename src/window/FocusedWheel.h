// Popups that the wheel changes only once the user has chosen them.
#ifndef BITLENS_FOCUSEDWHEEL_H
#define BITLENS_FOCUSEDWHEEL_H

class QWidget;

// The wheel turned over `widget` changes nothing unless it has the focus,
// and does not give it the focus: scrolling past the width popup must not
// narrow the number and drop its bits.
void TakeWheelOnlyWhenFocused(QWidget& widget);

#endif
