// A row's message line: the style's warning icon and a short text, shown
// only while there is something to say; a note, which warns of nothing,
// has the information icon.
#ifndef BITLENS_WARNINGLABEL_H
#define BITLENS_WARNINGLABEL_H

#include <QLabel>
#include <QStringList>

class WarningLabel : public QLabel {
    Q_OBJECT

public:
    explicit WarningLabel(QWidget* parent = nullptr);

    // Keeps room for the widest of `texts` whether shown or not, so that
    // the window keeps its layout when a warning comes and goes.
    void reserveRoomFor(const QStringList& texts);

    // Shows `text`, or hides the label when it is empty. Only a change of
    // state shows or hides it, so a keystroke that keeps the warning as it
    // was costs no layout pass; showing it tells assistive technology. A
    // text longer than the room kept ends in an ellipsis, whole in the
    // tooltip. A note is told to assistive technology each time it is set.
    enum Tone { eWarning, eNote };
    void setWarning(const QString& text, Tone tone = eWarning);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int iconSize() const;
    QRect textArea() const;
    void makeRoomForIcon();

    QStringList fReservedFor;
    Tone fTone = eWarning;
};

#endif
