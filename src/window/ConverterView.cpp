#include "ConverterView.h"

#include "AboutBox.h"
#include "AccessibleInterfaces.h"
#include "BitGrid.h"
#include "EditMenu.h"
#include "FieldDescription.h"
#include "FieldText.h"
#include "FlagButton.h"
#include "FlagDescription.h"
#include "FocusedWheel.h"
#include "MagnitudeLabel.h"
#include "WarningLabel.h"
#include "WindowLayout.h"
#include "WindowTitle.h"
#include "WiringAssert.h"
#include "engine/FloatNotation.h"
#include "ui_ConverterDocument.h"

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
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>

#include <algorithm>
#include <iterator>

namespace {

// The width popup's items in the window description's order: uic carries
// no item data, so an item's tag, its width, comes from here.
constexpr UInt16 kWidthItems[] = { 8, 16, 32, 64 };
// The width every number starts at; the description selects its item.
constexpr UInt16 kStartWidth = 32;

} // namespace

ConverterView::ConverterView(QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::ConverterDocument>())
{
    InstallAccessibleInterfaces();
    setAttribute(Qt::WA_DeleteOnClose);
    ui->setupUi(this);
    awakeFromNib();
    NumberWindow(*this);
}

ConverterView::~ConverterView() = default;

void ConverterView::awakeFromNib()
{
    // Polished now, not when first shown: the start state measures the
    // laid-out window, and its widgets fix their sizes when polished.
    ensurePolished();
    bindRows();
    tagPopupItems();
    sizeFields();
    wireControls();
    wireKeyboard();
    enterStartState();
}

void ConverterView::bindRows()
{
    Ui::ConverterDocument& w = *ui;
    fRows = { {
        { eFieldTypeValue, QT_TRANSLATE_NOOP("FieldDescription", "Value"), &fCurrentValue,
            &fCurrentEndian,
            { w.currentBinary, w.currentDecimal, w.currentHexadecimal, w.currentOctal,
                w.currentQuixadecimal, w.currentText, w.currentIpAddress, w.currentNumVersion,
                w.currentFloat },
            w.signedValueBox, w.currentEndianMatrix, w.currentBigEndianRadio,
            w.currentLittleEndianRadio, w.swapEndianValue, w.shiftLeftValue, w.shiftRightValue,
            w.currentBinaryMagnitude, w.currentMetricMagnitude, w.currentBitGrid,
            w.currentOverflowWarning },
        { eFieldTypeOperand, QT_TRANSLATE_NOOP("FieldDescription", "Operand"), &fOperandValue,
            &fOperandEndian,
            { w.operandBinary, w.operandDecimal, w.operandHexadecimal, w.operandOctal,
                w.operandQuixadecimal, w.operandText, w.operandIPAddress, w.operandNumVersion,
                w.operandFloat },
            w.signedOperandBox, w.operandEndianMatrix, w.operandBigEndianRadio,
            w.operandLittleEndianRadio, w.swapEndianOperand, w.shiftLeftOperand,
            w.shiftRightOperand, w.operandBinaryMagnitude, w.operandMetricMagnitude,
            w.operandBitGrid, w.operandOverflowWarning },
        { eFieldTypeResult, QT_TRANSLATE_NOOP("FieldDescription", "Result"), &fResultValue,
            &fResultEndian,
            { w.resultBinary, w.resultDecimal, w.resultHexadecimal, w.resultOctal,
                w.resultQuixadecimal, w.resultText, w.resultIPAddress, w.resultNumVersion,
                w.resultFloat },
            w.signedResultBox, w.resultEndianMatrix, w.resultBigEndianRadio,
            w.resultLittleEndianRadio, nullptr, nullptr, nullptr, w.resultBinaryMagnitude,
            w.resultMetricMagnitude, w.resultBitGrid, nullptr },
    } };
    for (const Row& row : fRows) {
        for (int notation = 0; notation < eNotationCount; ++notation) {
            QLineEdit& field = *row.fields[notation];
            DescribeField(field, row.name, static_cast<Notation>(notation));
            if (field.isReadOnly())
                ReportReadOnly(field);
        }
        // The window may be too narrow for 64 bits; the grid shows them all.
        ShowWholeTextInToolTip(*row.fields[eNotationBinary]);
        row.bitGrid->setRowName(QCoreApplication::translate("FieldDescription", row.name));
    }
    row(eFieldTypeResult).bitGrid->setReadOnly(true);
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

// Items are told apart by their place, never by their titles, which a
// translation may change.
void ConverterView::tagPopupItems()
{
    QComboBox& widths = *ui->bitWidthPopup;
    WIRING_ASSERT(widths.count() == int(std::size(kWidthItems)));
    WIRING_ASSERT(widths.currentIndex() >= 0 && kWidthItems[widths.currentIndex()] == kStartWidth);
    for (int i = 0; i < widths.count(); ++i)
        widths.setItemData(i, kWidthItems[i]);
    // An operation item's index is its MathOperation.
    WIRING_ASSERT(ui->mathOperation->count() == eMathOperationCount);
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
            row.overflowWarning->reserveRoomFor({ TooBigWarning(eNotationBinary),
                TooBigWarning(eNotationDecimal), TooBigWarning(eNotationText) });
    }
    fWindowLayout = std::make_unique<WindowLayout>(*this, w);
}

