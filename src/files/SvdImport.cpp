#include "SvdImport.h"

#include "FileSupport.h"
#include "SvdFields.h"

#include <algorithm>
#include <map>

namespace {

constexpr int kMaxDontCareExpansion = 256;

// One import: the registers' fields it has read, and what it has to say.
class SvdImport {
public:
    explicit SvdImport(const SvdFile::Outline& outline)
        : fOut(outline)
    { }

    LayoutResult run(const SvdPath& path, const QString& spokenName);

private:
    const SvdFile::Outline& fOut;
    std::map<int, std::vector<SvdField>> fFields;
    std::vector<LayoutFileError> fWarnings;
    std::optional<LayoutFileError> fError;

    void fail(int line, const QString& message)
    {
        if (!fError)
            fError = FileError(fOut.file, line, message);
    }
    void warn(int line, const QString& message)
    {
        fWarnings.push_back(FileError(fOut.file, line, message));
    }

    const SvdNode& node(int index) const { return fOut.nodes[std::size_t(index)]; }

    // The register whose <fields> `index` uses: itself or what it derives
    // from; -1 when none has any, -2 with the error set when derivedFrom
    // leads nowhere. `spoken` is the register as the user named it.
    int fieldsHolder(int index, const QString& spoken)
    {
        for (int hops = 0; hops <= kMaxDerivedHops; ++hops) {
            const SvdNode& n = node(index);
            if (n.span >= 0 || n.fieldsOffset >= 0)
                return index;
            if (n.derivedFrom.isEmpty())
                return -1;
            if (n.base < 0) {
                fail(n.line,
                    LayoutFiles::tr("register %1 derives from %2, which is not in the file")
                        .arg(spoken, n.derivedFrom));
                return -2;
            }
            index = n.base;
        }
        fail(node(index).line,
            LayoutFiles::tr("register %1: derivedFrom goes round in a circle").arg(spoken));
        return -2;
    }

    // The fields written in register `index`, read on first use.
    const std::vector<SvdField>* fields(int index)
    {
        const auto known = fFields.find(index);
        if (known != fFields.end())
            return &known->second;
        const SvdNode& n = node(index);
        QXmlStreamReader xml;
        int lineOffset = 0;
        if (n.span >= 0) {
            const SvdSpan& span = fOut.spans[std::size_t(n.span)];
            xml.addData(fOut.prologue + fOut.bytes.mid(span.begin, span.end - span.begin));
            xml.setNamespaceProcessing(false);
            lineOffset = span.line - 1;
            xml.readNextStartElement();
        } else if (n.fieldsOffset >= 0) {
            xml.addData(fOut.bytes);
            while (!xml.atEnd()
                && !(xml.readNext() == QXmlStreamReader::StartElement
                    && xml.characterOffset() == n.fieldsOffset)) { }
        } else {
            return &fFields[index];
        }
        std::vector<SvdField> read = ReadSvdFields(xml, lineOffset);
        if (xml.hasError()) {
            fError = SvdXmlError(fOut.file, xml, lineOffset);
            return nullptr;
        }
        return &(fFields[index] = std::move(read));
    }

    // The register a dotted path starts with, and the rest of the path.
    int registerOfPath(const QString& path, QString& rest) const
    {
        const QStringList parts = path.split(QLatin1Char('.'));
        for (qsizetype n = parts.size() - 1; n >= 2; --n) {
            const SvdPath found = fOut.findRegister(parts.mid(0, n).join(QLatin1Char('.')));
            if (!found.empty()) {
                rest = parts.mid(n).join(QLatin1Char('.'));
                return found.back().node;
            }
        }
        return -1;
    }

    const SvdField* fieldNamed(const std::vector<SvdField>& fields, const QString& name) const
    {
        for (const SvdField& field : fields)
            if (field.name == name)
                return &field;
        return nullptr;
    }

