#include "ConverterView.h"

#include "AboutBox.h"
#include "AccessibleInterfaces.h"
#include "BitFieldPanel.h"
#include "BitGrid.h"
#include "EditMenu.h"
#include "FieldClick.h"
#include "FieldDescription.h"
#include "FieldString.h"
#include "FlagButton.h"
#include "FlagDescription.h"
#include "FocusedWheel.h"
#include "HistoryPanel.h"
#include "MagnitudeLabel.h"
#include "WarningLabel.h"
#include "WindowLayout.h"
#include "WindowTitle.h"
#include "WiringAssert.h"
#include "ui_ConverterDocument.h"

#include "engine/WideFloat.h"
#include "files/HistoryStore.h"
#include "files/LayoutStore.h"
#include "files/WindowStateStore.h"
#include "model/BitFieldLayout.h"
#include "model/History.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>

#include <algorithm>
#include <iterator>

namespace {

// The width popup's items in the window description's order: uic carries
// no item data, so an item's width comes from here.
constexpr UInt16 kWidthItems[] = { 8, 16, 32, 64, 128 };

// Each row's widgets are named by the row, then what they are: the fields
// and most controls by a prefix ("current" + "Hexadecimal"), the signed
// boxes, swap and shift buttons by a suffix ("swapEndian" + "Value").
struct RowNames {
    FieldType type;
    const char* name; // what assistive technology calls the row, untranslated
    const char* prefix;
    const char* suffix;
};
const RowNames kRowNames[kRowCount] = {
    { eFieldTypeValue, QT_TRANSLATE_NOOP("FieldDescription", "Value"), "current", "Value" },
    { eFieldTypeOperand, QT_TRANSLATE_NOOP("FieldDescription", "Operand"), "operand", "Operand" },
    { eFieldTypeResult, QT_TRANSLATE_NOOP("FieldDescription", "Result"), "result", "Result" },
};
// By Notation.
const char* const kNotationNames[eNotationCount] = { "Binary", "Decimal", "Hexadecimal", "Octal",
    "Quixadecimal", "Text", "IPAddress", "NumVersion", "Float", "Uuid" };

QString FieldName(const RowNames& row, Notation notation)
{
    // The one name the window description spells its own way.
    if (row.type == eFieldTypeValue && notation == eNotationIPAddress)
        return QStringLiteral("currentIpAddress");
    return QLatin1String(row.prefix) + QLatin1String(kNotationNames[notation]);
}

// The widget or object of that name, which every row has unless `optional`.
template <class T> T* Bound(const QObject& window, const QString& name, bool optional = false)
{
    T* found = window.findChild<T*>(name);
    WIRING_ASSERT(found || optional);
    return found;
}

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// What a row's message line says, in the window's language.
QString MessageText(const char* words, const std::string& token = {})
{
    if (!words)
        return {};
    const QString translated = QCoreApplication::translate("Message", words);
    return translated.contains(QLatin1String("%1")) ? translated.arg(QString::fromStdString(token))
                                                    : translated;
}

QString MessageText(const RowMessage& message)
{
    const QString words = MessageText(message.text, message.token);
    const char* frame = message.frame();
    return frame ? MessageText(frame, words.toStdString()) : words;
}

} // namespace

Stores Stores::atDefaultPlaces()
{
    return { std::make_shared<HistoryStore>(), std::make_shared<const LayoutStore>(),
        std::make_shared<WindowStateStore>() };
}

ConverterView::ConverterView(QWidget* parent)
    : ConverterView(Stores::atDefaultPlaces(), parent)
{ }

ConverterView::ConverterView(Stores stores, QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::ConverterDocument>())
    , fStores(std::move(stores))
{
    InstallAccessibleInterfaces();
    setAttribute(Qt::WA_DeleteOnClose);
    ui->setupUi(this);
    awakeFromNib();
    NumberWindow(*this);
}

// The panel goes while the window is whole: an edit its table was holding
// is committed as the focus leaves, and must find nothing to write to.
ConverterView::~ConverterView()
{
    delete fBitFieldPanel;
}

