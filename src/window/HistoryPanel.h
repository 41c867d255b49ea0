// The history in one window: Enter in a Value or Operand field records what
// it holds, Up and Down there recall the texts entered before, and View ›
// History shows them all in a side panel, from which Enter or a double-click
// brings one back into the Value row.
//
// Up and Down walk the texts entered in fields of the same notation, in
// either row: a text means its number only in its own notation. They recall
// in a field that is unchanged: empty, or showing what
// Bitlens wrote there (the row's number, after typing elsewhere), or the
// text the last recall or Enter left in it. A text the user is typing is
// never replaced; Enter records it, and Up then works.
//
// Nothing is read or built at start-up: the history file is read when
// first needed (Enter, Up, Down or the panel), and the panel is built when
// first shown.
#ifndef BITLENS_HISTORYPANEL_H
#define BITLENS_HISTORYPANEL_H

#include "model/History.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class HistoryStore;
class QDockWidget;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QPoint;
class QPushButton;

namespace Ui {
class ConverterDocument;
}

class HistoryPanel : public QObject {
    Q_OBJECT

public:
    // A field typed into, and the row and notation it is.
    struct Field {
        QLineEdit* field;
        FieldType row;
        Notation notation;
    };
    // Brings an entry back into the Value row, as one step of the document.
    using Restore = std::function<void(const HistoryEntry& entry)>;
    // Types `text` into the field, as the user would.
    using Type = std::function<void(const Field& field, const QString& text)>;

    HistoryPanel(QMainWindow& window, const Ui::ConverterDocument& ui, const ConverterModel& model,
        std::vector<Field> fields, Restore restore, Type type);
    ~HistoryPanel() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HistoryStore& store();
    const Field* fieldOf(const QObject* object) const;
    void enter(const Field& field);
    bool recall(const Field& field, bool older);
    bool unchanged(const Field& field) const;

    void showPanel(bool shown);
    void buildPanel();
    void fillList();
    void listKeyPressed(int key);
    void showListMenu(const QPoint& position);
    void restoreCurrent();
    void removeCurrent();
    void clearAll();
    // The entry the list's current item shows, or null.
    const HistoryEntry* currentEntry() const;
    QString entryText(const HistoryEntry& entry) const;
    QString entryDetails(const HistoryEntry& entry) const;

    QMainWindow& fWindow;
    const Ui::ConverterDocument& fUi;
    const ConverterModel& fModel;
    const std::vector<Field> fFields;
    const Restore fRestore;
    const Type fType;

    HistoryStore* fStore = nullptr;
    HistoryRecall fRecall;
    // Where a walk goes on: the field and the text it left there.
    const QLineEdit* fRecallField = nullptr;
    QString fRecalled;
    // The text the last recall or Enter left in a field.
    const QLineEdit* fSettledField = nullptr;
    QString fSettled;

    QPointer<QDockWidget> fDock;
    QListWidget* fList = nullptr;
    QPushButton* fClearButton = nullptr;
    // What the list shows, by row.
    std::vector<HistoryEntry> fShown;
    bool fListStale = true;
    // The width the window grew by to show the panel, given back on hiding.
    int fGrownBy = 0;
    int fGrownTo = 0;
};

#endif
