// Popups whose choice changes only once the user has made it.
#ifndef BITLENS_FOCUSEDWHEEL_H
#define BITLENS_FOCUSEDWHEEL_H

class QComboBox;
class QWidget;

// The wheel turned over `widget` changes nothing unless it has the focus,
// and does not give it the focus: scrolling past the width popup must not
// narrow the number and drop its bits.
void TakeWheelOnlyWhenFocused(QWidget& widget);

// The arrow, page and Home/End keys on the closed `popup` open its list,
// where they move without choosing; Enter or a click chooses. By default
// each key would choose the item it passes.
void OpenListOnArrowKeys(QComboBox& popup);

#endif
