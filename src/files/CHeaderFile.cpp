#include "CHeaderFile.h"

#include "CHeaderFileDefines.h"
#include "FileSupport.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

int CountTrailingZeros(UInt64 value)
{
    int count = 0;
    while ((value & 1) == 0) {
        value >>= 1;
        ++count;
    }
    return count;
}

// `text` as a C name; a name's tail (after NAME_) may start with a digit.
QString Identifier(const QString& text, bool tail = false)
{
    QString name;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool keep = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
            || u == '_';
        name += keep ? c : QLatin1Char('_');
    }
    if (name.isEmpty() || (name[0].isDigit() && !tail))
        name.prepend(QLatin1String("F_"));
    return name;
}

// Comment text that cannot end its comment early.
QString CommentText(const std::string& text)
{
    return FromUtf8(text).replace(QLatin1String("*/"), QLatin1String("* /")).simplified();
}

int BitLength(UInt64 value)
{
    int length = 0;
    for (; value != 0; value >>= 1)
        ++length;
    return length;
}

bool IsRun(UInt64 mask)
{
    const UInt64 run = mask == 0 ? 0 : mask >> CountTrailingZeros(mask);
    return run != 0 && (run & (run + 1)) == 0;
}

// The mask and shift suffixes of a family of defines: NAME_Msk with
// NAME_Pos, NAME_MASK with NAME_SHIFT, NAME_M with NAME_S.
enum Family { eOwnField, ePosMsk, eShiftMask, eShortSM };
struct FamilySuffixes {
    const char* mask;
    const char* shift;
    Family family;
};
constexpr FamilySuffixes kFamilies[]
    = { { "_Msk", "_Pos", ePosMsk }, { "_MASK", "_SHIFT", eShiftMask }, { "_M", "_S", eShortSM } };

// A comment that says nothing a field's bits do not: "0x00003000", "Bit
// mask of MODE field.", "Position of MODE field.".
bool SaysNothing(const QString& comment)
{
    static const QRegularExpression empty(
        QStringLiteral(R"(^((0[xX])?[0-9a-fA-F]+[uUlL]*|(Bit mask|Position) of \S+ field\.?)?$)"));
    return empty.match(comment).hasMatch();
}

// "Bits 3..1 : Parity" or "Bit 4 : Stop bits" on the line before a field's
// defines: its description.
QString HeadingText(const QString& heading)
{
    static const QRegularExpression bits(QStringLiteral(R"(^Bits? \d+(\.\.\d+)? ?: ?(.+)$)"));
    const QRegularExpressionMatch match = bits.match(heading);
    return match.hasMatch() ? match.captured(2).trimmed() : QString();
}

struct Field {
    QByteArray name;
    Family family = eOwnField;
    int msb = 0, lsb = 0;
    int line = 0;
    QString description;
    int descriptionRank = 0; // the better source wins: 3 its own line, 2 a heading, 1 its mask
    // Values as the defines give them, in order, and which of them could
    // be the field's bits one by one (NAME_0 for bit lsb, NAME_1 ...).
    struct Value {
        QByteArray suffix;
        UInt64 value;
        QString description;
        int define;
        bool perBit;
    };
    std::vector<Value> values;

    UInt64 mask() const
    {
        return msb >= lsb && msb <= 63 && lsb >= 0 ? WidthMask(unsigned(msb - lsb + 1)) << lsb : 0;
    }
    void describe(const QString& text, int rank)
    {
        if (rank > descriptionRank && !text.isEmpty() && !SaysNothing(text)) {
            description = text;
            descriptionRank = rank;
        }
    }
};

// What the import leaves out, for its one line of summary.
struct LeftOut {
    QStringList notRuns, zeroMasks, tooWide;
    int tooLong = 0;