    const SvdField* baseField(const SvdField& field, const std::vector<SvdField>& own);
    const SvdEnums* enumsNamed(const QString& path, const std::vector<SvdField>& own, int line);
    void readValues(const SvdEnums& enums, const QString& fieldName, BitField& field);
    bool position(const SvdField& field, const SvdField* base, int& msb, int& lsb);
};

const SvdField* SvdImport::baseField(const SvdField& field, const std::vector<SvdField>& own)
{
    if (field.derivedFrom.isEmpty())
        return nullptr;
    const SvdField* found = field.derivedFrom.contains(QLatin1Char('.'))
        ? nullptr
        : fieldNamed(own, field.derivedFrom);
    QString rest;
    const int holder = found ? -1 : registerOfPath(field.derivedFrom, rest);
    if (holder >= 0)
        if (const auto* theirs = fields(holder))
            found = fieldNamed(*theirs, rest);
    if (!found || found == &field)
        fail(field.line,
            LayoutFiles::tr("field %1 derives from %2, which is not in the file")
                .arg(field.name, field.derivedFrom));
    return found == &field ? nullptr : found;
}

const SvdEnums* SvdImport::enumsNamed(
    const QString& path, const std::vector<SvdField>& own, int line)
{
    const auto search = [](const std::vector<SvdField>& fields, const QString& name,
                            const QString& fieldName) -> const SvdEnums* {
        for (const SvdField& field : fields)
            if (fieldName.isEmpty() || field.name == fieldName)
                for (const SvdEnums& enums : field.enums)
                    if (enums.name == name && enums.derivedFrom.isEmpty())
                        return &enums;
        return nullptr;
    };
    const QStringList parts = path.split(QLatin1Char('.'));
    const SvdEnums* found
        = search(own, parts.back(), parts.size() >= 2 ? parts[parts.size() - 2] : QString());
    if (!found && parts.size() >= 2)
        found = search(own, parts.back(), QString());
    QString rest;
    const int holder = found ? -1 : registerOfPath(path, rest);
    if (holder >= 0)
        if (const auto* theirs = fields(holder)) {
            const QStringList inner = rest.split(QLatin1Char('.'));
            found = search(*theirs, inner.back(), inner.size() >= 2 ? inner.front() : QString());
        }
    if (!found)
        warn(line,
            LayoutFiles::tr("enumeratedValues %1 is not in the file; its names are left out")
                .arg(path));
    return found;
}

void SvdImport::readValues(const SvdEnums& enums, const QString& fieldName, BitField& bitField)
{
    for (const SvdEnumValue& value : enums.values) {
        if (value.name.isEmpty()) {
            warn(value.line,
                LayoutFiles::tr("field %1: an enumerated value has no name; left out")
                    .arg(fieldName));
            continue;
        }
        if (value.isDefault) {
            bitField.otherValues = NamedValue { 0, ToUtf8(value.name), ToUtf8(value.description) };
            continue;
        }
        const auto pattern = SvdValuePattern(value.value);
        if (!pattern) {
            warn(value.line,
                LayoutFiles::tr("field %1: value \"%2\" of %3 is not a number; left out")
                    .arg(fieldName, value.value.trimmed(), value.name));
            continue;
        }
        const UInt64 mask = WidthMask(unsigned(FieldWidth(bitField)));
        const UInt64 free = ~pattern->care & mask;
        if ((pattern->value & ~mask) != 0 || (~pattern->care & ~mask) != 0) {
            warn(value.line,
                LayoutFiles::tr("field %1: value %2 of %3 does not fit its %4 bits; left out")
                    .arg(fieldName, value.value.trimmed(), value.name)
                    .arg(FieldWidth(bitField)));
            continue;
        }
        int freeBits = 0;
        for (UInt64 bits = free; bits != 0; bits &= bits - 1)
            ++freeBits;
        if ((1 << std::min(freeBits, 30)) > kMaxDontCareExpansion) {
            warn(value.line,
                LayoutFiles::tr("field %1: value %2 of %3 stands for more than %4 values; left out")
                    .arg(fieldName, value.value.trimmed(), value.name)
                    .arg(kMaxDontCareExpansion));
            continue;
        }
        // Every value the pattern stands for, each of the free bits 0 or 1.
        UInt64 subset = 0;
        do {
            if (bitField.values.size() >= kMaxNamedValues)
                return;
            bitField.values.push_back(
                { pattern->value | subset, ToUtf8(value.name), ToUtf8(value.description) });
            subset = (subset - free) & free;
        } while (subset != 0);
    }
}

bool SvdImport::position(const SvdField& field, const SvdField* base, int& msb, int& lsb)
{
    const SvdField& from = field.hasPosition() || !base ? field : *base;
    const auto number = [&](const QString& text, const char* what) -> std::optional<int> {
        const auto value = SvdNumber(text);
        if (!value || *value > 1000) {
            fail(field.line,
                LayoutFiles::tr("field %1: %2 \"%3\" is not a bit number")
                    .arg(field.name, QLatin1String(what), text.trimmed()));
            return std::nullopt;
        }
        return int(*value);
    };
    if (!from.bitRange.isNull()) {
        const QString range = from.bitRange.trimmed();
        const QStringList parts = range.mid(1, range.size() - 2).split(QLatin1Char(':'));
        if (!range.startsWith(QLatin1Char('[')) || !range.endsWith(QLatin1Char(']'))
            || parts.size() != 2) {
            fail(field.line,
                LayoutFiles::tr("field %1: bitRange \"%2\" is not [msb:lsb]")
                    .arg(field.name, range));
            return false;
        }
        const auto high = number(parts[0], "bitRange");
        const auto low = number(parts[1], "bitRange");
        if (!high || !low)
            return false;
        if (*high < *low) {
            fail(field.line,
                LayoutFiles::tr("field %1: bitRange %2 gives msb %3 below lsb %4")
                    .arg(field.name, range)
                    .arg(*high)
                    .arg(*low));
            return false;
        }
        msb = *high;
        lsb = *low;
    } else if (!from.lsb.isNull() || !from.msb.isNull()) {
        const auto low = number(from.lsb, "lsb");
        const auto high = number(from.msb, "msb");
        if (!high || !low)
            return false;
        msb = *high;
        lsb = *low;
    } else if (!from.bitOffset.isNull()) {
        const auto offset = number(from.bitOffset, "bitOffset");
        const auto width
            = from.bitWidth.isNull() ? std::optional<int>(1) : number(from.bitWidth, "bitWidth");
        if (!offset || !width)
            return false;
        if (*width == 0) {
            fail(field.line,
                LayoutFiles::tr("field %1: bitWidth is 0; a field is at least one bit wide")
                    .arg(field.name));
            return false;
        }
        lsb = *offset;
        msb = *offset + *width - 1;
    } else {
        fail(field.line,
            LayoutFiles::tr("field %1 has no bit position (bitOffset, lsb and msb, or bitRange)")
                .arg(field.name));
        return false;
    }
    return true;
}

LayoutResult SvdImport::run(const SvdPath& path, const QString& spokenName)
{
    const SvdRegister chosen = fOut.registerOf(path);
    const SvdElement& last = path.back();
    const SvdNode& reg = node(last.node);
    BitFieldLayout layout;
    layout.name = ToUtf8(chosen.qualifiedName());
    layout.description = ToUtf8(chosen.description);
    if (chosen.size < 1 || chosen.size > 64)
        return Failed(FileError(fOut.file, chosen.line,
            LayoutFiles::tr(
                "register %1 is %2 bits wide; Bitlens reads SVD registers of up to 64 bits")
                .arg(spokenName)
                .arg(chosen.size)));
    for (int width : { 8, 16, 32, 64 })
        if (layout.width == 0 && chosen.size <= width)
            layout.width = width;

    const int holder = fieldsHolder(last.node, spokenName);
    if (fError)
        return Failed(*fError);
    const std::vector<SvdField>* written = holder >= 0 ? fields(holder) : nullptr;
    if (fError)
        return Failed(*fError);
    // A register without fields is read as one field, the whole register.
    if (!written || written->empty()) {
        BitField whole;
        whole.name = ToUtf8(SvdElementName(reg.name, reg.dims, last.element));
        whole.msb = chosen.size - 1;
        whole.description = layout.description;
        layout.fields.push_back(std::move(whole));
        // A register of no name gives a field of none: said, as for any field.
        if (auto unsound = FirstProblem(
                layout, fOut.file, [&](int) { return chosen.line; }, kHighestVendorBit))
            return Failed(*unsound);
        LayoutResult result;
        result.layout = std::move(layout);
        return result;
    }
    const std::vector<SvdField>& own = *written;

    std::vector<int> lineOfField;
    for (const SvdField& field : own) {
        const SvdField* base = baseField(field, own);
        int msb = 0, lsb = 0;
        if (fError || !position(field, base, msb, lsb))
            return Failed(*fError);
        const SvdField& described = field.description.isEmpty() && base ? *base : field;
        const std::vector<SvdEnums>& enumsList
            = field.enums.empty() && base ? base->enums : field.enums;

        BitField bitField;
        bitField.msb = msb;
        bitField.lsb = lsb;
        bitField.description = ToUtf8(described.description);
        // The values a read shows: enumeratedValues for reading, else the first.
        const SvdEnums* enums = nullptr;
        for (const SvdEnums& candidate : enumsList)
            if (!enums && candidate.usage != u"write")
                enums = &candidate;
        if (!enums && !enumsList.empty())
            enums = &enumsList.front();
        if (enums && !enums->derivedFrom.isEmpty())
            enums = enumsNamed(enums->derivedFrom, own, enums->line);
        if (fError)
            return Failed(*fError);
        if (enums && FieldBitsValid(bitField))
            readValues(*enums, field.name, bitField);

        const UInt64 count = SvdElementCount(field.name, field.dims);
        if (count > kMaxLayoutFields - layout.fields.size())
            return Failed(FileError(fOut.file, field.line,
                LayoutFiles::tr("more than %1 fields").arg(kMaxLayoutFields)));
        for (UInt64 i = 0; i < count; ++i) {
            BitField element = bitField;
            element.name = ToUtf8(SvdElementName(field.name, field.dims, i));
            if (field.dims.count > 0)
                element.description = ToUtf8(described.description.contains(QLatin1String("%s"))
                        ? QString(described.description)
                              .replace(QLatin1String("%s"), SvdIndexText(field.dims, i))
                        : described.description);
            const UInt64 shift
                = std::min<UInt64>(i * std::min<UInt64>(field.dims.increment, 1000), 1000);
            element.lsb += int(shift);
            element.msb += int(shift);
            layout.fields.push_back(std::move(element));
            lineOfField.push_back(field.line);
        }
    }
    if (auto unsound = FirstProblem(
            layout, fOut.file,
            [&](int field) { return field < 0 ? chosen.line : lineOfField[std::size_t(field)]; },
            kHighestVendorBit))
        return Failed(*unsound);
    LayoutResult result;
    result.layout = std::move(layout);
    result.warnings = std::move(fWarnings);
    return result;
}

} // namespace

LayoutResult ImportSvdRegister(
    const SvdFile::Outline& outline, const SvdPath& path, const QString& spokenName)
{
    return SvdImport(outline).run(path, spokenName);
}
