#include "WavedromFile.h"

#include "FileSupport.h"
#include "Json5.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// "3: AUTO", "0x3 = AUTO", "0b11: AUTO".
const QRegularExpression& NamedValuePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(0[xX][0-9a-fA-F]+|0[bB][01]+|[0-9]+)\s*[:=]\s*(\S(?:.*\S)?)\s*$)"),
        QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

// One attr entry, into the field's description or its named values; the
// field's bits are set.
void ReadAttr(const Json5Value& attr, BitField& field, QStringList& description)
{
    if (attr.kind() == Json5Value::eNumber) {
        description << attr.text();
        return;
    }
    if (attr.kind() != Json5Value::eText)
        return;
    const QString text = attr.text();
    const QRegularExpressionMatch match = NamedValuePattern().match(text);
    const auto value = match.hasMatch() ? ParseUnsigned(match.captured(1)) : std::nullopt;
    // A number too wide for the field is no value of it: the text describes.
    if (value && FieldHolds(field, *value) && field.values.size() < kMaxNamedValues)
        field.values.push_back({ *value, ToUtf8(match.captured(2)), std::string() });
    else
        description << text;
}

// What is wrong with an element's "bits", or nothing when it is a width.
std::optional<QString> BitsProblem(const Json5Value& bits, int element)
{
    const std::optional<double> number = bits.number();
    if (bits.isMissing())
        return LayoutFiles::tr("element %1 has no \"bits\": every element gives its width")
            .arg(element);
    if (!number)
        return LayoutFiles::tr("element %1: \"bits\" is %2, not a number")
            .arg(element)
            .arg(bits.kind() == Json5Value::eText
                    ? QStringLiteral("\u201C%1\u201D").arg(bits.text())
                    : bits.text());
    if (std::floor(*number) != *number)
        return LayoutFiles::tr("element %1: \"bits\" is %2, not a whole number of bits")
            .arg(element)
            .arg(bits.text());
    if (*number < 1)
        return LayoutFiles::tr("element %1: \"bits\" is %2; a field is at least one bit wide")
            .arg(element)
            .arg(bits.text());
    if (*number > 64)
        return LayoutFiles::tr("element %1: \"bits\" is %2; Bitlens holds up to 64 bits")
            .arg(element)
            .arg(bits.text());
    return std::nullopt;
}

} // namespace

