#include "ConverterModel.h"

#include "BitFieldLayout.h"
#include "ConverterModelParts.h"
#include "FieldBytes.h"
#include "History.h"

#include "engine/Magnitude.h"
#include "engine/MathOperation.h"
#include "engine/WideNotation.h"

#include <algorithm>
#include <utility>

namespace {

constexpr UInt16 kStartWidth = 32;

bool IsWidth(UInt16 width)
{
    return width == 8 || width == 16 || width == 32 || width == 64 || width == 128;
}

// The row's bits after the grid sets the low 64 to `low`: at
// 128 bits the high 64 stay.
UInt128 WithLowBits(const WideConverter& number, UInt64 low, UInt16 width)
{
    const UInt128 high = width > 64 ? number.GetValue(eBigEndian) & ~UInt128(~UInt64(0)) : 0;
    return (high | low) & WideMask(width);
}

} // namespace

ModelChanges& ModelChanges::operator|=(const ModelChanges& more)
{
    for (int row = 0; row < kRowCount; ++row) {
        texts[row] |= more.texts[row];
        changedBits[row] |= more.changedBits[row];
    }
    bits |= more.bits;
    magnitudes |= more.magnitudes;
    signs |= more.signs;
    endians |= more.endians;
    messages |= more.messages;
    width = width || more.width;
    operation = operation || more.operation;
    mathArea = mathArea || more.mathArea;
    flags = flags || more.flags;
    layout = layout || more.layout;
    if (more.historyRemoved)
        historyRemoved = more.historyRemoved;
    if (more.historyRestored)
        historyRestored = more.historyRestored;
    if (!more.layoutDeleted.empty())
        layoutDeleted = more.layoutDeleted;
    if (more.historyEntered)
        historyEntered = more.historyEntered;
    if (more.refused != eLayoutEditAccepted) {
        refused = more.refused;
        refusedValue = more.refusedValue;
    }
    return *this;
}

bool ModelChanges::any() const
{
    for (const auto& row : texts)
        if (row.any())
            return true;
    return bits.any() || magnitudes.any() || signs.any() || endians.any() || messages.any() || width
        || operation || mathArea || flags || layout || historyRemoved || historyRestored
        || historyEntered;
}

ConverterModel::ConverterModel()
{
    fState.width = kStartWidth;
    fState.operation = eMathAnd;
    fState.mathEnabled = false;
    fState.flags = 0;
    fState.historyRemovals = 0;
    fState.layoutDeletions = 0;
    for (FieldType type : { eFieldTypeValue, eFieldTypeOperand, eFieldTypeResult }) {
        Row& start = row(type);
        start.number = WideConverter {};
        start.number.SetBitWidth(kStartWidth);
        start.number.SetSignedDec(0, eBigEndian);
        start.number.SetOverflow(false);
        start.endian = eBigEndian;
        for (int notation = 0; notation < eNotationCount; ++notation)
            writeField(type, static_cast<Notation>(notation));
    }
}

// --- Verbs -------------------------------------------------------------------

ModelChanges ConverterModel::typeInto(FieldType type, Notation notation, std::string_view text)
{
    if (!isTyped(type) || notation < 0 || notation >= eNotationCount)
        return {};
    const Field field { type, notation };
    begin(field, true);
    if (!fContinuesRun)
        fRunStartWidth = fState.width;
    Row& edited = row(type);
    std::string& typed = edited.texts[notation];
    const std::string_view kept = CutToField(text);
    fTypedTextChanged = typed != kept;
    typed.assign(kept);
    fTyped = field;
    const UInt16 oldWidth = fState.width;
    const UInt16 needed = textDidChange(type, notation);
    if (needed > oldWidth)
        widen(needed);
    fTyped = {};
    // A calculation's result is not in sight where it was typed: the width
    // it took says so while the typing goes on.
    if (edited.message.kind == eMessageNone && fState.width > fRunStartWidth
        && edited.number.GetActualWidth() == fState.width && IsCalculation(notation, typed))
        edited.message = WidenedMessage(notation, fState.width);
    // The field shows what it kept, and says that the rest is gone.
    if (kept.size() != text.size()) {
        edited.message = CutMessage(std::move(edited.message), notation);
        fTextChanges.texts[index(type)][notation] = true;
    }
    return end(field);
}

