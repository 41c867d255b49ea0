#include "FileSupport.h"

#include "engine/Characters.h"

#include <cstring>

std::optional<LayoutFileError> CheckFileSize(qint64 size, qint64 limit, const QString& file)
{
    if (size <= limit)
        return std::nullopt;
    const qint64 mb = qint64(1) << 20;
    return FileError(file, 0,
        LayoutFiles::tr("the file is %1 MB; layout files are read up to %2 MB")
            .arg((size + mb - 1) / mb)
            .arg(limit / mb));
}

QString BitsText(int msb, int lsb)
{
    return msb == lsb ? QString::number(msb) : QStringLiteral("%1:%2").arg(msb).arg(lsb);
}

namespace {

QString FieldTitle(const BitField& field)
{
    if (FromUtf8(field.name).trimmed().isEmpty())
        return LayoutFiles::tr("the field at bits %1").arg(BitsText(field.msb, field.lsb));
    return LayoutFiles::tr("field %1").arg(FromUtf8(field.name));
}

QString ProblemText(const BitFieldLayout& layout, const LayoutProblem& problem, int highestBit)
{
    // The vendors' formats hold 64 bits, Bitlens's own 128.
    const bool vendor = highestBit < kHighestBit;
    if (problem.field < 0) {
        if (problem.kind == eProblemTooManyFields)
            return LayoutFiles::tr("more than %1 fields").arg(kMaxLayoutFields);
        if (vendor)
            return LayoutFiles::tr("width %1 is not 8, 16, 32 or 64").arg(layout.width);
        return LayoutFiles::tr("width %1 is not 8, 16, 32, 64 or 128").arg(layout.width);
    }
    const BitField& field = layout.fields[std::size_t(problem.field)];
    const QString title = FieldTitle(field);
    const QString bits = BitsText(field.msb, field.lsb);
    switch (problem.kind) {
    case eProblemNoName: return LayoutFiles::tr("%1 has no name").arg(title);
    case eProblemBitsReversed:
        return LayoutFiles::tr("%1: msb %2 is below lsb %3")
            .arg(title)
            .arg(field.msb)
            .arg(field.lsb);
    case eProblemPastHighestBit:
        if (vendor)
            return LayoutFiles::tr("%1: bits %2 are past bit 63").arg(title, bits);
        return LayoutFiles::tr("%1: bits %2 are past bit 127").arg(title, bits);
    case eProblemFieldTooWide:
        return LayoutFiles::tr("%1: bits %2 are %3 bits; a field has at most %4")
            .arg(title, bits)
            .arg(FieldWidth(field))
            .arg(kMaxFieldBits);
    case eProblemPastWidth:
        return LayoutFiles::tr("%1: bits %2 are past the register's %3 bits")
            .arg(title, bits)
            .arg(layout.width);
    case eProblemTooManyValues:
        return LayoutFiles::tr("%1: more than %2 named values").arg(title).arg(kMaxNamedValues);
    case eProblemValueNoName: return LayoutFiles::tr("%1: a named value has no name").arg(title);
    case eProblemValueTooWide: {
        const UInt64 value = field.values[std::size_t(problem.value)].value;
        return LayoutFiles::tr("%1: value %2 does not fit its %3 bits")
            .arg(title)
            .arg(value)
            .arg(FieldWidth(field));
    }
    default: return LayoutFiles::tr("%1 is not sound").arg(title);
    }
}

} // namespace

std::optional<LayoutFileError> FirstProblem(const BitFieldLayout& layout, const QString& file,
    const std::function<int(int)>& lineOf, int highestBit)
{
    const std::vector<LayoutProblem> problems = LayoutProblems(layout, highestBit);
    if (problems.empty())
        return std::nullopt;
    const LayoutProblem& first = problems.front();
    return FileError(file, lineOf(first.field), ProblemText(layout, first, highestBit));
}

int LineAt(const QByteArray& bytes, qsizetype offset)
{
    offset = std::min(offset, bytes.size());
    int line = 1;
    const char* at = bytes.constData();
    const char* end = at + offset;
    while (
        (at = static_cast<const char*>(std::memchr(at, '\n', std::size_t(end - at)))) != nullptr) {
        ++line;
        ++at;
    }
    return line;
}

