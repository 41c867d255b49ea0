// A random run of a user's actions on one document: typing any bytes into
// any field, every control, undo and redo. After every action the model must
// report every text it changed, keep each field within what a field holds,
// show every field but the one typed in as its row's number, and an undo
// followed by a redo must bring back exactly what was shown.
#include "FuzzCommon.h"

#include "engine/Magnitude.h"
#include "model/ConverterModel.h"
#include "model/FieldBytes.h"

#include <array>
#include <string>

namespace {

constexpr int kMaxSteps = 48;

FieldType RowFrom(std::uint8_t byte)
{
    return FieldType(eFieldTypeValue + byte % kRowCount);
}

using Texts = std::array<std::array<std::string, eNotationCount>, kRowCount>;

Texts TextsOf(const ConverterModel& model)
{
    Texts texts;
    for (int row = 0; row < kRowCount; ++row)
        for (int notation = 0; notation < eNotationCount; ++notation)
            texts[row][notation] = model.text(FieldType(row + 1), Notation(notation));
    return texts;
}

// Everything a view shows, but the magnitudes, which follow from the rest.
std::string Everything(const ConverterModel& model)
{
    std::string all;
    for (const auto& row : TextsOf(model))
        for (const std::string& text : row)
            all += text + '\n';
    for (int row = 0; row < kRowCount; ++row) {
        const auto type = FieldType(row + 1);
        all += std::to_string(model.bits(type)) + ' ' + std::to_string(model.isSigned(type)) + ' '
            + std::to_string(model.endian(type)) + ' ' + std::to_string(model.message(type).kind)
            + '\n';
    }
    return all + std::to_string(model.width()) + ' ' + std::to_string(model.operation()) + ' '
        + std::to_string(model.mathEnabled());
}

std::string TextFrom(FuzzInput& in)
{
    const std::size_t length = std::size_t(in.Byte()) | std::size_t(in.Byte()) << 8;
    std::string text;
    for (std::size_t i = 0; i < length && !in.AtEnd(); ++i)
        text += char(in.Byte());
    return text;
}

void Step(ConverterModel& model, FuzzInput& in)
{
    const Texts before = TextsOf(model);
    ModelChanges changes;
    FieldType typedRow = eFieldTypeInvalid;
    Notation typedNotation = eNotationCount;
    switch (ModelOp(in.Byte() % eModelOpCount)) {
    case eModelType: {
        // A field's text as the model writes it, or any bytes at all.
        const bool retype = in.Byte() & 0x80;
        typedRow = RowFrom(in.Byte());
        typedNotation = Notation(in.Byte() % eNotationCount);
        const std::string text = retype ? model.written(typedRow, typedNotation) : TextFrom(in);
        changes = model.typeInto(typedRow, typedNotation, text);
        if (ConverterModel::isTyped(typedRow))
            FUZZ_REQUIRE(model.text(typedRow, typedNotation) == CutToField(text));
        break;
    }
    case eModelWidth: {
        const UInt8 width = in.Byte();
        changes = model.chooseWidth((width & 4) ? 128 : kWidths[width & 3]);
        break;
    }
    case eModelSigned: changes = model.setSigned(RowFrom(in.Byte()), in.Byte() & 1); break;
    case eModelEndian:
        changes = model.endianSwitched(RowFrom(in.Byte()), Endian(in.Byte() & 1));
        break;
    case eModelSwap: changes = model.swapEndian(RowFrom(in.Byte())); break;
    case eModelShift: changes = model.shift(RowFrom(in.Byte()), ShiftDir(in.Byte() & 1)); break;
    case eModelBits: {
        const FieldType row = RowFrom(in.Byte());
        const UInt64 bits = in.Word();
        changes = model.setBits(row, bits, in.Byte() & 1);
        break;
    }
    case eModelOperation:
        changes = model.chooseOperation(MathOperation(in.Byte() % (eMathOperationCount + 1)));
        break;
    case eModelMath: changes = model.mathDisclosured(in.Byte() & 1); break;
    case eModelUndo: changes = model.undo(); break;
    case eModelRedo: changes = model.redo(); break;
    case eModelLanes: changes = model.openLanes(8 << (in.Byte() & 3), "%1 x %2"); break;
    case eModelFieldBits: {
        const std::size_t field = in.Byte() % 17;
        changes = model.setFieldBits(field, TextFrom(in));
        break;
    }
    case eModelFieldValue: {
        const std::size_t field = in.Byte() % 17;
        const int base = (in.Byte() & 1) ? 16 : 10;
        changes = model.typeFieldValue(field, TextFrom(in), base);
        break;
    }
    case eModelOpCount: break;
    }

    const Texts after = TextsOf(model);
    for (int row = 0; row < kRowCount; ++row) {
        const auto type = FieldType(row + 1);
        for (int notation = 0; notation < eNotationCount; ++notation) {
            const std::string& text = after[row][notation];
            const bool typed = type == typedRow && notation == typedNotation;
            // A view repaints what is reported: every text that changed.
            FUZZ_REQUIRE(typed || changes.texts[row][notation] || text == before[row][notation]);
            FUZZ_REQUIRE(CutToField(text).size() == text.size());
            // The rest of the row typed into shows its number (a row out of
            // sight keeps its texts while the width changes).
            const bool shown = type == eFieldTypeValue || model.mathEnabled();
            if (type == typedRow && !typed && ConverterModel::isTyped(typedRow) && shown)
                FUZZ_REQUIRE(text == model.written(type, Notation(notation)));
        }
        FUZZ_REQUIRE((model.wideBits(type) & ~WideMask(model.width())) == 0);
        FUZZ_REQUIRE(model.number(type).BitWidth() == model.width());
        for (bool metric : { false, true })
            FUZZ_REQUIRE(model.magnitude(type, metric).size() + 1 < kWideMagnitudeSize);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    ConverterModel model;
    for (int step = 0; step < kMaxSteps && !in.AtEnd(); ++step) {
        Step(model, in);
        // Undo and redo in a copy: what was shown comes back exactly.
        if (model.canUndo()) {
            ConverterModel copy = model;
            copy.undo();
            copy.redo();
            FUZZ_REQUIRE(Everything(copy) == Everything(model));
        }
    }
    return 0;
}