ModelChanges ConverterModel::chooseWidth(UInt16 width)
{
    if (!IsWidth(width) || width == fState.width)
        return {};
    begin();
    // The texts that spelt too much are rewritten from the numbers.
    endMessage(eFieldTypeValue);
    endMessage(eFieldTypeOperand);
    widen(widthChanged(width));
    return end();
}

ModelChanges ConverterModel::setSigned(FieldType type, bool isSigned)
{
    if (type < eFieldTypeValue || type > eFieldTypeResult || isSigned == this->isSigned(type))
        return {};
    begin();
    Row& changed = row(type);
    const WideConverter before = changed.number;
    changed.number.SetSigned(isSigned);
    // Stored as a typed negative decimal is, so that a shift finds the same
    // bits however the number came in. The Result keeps its bits as computed.
    if (isSigned && isTyped(type))
        changed.number.SetSignedDec(changed.number.GetSignedValue(changed.endian), changed.endian);
    // Cleared, the box drops the bits above the width, which the Result
    // holds of its whole 64-bit result: computed again, it keeps them.
    if (type == eFieldTypeResult && fState.mathEnabled)
        doTheMath();
    writeField(type, eNotationDecimal);
    // Where the bits above the width changed, the fields that show them
    // follow; a field whose writing is unchanged keeps its text as typed.
    char old[kWideFieldBufferSize];
    char now[kWideFieldBufferSize];
    for (int notation = 0; notation < eNotationCount; ++notation) {
        if (notation == eNotationDecimal)
            continue;
        const auto which = static_cast<Notation>(notation);
        WriteNotation(before, which, changed.endian, old);
        WriteNotation(changed.number, which, changed.endian, now);
        if (std::string_view(old) != std::string_view(now))
            writeField(type, which);
    }
    return end();
}

ModelChanges ConverterModel::endianSwitched(FieldType type, Endian endian)
{
    endian = endian == eLittleEndian ? eLittleEndian : eBigEndian;
    if (type < eFieldTypeValue || type > eFieldTypeResult || endian == this->endian(type))
        return {};
    begin();
    row(type).endian = endian;
    if (type == eFieldTypeResult) {
        doTheMath();
        return end();
    }
    endMessage(type);
    // The bits stay as they are, those above the width a negative number
    // carries included, and the signedness with them: the hexadecimal
    // field, which shows them, keeps its text, and the others read them in
    // the new byte order.
    updateFieldsWithNewNumbers(type, eNotationHexadecimal);
    if (fState.mathEnabled)
        doTheMath();
    return end();
}

ModelChanges ConverterModel::swapEndian(FieldType type)
{
    if (!isTyped(type))
        return {};
    begin();
    endMessage(type);
    Row& swapped = row(type);
    const Endian opposite = swapped.endian != eBigEndian ? eBigEndian : eLittleEndian;
    swapped.number.SetUnsignedDec(swapped.number.GetValue(swapped.endian), opposite);
    swapped.endian = opposite;
    // The decimal text reads as the same number in the new order, so the
    // re-read keeps it and shows the reversed bytes everywhere else.
    widen(textDidChange(type, eNotationDecimal));
    return end();
}

ModelChanges ConverterModel::shift(FieldType type, ShiftDir direction)
{
    if (!isTyped(type))
        return {};
    begin();
    endMessage(type);
    WideConverter& number = row(type).number;
    if (direction == eShiftLeftDir) {
        number.Shift(eShiftLeftDir);
        const UInt16 newWidth = number.GetActualWidth();
        if (newWidth > fState.width) {
            widen(newWidth);
            return end();
        }
    } else {
        number.Shift(eShiftRightDir);
    }
    widen(rereadDecimal(type));
    return end();
}

ModelChanges ConverterModel::setBits(FieldType type, UInt64 bits, bool continuesDrag)
{
    if (!isTyped(type))
        return {};
    return setWideBits(type, WithLowBits(number(type), bits, fState.width), continuesDrag);
}

ModelChanges ConverterModel::setWideBits(FieldType type, UInt128 bits, bool continuesDrag)
{
    if (!isTyped(type))
        return {};
    const Field grid { type, eNotationCount };
    begin(grid, continuesDrag);
    endMessage(type);
    row(type).number.SetUnsignedDec(bits & WideMask(fState.width), eBigEndian);
    updateFieldsWithNewNumbers(type, eNotationCount);
    if (fState.mathEnabled)
        doTheMath();
    return end(grid);
}

