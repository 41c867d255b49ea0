// Help > About: the program, its version and its licence.
#ifndef BITLENS_ABOUTBOX_H
#define BITLENS_ABOUTBOX_H

class QWidget;

void ShowAboutBox(QWidget* parent);

#endif