void ConverterView::wireControls()
{
    Ui::ConverterDocument& w = *ui;
    for (FieldType type : { eFieldTypeValue, eFieldTypeOperand }) {
        const Row& typedRow = row(type);
        for (QLineEdit* field : typedRow.fields)
            connect(field, &QLineEdit::textEdited, this, [this, field] { userEdited(field); });
        QPushButton* swap = typedRow.swapButton;
        connect(swap, &QPushButton::clicked, this, [this, swap] { swapEndian(swap); });
        QPushButton* left = typedRow.shiftLeftButton;
        connect(left, &QPushButton::clicked, this, [this, left] { shiftLeft(left); });
        QPushButton* right = typedRow.shiftRightButton;
        connect(right, &QPushButton::clicked, this, [this, right] { shiftRight(right); });
        connect(typedRow.bitGrid, &BitGrid::bitsEdited, this,
            [this, type](UInt64 bits) { gridEdited(row(type), bits); });
    }

    for (const Row& row : fRows) {
        QCheckBox* box = row.signedBox;
        connect(box, &QCheckBox::clicked, this, [this, box] { setSigned(box); });
        QButtonGroup* matrix = row.endianMatrix;
        connect(
            matrix, &QButtonGroup::buttonClicked, this, [this, matrix] { endianSwitched(matrix); });
    }

    connect(w.bitWidthPopup, &QComboBox::activated, this, &ConverterView::widthChosen);
    connect(w.mathOperation, &QComboBox::activated, this, &ConverterView::recalc);
    connect(
        w.mathOperation, &QComboBox::currentIndexChanged, this, &ConverterView::updateFlagToolTips);
    connect(w.mathDisclosure, &QToolButton::clicked, this, &ConverterView::mathDisclosured);

    connect(w.actionNewWindow, &QAction::triggered, this, &ConverterView::openNewWindow);
    connect(w.actionCloseWindow, &QAction::triggered, this, &QWidget::close);
    connect(w.actionQuit, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    connect(w.actionAbout, &QAction::triggered, this, [this] { ShowAboutBox(this); });
    // From the keyboard, the same as a click on the disclosure button.
    connect(w.actionShowMathArea, &QAction::triggered, w.mathDisclosure, &QToolButton::click);
    connect(w.actionAboutQt, &QAction::triggered, qApp, &QApplication::aboutQt);
    connect(w.actionKeepOnTop, &QAction::toggled, this, &ConverterView::keepOnTop);

    QList<QLineEdit*> fields;
    for (const Row& row : fRows)
        fields.append(QList<QLineEdit*>(row.fields.begin(), row.fields.end()));
    fEditMenu = std::make_unique<EditMenu>(
        *this, w, fields, [this](const QLineEdit& field) { return literal(field); });
}

void ConverterView::wireKeyboard()
{
    TakeWheelOnlyWhenFocused(*ui->bitWidthPopup);
    TakeWheelOnlyWhenFocused(*ui->mathOperation);
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
        if (!mathEnabled)
            ui->mathDisclosure->click();
        operandField.setFocus(Qt::ShortcutFocusReason);
    });
    operandField.setToolTip(
        tr("%1 (%2)", "a field's tooltip, then the keys that reach it")
            .arg(operandField.toolTip(), keys.toString(QKeySequence::NativeText)));
}