    static QString names(const QStringList& names)
    {
        if (names.size() <= 3)
            return names.join(QStringLiteral(", "));
        return LayoutFiles::tr("%1 and %2 more")
            .arg(names.mid(0, 3).join(QStringLiteral(", ")))
            .arg(names.size() - 3);
    }
    QString summary() const
    {
        QStringList parts;
        if (!notRuns.isEmpty())
            parts << LayoutFiles::tr("masks that are not one run of set bits: %1")
                         .arg(names(notRuns));
        if (!zeroMasks.isEmpty())
            parts << LayoutFiles::tr("masks of no bits: %1").arg(names(zeroMasks));
        if (!tooWide.isEmpty())
            parts << LayoutFiles::tr("values wider than their field: %1").arg(names(tooWide));
        if (tooLong > 0)
            parts << LayoutFiles::tr("defines longer than %1 characters: %2")
                         .arg(kMaxDefineBody)
                         .arg(tooLong);
        return parts.isEmpty()
            ? QString()
            : LayoutFiles::tr("left out: %1").arg(parts.join(QStringLiteral("; ")));
    }
};

class HeaderImport {
public:
    HeaderImport(const CDefines& defines, const QString& file)
        : fDefines(defines)
        , fFile(file)
        , fUsed(defines.all().size(), false)
    { }

    LayoutResult run();

private:
    const CDefines& fDefines;
    const QString& fFile;
    std::vector<Field> fFields;
    QHash<QByteArray, int> fFieldByName;
    std::vector<bool> fUsed;
    LeftOut fLeftOut;
    std::optional<LayoutFileError> fError;

    const CDefine& define(int index) const { return fDefines.all()[std::size_t(index)]; }
    bool first(int index) const { return fDefines.find(define(index).name) == index; }
    QString nameOf(int index) const { return QString::fromLatin1(define(index).name); }

    void addField(Field field)
    {
        if (fFieldByName.contains(field.name))
            return;
        fFieldByName.insert(field.name, int(fFields.size()));
        fFields.push_back(std::move(field));
    }

    // The field whose name, and '_', `name` starts with, the longest; -1.
    int owner(const QByteArray& name, QByteArray& suffix) const
    {
        for (qsizetype at = name.lastIndexOf('_'); at > 0; at = name.lastIndexOf('_', at - 1)) {
            const int field = fFieldByName.value(name.left(at), -1);
            if (field >= 0 && at + 1 < name.size()) {
                suffix = name.mid(at + 1);
                return field;
            }
        }
        return -1;
    }

    // Bits from a mask and maybe a shift: a mask in place, or one at bit 0
    // that the shift moves.
    bool bitsOfMask(int index, UInt64 mask, std::optional<UInt64> shift, Field& field)
    {
        if (mask == 0) {
            fLeftOut.zeroMasks << nameOf(index);
            return false;
        }
        if (!IsRun(mask)) {
            fLeftOut.notRuns << nameOf(index);
            return false;
        }
        const int low = CountTrailingZeros(mask);
        const int width = BitLength(mask >> low);
        field.lsb = shift && low == 0 && *shift != 0 ? int(std::min<UInt64>(*shift, 1000)) : low;
        field.msb = field.lsb + width - 1;
        return true;
    }

    void families();
    void fieldForms();
    void implicitFields(const std::vector<int>& shifts);
    void values();
    void valueOf(int index, const CForm& form);
};