LayoutResult ImportWavedrom(const QByteArray& bytes, const QString& fileName)
{
    if (auto tooBig = CheckFileSize(bytes.size(), kMaxWavedromFileSize, fileName))
        return Failed(*tooBig);
    const Json5Document document = Json5Document::read(bytes);
    if (const auto& error = document.error())
        return Failed(FileError(fileName, error->line,
            LayoutFiles::tr("not a diagram as wavedrom reads it: %1").arg(error->message)));

    const Json5Value top = document.root();
    Json5Value list = top;
    int configBits = 0;
    if (top.kind() == Json5Value::eObject) {
        list = top.member(QStringLiteral("reg"));
        if (list.kind() != Json5Value::eList) {
            const bool timing = !top.member(QStringLiteral("signal")).isMissing();
            return Failed(FileError(fileName, list.isMissing() ? top.line() : list.line(),
                timing ? LayoutFiles::tr("a timing diagram (\"signal\"), not a bit-field "
                                         "diagram (\"reg\")")
                       : LayoutFiles::tr("not a bit-field diagram: neither a list of fields nor an "
                                         "object with a \"reg\" list")));
        }
        const Json5Value bits = top.member(QStringLiteral("config")).member(QStringLiteral("bits"));
        if (!bits.isMissing() && !BitsProblem(bits, 0))
            configBits = int(*bits.number());
    } else if (top.kind() != Json5Value::eList) {
        return Failed(FileError(fileName, top.line(),
            LayoutFiles::tr("not a bit-field diagram: neither a list of fields nor an object with "
                            "a \"reg\" list")));
    }

    BitFieldLayout layout;
    layout.name = ToUtf8(QFileInfo(fileName).completeBaseName());
    std::vector<int> lineOfField;
    int lsb = 0;
    int element = 0;
    for (Json5Value item = list.first(); !item.isMissing(); item = item.next()) {
        ++element;
        if (item.kind() != Json5Value::eObject)
            return Failed(FileError(fileName, item.line(),
                LayoutFiles::tr("element %1 is not an object with \"bits\"").arg(element)));
        const Json5Value bitsValue = item.member(QStringLiteral("bits"));
        if (const auto problem = BitsProblem(bitsValue, element))
            return Failed(FileError(fileName, item.line(), *problem));
        const int bits = int(*bitsValue.number());
        const Json5Value name = item.member(QStringLiteral("name"));
        const QString nameText
            = name.kind() == Json5Value::eText || name.kind() == Json5Value::eNumber ? name.text()
                                                                                     : QString();
        if (lsb + bits > 64)
            return Failed(FileError(fileName, item.line(),
                LayoutFiles::tr(
                    "element %1: bits %2 are past bit 63; Bitlens reads diagrams of up to 64 bits")
                    .arg(element)
                    .arg(BitsText(lsb + bits - 1, lsb))));
        if (!nameText.trimmed().isEmpty()) {
            BitField field;
            field.name = ToUtf8(nameText);
            field.lsb = lsb;
            field.msb = lsb + bits - 1;
            QStringList description;
            const Json5Value attr = item.member(QStringLiteral("attr"));
            if (attr.kind() == Json5Value::eList) {
                for (Json5Value entry = attr.first(); !entry.isMissing(); entry = entry.next())
                    ReadAttr(entry, field, description);
            } else {
                ReadAttr(attr, field, description);
            }
            field.description = ToUtf8(description.join(QLatin1Char('\n')));
            if (layout.fields.size() == kMaxLayoutFields)
                return Failed(FileError(fileName, item.line(),
                    LayoutFiles::tr("more than %1 fields").arg(kMaxLayoutFields)));
            layout.fields.push_back(std::move(field));
            lineOfField.push_back(item.line());
        }
        lsb += bits;
    }
    if (layout.fields.empty())
        return Failed(FileError(fileName, list.line(), LayoutFiles::tr("no named fields")));
    if (configBits != 0)
        layout.width = configBits;
    else if (lsb == 8 || lsb == 16 || lsb == 32 || lsb == 64)
        layout.width = lsb;
    if (auto unsound = FirstProblem(
            layout, fileName,
            [&](int field) { return field < 0 ? list.line() : lineOfField[std::size_t(field)]; },
            kHighestVendorBit))
        return Failed(*unsound);
    LayoutResult result;
    result.layout = std::move(layout);
    return result;
}

WavedromExport ExportWavedrom(const BitFieldLayout& layout)
{
    WavedromExport exported;
    std::vector<std::size_t> order(layout.fields.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
        [&](std::size_t a, std::size_t b) { return layout.fields[a].lsb < layout.fields[b].lsb; });

    QJsonArray list;
    int next = 0; // the lowest bit not yet in the list
    const auto gap = [&list](int bits) {
        if (bits > 0)
            list.append(QJsonObject { { QStringLiteral("bits"), bits } });
    };
    for (std::size_t index : order) {
        const BitField& field = layout.fields[index];
        if (!FieldBitsValid(field) || field.msb > kHighestVendorBit || field.lsb < next) {
            exported.leftOut.push_back(index);
            continue;
        }
        gap(field.lsb - next);
        QJsonObject object { { QStringLiteral("name"), FromUtf8(field.name) },
            { QStringLiteral("bits"), FieldWidth(field) } };
        QJsonArray attr;
        if (!field.description.empty())
            attr.append(FromUtf8(field.description));
        for (const NamedValue& named : field.values)
            attr.append(QStringLiteral("0x%1: %2")
                            .arg(QString::number(named.value, 16).toUpper(), FromUtf8(named.name)));
        if (attr.size() == 1)
            object[QStringLiteral("attr")] = attr.first();
        else if (!attr.isEmpty())
            object[QStringLiteral("attr")] = attr;
        list.append(object);
        next = field.msb + 1;
    }
    // Padded to the layout's width, or to that of its fields below bit 64.
    BitFieldLayout low;
    low.width = std::min(layout.width, kHighestVendorBit + 1);
    for (const BitField& field : layout.fields)
        if (field.msb <= kHighestVendorBit)
            low.fields.push_back(field);
    gap(LayoutWidth(low) - next);
    std::sort(exported.leftOut.begin(), exported.leftOut.end());
    exported.bytes = QJsonDocument(list).toJson(QJsonDocument::Indented);
    return exported;
}
