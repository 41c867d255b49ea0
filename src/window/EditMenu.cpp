#include "EditMenu.h"

#include "ui_ConverterDocument.h"

#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>

#include <utility>

namespace {

// A field keeps an undo history of its own text; the document's history
// replaces it, so the field lets the window's Undo and Redo take their keys.
class DocumentUndoKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        // Every binding of Undo and Redo holds Ctrl or Alt; a typed
        // character costs no lookup of the desktop's bindings.
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        const bool undoKey = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)
            || key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)
            || key->keyCombination()
                == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
        // Left unaccepted, a shortcut override goes on to the window's
        // actions; a key press they did not take (nothing to undo) ends here.
        return undoKey;
    }
};

// The commands on a field's text, in the Edit menu and in the field's own.
struct EditCommand {
    QAction* Ui::ConverterDocument::*action;
    QKeySequence::StandardKey keys;
    void (*apply)(QLineEdit&);
    bool changesText;
    bool needsSelection;
};
const EditCommand kCommands[] = {
    { &Ui::ConverterDocument::actionCut, QKeySequence::Cut, [](QLineEdit& field) { field.cut(); },
        true, true },
    { &Ui::ConverterDocument::actionCopy, QKeySequence::Copy,
        [](QLineEdit& field) { field.copy(); }, false, true },
    { &Ui::ConverterDocument::actionPaste, QKeySequence::Paste,
        [](QLineEdit& field) { field.paste(); }, true, false },
    { &Ui::ConverterDocument::actionDelete, QKeySequence::Delete,
        [](QLineEdit& field) { field.del(); }, true, true },
    { &Ui::ConverterDocument::actionSelectAll, QKeySequence::SelectAll,
        [](QLineEdit& field) { field.selectAll(); }, false, false },
};

// Whether the command can act on `field` now.
bool Applies(const EditCommand& command, const QLineEdit* field)
{
    if (!field || (command.changesText && field->isReadOnly()))
        return false;
    if (command.needsSelection)
        return field->hasSelectedText();
    return command.keys != QKeySequence::SelectAll || !field->text().isEmpty();
}

} // namespace

// A field with the focus takes the commands' standard keys itself, so the
// actions' own shortcuts only reach the window when no editable field could.
// Undo and Redo are the document's, wherever the focus is.
EditMenu::EditMenu(QWidget& window, const Ui::ConverterDocument& ui,
    const QList<QLineEdit*>& fields, Literal literal)
    : fWindow(window)
    , fUi(ui)
    , fFields(fields)
    , fLiteral(std::move(literal))
{
    for (const EditCommand& command : kCommands) {
        QAction* action = ui.*command.action;
        action->setShortcuts(command.keys);
        connect(action, &QAction::triggered, this, [this, &command] {
            QLineEdit* field = targetField();
            // A read-only field's own commands would still change its text.
            if (field && !(command.changesText && field->isReadOnly()))
                command.apply(*field);
        });
    }
    ui.actionUndo->setShortcuts(QKeySequence::Undo);
    // Redo also answers the key other desktops use for it.
    QList<QKeySequence> redo = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& also :
        { QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z),
            QKeySequence(Qt::ControlModifier | Qt::Key_Y) })
        if (!redo.contains(also))
            redo.append(also);
    ui.actionRedo->setShortcuts(redo);

    connect(ui.actionCopyAsLiteral, &QAction::triggered, this,
        [this] { copyAsLiteral(targetField()); });

    auto* undoKeys = new DocumentUndoKeys(this);
    for (QLineEdit* field : fields) {
        field->installEventFilter(undoKeys);
        field->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(field, &QWidget::customContextMenuRequested, this,
            [this, field](const QPoint& position) { showFieldMenu(field, position); });
    }

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now != fUi.menuBar && now->window() == &fWindow)
            fFocusBeforeMenuBar = now;
        updateEditActions();
    });
    connect(ui.editMenu, &QMenu::aboutToShow, this, &EditMenu::updateEditActions);
    for (QMenu* menu : { ui.editMenu, ui.helpMenu })
        connect(menu, &QMenu::aboutToShow, this, &EditMenu::loadMenuIcons);
    updateEditActions();
}

// A menu opened from the keyboard takes the focus to the menu bar, one
// opened by the mouse leaves it where it was: either way the commands act
// on the field the user was in.
QLineEdit* EditMenu::targetField() const
{
    QWidget* focus = fWindow.focusWidget();
    if (focus == fUi.menuBar)
        focus = fFocusBeforeMenuBar;
    auto* field = qobject_cast<QLineEdit*>(focus);
    return fFields.contains(field) ? field : nullptr;
}

void EditMenu::updateEditActions()
{
    const QLineEdit* field = targetField();
    for (const EditCommand& command : kCommands)
        (fUi.*command.action)->setEnabled(Applies(command, field));
    fUi.actionCopyAsLiteral->setEnabled(field != nullptr);
}

// Theme icons are looked up when a menu first opens, not at start: on a
// desktop the lookup is a large share of the time to the first window.
void EditMenu::loadMenuIcons()
{
    if (fMenuIconsLoaded)
        return;
    fMenuIconsLoaded = true;
    const std::pair<QAction*, const char*> icons[] = {
        { fUi.actionUndo, "edit-undo" },
        { fUi.actionRedo, "edit-redo" },
        { fUi.actionCut, "edit-cut" },
        { fUi.actionCopy, "edit-copy" },
        { fUi.actionCopyAsLiteral, "edit-copy" },
        { fUi.actionPaste, "edit-paste" },
        { fUi.actionDelete, "edit-delete" },
        { fUi.actionSelectAll, "edit-select-all" },
        { fUi.actionAbout, "help-about" },
    };
    for (const auto& [action, name] : icons)
        action->setIcon(QIcon::fromTheme(QLatin1String(name)));
}

void EditMenu::copyAsLiteral(const QLineEdit* field)
{
    if (field)
        QGuiApplication::clipboard()->setText(fLiteral(*field));
}

// The field's own menu: the Edit menu's commands, on that field whether or
// not it has the focus, each with its keys. Undo and Redo are the
// document's. Made here rather than taken from the toolkit, whose menu names
// its commands by translated titles alone.
void EditMenu::showFieldMenu(QLineEdit* field, const QPoint& position)
{
    loadMenuIcons();
    QMenu menu(field);
    menu.addAction(fUi.actionUndo);
    menu.addAction(fUi.actionRedo);
    menu.addSeparator();
    for (const EditCommand& command : kCommands) {
        const QAction& shown = *(fUi.*command.action);
        if (command.keys == QKeySequence::SelectAll)
            menu.addSeparator();
        QAction* action = menu.addAction(
            shown.icon(), shown.text(), field, [field, &command] { command.apply(*field); });
        action->setShortcut(QKeySequence(command.keys));
        action->setEnabled(Applies(command, field));
    }
    menu.addSeparator();
    QAction* literal = menu.addAction(fUi.actionCopyAsLiteral->icon(),
        fUi.actionCopyAsLiteral->text(), this, [this, field] { copyAsLiteral(field); });
    literal->setShortcut(fUi.actionCopyAsLiteral->shortcut());
    literal->setObjectName(QStringLiteral("fieldCopyAsLiteral"));
    menu.exec(field->mapToGlobal(position));
}