ModelChanges ConverterModel::setFieldValue(const BitField& field, UInt64 value)
{
    if (!FieldBitsValid(field))
        return {};
    begin();
    endMessage(eFieldTypeValue);
    // Widened first, so that the bits below the field are those the row
    // shows at the new width: a negative number keeps its sign bits.
    UInt16 needed = 8;
    while (needed <= field.msb)
        needed = UInt16(needed * 2);
    widen(needed);
    Row& edited = row(eFieldTypeValue);
    const UInt128 bits = WithFieldValue(field, edited.number.GetValue(eBigEndian), value);
    edited.number.SetUnsignedDec(bits & WideMask(fState.width), eBigEndian);
    updateFieldsWithNewNumbers(eFieldTypeValue, eNotationCount);
    if (fState.mathEnabled)
        doTheMath();
    return end();
}

ModelChanges ConverterModel::chooseOperation(MathOperation operation)
{
    if (operation < 0 || operation >= eMathOperationCount)
        operation = eMathOperationCount;
    if (operation == fState.operation)
        return {};
    begin();
    fState.operation = operation;
    doTheMath();
    return end();
}

ModelChanges ConverterModel::mathDisclosured(bool open)
{
    if (open == fState.mathEnabled)
        return {};
    begin();
    fState.mathEnabled = open;
    if (open) {
        // The Operand row may have been re-fitted to a new width while it
        // was out of sight; it shows as it now is, and its Result with it.
        updateFieldsWithNewNumbers(eFieldTypeOperand, eNotationCount);
        doTheMath();
    }
    return end();
}

ModelChanges ConverterModel::restoreEntry(const HistoryEntry& entry)
{
    if (!IsWidth(entry.width) || entry.notation < 0 || entry.notation >= eNotationCount)
        return {};
    const FieldType type = eFieldTypeValue;
    begin();
    Row& value = row(type);
    endMessage(type);
    value.endian = entry.number.endian == eLittleEndian ? eLittleEndian : eBigEndian;
    if (entry.width != fState.width)
        widen(widthChanged(entry.width));
    value.number.SetSigned(entry.number.isSigned);
    if (!entry.calculation) {
        value.texts[entry.notation].assign(CutToField(entry.text));
        fTyped = Field { type, entry.notation };
        widen(textDidChange(type, entry.notation));
        fTyped = {};
    }
    // A calculation's result, or a text that reads otherwise now (a number
    // the row's sign or byte order gave it): the number as it was.
    if (entry.calculation || wideBits(type) != (entry.number.bits & WideMask(fState.width))
        || isSigned(type) != entry.number.isSigned) {
        endMessage(type);
        value.number.SetUnsignedDec(entry.number.bits & WideMask(entry.width), eBigEndian);
        value.number.SetSigned(entry.number.isSigned);
        if (entry.number.isSigned)
            value.number.SetSignedDec(value.number.GetSignedValue(value.endian), value.endian);
        updateFieldsWithNewNumbers(type, eNotationCount);
        if (fState.mathEnabled)
            doTheMath();
    }
    // A field may have been rewritten on the way and then given its old
    // text back: only a text that differs at the end is a change.
    for (int each = 0; each < kRowCount; ++each)
        for (int notation = 0; notation < eNotationCount; ++notation)
            fTextChanges.texts[each][notation]
                = fBefore->rows[each].texts[notation] != fState.rows[each].texts[notation];
    return end();
}

ModelChanges ConverterModel::openWith(
    Notation notation, std::string_view text, UInt16 width, Endian endian)
{
    ModelChanges changes = chooseWidth(IsWidth(width) ? width : kStartWidth);
    changes |= endianSwitched(eFieldTypeValue, endian);
    changes |= typeInto(eFieldTypeValue, notation, text);
    fUndo.clear();
    fRedo.clear();
    fRun = {};
    return changes;
}

ModelChanges ConverterModel::undo()
{
    return restore(fUndo, fRedo);
}

ModelChanges ConverterModel::redo()
{
    return restore(fRedo, fUndo);
}

