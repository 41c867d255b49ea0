// The history in one window: Enter in a Value or Operand field records what
// it holds, Up and Down there recall the texts entered before, and View ›
// History shows them all in a side panel, from which Enter or a double-click
// brings one back into the Value row.
//
// The walk and what it may replace are the model's (ConverterModel::recall);
// removing an entry is a step of the document, which undo takes back. The
// list is drawn from the history store the window was given.
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
#include <memory>
#include <optional>
#include <vector>

class HistoryStore;
class WindowLayout;
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
    // Shows what a verb of the model changed, in the whole window.
    using ShowChanges = std::function<void(const ModelChanges& changes)>;

    HistoryPanel(QMainWindow& window, WindowLayout& layout, const Ui::ConverterDocument& ui,
        ConverterModel& model, std::vector<Field> fields, ShowChanges showChanges,
        std::shared_ptr<HistoryStore> store);
    ~HistoryPanel() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HistoryStore& store();
    const Field* fieldOf(const QObject* object) const;
    void enter(const Field& field);
    bool recall(const Field& field, bool older);

    void showPanel(bool shown);
    void buildPanel();
    void fillList();
    void listKeyPressed(int key);
    void showListMenu(const QPoint& position);
    void restoreCurrent();
    void removeCurrent();
    void clearAll();
    // The entry the list's current item shows, or null.
    const HistoryEntry* currentEntry();
    QString entryText(const HistoryEntry& entry) const;
    QString entryDetails(const HistoryEntry& entry) const;

    QMainWindow& fWindow;
    WindowLayout& fLayout;
    const Ui::ConverterDocument& fUi;
    ConverterModel& fModel;
    const std::vector<Field> fFields;
    const ShowChanges fShowChanges;
    const std::shared_ptr<HistoryStore> fStore;
    bool fWatching = false;

    QPointer<QDockWidget> fDock;
    QListWidget* fList = nullptr;
    QPushButton* fClearButton = nullptr;
    // The entry the user is on, which stays current as the list is redrawn.
    std::optional<HistoryEntry> fCurrent;
    bool fListStale = true;
};

#endif