void ConverterView::awakeFromNib()
{
    // Polished now, not when first shown: the start state measures the
    // laid-out window, and its widgets fix their sizes when polished.
    ensurePolished();
    bindRows();
    sizeFields();
    wireControls();
    wireKeyboard();
    wireHistory();
    enterStartState();
}

void ConverterView::bindRows()
{
    const QObject& w = *this;
    for (const RowNames& names : kRowNames) {
        const QString prefix = QLatin1String(names.prefix);
        const QString suffix = QLatin1String(names.suffix);
        const bool computed = names.type == eFieldTypeResult;
        Row& bound = fRows[names.type - eFieldTypeValue];
        bound.type = names.type;
        bound.name = names.name;
        for (int notation = 0; notation < eNotationCount; ++notation)
            bound.fields[notation]
                = Bound<QLineEdit>(w, FieldName(names, static_cast<Notation>(notation)));
        bound.signedBox = Bound<QCheckBox>(w, QStringLiteral("signed") + suffix + "Box");
        bound.endianMatrix = Bound<QButtonGroup>(w, prefix + "EndianMatrix");
        bound.bigEndianRadio = Bound<QRadioButton>(w, prefix + "BigEndianRadio");
        bound.littleEndianRadio = Bound<QRadioButton>(w, prefix + "LittleEndianRadio");
        bound.swapButton = Bound<QPushButton>(w, "swapEndian" + suffix, computed);
        bound.shiftLeftButton = Bound<QPushButton>(w, "shiftLeft" + suffix, computed);
        bound.shiftRightButton = Bound<QPushButton>(w, "shiftRight" + suffix, computed);
        bound.binaryMagnitude = Bound<MagnitudeLabel>(w, prefix + "BinaryMagnitude");
        bound.metricMagnitude = Bound<MagnitudeLabel>(w, prefix + "MetricMagnitude");
        bound.bitGrid = Bound<BitGrid>(w, prefix + "BitGrid");
        bound.overflowWarning = Bound<WarningLabel>(w, prefix + "OverflowWarning", computed);

        for (int notation = 0; notation < eNotationCount; ++notation) {
            QLineEdit& field = *bound.fields[notation];
            DescribeField(field, bound.name, static_cast<Notation>(notation));
            if (field.isReadOnly())
                ReportReadOnly(field);
        }
        // The window may be too narrow for 64 bits; the grid shows them all.
        ShowWholeTextInToolTip(*bound.fields[eNotationBinary]);
        bound.bitGrid->setRowName(QCoreApplication::translate("FieldDescription", bound.name));
        bound.bitGrid->setReadOnly(computed);
    }

    // Items are told apart by their place, never by their titles, which a
    // translation may change; an operation item's index is its MathOperation.
    QComboBox& widths = *ui->bitWidthPopup;
    WIRING_ASSERT(widths.count() == int(std::size(kWidthItems)));
    for (int i = 0; i < widths.count(); ++i)
        widths.setItemData(i, kWidthItems[i]);
    WIRING_ASSERT(ui->mathOperation->count() == eMathOperationCount);
    bindFlags();
}

void ConverterView::bindFlags()
{
    Ui::ConverterDocument& w = *ui;
    fFlags = { w.resultZeroFlag, w.resultSignFlag, w.resultCarryFlag, w.resultOverflowFlag,
        w.resultDivideByZeroFlag };
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        fFlags[flag]->setAccessibleName(FlagName(static_cast<MathFlag>(flag)));
}

void ConverterView::sizeFields()
{
    Ui::ConverterDocument& w = *ui;
    // The two areas' field rows line up only if their header rows, each
    // with a popup, are equally tall; the disclosure button may be taller.
    const int headerHeight
        = std::max(w.bitWidthPopup->sizeHint().height(), w.mathDisclosure->sizeHint().height());
    w.bitWidthPopup->setMinimumHeight(headerHeight);
    w.mathOperation->setMinimumHeight(headerHeight);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const Row& row : fRows)
        for (QLineEdit* field : row.fields)
            field->setFont(fixed);
    // All fields share the font, so one width fits them all: a 32-bit binary
    // number whole, in the desktop's font at any size.
    const int minimum
        = FieldWidthFor(*row(eFieldTypeValue).fields[eNotationBinary], kBinaryCharacters32);
    for (const Row& row : fRows) {
        for (QLineEdit* field : row.fields)
            field->setMinimumWidth(minimum);
        if (row.overflowWarning)
            row.overflowWarning->reserveRoomFor({ MessageText(TooBigMessageText(eNotationBinary)),
                MessageText(TooBigMessageText(eNotationDecimal)),
                MessageText(TooBigMessageText(eNotationText)),
                MessageText(WidenedMessage(eNotationDecimal, 64)) });
    }
    fWindowLayout = std::make_unique<WindowLayout>(*this, w);
}

