#include "BitlensLayoutFile.h"

#include "FileSupport.h"

#include "engine/Characters.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

namespace {

const QString kFormatName = QStringLiteral("bitlens-layout");
const QString kIntegerReading = QStringLiteral("integer");
const QString kFloatReading = QStringLiteral("float");
const QString kBfloat16Reading = QStringLiteral("bfloat16");

QString Hex(UInt64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

QJsonObject NamedValueObject(const NamedValue& named, bool withValue)
{
    QJsonObject object;
    if (withValue)
        object[QStringLiteral("value")] = Hex(named.value);
    object[QStringLiteral("name")] = FromUtf8(named.name);
    if (!named.description.empty())
        object[QStringLiteral("description")] = FromUtf8(named.description);
    return object;
}

// Reads one layout file, remembering where in it each value is, so that
// every error names its line.
class Reader {
public:
    Reader(const QByteArray& bytes, const QString& file)
        : fBytes(bytes)
        , fFile(file)
    { }

    LayoutResult read();

private:
    const QByteArray& fBytes;
    const QString& fFile;
    std::optional<LayoutFileError> fError;

    void fail(const std::vector<JsonStep>& path, const QString& message)
    {
        if (!fError)
            fError = FileError(fFile, JsonLine(fBytes, path), message);
    }

    std::optional<QString> text(
        const QJsonObject& object, const char* key, std::vector<JsonStep> path, bool required)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() && !required)
            return QString();
        if (value.isString())
            return value.toString();
        path.push_back({ QLatin1String(key) });
        fail(path, LayoutFiles::tr("\"%1\" is not a text").arg(QLatin1String(key)));
        return std::nullopt;
    }

    std::optional<int> whole(
        const QJsonObject& object, const char* key, std::vector<JsonStep> path, bool required)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() && !required)
            return 0;
        const double number = value.toDouble(0.5);
        if (value.isDouble() && std::floor(number) == number && std::fabs(number) < 1e9)
            return int(number);
        path.push_back({ QLatin1String(key) });
        fail(path, LayoutFiles::tr("\"%1\" is not a whole number").arg(QLatin1String(key)));
        return std::nullopt;
    }

    std::optional<UInt64> value(const QJsonValue& value, const std::vector<JsonStep>& path)
    {
        std::optional<UInt64> number;
        if (value.isString()) {
            number = ParseUnsigned(value.toString());
        } else if (value.isDouble()) {
            const double d = value.toDouble();
            if (d >= 0 && d <= 9007199254740992.0 && std::floor(d) == d)
                number = UInt64(d);
        }
        if (!number)
            fail(path, LayoutFiles::tr("\"value\" is not a number from 0 to 2^64 - 1"));
        return number;
    }

    std::optional<NamedValue> namedValue(
        const QJsonValue& item, const std::vector<JsonStep>& path, bool withValue);
    std::optional<BitField> field(const QJsonValue& item, const std::vector<JsonStep>& path);
};

std::optional<NamedValue> Reader::namedValue(
    const QJsonValue& item, const std::vector<JsonStep>& path, bool withValue)
{
    if (!item.isObject()) {
        fail(path, LayoutFiles::tr("a named value is not a JSON object"));
        return std::nullopt;
    }
    const QJsonObject object = item.toObject();
    NamedValue named;
    if (withValue) {
        std::vector<JsonStep> at = path;
        at.push_back({ QStringLiteral("value") });
        const auto number = value(object.value(QLatin1String("value")), at);
        if (!number)
            return std::nullopt;
        named.value = *number;
    }
    const auto name = text(object, "name", path, true);
    const auto description = text(object, "description", path, false);
    if (!name || !description)
        return std::nullopt;
    named.name = ToUtf8(*name);
    named.description = ToUtf8(*description);
    return named;
}

