// One status flag under the Result row: a check box that only the program
// sets. Lit when checked, dim when not, in the colours of the palette.
#ifndef BITLENS_FLAGBUTTON_H
#define BITLENS_FLAGBUTTON_H

#include <QAbstractButton>

class FlagButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit FlagButton(QWidget* parent = nullptr);
    // `text` is the flag's short name ("Z", "C", ...); the window gives the
    // long one to accessibility with setAccessibleName.
    explicit FlagButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // A click, Space or an accessible press or toggle ends here, so none of
    // them changes the flag; setChecked does.
    void nextCheckState() override;
};

#endif