// Each control calls one verb of the model with the row it belongs to, and
// the window shows what changed.
void ConverterView::wireControls()
{
    Ui::ConverterDocument& w = *ui;
    for (const Row& row : fRows)
        wireRow(row);

    connect(w.bitWidthPopup, &QComboBox::activated, this,
        [this](int index) { showChanges(fModel.chooseWidth(kWidthItems[index])); });
    connect(w.mathOperation, &QComboBox::activated, this, [this](int index) {
        showChanges(fModel.chooseOperation(static_cast<MathOperation>(index)));
    });
    connect(w.mathDisclosure, &QToolButton::clicked, this,
        [this](bool open) { showChanges(fModel.mathDisclosured(open)); });
    connect(w.actionUndo, &QAction::triggered, this, [this] { showChanges(fModel.undo()); });
    connect(w.actionRedo, &QAction::triggered, this, [this] { showChanges(fModel.redo()); });

    connect(w.actionNewWindow, &QAction::triggered, this, &ConverterView::openNewWindow);
    connect(w.actionCloseWindow, &QAction::triggered, this, &QWidget::close);
    connect(w.actionQuit, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    connect(w.actionAbout, &QAction::triggered, this, [this] { ShowAboutBox(this); });
    // From the keyboard, the same as a click on the disclosure button.
    connect(w.actionShowMathArea, &QAction::triggered, w.mathDisclosure, &QToolButton::click);
    connect(w.actionAboutQt, &QAction::triggered, qApp, &QApplication::aboutQt);
    connect(w.actionKeepOnTop, &QAction::toggled, this, &ConverterView::keepOnTop);
    wireBitFields();
    wireNotations();

    QList<QLineEdit*> fields;
    for (const Row& row : fRows)
        fields.append(QList<QLineEdit*>(row.fields.begin(), row.fields.end()));
    fEditMenu = std::make_unique<EditMenu>(*this, w, fields, [this](const QLineEdit& field) {
        for (const Row& row : fRows)
            for (int notation = 0; notation < eNotationCount; ++notation)
                if (row.fields[notation] == &field) {
                    const auto which = static_cast<Notation>(notation);
                    return EditMenu::LiteralText { FromUtf8(fModel.literal(row.type, which)),
                        LiteralNotation(which, fModel.width()) != which };
                }
        return EditMenu::LiteralText {};
    });
}

// The panel is made by the first action that needs it.
void ConverterView::wireBitFields()
{
    Ui::ConverterDocument& w = *ui;
    connect(w.actionShowBitFields, &QAction::toggled, this, [this](bool shown) {
        if (shown)
            bitFieldPanel().showAndFocus();
        else if (fBitFieldPanel)
            fWindowLayout->showPanel(*fBitFieldPanel, false);
    });
    connect(w.actionImportLayout, &QAction::triggered, this,
        [this] { bitFieldPanel().importLayout(); });
    connect(w.actionExportLayout, &QAction::triggered, this,
        [this] { bitFieldPanel().exportLayout(); });
    BitGrid& grid = *row(eFieldTypeValue).bitGrid;
    grid.setNamesBits(true);
    connect(&grid, &BitGrid::nameBitsRequested, this,
        [this](int msb, int lsb) { bitFieldPanel().nameBits(msb, lsb); });
}

BitFieldPanel& ConverterView::bitFieldPanel()
{
    if (fBitFieldPanel)
        return *fBitFieldPanel;
    fBitFieldPanel = new BitFieldPanel(
        *this, fModel, *row(eFieldTypeValue).bitGrid,
        [this](const ModelChanges& changes) { showChanges(changes); }, fStores.layouts);
    // The panel's own close button unticks the menu's item.
    connect(fBitFieldPanel, &QDockWidget::visibilityChanged, this, [this] {
        const QSignalBlocker quiet(ui->actionShowBitFields);
        ui->actionShowBitFields->setChecked(!fBitFieldPanel->isHidden());
    });
    fWindowLayout->showPanel(*fBitFieldPanel, false);
    return *fBitFieldPanel;
}

void ConverterView::wireRow(const Row& row)
{
    const FieldType type = row.type;
    connect(row.signedBox, &QCheckBox::clicked, this,
        [this, type](bool checked) { showChanges(fModel.setSigned(type, checked)); });
    QRadioButton* big = row.bigEndianRadio;
    connect(row.endianMatrix, &QButtonGroup::buttonClicked, this,
        [this, type, big](QAbstractButton* button) {
            showChanges(fModel.endianSwitched(type, button == big ? eBigEndian : eLittleEndian));
        });
    if (!ConverterModel::isTyped(type))
        return;
    for (int notation = 0; notation < eNotationCount; ++notation) {
        const auto which = static_cast<Notation>(notation);
        QLineEdit* field = row.fields[notation];
        SelectAllOnClickInto(
            *field, [this, type, which] { return !fModel.holdsTypedText(type, which); });
        connect(
            field, &QLineEdit::textEdited, this, [this, type, which, field](const QString& text) {
                // A text cut to the field's length is set again: the cursor
                // stays where the typing goes on.
                const int cursor = field->cursorPosition();
                showChanges(fModel.typeInto(type, which, ModelText(text)));
                if (const qsizetype kept = field->text().size(); kept != text.size())
                    field->setCursorPosition(std::min(cursor, int(kept)));
            });
    }
    connect(row.swapButton, &QPushButton::clicked, this,
        [this, type] { showChanges(fModel.swapEndian(type)); });
    connect(row.shiftLeftButton, &QPushButton::clicked, this,
        [this, type] { showChanges(fModel.shift(type, eShiftLeftDir)); });
    connect(row.shiftRightButton, &QPushButton::clicked, this,
        [this, type] { showChanges(fModel.shift(type, eShiftRightDir)); });
    connect(
        row.bitGrid, &BitGrid::bitsEdited, this, [this, type](UInt128 bits, bool continuesDrag) {
            showChanges(fModel.setWideBits(type, bits, continuesDrag));
        });
}

void ConverterView::wireKeyboard()
{
    TakeWheelOnlyWhenFocused(*ui->bitWidthPopup);
    TakeWheelOnlyWhenFocused(*ui->mathOperation);
    // An arrow key on a closed popup opens its list instead of applying each
    // item it passes: a width narrower than the number's would drop its
    // high bits on the way, and each operation would be a step to undo.
    OpenListOnArrowKeys(*ui->bitWidthPopup);
    OpenListOnArrowKeys(*ui->mathOperation);
    // The labels' letters, by the field each label names.
    QHash<const QWidget*, QKeySequence> mnemonics;
    for (const QLabel* label : findChildren<QLabel*>())
        if (label->buddy())
            mnemonics.insert(label->buddy(), QKeySequence::mnemonic(label->text()));
    const Row& value = row(eFieldTypeValue);
    const Row& operand = row(eFieldTypeOperand);
    for (int notation = 0; notation < eNotationCount; ++notation)
        reachFromKeyboard(*operand.fields[notation], mnemonics.value(value.fields[notation]));
}

// Recalling a text types it, and restoring an entry or removing one is a
// verb of its own, one step to undo.
void ConverterView::wireHistory()
{
    std::vector<HistoryPanel::Field> typed;
    for (FieldType type : { eFieldTypeValue, eFieldTypeOperand })
        for (int notation = 0; notation < eNotationCount; ++notation)
            typed.push_back({ row(type).fields[notation], type, static_cast<Notation>(notation) });
    fHistoryPanel = std::make_unique<HistoryPanel>(
        *this, *fWindowLayout, *ui, fModel, std::move(typed),
        [this](const ModelChanges& changes) { showChanges(changes); }, fStores.history);
}

// An Operand field is reached with Alt+Shift and the mnemonic of the Value
// field in the same line, so that it follows the labels' letters in any
// language; the math area opens first if it is closed.
void ConverterView::reachFromKeyboard(QLineEdit& operandField, const QKeySequence& valueMnemonic)
{
    if (valueMnemonic.isEmpty())
        return;
    const QKeySequence keys(
        QKeyCombination(Qt::AltModifier | Qt::ShiftModifier, valueMnemonic[0].key()));
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, this, [this, &operandField] {
        // A hidden notation's field is never reached.
        if (operandField.isHidden())
            return;
        if (!fModel.mathEnabled())
            ui->mathDisclosure->click();
        operandField.setFocus(Qt::ShortcutFocusReason);
    });
    operandField.setToolTip(
        tr("%1 (%2)", "a field's tooltip, then the keys that reach it")
            .arg(operandField.toolTip(), keys.toString(QKeySequence::NativeText)));
}