void ConverterView::enterStartState()
{
    for (BaseConverter* number : { &fCurrentValue, &fOperandValue, &fResultValue }) {
        number->SetBitWidth(kStartWidth);
        number->SetSignedDec(0, eBigEndian);
        number->SetOverflow(false);
    }

    ui->mathDisclosure->setChecked(false);
    mathEnabled = false;
    // Tab starts at the top, with the width; the window opens ready for a
    // number to be typed.
    row(eFieldTypeValue).fields[eNotationBinary]->setFocus(Qt::OtherFocusReason);

    for (const Row& row : fRows)
        showBits(row);
    updateFlagToolTips();

    mathDisclosured();
    fitValueRowToWidestNumber();
    updateMagnitudes();
}

// The window opens wide enough for the Value row to show a 64-bit binary
// number whole; the math area, once opened, adds to that or goes below it.
void ConverterView::fitValueRowToWidestNumber()
{
    fWindowLayout->fitValueRow();
}

bool ConverterView::applicationShouldHandleReopen()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    return true;
}

FieldType ConverterView::textFieldType(const QLineEdit* textField) const
{
    const Row* found = rowOf(textField);
    return found && notationOf(*found, textField) ? found->type : eFieldTypeInvalid;
}

Endian ConverterView::selectedEndian(FieldType type) const
{
    return *row(type).endian;
}

void ConverterView::userEdited(QLineEdit* textField)
{
    const QScopedValueRollback<QLineEdit*> editing(fFieldBeingEdited, textField);
    textDidChange(textField);
}

// The grid's bits become the row's hexadecimal text, which is then read as
// if typed: one road for every edit.
void ConverterView::gridEdited(const Row& row, UInt64 bits)
{
    startEdit(row);
    BaseConverter edited = *row.number;
    edited.SetUnsignedDec(bits, eBigEndian);
    char text[kFieldBufferSize];
    WriteNotation(edited, eNotationHexadecimal, eBigEndian, text);
    QLineEdit* hexadecimal = row.fields[eNotationHexadecimal];
    hexadecimal->setText(FieldTextFromBytes(text));
    textDidChange(hexadecimal);
}

void ConverterView::textDidChange(QLineEdit* textField)
{
    const UInt16 oldBitWidth = fCurrentValue.BitWidth();
    const FieldType type = textFieldType(textField);
    if (type != eFieldTypeValue && type != eFieldTypeOperand)
        return;
    const Row& edited = row(type);

    char numberString[kFieldBufferSize];
    FieldTextToBytes(textField->text(), numberString);
    const Notation notation = *notationOf(edited, textField);
    ReadNotation(*edited.number, notation, numberString, *edited.endian);
    // Only what the user typed or pasted is warned about; the texts the
    // window re-reads are its own, or were warned about when typed.
    if (textField == fFieldBeingEdited)
        warnOfText(edited, edited.number->IsOverflow() ? textField : nullptr, notation);
    if (notation == eNotationDecimal)
        edited.signedBox->setChecked(edited.number->IsSigned());

    // Taken before the refresh: the parse keeps every bit it read, and the
    // width below decides whether all rows must widen to show them. A float
    // typed at 8 bits has widened its row already.
    const UInt16 newWidth
        = std::max<UInt16>(edited.number->GetActualWidth(), edited.number->BitWidth());
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
    const Row& resultRow = row(eFieldTypeResult);
    writeFields(resultRow, nullptr);
    resultRow.signedBox->setChecked(fResultValue.IsSigned());
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        fFlags[flag]->setChecked(result.Has(static_cast<MathFlag>(flag)));
    updateMagnitudes();
}

void ConverterView::mathDisclosured()
{
    mathEnabled = ui->mathDisclosure->isChecked();
    ui->actionShowMathArea->setChecked(mathEnabled);
    ui->mathDisclosure->setArrowType(mathEnabled ? Qt::LeftArrow : Qt::RightArrow);
    ui->mathOperation->setEnabled(mathEnabled);
    const Row& operandRow = row(eFieldTypeOperand);
    for (QLineEdit* field : operandRow.fields)
        if (field != operandRow.fields[eNotationNumVersion])
            field->setEnabled(mathEnabled);
    ui->expandedBox->setVisible(mathEnabled);

    if (mathEnabled) {
        // The Operand row may have been re-fitted to a new width while it
        // was out of sight; show it as it now is, and its Result with it.
        writeFields(operandRow, nullptr);
        doTheMath();
    }

    fWindowLayout->mathShown(mathEnabled);
}