ModelChanges ConverterModel::restore(std::deque<State>& from, std::deque<State>& to)
{
    if (from.empty())
        return {};
    fRun = {};
    const Shown before = shown();
    // What Enter said is over, and no step brings it back.
    endNotes();
    to.push_back(std::move(fState));
    fState = std::move(from.back());
    from.pop_back();
    ModelChanges changes = Compare(before, shown());
    const State& old = to.back();
    for (int type = 0; type < kRowCount; ++type)
        for (int notation = 0; notation < eNotationCount; ++notation)
            changes.texts[type][notation]
                = old.rows[type].texts[notation] != fState.rows[type].texts[notation];
    if (fState.historyRemovals < old.historyRemovals)
        changes.historyRestored = old.removedEntry;
    else if (fState.historyRemovals > old.historyRemovals)
        changes.historyRemoved = fState.removedEntry;
    if (fState.layoutDeletions > old.layoutDeletions)
        changes.layoutDeleted = *fState.deletedLayout;
    return changes;
}

// --- What the document shows -------------------------------------------------

const std::string& ConverterModel::text(FieldType type, Notation notation) const
{
    return fState.rows[index(type)].texts[notation];
}

std::string ConverterModel::magnitude(FieldType type, bool metric) const
{
    char text[kWideMagnitudeSize];
    FormatMagnitude(number(type), endian(type), metric, text, sizeof text);
    return text;
}

std::string ConverterModel::literal(FieldType type, Notation notation) const
{
    char text[kWideFieldBufferSize];
    WriteLiteral(number(type), notation, endian(type), text);
    return text;
}

std::string ConverterModel::written(FieldType type, Notation notation) const
{
    char bytes[kWideFieldBufferSize];
    WriteNotation(number(type), notation, endian(type), bytes);
    std::string text;
    FieldTextFromBytes(bytes, text);
    return text;
}

// --- Steps -------------------------------------------------------------------

// Reads the field's text into its row as if typed and rewrites the row's
// other fields and the Result; returns the width the number now needs,
// which the caller widens to.
UInt16 ConverterModel::textDidChange(FieldType type, Notation notation)
{
    Row& edited = row(type);
    // Only what the user typed or pasted is described; the texts the model
    // re-reads are its own, or were described when typed.
    const bool typed = fTyped == Field { type, notation };
    RowMessage message
        = ReadFieldText(edited.number, notation, edited.texts[notation], edited.endian, typed);
    if (typed)
        edited.message = std::move(message);
    // Taken before the refresh: the parse keeps every bit it read. A float
    // typed at 8 bits has widened its row already.
    const UInt16 needed = std::max(edited.number.GetActualWidth(), edited.number.BitWidth());
    updateFieldsWithNewNumbers(type, notation);
    if (fState.mathEnabled)
        doTheMath();
    return needed;
}

// Every field of the row but `except` and the one being typed in.
void ConverterModel::updateFieldsWithNewNumbers(FieldType type, Notation except)
{
    for (int notation = 0; notation < eNotationCount; ++notation) {
        const auto which = static_cast<Notation>(notation);
        if (which != except && !(fTyped == Field { type, which }))
            writeField(type, which);
    }
}

void ConverterModel::doTheMath()
{
    const WideConverter& current = number(eFieldTypeValue);
    const WideConverter& operand = number(eFieldTypeOperand);
    const WideMathResult result = CombineWide(fState.operation, current.GetValue(eBigEndian),
        operand.GetValue(eBigEndian), current.BitWidth());
    row(eFieldTypeResult).number.SetUnsignedDec(result.value, eBigEndian);
    updateFieldsWithNewNumbers(eFieldTypeResult, eNotationCount);
    fState.flags = result.flags;
}

// Every row re-fitted to `width`; the rows the user can see re-read their
// decimal texts at it. Returns the width they then need.
UInt16 ConverterModel::widthChanged(UInt16 width)
{
    fState.width = width;
    for (Row& each : fState.rows)
        each.number.SetBitWidth(width);
    UInt16 needed = rereadDecimal(eFieldTypeValue);
    if (fState.mathEnabled)
        needed = std::max(needed, rereadDecimal(eFieldTypeOperand));
    return needed;
}

// A decimal field being typed in is re-read as typed, at the new width.
UInt16 ConverterModel::rereadDecimal(FieldType type)
{
    if (!(fTyped == Field { type, eNotationDecimal }))
        writeField(type, eNotationDecimal);
    return textDidChange(type, eNotationDecimal);
}

// Each widening re-reads the rows through their decimal texts, which may
// ask for a wider width again; five widths bound the loop.
void ConverterModel::widen(UInt16 needed)
{
    while (needed > fState.width)
        needed = widthChanged(needed);
}