namespace {

// A walk over JSON text known to be well formed; `fAt` is a byte offset.
class JsonWalk {
public:
    explicit JsonWalk(const QByteArray& json)
        : fText(json)
    { }

    qsizetype fAt = 0;

    void skipBlanks()
    {
        while (fAt < fText.size()
            && (fText[fAt] == ' ' || fText[fAt] == '\t' || fText[fAt] == '\n'
                || fText[fAt] == '\r'))
            ++fAt;
    }
    char peek() const { return fAt < fText.size() ? fText[fAt] : '\0'; }

    // The raw bytes between a string's quotes; fAt moves past the string.
    QByteArray string()
    {
        const qsizetype start = ++fAt;
        while (fAt < fText.size() && fText[fAt] != '"')
            fAt += fText[fAt] == '\\' ? 2 : 1;
        const QByteArray raw = fText.mid(start, fAt - start);
        ++fAt;
        return raw;
    }

    // Past one value, however deep, without recursion.
    void skipValue()
    {
        int depth = 0;
        do {
            skipBlanks();
            const char c = peek();
            if (c == '"') {
                string();
            } else if (c == '{' || c == '[') {
                ++depth;
                ++fAt;
            } else if (c == '}' || c == ']') {
                --depth;
                ++fAt;
            } else if (c == ',' || c == ':') {
                ++fAt;
            } else if (c == '\0') {
                return;
            } else {
                while (fAt < fText.size() && !std::strchr(",:]} \t\r\n", fText[fAt]))
                    ++fAt;
            }
        } while (depth > 0);
    }

    // Into the object or array at fAt, to the member or element `step`
    // names; false when it is not there.
    bool enter(const JsonStep& step)
    {
        skipBlanks();
        const char open = peek();
        if (open != (step.key.isEmpty() ? '[' : '{'))
            return false;
        ++fAt;
        const QByteArray key = step.key.toUtf8();
        for (int index = 0;; ++index) {
            skipBlanks();
            if (peek() == ']' || peek() == '}' || peek() == '\0')
                return false;
            if (open == '{') {
                const QByteArray name = string();
                skipBlanks();
                ++fAt; // the colon
                skipBlanks();
                if (name == key)
                    return true;
            } else if (index == step.index) {
                return true;
            }
            skipValue();
            skipBlanks();
            if (peek() == ',')
                ++fAt;
        }
    }

private:
    const QByteArray& fText;
};

} // namespace

int JsonLine(const QByteArray& json, const std::vector<JsonStep>& path)
{
    JsonWalk walk(json);
    walk.skipBlanks();
    qsizetype reached = walk.fAt;
    for (const JsonStep& step : path) {
        if (!walk.enter(step))
            break;
        walk.skipBlanks();
        reached = walk.fAt;
    }
    return LineAt(json, reached);
}

std::optional<LayoutFileError> ReadJson(
    const QByteArray& bytes, const QString& file, QJsonDocument& document)
{
    if (auto tooBig = CheckFileSize(bytes.size(), kMaxJsonLayoutFileSize, file))
        return tooBig;
    QJsonParseError error;
    document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError)
        return std::nullopt;
    return FileError(file, LineAt(bytes, error.offset),
        LayoutFiles::tr("not JSON: %1").arg(error.errorString()));
}

std::optional<UInt64> ParseUnsigned(const QString& text)
{
    // Latin-1 keeps every character one byte: one that is not a digit stays
    // one that is not.
    const QByteArray trimmed = text.trimmed().toLatin1();
    int base = 10;
    qsizetype at = 0;
    if (trimmed.size() > 1 && trimmed[0] == '0' && (trimmed[1] == 'x' || trimmed[1] == 'X'))
        base = 16, at = 2;
    else if (trimmed.size() > 1 && trimmed[0] == '0' && (trimmed[1] == 'b' || trimmed[1] == 'B'))
        base = 2, at = 2;
    UInt64 value = 0;
    if (!ReadWholeUnsigned(
            trimmed.constData() + at, trimmed.constData() + trimmed.size(), value, base))
        return std::nullopt;
    return value;
}
