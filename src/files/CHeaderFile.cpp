#include "CHeaderFile.h"

#include "FileSupport.h"

#include "engine/Characters.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

bool IdentifierChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// A C integer literal: 0x, 0b, octal or decimal digits, ' separators, any
// of u, l, ll suffixes.
std::optional<UInt64> Literal(QByteArray token)
{
    token.replace('\'', QByteArray());
    while (!token.isEmpty()
        && (token.endsWith('u') || token.endsWith('U') || token.endsWith('l')
            || token.endsWith('L')))
        token.chop(1);
    if (token.isEmpty() || token[0] < '0' || token[0] > '9')
        return std::nullopt;
    int base = 10;
    qsizetype at = 0;
    if (token.size() > 1 && token[0] == '0') {
        const char x = token[1];
        if (x == 'x' || x == 'X')
            base = 16, at = 2;
        else if (x == 'b' || x == 'B')
            base = 2, at = 2;
        else
            base = 8, at = 1;
    }
    if (at == token.size() && base != 8)
        return std::nullopt;
    UInt64 value = 0;
    if (at == token.size()) // a lone 0
        return value;
    if (!ReadWholeUnsigned(token.constData() + at, token.constData() + token.size(), value, base))
        return std::nullopt;
    return value;
}

// A define's body in tokens, and the few expressions a field is written as.
class Body {
public:
    Body(const QByteArray& text, const QHash<QByteArray, UInt64>& numbers)
        : fNumbers(numbers)
    {
        for (qsizetype at = 0; at < text.size();) {
            const char c = text[at];
            if (Blank(c)) {
                ++at;
            } else if (IdentifierChar(c) || c == '\'') {
                const qsizetype start = at;
                while (at < text.size() && (IdentifierChar(text[at]) || text[at] == '\''))
                    ++at;
                fTokens.push_back(text.mid(start, at - start));
            } else if (c == '<' && at + 1 < text.size() && text[at + 1] == '<') {
                fTokens.push_back("<<");
                at += 2;
            } else {
                fTokens.push_back(QByteArray(1, c));
                ++at;
            }
        }
    }

    // The high and low bits of GENMASK(h, l) or BIT(n), or the mask and
    // the shift of M << n, each of them in any number of parentheses.
    struct Field {
        UInt64 high, low;
        bool isShift;
    };
    std::optional<Field> field()
    {
        fAt = 0;
        fDepth = 0;
        const auto found = parenthesized();
        return found && fAt == fTokens.size() ? found : std::nullopt;
    }

    // The body as one number, when it is one.
    std::optional<UInt64> number()
    {
        fAt = 0;
        fDepth = 0;
        const auto value = operand();
        return value && fAt == fTokens.size() ? value : std::nullopt;
    }

private:
    const QHash<QByteArray, UInt64>& fNumbers;
    std::vector<QByteArray> fTokens;
    std::size_t fAt = 0;
    int fDepth = 0;

    const QByteArray& token() const
    {
        static const QByteArray end;
        return fAt < fTokens.size() ? fTokens[fAt] : end;
    }
    bool expect(const char* what)
    {
        if (token() != what)
            return false;
        ++fAt;
        return true;
    }
    std::optional<Field> parenthesized()
    {
        if (++fDepth > 64) {
            --fDepth;
            return std::nullopt;
        }
        const std::size_t start = fAt;
        std::optional<Field> found;
        if (token() == "(" && !IsCastAt(fAt)) {
            ++fAt;
            found = parenthesized();
            if (!found || !expect(")"))
                found.reset();
        }
        if (!found) {
            fAt = start;
            found = form();
        }
        if (!found)
            fAt = start;
        --fDepth;
        return found;
    }
    std::optional<Field> form()
    {
        const QByteArray& head = token();
        if (head == "GENMASK" || head == "GENMASK_ULL") {
            ++fAt;
            const auto high = expect("(") ? operand() : std::nullopt;
            const auto low = high && expect(",") ? operand() : std::nullopt;
            if (low && expect(")"))
                return Field { *high, *low, false };
        } else if (head == "BIT" || head == "BIT_ULL") {
            ++fAt;
            const auto bit = expect("(") ? operand() : std::nullopt;
            if (bit && expect(")"))
                return Field { *bit, *bit, false };
        } else {
            const auto mask = operand();
            const auto shift = mask && expect("<<") ? operand() : std::nullopt;
            if (shift)
                return Field { *mask, *shift, true };
        }
        return std::nullopt;
    }
    // "(uint32_t)" or "(unsigned long)" before something else: a cast.
    bool IsCastAt(std::size_t at) const
    {
        std::size_t end = at + 1;
        while (end < fTokens.size() && IdentifierChar(fTokens[end][0]) && !Literal(fTokens[end])
            && !fNumbers.contains(fTokens[end]))
            ++end;
        return end > at + 1 && end + 1 < fTokens.size() && fTokens[end] == ")"
            && fTokens[end + 1] != ")" && fTokens[end + 1] != "<<" && fTokens[end + 1] != ",";
    }
    std::optional<UInt64> operand()
    {
        if (++fDepth > 64) {
            --fDepth;
            return std::nullopt;
        }
        std::optional<UInt64> value;
        if (token() == "(" && IsCastAt(fAt)) {
            while (token() != ")")
                ++fAt;
            ++fAt;
            value = operand();
        } else if (token() == "(") {
            ++fAt;
            value = operand();
            if (!expect(")"))
                value.reset();
        } else if (const auto literal = Literal(token())) {
            ++fAt;
            value = literal;
        } else if (fNumbers.contains(token())) {
            value = fNumbers.value(token());
            ++fAt;
        }
        --fDepth;
        return value;
    }
};