void ConverterView::setSigned(QCheckBox* sender)
{
    const Row* signedRow = rowOf(sender);
    WIRING_ASSERT(signedRow && sender == signedRow->signedBox);
    signedRow->number->SetSigned(sender->isChecked());
    writeField(*signedRow, eNotationDecimal);
    showBits(*signedRow);
    updateMagnitudes();
}

void ConverterView::recalc()
{
    doTheMath();
}

void ConverterView::shiftRight(QAbstractButton* sender)
{
    const Row* shifted = rowOf(sender);
    WIRING_ASSERT(shifted && sender == shifted->shiftRightButton);
    shift(false, *shifted);
}

void ConverterView::shiftLeft(QAbstractButton* sender)
{
    const Row* shifted = rowOf(sender);
    WIRING_ASSERT(shifted && sender == shifted->shiftLeftButton);
    shift(true, *shifted);
}

void ConverterView::shift(bool left, const Row& row)
{
    startEdit(row);
    BaseConverter& number = *row.number;
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
    rereadDecimal(row.type);
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

// The user's choice of width rewrites the rows from their numbers, so the
// texts that did not fit are gone.
void ConverterView::widthChosen()
{
    startEdit(row(eFieldTypeValue));
    startEdit(row(eFieldTypeOperand));
    widthChanged();
}

QString ConverterView::magnitude(bool metric, const BaseConverter& value, Endian endian)
{
    return MagnitudeText(value, endian, metric);
}

void ConverterView::updateMagnitudes()
{
    for (const Row& row : fRows) {
        const MagnitudeReading reading { row.number->GetValue(*row.endian), row.number->BitWidth(),
            row.number->IsSigned() != 0 };
        std::optional<MagnitudeReading>& shown = fShownMagnitudes[row.type - eFieldTypeValue];
        if (shown == reading)
            continue;
        shown = reading;
        row.binaryMagnitude->setMagnitude(magnitude(false, *row.number, *row.endian));
        row.metricMagnitude->setMagnitude(magnitude(true, *row.number, *row.endian));
    }
}

void ConverterView::endianSwitched(QButtonGroup* sender)
{
    const Row* switched = rowOf(sender);
    WIRING_ASSERT(switched && sender == switched->endianMatrix);
    *switched->endian
        = sender->checkedButton() == switched->bigEndianRadio ? eBigEndian : eLittleEndian;
    if (switched->type == eFieldTypeResult) {
        doTheMath();
        return;
    }
    startEdit(*switched);
    // The hexadecimal text holds the unchanged bits; re-reading it shows
    // them in the new byte order without touching the signedness.
    textDidChange(switched->fields[eNotationHexadecimal]);
}

void ConverterView::swapEndian(QAbstractButton* sender)
{
    const int whichField = sender->property("tag").toInt();
    WIRING_ASSERT(whichField == eFieldTypeValue || whichField == eFieldTypeOperand);
    const Row& swapped = row(static_cast<FieldType>(whichField));
    WIRING_ASSERT(sender == swapped.swapButton);

    startEdit(swapped);
    const Endian oppositeEndian = *swapped.endian != eBigEndian ? eBigEndian : eLittleEndian;
    swapped.number->SetUnsignedDec(swapped.number->GetValue(*swapped.endian), oppositeEndian);
    *swapped.endian = oppositeEndian;
    (oppositeEndian == eBigEndian ? swapped.bigEndianRadio : swapped.littleEndianRadio)
        ->setChecked(true);
    // The decimal text reads as the same number in the new order, so the
    // re-read keeps it and shows the reversed bytes everywhere else.
    textDidChange(swapped.fields[eNotationDecimal]);
}

// Each new window a step down and to the right of this one, back to the
// top left of the screen's free area when it would not fit there.
void ConverterView::openNewWindow()
{
    auto* window = new ConverterView;
    const QRect frame = frameGeometry();
    const QRect available = screen()->availableGeometry();
    QRect next = frame.translated(32, 32);
    if (!available.contains(next))
        next.moveTopLeft(available.topLeft());
    window->move(next.topLeft());
    window->show();
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
        show();
    if (active)
        activateWindow();
}

const ConverterView::Row& ConverterView::row(FieldType type) const
{
    WIRING_ASSERT(type >= eFieldTypeValue && type <= eFieldTypeResult);
    return fRows[type - eFieldTypeValue];
}

std::array<const QObject*, 11> ConverterView::Row::controls() const
{
    return { signedBox, endianMatrix, bigEndianRadio, littleEndianRadio, swapButton,
        shiftLeftButton, shiftRightButton, binaryMagnitude, metricMagnitude, bitGrid,
        overflowWarning };
}

const ConverterView::Row* ConverterView::rowOf(const QObject* control) const
{
    if (!control)
        return nullptr;
    for (const Row& row : fRows) {
        const auto controls = row.controls();
        if (notationOf(row, control)
            || std::find(controls.begin(), controls.end(), control) != controls.end())
            return &row;
    }
    return nullptr;
}

std::optional<Notation> ConverterView::notationOf(const Row& row, const QObject* field)
{
    const auto found = std::find(row.fields.begin(), row.fields.end(), field);
    if (found == row.fields.end())
        return std::nullopt;
    return static_cast<Notation>(found - row.fields.begin());
}

QString ConverterView::literal(const QLineEdit& field) const
{
    const Row* found = rowOf(&field);
    const std::optional<Notation> notation = found ? notationOf(*found, &field) : std::nullopt;
    WIRING_ASSERT(notation);
    char text[kFieldBufferSize];
    WriteLiteral(*found->number, *notation, *found->endian, text);
    return QString::fromLatin1(text);
}

// Every change of a row's number ends here, so the row's grid follows too.
void ConverterView::writeFields(const Row& row, const QLineEdit* except)
{
    for (int notation = 0; notation < eNotationCount; ++notation) {
        const QLineEdit* field = row.fields[notation];
        if (field != except && field != fFieldBeingEdited)
            writeField(row, static_cast<Notation>(notation));
    }
    // At 8 bits the float field is empty; it says why.
    QLineEdit* floatField = row.fields[eNotationFloat];
    const bool hasFloat = IsFloatWidth(row.number->BitWidth());
    if (floatField->placeholderText().isEmpty() != hasFloat)
        floatField->setPlaceholderText(hasFloat ? QString() : NoFloatPlaceholder());
    showBits(row);
}

void ConverterView::showBits(const Row& row)
{
    const BaseConverter& number = *row.number;
    row.bitGrid->setBits(number.GetValue(eBigEndian), number.BitWidth(), number.IsSigned());
}

void ConverterView::startEdit(const Row& row)
{
    warnOfText(row, nullptr, eNotationCount);
}

// Decided once per typed text, so that a keystroke that keeps the warning
// neither hides nor shows it; the re-reads of a widening it causes are the
// window's own texts and leave it alone.
void ConverterView::warnOfText(const Row& row, const QLineEdit* field, Notation notation)
{
    if (!row.overflowWarning)
        return;
    fWarnedFields[row.type - eFieldTypeValue] = field;
    row.overflowWarning->setWarning(field ? TooBigWarning(notation) : QString());
}

void ConverterView::updateFlagToolTips()
{
    const int index = ui->mathOperation->currentIndex();
    if (index < 0 || index >= eMathOperationCount)
        return;
    const auto operation = static_cast<MathOperation>(index);
    const QString title = ui->mathOperation->currentText();
    for (int index = 0; index < eMathFlagCount; ++index) {
        const auto flag = static_cast<MathFlag>(index);
        fFlags[index]->setToolTip(FlagToolTip(flag, operation, title));
        fFlags[index]->setAccessibleDescription(FlagMeaning(flag, operation, title));
    }
}

void ConverterView::writeField(const Row& row, Notation notation)
{
    char text[kFieldBufferSize];
    WriteNotation(*row.number, notation, *row.endian, text);
    QLineEdit* field = row.fields[notation];
    // Setting an equal text would still move the cursor and drop undo; and
    // compared as bytes, an unchanged field costs no string.
    if (!FieldTextEquals(field->text(), text)) {
        field->setText(FieldTextFromBytes(text));
        if (field == fWarnedFields[row.type - eFieldTypeValue])
            startEdit(row);
    }
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

void ConverterView::openWithText(
    Notation notation, const QString& text, UInt16 width, Endian endian)
{
    WIRING_ASSERT(notation >= eNotationBinary && notation < eNotationCount);
    selectWidth(width);
    widthChanged();
    (endian == eBigEndian ? ui->currentBigEndianRadio : ui->currentLittleEndianRadio)
        ->setChecked(true);
    endianSwitched(ui->currentEndianMatrix);
    QLineEdit* field = row(eFieldTypeValue).fields[notation];
    field->setText(text);
    // The road of the user's typing, so that a width the text widens keeps
    // the text as typed, as the command line reads it.
    userEdited(field);
}
