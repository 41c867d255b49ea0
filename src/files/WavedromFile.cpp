#include "WavedromFile.h"

#include "FileSupport.h"

#include <QFileInfo>
#include <QJsonArray>
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

// A JSON number as the digits a person wrote: whole numbers without a
// decimal point.
QString NumberText(double number)
{
    if (std::floor(number) == number && std::fabs(number) < 9007199254740992.0)
        return QString::number(qint64(number));
    return QString::number(number, 'g', 17);
}

// One attr entry, into the field's description or its named values; the
// field's bits are set.
void ReadAttr(const QJsonValue& attr, BitField& field, QStringList& description)
{
    if (attr.isDouble()) {
        description << NumberText(attr.toDouble());
        return;
    }
    if (!attr.isString())
        return;
    const QString text = attr.toString();
    const QRegularExpressionMatch match = NamedValuePattern().match(text);
    const auto value = match.hasMatch() ? ParseUnsigned(match.captured(1)) : std::nullopt;
    // A number too wide for the field is no value of it: the text describes.
    if (value && FieldHolds(field, *value) && field.values.size() < kMaxNamedValues)
        field.values.push_back({ *value, ToUtf8(match.captured(2)), std::string() });
    else
        description << text;
}

std::optional<int> Bits(const QJsonValue& value)
{
    const double bits = value.toDouble(0);
    if (!value.isDouble() || std::floor(bits) != bits || bits < 1 || bits > 64)
        return std::nullopt;
    return int(bits);
}

} // namespace

LayoutResult ImportWavedrom(const QByteArray& bytes, const QString& fileName)
{
    QJsonDocument document;
    if (auto notJson = ReadJson(bytes, fileName, document))
        return Failed(*notJson);

    QJsonArray list;
    std::vector<JsonStep> listPath;
    int configBits = 0;
    if (document.isArray()) {
        list = document.array();
    } else {
        const QJsonObject top = document.object();
        if (!top.value(QLatin1String("reg")).isArray())
            return Failed(FileError(fileName, 0,
                LayoutFiles::tr("not a bit-field diagram: neither a list of fields nor an object "
                                "with a \"reg\" list")));
        list = top.value(QLatin1String("reg")).toArray();
        listPath.push_back({ QStringLiteral("reg") });
        configBits
            = Bits(top.value(QLatin1String("config")).toObject().value(QLatin1String("bits")))
                  .value_or(0);
    }
    const auto lineOf = [&](int element) {
        std::vector<JsonStep> path = listPath;
        if (element >= 0)
            path.push_back({ QString(), element });
        return JsonLine(bytes, path);
    };

    BitFieldLayout layout;
    layout.name = ToUtf8(QFileInfo(fileName).completeBaseName());
    std::vector<int> lineOfField;
    int lsb = 0;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonValue item = list[i];
        if (!item.isObject())
            return Failed(FileError(fileName, lineOf(int(i)),
                LayoutFiles::tr("element %1 is not an object with \"bits\"").arg(i + 1)));
        const QJsonObject object = item.toObject();
        const auto bits = Bits(object.value(QLatin1String("bits")));
        if (!bits)
            return Failed(FileError(fileName, lineOf(int(i)),
                LayoutFiles::tr("element %1: \"bits\" is not a whole number from 1 to 64")
                    .arg(i + 1)));
        const QJsonValue name = object.value(QLatin1String("name"));
        const QString nameText = name.isDouble() ? NumberText(name.toDouble()) : name.toString();
        if (!nameText.trimmed().isEmpty()) {
            BitField field;
            field.name = ToUtf8(nameText);
            field.lsb = lsb;
            field.msb = lsb + *bits - 1;
            QStringList description;
            const QJsonValue attr = object.value(QLatin1String("attr"));
            if (attr.isArray()) {
                for (const QJsonValue entry : attr.toArray())
                    ReadAttr(entry, field, description);
            } else {
                ReadAttr(attr, field, description);
            }
            field.description = ToUtf8(description.join(QLatin1Char('\n')));
            layout.fields.push_back(std::move(field));
            lineOfField.push_back(int(i));
        }
        lsb += *bits;
        if (lsb > 64)
            return Failed(FileError(fileName, lineOf(int(i)),
                LayoutFiles::tr("element %1: bits %2 are past bit 63")
                    .arg(i + 1)
                    .arg(BitsText(lsb - 1, lsb - *bits))));
    }
    if (layout.fields.empty())
        return Failed(FileError(fileName, lineOf(-1), LayoutFiles::tr("no named fields")));
    if (configBits != 0)
        layout.width = configBits;
    else if (lsb == 8 || lsb == 16 || lsb == 32 || lsb == 64)
        layout.width = lsb;
    if (auto unsound = FirstProblem(layout, fileName,
            [&](int field) { return lineOf(field < 0 ? -1 : lineOfField[std::size_t(field)]); }))
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
        if (!FieldBitsValid(field) || field.lsb < next) {
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
    gap(LayoutWidth(layout) - next);
    std::sort(exported.leftOut.begin(), exported.leftOut.end());
    exported.bytes = QJsonDocument(list).toJson(QJsonDocument::Indented);
    return exported;
}
