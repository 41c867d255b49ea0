#include "EditMenu.h"

#include "ui_ConverterDocument.h"

#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>

#include <memory>
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
    , fLiteralTitle(ui.actionCopyAsLiteral->text())
{
    struct EditCommand {
        QAction* action;
        QKeySequence::StandardKey keys;
        void (*apply)(QLineEdit&);
        bool changesText;
    };
    const EditCommand commands[] = {
        { ui.actionCut, QKeySequence::Cut, [](QLineEdit& field) { field.cut(); }, true },
        { ui.actionCopy, QKeySequence::Copy, [](QLineEdit& field) { field.copy(); }, false },
        { ui.actionPaste, QKeySequence::Paste, [](QLineEdit& field) { field.paste(); }, true },
        { ui.actionDelete, QKeySequence::Delete, [](QLineEdit& field) { field.del(); }, true },
        { ui.actionSelectAll, QKeySequence::SelectAll, [](QLineEdit& field) { field.selectAll(); },
            false },
    };
    for (const EditCommand& command : commands) {
        command.action->setShortcuts(command.keys);
        connect(command.action, &QAction::triggered, this, [this, command] {
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
        [this] { copyAsLiteral(literalField()); });

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
        if (auto* field = qobject_cast<QLineEdit*>(now); field && fFields.contains(field))
            fLastField = field;
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
    const bool editable = field && !field->isReadOnly();
    const bool selected = field && field->hasSelectedText();
    fUi.actionCut->setEnabled(editable && selected);
    fUi.actionCopy->setEnabled(selected);
    fUi.actionPaste->setEnabled(editable);
    fUi.actionDelete->setEnabled(editable && selected);
    fUi.actionSelectAll->setEnabled(field && !field->text().isEmpty());
    if (const QLineEdit* copied = literalField())
        fUi.actionCopyAsLiteral->setText(literalTitle(*copied));
}

// Copy as Literal works wherever the focus is, as Undo does: on the field
// with the focus, else the one that had it last, else the first.
const QLineEdit* EditMenu::literalField() const
{
    if (const QLineEdit* field = targetField())
        return field;
    if (fLastField)
        return fLastField;
    return fFields.isEmpty() ? nullptr : fFields.front();
}

QString EditMenu::literalTitle(const QLineEdit& field) const
{
    return fLiteral(field).decimal ? tr("Copy Decimal as &Literal") : fLiteralTitle;
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
        QGuiApplication::clipboard()->setText(fLiteral(*field).text);
}

// The field's own menu, with Copy as Literal for that field whether or not
// it has the focus.
void EditMenu::showFieldMenu(QLineEdit* field, const QPoint& position)
{
    loadMenuIcons();
    const std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
    showStandardKeys(*menu);
    useDocumentUndo(*menu);
    menu->addSeparator();
    QAction* literal = menu->addAction(fUi.actionCopyAsLiteral->icon(), literalTitle(*field), this,
        [this, field] { copyAsLiteral(field); });
    literal->setShortcut(fUi.actionCopyAsLiteral->shortcut());
    literal->setObjectName(QStringLiteral("fieldCopyAsLiteral"));
    menu->exec(field->mapToGlobal(position));
}

// The field menu's Undo and Redo undo the document, as the Edit menu's do.
void EditMenu::useDocumentUndo(QMenu& menu) const
{
    // Told by the toolkit's own titles, which its translation translates;
    // the keys may follow a tab.
    const std::pair<const char*, QAction*> commands[]
        = { { "&Undo", fUi.actionUndo }, { "&Redo", fUi.actionRedo } };
    for (QAction* action : menu.actions()) {
        for (const auto& [title, document] : commands) {
            if (action->text().section(QLatin1Char('\t'), 0, 0)
                == QCoreApplication::translate("QLineEdit", title)) {
                menu.insertAction(action, document);
                menu.removeAction(action);
            }
        }
    }
}

// The toolkit's field menu shows some commands' keys and not others, which
// ones depending on the platform and on the window's own shortcuts: here
// every command shows its key, as in the Edit menu.
void EditMenu::showStandardKeys(QMenu& menu)
{
    // The toolkit's titles for its field menu, which its own translation
    // translates (so they are not marked for ours).
    const std::pair<const char*, QKeySequence::StandardKey> commands[] = {
        { "&Undo", QKeySequence::Undo },
        { "&Redo", QKeySequence::Redo },
        { "Cu&t", QKeySequence::Cut },
        { "&Copy", QKeySequence::Copy },
        { "&Paste", QKeySequence::Paste },
        { "Delete", QKeySequence::Delete },
        { "Select All", QKeySequence::SelectAll },
    };
    for (QAction* action : menu.actions()) {
        if (action->isSeparator() || action->text().contains(QLatin1Char('\t')))
            continue;
        for (const auto& [title, keys] : commands)
            if (action->text() == QCoreApplication::translate("QLineEdit", title))
                action->setText(action->text() + QLatin1Char('\t')
                    + QKeySequence(keys).toString(QKeySequence::NativeText));
    }
}