// A header's lines with comments taken out, continuation lines joined.
// Keeps a block comment's state from one line to the next.
class Lines {
public:
    explicit Lines(const QByteArray& bytes)
        : fBytes(bytes)
    { }

    // The next logical line's code and the comment text on it; false at the
    // end. `line` is its first line's number.
    bool next(QByteArray& code, QByteArray& comment, int& line)
    {
        if (fAt >= fBytes.size())
            return false;
        code.clear();
        comment.clear();
        line = fLine;
        while (fAt < fBytes.size()) {
            qsizetype end = fBytes.indexOf('\n', fAt);
            if (end < 0)
                end = fBytes.size();
            qsizetype last = end;
            while (last > fAt && (fBytes[last - 1] == '\r'))
                --last;
            const bool continued = last > fAt && fBytes[last - 1] == '\\';
            strip(fAt, continued ? last - 1 : last, code, comment);
            fAt = end + 1;
            ++fLine;
            if (!continued)
                break;
        }
        return true;
    }

private:
    const QByteArray& fBytes;
    qsizetype fAt = 0;
    int fLine = 1;
    bool fInComment = false;

    void strip(qsizetype at, qsizetype end, QByteArray& code, QByteArray& comment)
    {
        while (at < end) {
            const char c = fBytes[at];
            const char next = at + 1 < end ? fBytes[at + 1] : '\0';
            if (fInComment) {
                if (c == '*' && next == '/') {
                    fInComment = false;
                    at += 2;
                } else {
                    comment += c;
                    ++at;
                }
            } else if (c == '/' && next == '*') {
                fInComment = true;
                at += 2;
            } else if (c == '/' && next == '/') {
                comment += fBytes.mid(at + 2, end - at - 2);
                return;
            } else if (c == '"' || c == '\'') {
                // Quotes in code: a comment opener inside them is text.
                code += c;
                for (++at; at < end && fBytes[at] != c; ++at) {
                    code += fBytes[at];
                    if (fBytes[at] == '\\' && at + 1 < end)
                        code += fBytes[++at];
                }
                if (at < end)
                    code += fBytes[at++];
            } else {
                code += c;
                ++at;
            }
        }
        if (fInComment)
            comment += ' ';
    }
};

// "/*!< USART enable */" and its kin: the text without the markers.
QString Description(const QByteArray& comment)
{
    QString text = QString::fromUtf8(comment).trimmed();
    while (!text.isEmpty() && QStringLiteral("*!/<").contains(text[0]))
        text.remove(0, 1);
    return text.simplified();
}

// The name of a define, and the rest of its line; false for other lines
// and for function-like macros.
bool Define(const QByteArray& code, QByteArray& name, QByteArray& body)
{
    const QByteArray line = code.trimmed();
    if (!line.startsWith('#'))
        return false;
    qsizetype at = 1;
    while (at < line.size() && Blank(line[at]))
        ++at;
    if (line.mid(at, 6) != "define")
        return false;
    at += 6;
    const qsizetype nameStart = at;
    while (at < line.size() && Blank(line[at]))
        ++at;
    if (at == nameStart)
        return false;
    const qsizetype start = at;
    while (at < line.size() && IdentifierChar(line[at]))
        ++at;
    if (at == start || (line[start] >= '0' && line[start] <= '9'))
        return false;
    if (at < line.size() && !Blank(line[at]))
        return false; // "NAME(" is a function-like macro
    name = line.mid(start, at - start);
    body = line.mid(at).trimmed();
    return true;
}

