// The titles of the program's windows.
#ifndef BITLENS_WINDOWTITLE_H
#define BITLENS_WINDOWTITLE_H

class QWidget;

// Gives a new window the lowest number, from 1, that no other shown window
// carries: number 1 is titled "Bitlens", number n "Bitlens — n". A closed
// window's number goes to the next new one.
void NumberWindow(QWidget& window);

#endif