void ConverterView::enterStartState()
{
    // The window description shows the new document; what it shows
    // otherwise than the model is set from the model, so that the two cannot
    // drift apart.
    ModelChanges everything;
    for (auto& texts : everything.texts)
        texts.set();
    everything.bits.set();
    everything.magnitudes.set();
    everything.signs.set();
    everything.endians.set();
    everything.messages.set();
    everything.width = everything.operation = everything.flags = true;
    showChanges(everything);

    ui->mathDisclosure->setChecked(false);
    if (fStores.windowState) {
        std::bitset<eNotationCount> hidden;
        for (const Notation notation : fStores.windowState->load().hiddenNotations)
            if (notation >= 0 && notation < eNotationCount)
                hidden.set(notation);
        showNotations(hidden);
    }
    // Tab starts at the top, with the width; the window opens ready for a
    // number to be typed, in the first notation shown.
    const auto& fields = row(eFieldTypeValue).fields;
    (*std::find_if(fields.begin(), fields.end(), [](const QLineEdit* field) {
        return !field->isHidden();
    }))->setFocus(Qt::OtherFocusReason);
    updateFlagToolTips();

    showMathArea();
    fitValueRowToWidestNumber();
}

// The window opens wide enough for the Value row to show a 64-bit binary
// number whole; the math area, once opened, adds to that or goes below it.
void ConverterView::fitValueRowToWidestNumber()
{
    fWindowLayout->fitValueRow();
}