void HeaderImport::families()
{
    const std::vector<CDefine>& all = fDefines.all();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const QByteArray& name = all[i].name;
        for (const FamilySuffixes& family : kFamilies) {
            if (!name.endsWith(family.mask) || name.size() == qsizetype(std::strlen(family.mask))
                || !first(int(i)))
                continue;
            Field field;
            field.name = name.chopped(qsizetype(std::strlen(family.mask)));
            field.family = family.family;
            const int shift = fDefines.find(field.name + family.shift);
            // A lone _M is too short a suffix to mean a mask.
            if (family.family == eShortSM && shift < 0)
                continue;
            const auto mask = fDefines.value(int(i));
            if (!mask)
                continue;
            fUsed[i] = true;
            if (shift >= 0)
                fUsed[std::size_t(shift)] = true;
            if (!bitsOfMask(
                    int(i), *mask, shift >= 0 ? fDefines.value(shift) : std::nullopt, field))
                break;
            field.line
                = shift >= 0 ? std::min(all[i].line, all[std::size_t(shift)].line) : all[i].line;
            field.describe(HeadingText(shift >= 0 && all[std::size_t(shift)].line < all[i].line
                                   ? all[std::size_t(shift)].heading
                                   : all[i].heading),
                2);
            field.describe(all[i].comment, 1);
            addField(std::move(field));
            break;
        }
    }
}

// Defines written as a field (GENMASK, BIT, M << n) that no family gave:
// the same bits again under the family's name, one bit of a field, a value
// of a field in place, or a field of its own.
void HeaderImport::fieldForms()
{
    const std::vector<CDefine>& all = fDefines.all();
    std::vector<int> shifts; // shifted values that belong to no field yet
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (fUsed[i] || !first(int(i)))
            continue;
        const CForm form = fDefines.form(int(i));
        if (form.kind != CForm::eGenmask && form.kind != CForm::eBit && form.kind != CForm::eShift)
            continue;
        QByteArray suffix;
        const int same = fFieldByName.value(all[i].name, -1);
        const int of = same >= 0 ? same : owner(all[i].name, suffix);
        Field bits;
        bits.name = all[i].name;
        bits.line = all[i].line;
        if (form.kind == CForm::eGenmask && form.value < form.other) {
            fError = FileError(fFile, all[i].line,
                LayoutFiles::tr("%1: GENMASK(%2, %3) has its high bit %2 below its low bit %3")
                    .arg(nameOf(int(i)))
                    .arg(form.value)
                    .arg(form.other));
            return;
        }
        if (form.kind == CForm::eGenmask || form.kind == CForm::eBit) {
            bits.msb = int(std::min<UInt64>(form.value, 1000));
            bits.lsb
                = form.kind == CForm::eBit ? bits.msb : int(std::min<UInt64>(form.other, 1000));
        }
        if (of >= 0) {
            Field& field = fFields[std::size_t(of)];
            const bool inPlace = form.kind == CForm::eShift && form.other == UInt64(field.lsb);
            // A shift in place of the field's own name is the field again; of
            // another name, it is a value even when it sets every bit.
            const bool sameBits = form.kind == CForm::eShift
                ? same >= 0 && form.other < 64 && (form.value << form.other) == field.mask()
                : bits.msb == field.msb && bits.lsb == field.lsb;
            if (sameBits) {
                fUsed[i] = true;
                field.describe(all[i].comment, same >= 0 ? 3 : 1);
                continue;
            }
            if (same < 0 && inPlace) {
                fUsed[i] = true;
                valueOf(int(i), form);
                continue;
            }
            if (same < 0 && form.kind == CForm::eBit && bits.lsb >= field.lsb
                && bits.msb <= field.msb) {
                bool digits = false;
                const unsigned k = suffix.toUInt(&digits);
                if (digits && int(k) == bits.lsb - field.lsb) {
                    fUsed[i] = true;
                    field.values.push_back(
                        { suffix, UInt64(1) << k, all[i].comment, int(i), true });
                    continue;
                }
            }
        }
        if (form.kind == CForm::eShift) {
            shifts.push_back(int(i));
            continue;
        }
        fUsed[i] = true;
        bits.describe(all[i].comment, 3);
        addField(std::move(bits));
    }
    implicitFields(shifts);
}