std::optional<BitField> Reader::field(const QJsonValue& item, const std::vector<JsonStep>& path)
{
    if (!item.isObject()) {
        fail(path, LayoutFiles::tr("a field is not a JSON object"));
        return std::nullopt;
    }
    const QJsonObject object = item.toObject();
    BitField field;
    const auto name = text(object, "name", path, true);
    const auto description = text(object, "description", path, false);
    const auto msb = whole(object, "msb", path, true);
    const auto lsb = whole(object, "lsb", path, true);
    if (!name || !description || !msb || !lsb)
        return std::nullopt;
    field.name = ToUtf8(*name);
    field.description = ToUtf8(*description);
    field.msb = *msb;
    field.lsb = *lsb;
    const QJsonValue isSigned = object.value(QLatin1String("signed"));
    if (!isSigned.isUndefined() && !isSigned.isBool()) {
        std::vector<JsonStep> at = path;
        at.push_back({ QStringLiteral("signed") });
        fail(at, LayoutFiles::tr("\"signed\" is neither true nor false"));
        return std::nullopt;
    }
    field.isSigned = isSigned.toBool();
    const QJsonValue reading = object.value(QLatin1String("reading"));
    const QString readingName = reading.toString();
    if (readingName == kFloatReading)
        field.floatReading = eFieldFloatIeee;
    else if (readingName == kBfloat16Reading)
        field.floatReading = eFieldFloatBfloat16;
    else if (!reading.isUndefined() && readingName != kIntegerReading) {
        std::vector<JsonStep> at = path;
        at.push_back({ QStringLiteral("reading") });
        fail(at,
            LayoutFiles::tr("\"reading\" is none of \"%1\", \"%2\" and \"%3\"")
                .arg(kIntegerReading, kFloatReading, kBfloat16Reading));
        return std::nullopt;
    }

    const QJsonValue values = object.value(QLatin1String("values"));
    std::vector<JsonStep> valuesPath = path;
    valuesPath.push_back({ QStringLiteral("values") });
    if (!values.isUndefined() && !values.isArray()) {
        fail(valuesPath, LayoutFiles::tr("\"values\" is not a list"));
        return std::nullopt;
    }
    const QJsonArray list = values.toArray();
    if (std::size_t(list.size()) > kMaxNamedValues) {
        fail(valuesPath, LayoutFiles::tr("more than %1 named values").arg(kMaxNamedValues));
        return std::nullopt;
    }
    for (qsizetype i = 0; i < list.size(); ++i) {
        std::vector<JsonStep> at = valuesPath;
        at.push_back({ QString(), int(i) });
        auto named = namedValue(list[i], at, true);
        if (!named)
            return std::nullopt;
        field.values.push_back(std::move(*named));
    }
    const QJsonValue other = object.value(QLatin1String("otherValues"));
    if (!other.isUndefined()) {
        std::vector<JsonStep> at = path;
        at.push_back({ QStringLiteral("otherValues") });
        field.otherValues = namedValue(other, at, false);
        if (!field.otherValues)
            return std::nullopt;
    }
    return field;
}

LayoutResult Reader::read()
{
    QJsonDocument document;
    if (auto notJson = ReadJson(fBytes, fFile, document))
        return Failed(*notJson);
    const QJsonObject top = document.object();
    if (!document.isObject() || top.value(QLatin1String("format")).toString() != kFormatName)
        return Failed(FileError(fFile, 0,
            LayoutFiles::tr("not a Bitlens layout file: no \"format\": \"%1\"").arg(kFormatName)));
    const auto version = whole(top, "version", {}, true);
    if (version && *version > kLayoutFileVersion)
        return Failed(FileError(fFile, JsonLine(fBytes, { { QStringLiteral("version") } }),
            LayoutFiles::tr("written by a newer Bitlens (layout file version %1; this one reads "
                            "version %2)")
                .arg(*version)
                .arg(kLayoutFileVersion)));
    if (version && *version < 1)
        fail({ { QStringLiteral("version") } },
            LayoutFiles::tr("layout file version %1 does not exist").arg(*version));

    BitFieldLayout layout;
    const auto name = text(top, "name", {}, false);
    const auto description = text(top, "description", {}, false);
    const auto width = whole(top, "width", {}, false);
    if (name && description && width) {
        layout.name = ToUtf8(*name);
        layout.description = ToUtf8(*description);
        layout.width = *width;
    }
    const QJsonValue fields = top.value(QLatin1String("fields"));
    if (!fields.isArray())
        fail({ { QStringLiteral("fields") } }, LayoutFiles::tr("\"fields\" is not a list"));
    const QJsonArray list = fields.toArray();
    if (std::size_t(list.size()) > kMaxLayoutFields)
        fail({ { QStringLiteral("fields") } },
            LayoutFiles::tr("more than %1 fields").arg(kMaxLayoutFields));
    for (qsizetype i = 0; !fError && i < list.size(); ++i) {
        auto field = this->field(list[i], { { QStringLiteral("fields") }, { QString(), int(i) } });
        if (field)
            layout.fields.push_back(std::move(*field));
    }
    if (fError)
        return Failed(*fError);

    if (auto unsound = FirstProblem(layout, fFile, [this](int field) {
            if (field < 0)
                return JsonLine(fBytes, { { QStringLiteral("width") } });
            return JsonLine(fBytes, { { QStringLiteral("fields") }, { QString(), field } });
        }))
        return Failed(*unsound);
    LayoutResult result;
    result.layout = std::move(layout);
    return result;
}

} // namespace