void ConverterModel::writeField(FieldType type, Notation notation)
{
    Row& written = row(type);
    char bytes[kWideFieldBufferSize];
    WriteNotation(written.number, notation, written.endian, bytes);
    std::string& text = written.texts[notation];
    if (FieldTextEquals(text, bytes))
        return;
    FieldTextFromBytes(bytes, text);
    fTextChanges.texts[index(type)][notation] = true;
    // The warned text is gone, and its warning with it.
    if (written.message.notation == notation)
        endMessage(type);
}

// --- Steps of the undo history -----------------------------------------------

void ConverterModel::begin(Field run, bool continues)
{
    fTextChanges = {};
    fTypedTextChanged = false;
    // Before the state is kept or compared: the next edit ends the note,
    // but ending it alone is no step.
    fNotesEnded = endNotes();
    fShownBefore = shown();
    fContinuesRun = continues && run.row != eFieldTypeInvalid && run == fRun;
    if (!fContinuesRun)
        fBefore = fState;
}

ModelChanges ConverterModel::end(Field run)
{
    fitLanes();
    ModelChanges changes = Compare(fShownBefore, shown());
    changes.texts = fTextChanges.texts;
    if (fState.historyRemovals != fShownBefore.historyRemovals)
        changes.historyRemoved = fState.removedEntry;
    if (fState.layoutDeletions != fShownBefore.layoutDeletions)
        changes.layoutDeleted = *fState.deletedLayout;
    const bool changed = changes.any() || fTypedTextChanged;
    if (fContinuesRun) {
        fRun = run;
    } else if (changed) {
        fUndo.push_back(std::move(*fBefore));
        if (fUndo.size() > kUndoLimit)
            fUndo.pop_front();
        fRedo.clear();
        fRun = run;
    } else {
        fRun = {};
    }
    fBefore.reset();
    changes.messages |= fNotesEnded;
    return changes;
}

std::bitset<kRowCount> ConverterModel::endNotes()
{
    std::bitset<kRowCount> ended;
    for (int type = 0; type < kRowCount; ++type) {
        RowMessage& message = fState.rows[type].message;
        if (message.kind == eMessageEntered) {
            message = RowMessage {};
            ended[type] = true;
        }
    }
    return ended;
}

ConverterModel::Shown ConverterModel::shown() const
{
    Shown now;
    for (int type = 0; type < kRowCount; ++type) {
        const Row& each = fState.rows[type];
        now.bits[type] = each.number.GetValue(eBigEndian);
        now.readings[type] = each.number.GetValue(each.endian);
        now.widths[type] = each.number.BitWidth();
        now.signs[type] = each.number.IsSigned() != 0;
        now.endians[type] = each.endian;
        now.messages[type] = each.message;
    }
    now.width = fState.width;
    now.operation = fState.operation;
    now.mathEnabled = fState.mathEnabled;
    now.flags = fState.flags;
    now.layout = fState.layout.get();
    now.historyRemovals = fState.historyRemovals;
    now.layoutDeletions = fState.layoutDeletions;
    return now;
}

// A row's magnitude labels follow from its reading (its value in its byte
// order), its width and its sign alone: only a row whose reading changed
// is written again.
void ConverterModel::updateMagnitudes(
    const Shown& before, const Shown& after, ModelChanges& changes)
{
    for (int type = 0; type < kRowCount; ++type)
        changes.magnitudes[type] = before.widths[type] != after.widths[type]
            || before.signs[type] != after.signs[type]
            || before.readings[type] != after.readings[type];
}

ModelChanges ConverterModel::Compare(const Shown& before, const Shown& after)
{
    ModelChanges changes;
    updateMagnitudes(before, after, changes);
    for (int type = 0; type < kRowCount; ++type) {
        const bool form
            = before.widths[type] != after.widths[type] || before.signs[type] != after.signs[type];
        changes.bits[type] = form || before.bits[type] != after.bits[type];
        changes.changedBits[type] = before.bits[type] ^ after.bits[type];
        changes.signs[type] = before.signs[type] != after.signs[type];
        changes.endians[type] = before.endians[type] != after.endians[type];
        changes.messages[type] = before.messages[type] != after.messages[type];
    }
    changes.width = before.width != after.width;
    changes.operation = before.operation != after.operation;
    changes.mathArea = before.mathEnabled != after.mathEnabled;
    changes.flags = before.flags != after.flags;
    changes.layout = before.layout != after.layout;
    return changes;
}
