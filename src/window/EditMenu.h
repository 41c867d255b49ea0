// The Edit menu of one window and each notation field's own menu. The
// commands act on the notation field that has the focus, or had it when a
// menu of the window was opened; a field's own menu acts on that field.
#ifndef BITLENS_EDITMENU_H
#define BITLENS_EDITMENU_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QLineEdit;
class QPoint;
class QWidget;

namespace Ui {
class ConverterDocument;
}

class EditMenu : public QObject {
    Q_OBJECT

public:
    // What Copy as Literal puts on the clipboard for one of the fields.
    using Literal = std::function<QString(const QLineEdit& field)>;

    EditMenu(QWidget& window, const Ui::ConverterDocument& ui, const QList<QLineEdit*>& fields,
        Literal literal);

private:
    QLineEdit* targetField() const;
    void updateEditActions();
    void loadMenuIcons();
    void copyAsLiteral(const QLineEdit* field);
    void showFieldMenu(QLineEdit* field, const QPoint& position);

    QWidget& fWindow;
    const Ui::ConverterDocument& fUi;
    const QList<QLineEdit*> fFields;
    const Literal fLiteral;
    bool fMenuIconsLoaded = false;
    // The window's focus before the menu bar took it, if it has it now.
    QPointer<QWidget> fFocusBeforeMenuBar;
};

#endif