QByteArray ExportBitlensLayout(const BitFieldLayout& layout)
{
    QJsonObject top;
    top[QStringLiteral("format")] = kFormatName;
    top[QStringLiteral("version")] = kLayoutFileVersion;
    top[QStringLiteral("name")] = FromUtf8(layout.name);
    if (!layout.description.empty())
        top[QStringLiteral("description")] = FromUtf8(layout.description);
    if (layout.width != 0)
        top[QStringLiteral("width")] = layout.width;
    QJsonArray fields;
    for (const BitField& field : layout.fields) {
        QJsonObject object;
        object[QStringLiteral("name")] = FromUtf8(field.name);
        object[QStringLiteral("msb")] = field.msb;
        object[QStringLiteral("lsb")] = field.lsb;
        if (!field.description.empty())
            object[QStringLiteral("description")] = FromUtf8(field.description);
        if (field.isSigned)
            object[QStringLiteral("signed")] = true;
        if (field.floatReading != eFieldFloatNone)
            object[QStringLiteral("reading")]
                = field.floatReading == eFieldFloatBfloat16 ? kBfloat16Reading : kFloatReading;
        if (!field.values.empty()) {
            QJsonArray values;
            for (const NamedValue& named : field.values)
                values.append(NamedValueObject(named, true));
            object[QStringLiteral("values")] = values;
        }
        if (field.otherValues)
            object[QStringLiteral("otherValues")] = NamedValueObject(*field.otherValues, false);
        fields.append(object);
    }
    top[QStringLiteral("fields")] = fields;
    // A U+FEFF written as it is would be dropped when read at a text's start:
    // escaped, it comes back. It can stand only inside texts.
    return QJsonDocument(top)
        .toJson(QJsonDocument::Indented)
        .replace(QByteArrayLiteral("\xEF\xBB\xBF"), QByteArrayLiteral("\\ufeff"));
}

LayoutResult ImportBitlensLayout(const QByteArray& bytes, const QString& fileName)
{
    return Reader(bytes, fileName).read();
}

bool IsBitlensLayoutFile(const QByteArray& bytes)
{
    if (bytes.size() > kMaxJsonLayoutFileSize)
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError)
        return document.isObject()
            && document.object().value(QLatin1String("format")).toString() == kFormatName;
    // A file of ours cut short or damaged is known by the key the program
    // writes first (in the order of their names): its own reader then tells
    // what is wrong with it, not the diagram reader.
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const auto skipBlanks = [&] {
        while (at < bytes.size() && IsBlank(bytes[at]))
            ++at;
    };
    skipBlanks();
    if (at == bytes.size() || bytes[at] != '{')
        return false;
    ++at;
    skipBlanks();
    const QByteArrayView rest = QByteArrayView(bytes).sliced(at);
    return rest.startsWith("\"description\"") || rest.startsWith("\"fields\"")
        || rest.startsWith("\"format\"");
}
