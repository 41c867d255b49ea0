#include "ConverterView.h"

#include "BitlensVersion.h"
#include "FieldText.h"
#include "MathOperation.h"
#include "ui_ConverterDocument.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void FailedAssertion(const char* file, unsigned line, const char* condition)
{
    const char* name = std::strrchr(file, '/');
    std::fprintf(stderr, "%s:%u: failed assertion `%s'\n", name ? name + 1 : file, line, condition);
    std::abort();
}

// What assistive technology calls each notation field, after its row's
// name, and what its tooltip says about typing into it.
struct NotationDescription {
    const char* name;
    const char* toolTip;
};

const NotationDescription kNotationDescriptions[eNotationCount] = {
    { "binary", "Binary, in groups of four digits; spaces and 0b are ignored" },
    { "decimal", "Decimal, read in the row's byte order; a leading minus sign makes it signed" },
    { "hexadecimal", "Hexadecimal, in groups of four digits; spaces and 0x are ignored" },
    { "octal", "Octal, in groups of four digits; spaces and 0o are ignored" },
    { "base 36", "Base 36, digits 0–9 and a–z in groups of two; spaces are ignored" },
    { "text",
        "The bytes as characters, most significant first; • is a byte that is not "
        "printable" },
    { "IP address", "IPv4 address: the low 32 bits as four dotted numbers" },
    { "version", "Packed version number such as 1.2.3b4, from the low 32 bits" },
};

const char* const kRowNames[] = { "Value", "Operand", "Result" };

} // namespace

