#include "HistoryPanel.h"

#include "WindowLayout.h"
#include "ui_ConverterDocument.h"

#include "files/HistoryStore.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDockWidget>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A key alone: the keypad's keys count as the main keyboard's.
bool Plain(const QKeyEvent& key)
{
    return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsEnter(const QKeyEvent& key)
{
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && Plain(key);
}

} // namespace

HistoryPanel::HistoryPanel(QMainWindow& window, WindowLayout& layout,
    const Ui::ConverterDocument& ui, ConverterModel& model, std::vector<Field> fields,
    ShowChanges showChanges, std::shared_ptr<HistoryStore> store)
    : fWindow(window)
    , fLayout(layout)
    , fUi(ui)
    , fModel(model)
    , fFields(std::move(fields))
    , fShowChanges(std::move(showChanges))
    , fStore(std::move(store))
{
    for (const Field& field : fFields)
        field.field->installEventFilter(this);
    connect(ui.actionShowHistory, &QAction::toggled, this, &HistoryPanel::showPanel);
}

HistoryPanel::~HistoryPanel() = default;

HistoryStore& HistoryPanel::store()
{
    if (!fWatching) {
        fWatching = true;
        connect(fStore.get(), &HistoryStore::changed, this, [this] {
            fListStale = true;
            if (fDock && fDock->isVisible())
                fillList();
        });
    }
    return *fStore;
}

const HistoryPanel::Field* HistoryPanel::fieldOf(const QObject* object) const
{
    for (const Field& field : fFields)
        if (field.field == object)
            return &field;
    return nullptr;
}

bool HistoryPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && watched == fList) {
        // The Edit menu's Delete acts on fields; in the list the key removes
        // an entry.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && Plain(*key)) {
            event->accept();
            return true;
        }
    }
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == fList) {
        if (key->key() == Qt::Key_Delete && Plain(*key)) {
            removeCurrent();
            return true;
        }
        return false;
    }
    const Field* field = fieldOf(watched);
    if (!field)
        return false;
    if (IsEnter(*key)) {
        enter(*field);
        return false;
    }
    if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && Plain(*key))
        return recall(*field, key->key() == Qt::Key_Up);
    return false;
}

// --- Keys in the fields --------------------------------------------------------

void HistoryPanel::enter(const Field& field)
{
    const ModelChanges changes
        = fModel.enter(field.row, field.notation, QDateTime::currentMSecsSinceEpoch());
    if (changes.historyEntered)
        store().record(*changes.historyEntered);
    fShowChanges(changes);
    // A calculation's result, selected, so that typing goes on from a new
    // number; a plain number keeps the cursor where it was.
    if (changes.texts[field.row - eFieldTypeValue][field.notation])
        field.field->selectAll();
}

bool HistoryPanel::recall(const Field& field, bool older)
{
    const QLineEdit& edit = *field.field;
    if (!edit.isEnabled() || edit.isReadOnly() || !fModel.recalls(field.row, field.notation, older))
        return false;
    fShowChanges(fModel.recall(field.row, field.notation, older, store().history()));
    return true;
}

// --- The panel -------------------------------------------------------------------

void HistoryPanel::showPanel(bool shown)
{
    if (shown && !fDock)
        buildPanel();
    if (!fDock || fDock->isVisible() == shown)
        return;
    if (shown && fListStale)
        fillList();
    fLayout.showPanel(*fDock, shown);
    if (shown)
        fList->setFocus(Qt::OtherFocusReason);
}

void HistoryPanel::buildPanel()
{
    fDock = new QDockWidget(tr("History"), &fWindow);
    fDock->setObjectName(QStringLiteral("historyPanel"));
    fDock->setAllowedAreas(
        Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    fDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
        | QDockWidget::DockWidgetFloatable);
    fDock->hide();

    auto* content = new QWidget(fDock);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    fList = new QListWidget(content);
    fList->setObjectName(QStringLiteral("historyList"));
    fList->setAccessibleName(tr("History"));
    fList->setToolTip(tr("What was entered with Enter, newest first: Enter or a double-click "
                         "brings an entry back into the Value row, Delete removes it"));
    fList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    fList->setUniformItemSizes(true);
    fList->setContextMenuPolicy(Qt::CustomContextMenu);
    fList->setMinimumWidth(fList->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 32);
    fList->installEventFilter(this);
    layout->addWidget(fList);

    fClearButton = new QPushButton(tr("&Clear History…"), content);
    fClearButton->setObjectName(QStringLiteral("clearHistoryButton"));
    fClearButton->setAccessibleName(tr("Clear history"));
    fClearButton->setToolTip(tr("Remove every entry from the history, in every Bitlens window"));
    layout->addWidget(fClearButton, 0, Qt::AlignRight);
    fDock->setWidget(content);

    // Closed by its own button, the panel unchecks the menu's item.
    connect(
        fDock->toggleViewAction(), &QAction::toggled, fUi.actionShowHistory, &QAction::setChecked);
    connect(fList, &QListWidget::itemActivated, this, &HistoryPanel::restoreCurrent);
    connect(fList, &QListWidget::currentRowChanged, this, [this](int row) {
        const std::vector<HistoryEntry>& entries = store().history().entries();
        fCurrent.reset();
        if (row >= 0 && std::size_t(row) < entries.size())
            fCurrent = entries[std::size_t(row)];
    });
    connect(fList, &QWidget::customContextMenuRequested, this, &HistoryPanel::showListMenu);
    connect(fClearButton, &QPushButton::clicked, this, &HistoryPanel::clearAll);
    store();
}