void ConverterView::applicationShouldHandleReopen()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    QWidget::show();
    raise();
}

void ConverterView::openWithText(
    Notation notation, const QString& text, UInt16 width, Endian endian)
{
    WIRING_ASSERT(notation >= eNotationBinary && notation < eNotationCount);
    // The text is shown as given, not as the model keeps it: a field holds
    // every character typed.
    row(eFieldTypeValue).fields[notation]->setText(text);
    showChanges(fModel.openWith(notation, ModelText(text), width, endian));
}

// --- Showing the model -------------------------------------------------------

void ConverterView::showChanges(const ModelChanges& changes)
{
    if (changes.width)
        showWidth();
    for (const Row& row : fRows)
        showRow(row, changes);
    if (changes.operation) {
        ui->mathOperation->setCurrentIndex(fModel.operation());
        updateFlagToolTips();
    }
    if (changes.flags)
        for (int flag = 0; flag < eMathFlagCount; ++flag)
            fFlags[flag]->setChecked(fModel.flag(static_cast<MathFlag>(flag)));
    if (changes.mathArea)
        showMathArea();
    if (changes.layout) {
        saveLayout(changes.layoutDeleted);
        ui->actionExportLayout->setEnabled(fModel.layout() != nullptr);
    }
    if (fBitFieldPanel)
        fBitFieldPanel->showChanges(changes);
    keepHistory(changes);
    showUndoState();
}