// Checks of the wiring between the window description and this code; they
// stay in release builds, since a miswired window must stop rather than guess.
#define WIRING_ASSERT(condition)                                                                   \
    ((condition) ? void(0) : FailedAssertion(__FILE__, __LINE__, #condition))

ConverterView::ConverterView(QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::ConverterDocument>())
{
    setAttribute(Qt::WA_DeleteOnClose);
    ui->setupUi(this);
    awakeFromNib();
    numberWindow();
}

ConverterView::~ConverterView()
{
    // Deleting the focused field announces a focus change, which must not
    // reach this half-destroyed window.
    disconnect(qApp, nullptr, this, nullptr);
}

void ConverterView::awakeFromNib()
{
    Ui::ConverterDocument& w = *ui;
    fRows = { {
        { eFieldTypeValue, &fCurrentValue, &fCurrentEndian,
            { w.currentBinary, w.currentDecimal, w.currentHexadecimal, w.currentOctal,
                w.currentQuixadecimal, w.currentText, w.currentIpAddress, w.currentNumVersion },
            w.signedValueBox, w.currentEndianMatrix, w.currentBigEndianRadio,
            w.currentLittleEndianRadio, w.currentBinaryMagnitude, w.currentMetricMagnitude },
        { eFieldTypeOperand, &fOperandValue, &fOperandEndian,
            { w.operandBinary, w.operandDecimal, w.operandHexadecimal, w.operandOctal,
                w.operandQuixadecimal, w.operandText, w.operandIPAddress, w.operandNumVersion },
            w.signedOperandBox, w.operandEndianMatrix, w.operandBigEndianRadio,
            w.operandLittleEndianRadio, w.operandBinaryMagnitude, w.operandMetricMagnitude },
        { eFieldTypeResult, &fResultValue, &fResultEndian,
            { w.resultBinary, w.resultDecimal, w.resultHexadecimal, w.resultOctal,
                w.resultQuixadecimal, w.resultText, w.resultIPAddress, w.resultNumVersion },
            w.signedResultBox, w.resultEndianMatrix, w.resultBigEndianRadio,
            w.resultLittleEndianRadio, w.resultBinaryMagnitude, w.resultMetricMagnitude },
    } };

    // uic carries no item data, so each width item's tag comes from its
    // title, which begins with the width.
    for (int i = 0; i < w.bitWidthPopup->count(); ++i) {
        const UInt16 width = w.bitWidthPopup->itemText(i).section(' ', 0, 0).toUShort();
        WIRING_ASSERT(width == 8 || width == 16 || width == 32 || width == 64);
        w.bitWidthPopup->setItemData(i, width);
    }

    // The two areas' field rows line up only if their header rows, each
    // with a popup, are equally tall; the disclosure button may be taller.
    const int headerHeight
        = std::max(w.bitWidthPopup->sizeHint().height(), w.mathDisclosure->sizeHint().height());
    w.bitWidthPopup->setMinimumHeight(headerHeight);
    w.mathOperation->setMinimumHeight(headerHeight);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // All fields share the font, so the long text is measured once.
    int binaryWidth = -1;
    for (const Row& row : fRows)
        for (QLineEdit* field : row.fields) {
            field->setFont(fixed);
            // A 32-bit binary number (39 characters) and the cursor fit in the
            // desktop's font at any size; the size hint is that of 17 x's.
            const QFontMetrics metrics = field->fontMetrics();
            if (binaryWidth < 0)
                binaryWidth = metrics.horizontalAdvance(QString(40, QLatin1Char('0')));
            field->setMinimumWidth(
                field->sizeHint().width() - 17 * metrics.horizontalAdvance('x') + binaryWidth);
        }
    describeFields();

    wireControls();
    wireEditMenu();

    for (BaseConverter* number : { &fCurrentValue, &fOperandValue, &fResultValue }) {
        number->SetBitWidth(32);
        number->SetSignedDec(0, eBigEndian);
        number->SetOverflow(false);
    }

    w.mathDisclosure->setChecked(false);
    mathEnabled = false;

    // The description lays the window out at its open width; closing the
    // math area needs the box's laid-out width before the window is shown.
    layout()->activate();
    centralWidget()->layout()->activate();
    mathDisclosured();
    updateMagnitudes();
}

void ConverterView::wireControls()
{
    Ui::ConverterDocument& w = *ui;
    for (FieldType type : { eFieldTypeValue, eFieldTypeOperand })
        for (QLineEdit* field : row(type).fields)
            connect(field, &QLineEdit::textEdited, this, [this, field] { userEdited(field); });

    for (const Row& row : fRows) {
        QCheckBox* box = row.signedBox;
        connect(box, &QCheckBox::clicked, this, [this, box] { setSigned(box); });
        QButtonGroup* matrix = row.endianMatrix;
        connect(
            matrix, &QButtonGroup::buttonClicked, this, [this, matrix] { endianSwitched(matrix); });
    }

    for (QPushButton* swap : { w.swapEndianValue, w.swapEndianOperand })
        connect(swap, &QPushButton::clicked, this, [this, swap] { swapEndian(swap); });
    for (QPushButton* button : { w.shiftLeftValue, w.shiftLeftOperand })
        connect(button, &QPushButton::clicked, this, [this, button] { shiftLeft(button); });
    for (QPushButton* button : { w.shiftRightValue, w.shiftRightOperand })
        connect(button, &QPushButton::clicked, this, [this, button] { shiftRight(button); });

    connect(w.bitWidthPopup, &QComboBox::activated, this, &ConverterView::widthChanged);
    connect(w.mathOperation, &QComboBox::activated, this, &ConverterView::recalc);
    connect(w.mathDisclosure, &QToolButton::clicked, this, &ConverterView::mathDisclosured);

    connect(w.actionNewWindow, &QAction::triggered, this, &ConverterView::openNewWindow);
    connect(w.actionCloseWindow, &QAction::triggered, this, &QWidget::close);
    connect(w.actionQuit, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    connect(w.actionAbout, &QAction::triggered, this, &ConverterView::about);
    // From the keyboard, the same as a click on the disclosure button.
    connect(w.actionShowMathArea, &QAction::triggered, w.mathDisclosure, &QToolButton::click);
    connect(w.actionAboutQt, &QAction::triggered, qApp, &QApplication::aboutQt);
}

void ConverterView::describeFields()
{
    for (const Row& row : fRows) {
        const QString rowName = QLatin1String(kRowNames[row.type - eFieldTypeValue]);
        for (int notation = 0; notation < eNotationCount; ++notation) {
            const NotationDescription& description = kNotationDescriptions[notation];
            QLineEdit* field = row.fields[notation];
            field->setAccessibleName(rowName + QLatin1String(", ") + description.name);
            field->setToolTip(QString::fromUtf8(description.toolTip));
            field->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(field, &QWidget::customContextMenuRequested, this,
                [this, field](const QPoint& position) { showFieldMenu(field, position); });
        }
    }
}

// The edit commands act on the notation field that has the focus; a field
// with the focus takes their standard keys itself, so the actions' own
// shortcuts only reach the window when no editable field could.
void ConverterView::wireEditMenu()
{
    Ui::ConverterDocument& w = *ui;
    struct EditCommand {
        QAction* action;
        QKeySequence::StandardKey keys;
        void (*apply)(QLineEdit&);
        bool changesText;
    };
    const EditCommand commands[] = {
        { w.actionUndo, QKeySequence::Undo, [](QLineEdit& field) { field.undo(); }, true },
        { w.actionRedo, QKeySequence::Redo, [](QLineEdit& field) { field.redo(); }, true },
        { w.actionCut, QKeySequence::Cut, [](QLineEdit& field) { field.cut(); }, true },
        { w.actionCopy, QKeySequence::Copy, [](QLineEdit& field) { field.copy(); }, false },
        { w.actionPaste, QKeySequence::Paste, [](QLineEdit& field) { field.paste(); }, true },
        { w.actionDelete, QKeySequence::Delete, [](QLineEdit& field) { field.del(); }, true },
        { w.actionSelectAll, QKeySequence::SelectAll, [](QLineEdit& field) { field.selectAll(); },
            false },
    };
    for (const EditCommand& command : commands) {
        command.action->setShortcuts(command.keys);
        connect(command.action, &QAction::triggered, this, [this, command] {
            QLineEdit* field = focusedField();
            // A read-only field's own commands would still change its text.
            if (field && !(command.changesText && field->isReadOnly()))
                command.apply(*field);
        });
    }
    connect(w.actionCopyAsLiteral, &QAction::triggered, this,
        [this] { copyAsLiteral(focusedField()); });

    connect(qApp, &QApplication::focusChanged, this, &ConverterView::updateEditActions);
    connect(w.editMenu, &QMenu::aboutToShow, this, &ConverterView::updateEditActions);
    for (QMenu* menu : { w.editMenu, w.helpMenu })
        connect(menu, &QMenu::aboutToShow, this, &ConverterView::loadMenuIcons);
    updateEditActions();
}

// Theme icons are looked up when a menu first opens, not at start: on a
// desktop the lookup is a large share of the time to the first window.
void ConverterView::loadMenuIcons()
{
    if (fMenuIconsLoaded)
        return;
    fMenuIconsLoaded = true;
    Ui::ConverterDocument& w = *ui;
    const std::pair<QAction*, const char*> icons[] = {
        { w.actionUndo, "edit-undo" },
        { w.actionRedo, "edit-redo" },
        { w.actionCut, "edit-cut" },
        { w.actionCopy, "edit-copy" },
        { w.actionCopyAsLiteral, "edit-copy" },
        { w.actionPaste, "edit-paste" },
        { w.actionDelete, "edit-delete" },
        { w.actionSelectAll, "edit-select-all" },
        { w.actionAbout, "help-about" },
    };
    for (const auto& [action, name] : icons)
        action->setIcon(QIcon::fromTheme(QLatin1String(name)));
}

// Additional windows carry the lowest number that no open window has.
void ConverterView::numberWindow()
{
    QList<int> taken;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const auto* other = qobject_cast<ConverterView*>(widget);
        if (other && other != this && other->isVisible())
            taken.append(other->fWindowNumber);
    }
    fWindowNumber = 1;
    while (taken.contains(fWindowNumber))
        ++fWindowNumber;
    setWindowTitle(fWindowNumber == 1 ? QStringLiteral("Bitlens")
                                      : QStringLiteral("Bitlens — %1").arg(fWindowNumber));
}

QLineEdit* ConverterView::focusedField() const
{
    auto* field = qobject_cast<QLineEdit*>(focusWidget());
    return rowOf(field) ? field : nullptr;
}

void ConverterView::updateEditActions()
{
    Ui::ConverterDocument& w = *ui;
    const QLineEdit* field = focusedField();
    const bool editable = field && !field->isReadOnly();
    const bool selected = field && field->hasSelectedText();
    w.actionUndo->setEnabled(editable && field->isUndoAvailable());
    w.actionRedo->setEnabled(editable && field->isRedoAvailable());
    w.actionCut->setEnabled(editable && selected);
    w.actionCopy->setEnabled(selected);
    w.actionPaste->setEnabled(editable);
    w.actionDelete->setEnabled(editable && selected);
    w.actionSelectAll->setEnabled(field && !field->text().isEmpty());
    w.actionCopyAsLiteral->setEnabled(field != nullptr);
}

void ConverterView::copyAsLiteral(const QLineEdit* textField)
{
    const Row* found = rowOf(textField);
    if (!found)
        return;
    const auto position = std::find(found->fields.begin(), found->fields.end(), textField);
    const auto notation = static_cast<Notation>(position - found->fields.begin());
    char literal[kFieldBufferSize];
    WriteLiteral(*found->number, notation, selectedEndian(found->type), literal);
    QGuiApplication::clipboard()->setText(QString::fromLatin1(literal));
}

// The field's own menu, with Copy as Literal for that field whether or not
// it has the focus.
void ConverterView::showFieldMenu(QLineEdit* textField, const QPoint& position)
{
    loadMenuIcons();
    const std::unique_ptr<QMenu> menu(textField->createStandardContextMenu());
    menu->addSeparator();
    QAction* literal = menu->addAction(ui->actionCopyAsLiteral->icon(),
        ui->actionCopyAsLiteral->text(), this, [this, textField] { copyAsLiteral(textField); });
    literal->setShortcut(ui->actionCopyAsLiteral->shortcut());
    literal->setObjectName(QStringLiteral("fieldCopyAsLiteral"));
    menu->exec(textField->mapToGlobal(position));
}

void ConverterView::about()
{
    QMessageBox::about(this, tr("About Bitlens"),
        tr("<h3>Bitlens %1</h3>"
           "<p>A programmer's number converter: one integer of up to 64 bits in binary, "
           "decimal, hexadecimal, octal, base 36, text, IP address and version notation at "
           "once.</p>"
           "<p>Free software under the MIT licence.</p>")
            .arg(QStringLiteral(BITLENS_VERSION)));
}

bool ConverterView::applicationShouldHandleReopen()
{
    if (!isVisible() || isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    }
    return true;
}

FieldType ConverterView::textFieldType(const QLineEdit* textField) const
{
    const Row* found = rowOf(textField);
    return found ? found->type : eFieldTypeInvalid;
}

Endian ConverterView::selectedEndian(FieldType type) const
{
    if (type == eFieldTypeValue)
        return fCurrentEndian;
    if (type == eFieldTypeOperand)
        return fOperandEndian;
    WIRING_ASSERT(eFieldTypeResult == type);
    return fResultEndian;
}

void ConverterView::userEdited(QLineEdit* textField)
{
    const QScopedValueRollback<QLineEdit*> editing(fFieldBeingEdited, textField);
    textDidChange(textField);
}

void ConverterView::textDidChange(QLineEdit* textField)
{
    const UInt16 oldBitWidth = fCurrentValue.BitWidth();
    const FieldType type = textFieldType(textField);
    if (type != eFieldTypeValue && type != eFieldTypeOperand)
        return;
    Row& edited = row(type);

    char numberString[kFieldBufferSize];
    FieldTextToBytes(textField->text(), numberString);
    const auto position = std::find(edited.fields.begin(), edited.fields.end(), textField);
    const auto notation = static_cast<Notation>(position - edited.fields.begin());
    ReadNotation(*edited.number, notation, numberString, *edited.endian);
    if (notation == eNotationDecimal)
        edited.signedBox->setChecked(edited.number->IsSigned());

    // Taken before the refresh: the parse keeps every bit it read, and the
    // width below decides whether all rows must widen to show them.
    const UInt16 newWidth = edited.number->GetActualWidth();
    updateFieldsWithNewNumbers(textField);
    if (mathEnabled)
        doTheMath();
    if (newWidth > oldBitWidth) {
        selectWidth(newWidth);
        widthChanged();
    }
}

void ConverterView::updateFieldsWithNewNumbers(QLineEdit* textField)
{
    const FieldType type = textFieldType(textField);
    if (type == eFieldTypeValue || type == eFieldTypeOperand)
        writeFields(row(type), textField);
    updateMagnitudes();
}

void ConverterView::doTheMath()
{
    const UInt64 current = fCurrentValue.GetValue(eBigEndian);
    const UInt64 operand = fOperandValue.GetValue(eBigEndian);
    // No item selected (-1) or one past the table is no operation: 0.
    const int index = ui->mathOperation->currentIndex();
    const auto operation = index >= 0 && index < eMathOperationCount
        ? static_cast<MathOperation>(index)
        : eMathOperationCount;
    const MathResult result = Combine(operation, current, operand, fCurrentValue.BitWidth());
    fResultValue.SetUnsignedDec(result.value, eBigEndian);
    writeFields(row(eFieldTypeResult), nullptr);
    ui->signedResultBox->setChecked(fResultValue.IsSigned());
    updateMagnitudes();
}

void ConverterView::mathDisclosured()
{
    mathEnabled = ui->mathDisclosure->isChecked();
    ui->actionShowMathArea->setChecked(mathEnabled);
    // The box keeps its last laid-out width while hidden, so opening adds
    // back exactly what closing took away.
    const int change = ui->expandedBox->width() + ui->windowLayout->spacing();
    // Taken first: showing the box may already stretch the window to its
    // new minimum width.
    const int windowWidth = width() + (mathEnabled ? change : -change);

    ui->mathDisclosure->setArrowType(mathEnabled ? Qt::LeftArrow : Qt::RightArrow);
    ui->mathOperation->setEnabled(mathEnabled);
    for (QLineEdit* field : row(eFieldTypeOperand).fields)
        if (field != ui->operandNumVersion)
            field->setEnabled(mathEnabled);
    ui->expandedBox->setVisible(mathEnabled);

    if (mathEnabled) {
        // The Operand row may have been re-fitted to a new width while it
        // was out of sight; show it as it now is, and its Result with it.
        writeFields(row(eFieldTypeOperand), nullptr);
        doTheMath();
    }

    // The window's minimum width follows the box only once its layout has
    // been redone; redo it now so that narrowing is not held back.
    centralWidget()->layout()->activate();
    layout()->activate();
    resize(windowWidth, height());
}

void ConverterView::setSigned(QCheckBox* sender)
{
    const auto found = std::find_if(
        fRows.begin(), fRows.end(), [sender](const Row& row) { return row.signedBox == sender; });
    if (found != fRows.end()) {
        found->number->SetSigned(sender->isChecked());
        writeField(*found, eNotationDecimal);
    }
    updateMagnitudes();
}

void ConverterView::recalc()
{
    doTheMath();
}

void ConverterView::shiftRight(QAbstractButton* sender)
{
    shift(false, sender == ui->shiftRightValue ? fCurrentValue : fOperandValue);
}

void ConverterView::shiftLeft(QAbstractButton* sender)
{
    shift(true, sender == ui->shiftLeftValue ? fCurrentValue : fOperandValue);
}

void ConverterView::shift(bool left, BaseConverter& number)
{
    if (left) {
        number.Shift(eShiftLeftDir);
        const UInt16 newWidth = number.GetActualWidth();
        if (number.BitWidth() < newWidth) {
            number.SetBitWidth(newWidth);
            selectWidth(newWidth);
            widthChanged();
            return;
        }
    } else {
        number.Shift(eShiftRightDir);
    }
    rereadDecimal(&number == &fCurrentValue ? eFieldTypeValue : eFieldTypeOperand);
}

void ConverterView::widthChanged()
{
    const auto width = static_cast<UInt16>(ui->bitWidthPopup->currentData().toUInt());
    WIRING_ASSERT(width == 8 || width == 16 || width == 32 || width == 64);
    fCurrentValue.SetBitWidth(width);
    fOperandValue.SetBitWidth(width);
    fResultValue.SetBitWidth(width);
    rereadDecimal(eFieldTypeValue);
    if (mathEnabled)
        rereadDecimal(eFieldTypeOperand);
}

QString ConverterView::magnitude(bool metric, const BaseConverter& value, Endian endian)
{
    return MagnitudeText(value, endian, metric);
}

void ConverterView::updateMagnitudes()
{
    for (const Row& row : fRows) {
        const Endian endian = selectedEndian(row.type);
        const MagnitudeReading reading { row.number->GetValue(endian), row.number->BitWidth(),
            row.number->IsSigned() != 0 };
        std::optional<MagnitudeReading>& shown = fShownMagnitudes[row.type - eFieldTypeValue];
        if (shown == reading)
            continue;
        shown = reading;
        row.binaryMagnitude->setText(magnitude(false, *row.number, endian));
        row.metricMagnitude->setText(magnitude(true, *row.number, endian));
    }
}

void ConverterView::endianSwitched(QButtonGroup* sender)
{
    if (sender == ui->currentEndianMatrix || sender == ui->operandEndianMatrix) {
        Row& switched
            = row(sender == ui->currentEndianMatrix ? eFieldTypeValue : eFieldTypeOperand);
        *switched.endian
            = sender->checkedButton() == switched.bigEndianRadio ? eBigEndian : eLittleEndian;
        // The hexadecimal text holds the unchanged bits; re-reading it shows
        // them in the new byte order without touching the signedness.
        textDidChange(switched.fields[eNotationHexadecimal]);
        return;
    }
    WIRING_ASSERT(sender == ui->resultEndianMatrix);
    fResultEndian
        = sender->checkedButton() == ui->resultBigEndianRadio ? eBigEndian : eLittleEndian;
    doTheMath();
}

void ConverterView::swapEndian(QAbstractButton* sender)
{
    const int whichField = sender->property("tag").toInt();
    WIRING_ASSERT(whichField == eFieldTypeValue || whichField == eFieldTypeOperand);
    Row& swapped = row(static_cast<FieldType>(whichField));

    const Endian oppositeEndian = *swapped.endian != eBigEndian ? eBigEndian : eLittleEndian;
    swapped.number->SetUnsignedDec(swapped.number->GetValue(*swapped.endian), oppositeEndian);
    *swapped.endian = oppositeEndian;
    (oppositeEndian == eBigEndian ? swapped.bigEndianRadio : swapped.littleEndianRadio)
        ->setChecked(true);
    // The decimal text reads as the same number in the new order, so the
    // re-read keeps it and shows the reversed bytes everywhere else.
    textDidChange(swapped.fields[eNotationDecimal]);
}

void ConverterView::openNewWindow()
{
    auto* window = new ConverterView;
    window->move(pos() + QPoint(32, 32));
    window->show();
}

ConverterView::Row& ConverterView::row(FieldType type)
{
    WIRING_ASSERT(type >= eFieldTypeValue && type <= eFieldTypeResult);
    return fRows[type - eFieldTypeValue];
}

const ConverterView::Row* ConverterView::rowOf(const QLineEdit* textField) const
{
    if (!textField)
        return nullptr;
    for (const Row& row : fRows)
        if (std::find(row.fields.begin(), row.fields.end(), textField) != row.fields.end())
            return &row;
    return nullptr;
}

void ConverterView::writeFields(const Row& row, const QLineEdit* except)
{
    for (int notation = 0; notation < eNotationCount; ++notation) {
        const QLineEdit* field = row.fields[notation];
        if (field != except && field != fFieldBeingEdited)
            writeField(row, static_cast<Notation>(notation));
    }
}

void ConverterView::writeField(const Row& row, Notation notation)
{
    char text[kFieldBufferSize];
    WriteNotation(*row.number, notation, selectedEndian(row.type), text);
    QLineEdit* field = row.fields[notation];
    // Setting an equal text would still move the cursor and drop undo; and
    // compared as bytes, an unchanged field costs no string.
    if (!FieldTextEquals(field->text(), text))
        field->setText(FieldTextFromBytes(text));
}

void ConverterView::rereadDecimal(FieldType type)
{
    const Row& reread = row(type);
    QLineEdit* decimal = reread.fields[eNotationDecimal];
    // A decimal field being typed in is re-read as typed, at the new width.
    if (decimal != fFieldBeingEdited)
        writeField(reread, eNotationDecimal);
    textDidChange(decimal);
}

void ConverterView::selectWidth(UInt16 width)
{
    const int index = ui->bitWidthPopup->findData(width);
    WIRING_ASSERT(index >= 0);
    ui->bitWidthPopup->setCurrentIndex(index);
}