// Shifted values that no field owns: where several with the same shift
// share a name but for their last part and one of them is 0, as
// WLEN_8 (3 << 5) ... WLEN_5 (0 << 5), they are the values of one field of
// that name (0 << n can be nothing else); any other is a field of its own.
void HeaderImport::implicitFields(const std::vector<int>& shifts)
{
    const std::vector<CDefine>& all = fDefines.all();
    QHash<QByteArray, std::vector<int>> groups;
    for (int index : shifts) {
        const QByteArray& name = all[std::size_t(index)].name;
        const qsizetype at = name.lastIndexOf('_');
        if (at > 0 && at + 1 < name.size())
            groups[name.left(at) + '/' + QByteArray::number(fDefines.form(index).other)].push_back(
                index);
    }
    // Decided for each group before any of its fields is added.
    QHash<QByteArray, bool> valuesOfOne;
    for (auto group = groups.constBegin(); group != groups.constEnd(); ++group) {
        const QByteArray stem = group.key().left(group.key().lastIndexOf('/'));
        valuesOfOne.insert(group.key(),
            group.value().size() >= 2 && !fFieldByName.contains(stem)
                && std::any_of(group.value().begin(), group.value().end(),
                    [&](int member) { return fDefines.form(member).value == 0; }));
    }
    for (int index : shifts) {
        const CDefine& one = all[std::size_t(index)];
        const CForm form = fDefines.form(index);
        const qsizetype at = one.name.lastIndexOf('_');
        const QByteArray stem = at > 0 ? one.name.left(at) : QByteArray();
        const QByteArray key = stem + '/' + QByteArray::number(form.other);
        if (at > 0 && valuesOfOne.value(key)) {
            if (!fFieldByName.contains(stem)) {
                Field field;
                field.name = stem;
                field.line = one.line;
                UInt64 widest = 1;
                for (int member : groups.value(key))
                    widest = std::max(widest, fDefines.form(member).value);
                field.lsb = int(std::min<UInt64>(form.other, 1000));
                field.msb = field.lsb + BitLength(widest) - 1;
                field.describe(HeadingText(one.heading), 2);
                addField(std::move(field));
            }
            fUsed[std::size_t(index)] = true;
            valueOf(index, form);
            continue;
        }
        Field field;
        field.name = one.name;
        field.line = one.line;
        fUsed[std::size_t(index)] = true;
        if (!bitsOfMask(index, form.value, std::nullopt, field))
            continue;
        field.lsb += int(std::min<UInt64>(form.other, 1000));
        field.msb += int(std::min<UInt64>(form.other, 1000));
        field.describe(one.comment, 3);
        addField(std::move(field));
    }
}

// A define of a field's value: a number (in place for the _M/_S family and
// whenever it only fits in place, else shifted down), or V << the field's
// shift.
void HeaderImport::valueOf(int index, const CForm& form)
{
    QByteArray suffix;
    const int of = owner(define(index).name, suffix);
    if (of < 0)
        return;
    Field& field = fFields[std::size_t(of)];
    // NAME_BIT 5 and its kin say where the field is, not a value of it.
    const QByteArray upper = suffix.toUpper();
    if (form.kind == CForm::eNumber && form.value == UInt64(field.lsb)
        && (upper == "BIT" || upper == "POS" || upper == "SHIFT" || upper == "S"
            || upper == "OFFSET"))
        return;
    const UInt64 width = WidthMask(unsigned(field.msb - field.lsb + 1));
    const bool inPlace = field.lsb > 0 && (form.value & ~field.mask()) == 0;
    UInt64 value = form.value;
    if (form.kind == CForm::eNumber && inPlace && (field.family == eShortSM || value > width))
        value = form.value >> field.lsb;
    if (value > width) {
        fLeftOut.tooWide << nameOf(index);
        return;
    }
    bool digits = false;
    const unsigned k = suffix.toUInt(&digits);
    const bool perBit = form.kind == CForm::eShift && digits && k < 64 && value == (UInt64(1) << k)
        && field.msb > field.lsb;
    field.values.push_back({ suffix, value, define(index).comment, index, perBit });
}