void ConverterView::saveLayout(const std::string& deleted)
{
    const BitFieldLayout* layout = fModel.layout();
    if (!layout) {
        const auto problem
            = deleted.empty() ? std::nullopt : fStores.layouts->remove(FromUtf8(deleted));
        if (fBitFieldPanel)
            fBitFieldPanel->showSaveProblem(
                problem ? BitFieldPanel::tr("Not deleted: %1").arg(problem->text()) : QString());
        return;
    }
    // Generated lanes are saved once they are edited into a layout of their own.
    if (fModel.lanes() != 0)
        return;
    const LayoutSave saved = fStores.layouts->save(*layout, FromUtf8(fModel.layoutFile()));
    if (saved.ok())
        fModel.layoutSaved(saved.path.toStdString());
    if (fBitFieldPanel)
        fBitFieldPanel->showSaveProblem(
            saved.ok() ? QString() : BitFieldPanel::tr("Not saved: %1").arg(saved.error->text()));
}

void ConverterView::keepHistory(const ModelChanges& changes)
{
    if (changes.historyRemoved)
        fStores.history->remove(*changes.historyRemoved);
    if (changes.historyRestored)
        fStores.history->record(*changes.historyRestored);
}

void ConverterView::showRow(const Row& row, const ModelChanges& changes)
{
    const int at = row.type - eFieldTypeValue;
    for (int notation = 0; notation < eNotationCount; ++notation) {
        if (!changes.texts[at][notation])
            continue;
        // The model reports a text that changed, so each is set once: setting
        // an equal text would still move the cursor and drop the selection.
        row.fields[notation]->setText(
            FieldString(fModel.text(row.type, static_cast<Notation>(notation))));
    }
    if (changes.bits[at])
        row.bitGrid->setBits(fModel.wideBits(row.type), fModel.width(), fModel.isSigned(row.type));
    if (changes.magnitudes[at]) {
        row.binaryMagnitude->setMagnitude(
            QString::fromStdString(fModel.magnitude(row.type, false)));
        row.metricMagnitude->setMagnitude(QString::fromStdString(fModel.magnitude(row.type, true)));
    }
    if (changes.signs[at])
        row.signedBox->setChecked(fModel.isSigned(row.type));
    if (changes.endians[at])
        (fModel.endian(row.type) == eBigEndian ? row.bigEndianRadio : row.littleEndianRadio)
            ->setChecked(true);
    if (changes.messages[at] && row.overflowWarning) {
        const RowMessage& message = fModel.message(row.type);
        row.overflowWarning->setWarning(MessageText(message),
            message.kind == eMessageEntered || message.kind == eMessageUuid
                ? WarningLabel::eNote
                : WarningLabel::eWarning);
    }
}

void ConverterView::showWidth()
{
    const auto* item = std::find(std::begin(kWidthItems), std::end(kWidthItems), fModel.width());
    WIRING_ASSERT(item != std::end(kWidthItems));
    ui->bitWidthPopup->setCurrentIndex(int(item - std::begin(kWidthItems)));
    for (const Row& row : fRows)
        for (MagnitudeLabel* label : { row.binaryMagnitude, row.metricMagnitude })
            label->setWide(fModel.width() == 128);
    fWindowLayout->widthChosen(fModel.width());
    // At 8 bits the float field is empty; it says why.
    const bool hasFloat = IsWideFloatWidth(fModel.width());
    const bool hasUuid = fModel.width() == 128;
    for (const Row& row : fRows) {
        row.fields[eNotationFloat]->setPlaceholderText(hasFloat ? QString() : NoFloatPlaceholder());
        row.fields[eNotationUuid]->setPlaceholderText(hasUuid ? QString() : NoUuidPlaceholder());
    }
}

void ConverterView::showMathArea()
{
    const bool open = fModel.mathEnabled();
    ui->mathDisclosure->setChecked(open);
    ui->actionShowMathArea->setChecked(open);
    ui->mathDisclosure->setArrowType(open ? Qt::LeftArrow : Qt::RightArrow);
    ui->mathOperation->setEnabled(open);
    const Row& operandRow = row(eFieldTypeOperand);
    for (QLineEdit* field : operandRow.fields)
        if (field != operandRow.fields[eNotationNumVersion])
            field->setEnabled(open);
    ui->expandedBox->setVisible(open);
    fWindowLayout->mathShown(open);
}

void ConverterView::showUndoState()
{
    ui->actionUndo->setEnabled(fModel.canUndo());
    ui->actionRedo->setEnabled(fModel.canRedo());
}

