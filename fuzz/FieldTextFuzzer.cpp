// Whatever a field can hold, through the whole road of one keystroke: the
// field's text to the engine's bytes, the row read from them in every
// notation, all eight notations and both magnitudes written back and shown. The
// first byte sets up the row and picks how the rest becomes a QString:
// as UTF-8 (invalid sequences included) or as raw UTF-16 code units
// (lone surrogates included).
#include "FieldText.h"
#include "FuzzCommon.h"
#include "Magnitude.h"

#include <QString>

namespace {

QString FieldString(bool utf16, const std::uint8_t* data, std::size_t size)
{
    if (!utf16)
        return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size / 2 * 2);
    return units;
}

// Characters as the field text conversion counts them: a surrogate pair is one.
qsizetype CharacterCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return count;
}

// Bytes shown in a field are read back from it as the same bytes.
void CheckShownBytes(const char* bytes)
{
    const std::size_t length = std::strlen(bytes);
    FUZZ_REQUIRE(length < std::size_t(kFieldBufferSize));
    const QString shown = FieldTextFromBytes(bytes);
    FUZZ_REQUIRE(std::size_t(shown.size()) == length);
    Buffer back(new char[kFieldBufferSize]);
    FUZZ_REQUIRE(std::size_t(FieldTextToBytes(shown, back.get())) == length);
    FUZZ_REQUIRE(std::memcmp(back.get(), bytes, length + 1) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const RowSetup row = RowSetup::FromByte(data[0]);
    const QString field = FieldString(row.utf16, data + 1, size - 1);

    Buffer bytes(new char[kFieldBufferSize]);
    const int length = FieldTextToBytes(field, bytes.get());
    FUZZ_REQUIRE(length >= 0 && length < kFieldBufferSize && bytes[length] == '\0');
    FUZZ_REQUIRE(length == std::min<qsizetype>(CharacterCount(field), kFieldBufferSize - 1));
    CheckShownBytes(bytes.get());

    for (int typedInto = 0; typedInto < eNotationCount; ++typedInto) {
        FuzzNumber number = FuzzNumber::Make(0, row.width, row.isSigned);
        const UInt16 width = TypeIntoRow(number, Notation(typedInto), bytes.get(), row.endian);
        FUZZ_REQUIRE(width == number.BitWidth() && width >= row.width);
        FUZZ_REQUIRE(number.GetActualWidth() <= width);
        for (int shown = 0; shown < eNotationCount; ++shown) {
            Buffer out(new char[kFieldBufferSize]);
            WriteNotation(number, Notation(shown), row.endian, out.get());
            CheckShownBytes(out.get());
        }
        for (bool metric : { false, true }) {
            Buffer out(new char[kMagnitudeSize]);
            FormatMagnitude(number, row.endian, metric, out.get(), kMagnitudeSize);
            FUZZ_REQUIRE(std::strlen(out.get()) + 1 < kMagnitudeSize); // never cut short
            CheckShownBytes(out.get());
        }
        CheckInvariants(number);
    }
    return 0;
}