void HistoryPanel::fillList()
{
    const std::vector<HistoryEntry>& entries = store().history().entries();
    const int wasRow = fList->currentRow();
    {
        const QSignalBlocker quiet(fList);
        fList->clear();
        for (const HistoryEntry& entry : entries) {
            auto* item = new QListWidgetItem(entryText(entry), fList);
            item->setToolTip(entryDetails(entry));
        }
    }
    // The entry that was current stays so; one removed leaves the next.
    int row = wasRow;
    if (fCurrent) {
        const auto found = std::find(entries.begin(), entries.end(), *fCurrent);
        if (found != entries.end())
            row = int(found - entries.begin());
    }
    fCurrent.reset();
    if (!entries.empty())
        fList->setCurrentRow(std::clamp(row, 0, int(entries.size()) - 1));
    fClearButton->setEnabled(!entries.empty());
    fListStale = false;
}

const HistoryEntry* HistoryPanel::currentEntry()
{
    return fCurrent ? &*fCurrent : nullptr;
}

QString HistoryPanel::entryText(const HistoryEntry& entry) const
{
    QString operation;
    if (entry.calculation)
        operation = fUi.mathOperation->itemText(entry.calculation->operation);
    const std::string expression = HistoryExpression(entry, operation.toStdString());
    return tr("%1 = %2 · %3 bits", "expression, result, width")
        .arg(FromUtf8(expression), FromUtf8(HistoryResult(entry)))
        .arg(entry.width);
}

QString HistoryPanel::entryDetails(const HistoryEntry& entry) const
{
    QString field;
    for (const Field& each : fFields)
        if (each.row == entry.row && each.notation == entry.notation)
            field = each.field->accessibleName();
    const QString sign = entry.number.isSigned ? tr("signed") : tr("unsigned");
    const QString order
        = entry.number.endian == eLittleEndian ? tr("little-endian") : tr("big-endian");
    const QString when
        = QLocale().toString(QDateTime::fromMSecsSinceEpoch(entry.time), QLocale::ShortFormat);
    return tr("%1 · %2, %3 · %4", "field typed in, signedness, byte order, when")
        .arg(field, sign, order, when);
}

void HistoryPanel::showListMenu(const QPoint& position)
{
    QMenu menu;
    const bool onEntry = currentEntry() != nullptr;
    QAction* restore = menu.addAction(tr("&Bring Back"), this, &HistoryPanel::restoreCurrent);
    restore->setShortcut(QKeySequence(Qt::Key_Return));
    restore->setEnabled(onEntry);
    QAction* remove = menu.addAction(tr("&Remove"), this, &HistoryPanel::removeCurrent);
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    remove->setEnabled(onEntry);
    menu.addSeparator();
    QAction* clear = menu.addAction(tr("&Clear History…"), this, &HistoryPanel::clearAll);
    clear->setEnabled(!store().history().empty());
    menu.exec(fList->viewport()->mapToGlobal(position));
}

void HistoryPanel::restoreCurrent()
{
    if (const HistoryEntry* entry = currentEntry())
        fShowChanges(fModel.restoreEntry(HistoryEntry(*entry)));
}

// A step of the document: Ctrl+Z puts the entry back in its place.
void HistoryPanel::removeCurrent()
{
    if (const HistoryEntry* entry = currentEntry())
        fShowChanges(fModel.removeHistoryEntry(HistoryEntry(*entry)));
}

// Asked first: a clear cannot be undone, and it empties every window's list.
void HistoryPanel::clearAll()
{
    if (store().history().empty())
        return;
    QMessageBox question(QMessageBox::Question, tr("Clear History"),
        tr("Remove every entry from the history?"), QMessageBox::NoButton, &fWindow);
    question.setObjectName(QStringLiteral("clearHistoryQuestion"));
    question.setInformativeText(tr("This cannot be undone."));
    QPushButton* clear = question.addButton(tr("Clear"), QMessageBox::DestructiveRole);
    question.addButton(QMessageBox::Cancel);
    question.setDefaultButton(QMessageBox::Cancel);
    question.exec();
    if (question.clickedButton() == clear)
        store().clear();
}