void ConverterView::updateFlagToolTips()
{
    const MathOperation operation = fModel.operation();
    if (operation < 0 || operation >= eMathOperationCount)
        return;
    // The operation's title as its popup names it, in the window's language.
    const QString title = ui->mathOperation->itemText(operation);
    for (int index = 0; index < eMathFlagCount; ++index) {
        const auto flag = static_cast<MathFlag>(index);
        fFlags[index]->setToolTip(FlagToolTip(flag, operation, title));
        fFlags[index]->setAccessibleDescription(FlagMeaning(flag, operation, title));
    }
}

// --- Notations ---------------------------------------------------------------

void ConverterView::wireNotations()
{
    for (int notation = 0; notation < eNotationCount; ++notation) {
        const auto which = static_cast<Notation>(notation);
        QAction* action = Bound<QAction>(
            *this, QStringLiteral("viewNotation") + QLatin1String(kNotationNames[notation]));
        fNotationActions[notation] = action;
        connect(action, &QAction::toggled, this,
            [this, which](bool shown) { setNotationShown(which, shown); });
    }
}

void ConverterView::setNotationShown(Notation notation, bool shown)
{
    std::bitset<eNotationCount> hidden = fHiddenNotations;
    hidden.set(notation, !shown);
    showNotations(hidden);
    rememberNotations();
}

void ConverterView::showNotations(const std::bitset<eNotationCount>& hidden)
{
    // The UUID is empty below 128 bits, so one of the others stays shown.
    std::bitset<eNotationCount> others = hidden;
    others.set(eNotationUuid);
    const bool changed = hidden != fHiddenNotations && !others.all();
    if (changed) {
        fHiddenNotations = hidden;
        for (const Row& row : fRows)
            for (int notation = 0; notation < eNotationCount; ++notation)
                row.fields[notation]->setVisible(!hidden[notation]);
        fWindowLayout->notationsShown(hidden);
    }
    // The last notation shown cannot be hidden.
    others = fHiddenNotations;
    others.set(eNotationUuid);
    const bool lastShown = others.count() + 1 == eNotationCount;
    for (int notation = 0; notation < eNotationCount; ++notation) {
        QAction& action = *fNotationActions[notation];
        const QSignalBlocker quiet(action);
        action.setChecked(!fHiddenNotations[notation]);
        action.setEnabled(notation == eNotationUuid || !(lastShown && !others[notation]));
    }
    // The focus moves on from a field hidden under it, as Tab would; the
    // toolkit does so itself only in the active window.
    QWidget* focused = focusWidget();
    if (!changed || !focused || focused->isVisibleTo(this))
        return;
    for (QWidget* next = focused->nextInFocusChain(); next != focused;
         next = next->nextInFocusChain())
        if (next->window() == this && next->isVisibleTo(this) && next->isEnabled()
            && (next->focusPolicy() & Qt::TabFocus)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
}

void ConverterView::rememberNotations()
{
    if (!fStores.windowState)
        return;
    WindowState state = fStores.windowState->load();
    state.hiddenNotations.clear();
    for (int notation = 0; notation < eNotationCount; ++notation)
        if (fHiddenNotations[notation])
            state.hiddenNotations.push_back(static_cast<Notation>(notation));
    fStores.windowState->save(state);
}

// --- Windows -----------------------------------------------------------------

// Each new window a step down and to the right of this one, back to the
// top left of the screen's free area when it would not fit there.
void ConverterView::openNewWindow()
{
    auto* window = new ConverterView(fStores);
    window->showNotations(fHiddenNotations);
    const QRect frame = frameGeometry();
    const QRect available = screen()->availableGeometry();
    QRect next = frame.translated(32, 32);
    if (!available.contains(next))
        next.moveTopLeft(available.topLeft());
    window->move(next.topLeft());
    window->QWidget::show();
}

// Per window and for this session only. A new flag makes a new native
// window, hidden, which the window manager may place anew: it is put back
// where it was and as it was.
void ConverterView::keepOnTop(bool onTop)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const QPoint position = pos();
    const QSize size = this->size();
    const bool shown = isVisible();
    const bool active = isActiveWindow();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    resize(size);
    move(position);
    if (shown)
        QWidget::show();
    if (active)
        activateWindow();
}