void HeaderImport::values()
{
    const std::vector<CDefine>& all = fDefines.all();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].tooLong)
            ++fLeftOut.tooLong;
        if (fUsed[i] || !first(int(i)))
            continue;
        const CForm form = fDefines.form(int(i));
        if (form.kind == CForm::eAlias) {
            // NAME NAME_Msk: the field under its own name, with what it is.
            const int field = fFieldByName.value(all[i].name, -1);
            const int target = fDefines.find(form.alias);
            if (field >= 0 && target >= 0 && fUsed[std::size_t(target)])
                fFields[std::size_t(field)].describe(all[i].comment, 3);
        } else if (form.kind == CForm::eNumber) {
            QByteArray suffix;
            if (owner(all[i].name, suffix) >= 0)
                valueOf(int(i), form);
        }
    }
}

LayoutResult HeaderImport::run()
{
    families();
    fieldForms();
    if (fError)
        return Failed(*fError);
    values();

    LayoutResult result;
    BitFieldLayout& layout = result.layout;
    layout.name = ToUtf8(QFileInfo(fFile).completeBaseName());
    std::stable_sort(fFields.begin(), fFields.end(),
        [](const Field& a, const Field& b) { return a.line < b.line; });
    // Names that all begin as the include guard does lose it: CTRL_H's
    // CTRL_MODE is MODE.
    QByteArray guard = fDefines.guard();
    for (const char* ending : { "_H_", "_H", "_INCLUDED" })
        if (guard.endsWith(ending)) {
            guard.chop(qsizetype(std::strlen(ending)));
            break;
        }
    guard += '_';
    const bool strip = guard.size() > 1 && !fFields.empty()
        && std::all_of(fFields.begin(), fFields.end(), [&](const Field& field) {
               return field.name.startsWith(guard) && field.name.size() > guard.size();
           });
    std::vector<int> lineOfField;
    for (Field& field : fFields) {
        BitField bitField;
        bitField.name = (strip ? field.name.mid(guard.size()) : field.name).toStdString();
        bitField.msb = field.msb;
        bitField.lsb = field.lsb;
        bitField.description = ToUtf8(field.description);
        // NAME_0, NAME_1 ... each a bit of the field, from bit 0: the field's
        // bits one by one, no values of it.
        const auto digit = [](const Field::Value& value) {
            bool digits = false;
            value.suffix.toUInt(&digits);
            return digits;
        };
        const bool bitByBit
            = std::any_of(field.values.begin(), field.values.end(),
                  [](const Field::Value& value) { return value.perBit && value.suffix == "0"; })
            && std::all_of(field.values.begin(), field.values.end(),
                [&](const Field::Value& value) { return value.perBit || !digit(value); });
        std::sort(field.values.begin(), field.values.end(),
            [](const Field::Value& a, const Field::Value& b) { return a.define < b.define; });
        for (const Field::Value& value : field.values)
            if (!(bitByBit && value.perBit) && bitField.values.size() < kMaxNamedValues)
                bitField.values.push_back(
                    { value.value, value.suffix.toStdString(), ToUtf8(value.description) });
        if (layout.fields.size() == kMaxLayoutFields)
            return Failed(FileError(fFile, field.line,
                LayoutFiles::tr("more than %1 fields: a header of many registers is read one "
                                "register at a time; copy that register's lines into a file of "
                                "their own")
                    .arg(kMaxLayoutFields)));
        layout.fields.push_back(std::move(bitField));
        lineOfField.push_back(field.line);
    }
    if (layout.fields.empty())
        return Failed(FileError(fFile, 0,
            LayoutFiles::tr("no bit fields: no line reads #define NAME GENMASK(h, l), BIT(n) or "
                            "(MASK << n), nor gives a mask as NAME_Msk, NAME_MASK or NAME_M")));
    if (auto unsound = FirstProblem(
            layout, fFile,
            [&](int field) { return field < 0 ? 0 : lineOfField[std::size_t(field)]; },
            kHighestVendorBit))
        return Failed(*unsound);
    const QString summary = fLeftOut.summary();
    if (!summary.isEmpty())
        result.warnings.push_back(FileError(fFile, 0, summary));
    return result;
}

} // namespace

