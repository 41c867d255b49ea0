// What the window tests share: a fresh window for each test function, the
// widgets found by name, and the steps a user takes in the window.
#pragma once

#include "window/ConverterView.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>

template <class T> T* FindChild(QWidget* window, const QString& name)
{
    auto* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

// Every window there is, shown or not.
QList<ConverterView*> Windows();

// Selects the field's text as a user would, then types one key per
// character; a keystroke must never change the field being typed in.
void TypeInto(QLineEdit* field, const QString& text);

// Check boxes and radios take the click on their indicator.
void ClickButton(QAbstractButton* button);

// The centre of the bit numbered `bit` in a bit grid, in the grid's
// coordinates, where its accessible child "bit N" (in the window's
// language) says it is.
QPoint BitCentre(QWidget* grid, int bit);

// Presses one key combination, in QKeySequence's words ("Alt+Shift+B"),
// where the focus is.
void PressInFocus(const QString& keys);

// That the menu named `name` is open; closes it again.
void ExpectMenuOpen(const QString& name);

// Opens the popup's list from the keyboard, walks to the item, takes it.
// Says what went wrong, or nothing.
QString ChooseFromList(QComboBox* popup, int item);

// The letters that more than one thing of the window answers to with Alt
// (menu bar titles, labels, buttons, group boxes), each as "Alt+B: labelBinary,
// fileMenu". A menu's own items count only within their menu, so not here.
QStringList DuplicateMnemonics(QWidget* window);

class WindowTest : public QObject {
    Q_OBJECT

public:
    // Keyboard tests need the window active; others only need it shown.
    enum Start { eShown, eActive };
    explicit WindowTest(Start start = eShown)
        : start(start)
    { }

protected slots:
    void initTestCase();
    void init();
    void cleanup();

protected:
    template <class T> T* child(const QString& name) const { return FindChild<T>(view, name); }
    // Steps joined by '|': "type FIELD TEXT", "click BUTTON", "choose POPUP
    // ITEM" (the item's English title, taken in the window's language),
    // "key WIDGET KEYS" (QKeySequence's words, separated by spaces),
    // "bit GRID N" (a click on bit N), "drag GRID FROM TO" (pressed on bit
    // FROM, moved over the bits between to bit TO, released) or "open math"
    // (by its mnemonic). False after a step failed.
    bool run(const QString& steps);
    // Ctrl+N where a user presses it: in the active window.
    void newWindow();

    QPointer<ConverterView> view;

private:
    const Start start;
};