int CountTrailingZeros(UInt64 value)
{
    int count = 0;
    while ((value & 1) == 0) {
        value >>= 1;
        ++count;
    }
    return count;
}

int Clamp(UInt64 value)
{
    return int(std::min<UInt64>(value, 1000));
}

QString Identifier(const QString& text)
{
    QString name;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool keep = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
            || u == '_';
        name += keep ? c : QLatin1Char('_');
    }
    if (name.isEmpty() || name[0].isDigit())
        name.prepend(QLatin1String("F_"));
    return name;
}

// Comment text that cannot end its comment early.
QString CommentText(const std::string& text)
{
    return FromUtf8(text).replace(QLatin1String("*/"), QLatin1String("* /")).simplified();
}

} // namespace

LayoutResult ImportCHeader(const QByteArray& bytes, const QString& fileName)
{
    if (auto tooBig = CheckFileSize(bytes.size(), kMaxLayoutFileSize, fileName))
        return Failed(*tooBig);
    LayoutResult result;
    BitFieldLayout& layout = result.layout;
    layout.name = ToUtf8(QFileInfo(fileName).completeBaseName());
    std::vector<int> lineOfField;
    QHash<QByteArray, UInt64> numbers;

    Lines lines(bytes);
    QByteArray code, comment, name, text;
    int line = 0;
    while (lines.next(code, comment, line)) {
        if (!Define(code, name, text))
            continue;
        Body body(text, numbers);
        const auto found = body.field();
        if (!found) {
            if (const auto number = body.number())
                numbers.insert(name, *number);
            continue;
        }
        BitField field;
        field.name = name.toStdString();
        field.description = ToUtf8(Description(comment));
        if (found->isShift) {
            const UInt64 mask = found->high;
            const UInt64 run = mask == 0 ? 0 : mask >> CountTrailingZeros(mask);
            if (run == 0 || (run & (run + 1)) != 0) {
                result.warnings.push_back(FileError(fileName, line,
                    LayoutFiles::tr("%1: mask 0x%2 is not one run of set bits; left out")
                        .arg(QString::fromLatin1(name), QString::number(mask, 16).toUpper())));
                continue;
            }
            int width = 0;
            for (UInt64 bits = run; bits != 0; bits >>= 1)
                ++width;
            field.lsb = Clamp(found->low) + CountTrailingZeros(mask);
            field.msb = field.lsb + width - 1;
        } else {
            field.msb = Clamp(found->high);
            field.lsb = Clamp(found->low);
        }
        if (layout.fields.size() == kMaxLayoutFields)
            return Failed(FileError(
                fileName, line, LayoutFiles::tr("more than %1 fields").arg(kMaxLayoutFields)));
        layout.fields.push_back(std::move(field));
        lineOfField.push_back(line);
    }
    if (layout.fields.empty())
        return Failed(FileError(fileName, 0,
            LayoutFiles::tr("no bit fields: no line reads #define NAME GENMASK(h, l), BIT(n) or "
                            "(MASK << n)")));
    if (auto unsound = FirstProblem(layout, fileName,
            [&](int field) { return field < 0 ? 0 : lineOfField[std::size_t(field)]; }))
        return Failed(*unsound);
    return result;
}

QByteArray ExportCHeader(const BitFieldLayout& layout, const QString& prefix)
{
    QString out;
    out += QStringLiteral("/* %1: %2 bits */\n")
               .arg(CommentText(layout.name))
               .arg(LayoutWidth(layout));
    if (!layout.description.empty())
        out += QStringLiteral("/* %1 */\n").arg(CommentText(layout.description));
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
        const bool wide = field.msb > 31;
        const QString suffix = wide ? QStringLiteral("ull") : QStringLiteral("u");
        out += QStringLiteral("\n#define %1_SHIFT %2\n").arg(name).arg(field.lsb);
        out += QStringLiteral("#define %1_MASK 0x%2%3\n")
                   .arg(name, QString::number(FieldMask(field), 16).toUpper(), suffix);
        out += QStringLiteral("#define %1 %2(%3, %4)")
                   .arg(name, wide ? QStringLiteral("GENMASK_ULL") : QStringLiteral("GENMASK"))
                   .arg(field.msb)
                   .arg(field.lsb);
        const QString description = CommentText(field.description);
        out += description.isEmpty() ? QStringLiteral("\n")
                                     : QStringLiteral(" /* %1 */\n").arg(description);
        for (const NamedValue& named : field.values)
            out += QStringLiteral("#define %1_%2 0x%3%4\n")
                       .arg(name, Identifier(FromUtf8(named.name)),
                           QString::number(named.value, 16).toUpper(), suffix);
    }
    return out.toUtf8();
}