LayoutResult ImportCHeader(const QByteArray& bytes, const QString& fileName)
{
    if (auto tooBig = CheckFileSize(bytes.size(), kMaxLayoutFileSize, fileName))
        return Failed(*tooBig);
    const CDefines defines(bytes);
    return HeaderImport(defines, fileName).run();
}

QByteArray ExportCHeader(const BitFieldLayout& layout, const QString& prefix)
{
    // The guard names the prefix, which is how ImportCHeader knows to take
    // it off again; with no prefix, a guard no field name begins with.
    QString stem = Identifier(prefix);
    while (stem.endsWith(QLatin1Char('_')))
        stem.chop(1);
    if (prefix.isEmpty()) {
        stem = Identifier(layout.name.empty() ? QStringLiteral("LAYOUT") : FromUtf8(layout.name))
            + QStringLiteral("_LAYOUT");
        while (std::any_of(layout.fields.begin(), layout.fields.end(), [&](const BitField& field) {
            return Identifier(FromUtf8(field.name)).startsWith(stem + QLatin1Char('_'));
        }))
            stem += QStringLiteral("_LAYOUT");
    }
    const QString guard = stem + QStringLiteral("_H");
    QString out;
    out += QStringLiteral("/* %1: %2 bits */\n")
               .arg(CommentText(layout.name))
               .arg(LayoutWidth(layout));
    if (!layout.description.empty())
        out += QStringLiteral("/* %1 */\n").arg(CommentText(layout.description));
    out += QStringLiteral("#ifndef %1\n#define %1\n\n").arg(guard);
    out += QStringLiteral(
        "#ifndef GENMASK\n"
        "#define GENMASK(h, l) (((~0UL) << (l)) & (~0UL >> (8 * sizeof(long) - 1 - (h))))\n"
        "#endif\n"
        "#ifndef GENMASK_ULL\n"
        "#define GENMASK_ULL(h, l) (((~0ULL) << (l)) & (~0ULL >> (63 - (h))))\n"
        "#endif\n");
    for (const BitField& field : layout.fields) {
        if (!FieldBitsValid(field))
            continue;
        const QString name = Identifier(prefix + FromUtf8(field.name));
        if (field.msb > kHighestVendorBit) {
            // No C integer holds its mask; said, so that the field is not lost unseen.
            out += QStringLiteral("\n/* %1: bits %2 are past bit 63 */\n")
                       .arg(name, QString::fromStdString(FieldBitsText(field)));
            continue;
        }
        const bool wide = field.msb > 31;
        const QString suffix = wide ? QStringLiteral("ull") : QStringLiteral("u");
        out += QStringLiteral("\n#define %1_SHIFT %2\n").arg(name).arg(field.lsb);
        out += QStringLiteral("#define %1_MASK 0x%2%3\n")
                   .arg(name, QString::number(qulonglong(FieldMask(field)), 16).toUpper(), suffix);
        out += QStringLiteral("#define %1 %2(%3, %4)")
                   .arg(name, wide ? QStringLiteral("GENMASK_ULL") : QStringLiteral("GENMASK"))
                   .arg(field.msb)
                   .arg(field.lsb);
        const QString description = CommentText(field.description);
        out += description.isEmpty() ? QStringLiteral("\n")
                                     : QStringLiteral(" /* %1 */\n").arg(description);
        for (const NamedValue& named : field.values)
            out += QStringLiteral("#define %1_%2 0x%3%4\n")
                       .arg(name, Identifier(FromUtf8(named.name), true),
                           QString::number(named.value, 16).toUpper(), suffix);
    }
    out += QStringLiteral("\n#endif /* %1 */\n").arg(guard);
    return out.toUtf8();
}
