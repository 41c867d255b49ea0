#include "Json5.h"

#include "FileSupport.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Any byte of a character past ASCII may be in a name: JavaScript takes
// letters of every script, and the reader need not tell them apart.
bool StartsName(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$'
        || static_cast<unsigned char>(c) >= 0x80;
}

bool InName(char c)
{
    return StartsName(c) || IsDigit(c);
}

int HexValue(char c)
{
    return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
}

// The characters of a text token (quotes included) or a name, escapes read.
QString Decode(const char* data, int begin, int end)
{
    if (begin < end && (data[begin] == '"' || data[begin] == '\'')) {
        ++begin;
        --end;
    }
    QString text;
    int plain = begin; // the start of bytes not yet taken as UTF-8
    const auto hex = [&](int at, int digits) -> int {
        int value = 0;
        for (int i = 0; i < digits; ++i) {
            if (at + i >= end || !IsHexDigit(data[at + i]))
                return -1;
            value = value * 16 + HexValue(data[at + i]);
        }
        return value;
    };
    for (int at = begin; at < end;) {
        if (data[at] != '\\' || at + 1 >= end) {
            ++at;
            continue;
        }
        text += QString::fromUtf8(data + plain, at - plain);
        const char c = data[at + 1];
        at += 2;
        const char* const simple = "b\bf\fn\nr\rt\tv\v0";
        const char* found = c != '\0' ? std::strchr(simple, c) : nullptr;
        if (found && (found - simple) % 2 == 0) {
            text += QChar(c == '0' ? u'\0' : char16_t(found[1]));
        } else if (c == 'x' && hex(at, 2) >= 0) {
            text += QChar(char16_t(hex(at, 2)));
            at += 2;
        } else if (c == 'u' && hex(at, 4) >= 0) {
            text += QChar(char16_t(hex(at, 4)));
            at += 4;
        } else if (c == '\r' || c == '\n') {
            // A line continuation: the break is not in the text.
            if (c == '\r' && at < end && data[at] == '\n')
                ++at;
        } else {
            // Any other character stands for itself, whole.
            --at;
            int length = 1;
            while (
                at + length < end && (static_cast<unsigned char>(data[at + length]) & 0xC0) == 0x80)
                ++length;
            text += QString::fromUtf8(data + at, length);
            at += length;
        }
        plain = at;
    }
    text += QString::fromUtf8(data + plain, end - plain);
    return text;
}

} // namespace

// Reads a document into its nodes, or stops at the first error.
class Json5Reader {
public:
    explicit Json5Reader(Json5Document& document)
        : fDocument(document)
        , fData(document.fBytes.constData())
        , fSize(int(document.fBytes.size()))
    { }

    void run()
    {
        if (fSize >= 3 && std::memcmp(fData, "\xEF\xBB\xBF", 3) == 0)
            fAt = 3;
        if (!skip())
            return;
        if (fAt == fSize) {
            fail(fLine, LayoutFiles::tr("the file holds no value"));
            return;
        }
        if (value(1) < 0 || !skip())
            return;
        if (fAt < fSize)
            fail(fLine, LayoutFiles::tr("more after the end of the value: %1").arg(found()));
    }

private:
    Json5Document& fDocument;
    const char* fData;
    int fSize;
    int fAt = 0;
    int fLine = 1;

    void fail(int line, const QString& message)
    {
        if (!fDocument.fError)
            fDocument.fError = Json5Error { line, message };
    }
    char peek(int ahead = 0) const { return fAt + ahead < fSize ? fData[fAt + ahead] : '\0'; }
    bool at(const char* text) const
    {
        const int length = int(std::strlen(text));
        return fAt + length <= fSize && std::memcmp(fData + fAt, text, std::size_t(length)) == 0;
    }

    // What stands at fAt, for a message: a name, a character, or the end.
    QString found() const
    {
        if (fAt >= fSize)
            return LayoutFiles::tr("the end of the file");
        int end = fAt;
        while (end < fSize && end - fAt < 24 && InName(fData[end]))
            ++end;
        if (end == fAt) {
            ++end;
            while (end < fSize && (static_cast<unsigned char>(fData[end]) & 0xC0) == 0x80)
                ++end;
        }
        return QStringLiteral("\u201C%1\u201D").arg(QString::fromUtf8(fData + fAt, end - fAt));
    }

    // Past blanks and comments; false when a comment does not end.
    bool skip()
    {
        while (fAt < fSize) {
            const char c = fData[fAt];
            if (c == '\n') {
                ++fLine;
                ++fAt;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') {
                ++fAt;
            } else if (at("\xC2\xA0")) {
                fAt += 2;
            } else if (at("\xE2\x80\xA8") || at("\xE2\x80\xA9") || at("\xEF\xBB\xBF")) {
                fAt += 3;
            } else if (at("//")) {
                while (fAt < fSize && fData[fAt] != '\n')
                    ++fAt;
            } else if (at("/*")) {
                const int line = fLine;
                const char* close = nullptr;
                for (int i = fAt + 2; i + 1 < fSize && !close; ++i)
                    if (fData[i] == '*' && fData[i + 1] == '/')
                        close = fData + i;
                if (!close) {
                    fail(line, LayoutFiles::tr("a /* comment that does not end"));
                    return false;
                }
                for (const char* p = fData + fAt; p < close; ++p)
                    fLine += *p == '\n';
                fAt = int(close - fData) + 2;
            } else {
                break;
            }
        }
        return true;
    }

    int add(Json5Value::Kind kind, int begin, int end)
    {
        fDocument.fNodes.push_back({ kind, fLine, begin, end });
        return int(fDocument.fNodes.size() - 1);
    }
    Json5Document::Node& node(int index) { return fDocument.fNodes[std::size_t(index)]; }

    // A text token from its quote; the end past its closing quote, or -1.
    int text()
    {
        const char quote = fData[fAt];
        const int line = fLine;
        for (int i = fAt + 1; i < fSize; ++i) {
            const char c = fData[i];
            if (c == quote)
                return i + 1;
            if (c == '\n' || c == '\r') {
                fail(line, LayoutFiles::tr("a text that does not end on its line"));
                return -1;
            }
            if (c == '\\' && i + 1 < fSize) {
                ++i;
                if (fData[i] == '\r' && i + 1 < fSize && fData[i + 1] == '\n')
                    ++i;
                fLine += fData[i] == '\n';
            }
        }
        fail(line, LayoutFiles::tr("a text that does not end"));
        return -1;
    }

    int name() const
    {
        int end = fAt;
        while (end < fSize && (InName(fData[end]) || (fData[end] == '\\' && end + 1 < fSize)))
            end += fData[end] == '\\' ? 2 : 1;
        return end;
    }

    // A number token at fAt; its end, or -1 when it is no number.
    int number() const
    {
        int at = fAt;
        if (fData[at] == '+' || fData[at] == '-')
            ++at;
        for (const char* word : { "Infinity", "NaN" }) {
            const int length = int(std::strlen(word));
            if (at + length <= fSize && std::memcmp(fData + at, word, std::size_t(length)) == 0)
                return at + length < fSize && InName(fData[at + length]) ? -1 : at + length;
        }
        int digits = 0;
        if (at + 1 < fSize && fData[at] == '0' && (fData[at + 1] | 0x20) == 'x') {
            for (at += 2; at < fSize && IsHexDigit(fData[at]); ++at)
                ++digits;
        } else {
            for (; at < fSize && IsDigit(fData[at]); ++at)
                ++digits;
            if (at < fSize && fData[at] == '.')
                for (++at; at < fSize && IsDigit(fData[at]); ++at)
                    ++digits;
            if (digits > 0 && at < fSize && (fData[at] | 0x20) == 'e') {
                int exponent = at + 1;
                if (exponent < fSize && (fData[exponent] == '+' || fData[exponent] == '-'))
                    ++exponent;
                int exponentDigits = 0;
                for (; exponent < fSize && IsDigit(fData[exponent]); ++exponent)
                    ++exponentDigits;
                if (exponentDigits == 0)
                    return -1;
                at = exponent;
            }
        }
        if (digits == 0 || (at < fSize && (InName(fData[at]) || fData[at] == '.')))
            return -1;
        return at;
    }

    // One value at fAt, blanks skipped before it; its node, or -1.
    int value(int depth)
    {
        if (depth > kMaxJson5Depth) {
            fail(fLine,
                LayoutFiles::tr("lists and objects nested more than %1 deep").arg(kMaxJson5Depth));
            return -1;
        }
        const char c = peek();
        if (c == '{' || c == '[')
            return container(depth, c == '{');
        if (c == '"' || c == '\'') {
            const int begin = fAt;
            const int line = fLine;
            const int end = text();
            if (end < 0)
                return -1;
            const int index = add(Json5Value::eText, begin, end);
            node(index).line = line;
            fAt = end;
            return index;
        }
        if (IsDigit(c) || c == '-' || c == '+' || c == '.' || at("Infinity") || at("NaN")) {
            const int end = number();
            if (end < 0) {
                int written = fAt + 1;
                while (written < fSize && written - fAt < 24
                    && (InName(fData[written]) || fData[written] == '.'))
                    ++written;
                fail(fLine,
                    LayoutFiles::tr("%1 is not a number")
                        .arg(QString::fromUtf8(fData + fAt, written - fAt)));
                return -1;
            }
            const int index = add(Json5Value::eNumber, fAt, end);
            fAt = end;
            return index;
        }
        if (StartsName(c)) {
            const int end = name();
            const QByteArray word(fData + fAt, end - fAt);
            const Json5Value::Kind kind = word == "true" || word == "false" ? Json5Value::eBoolean
                : word == "null"                                            ? Json5Value::eNull
                                                                            : Json5Value::eMissing;
            if (kind != Json5Value::eMissing) {
                const int index = add(kind, fAt, end);
                fAt = end;
                return index;
            }
        }
        fail(fLine,
            LayoutFiles::tr("expected a value (an object, a list, a text, a number, true, false or "
                            "null), found %1")
                .arg(found()));
        return -1;
    }

    int container(int depth, bool isObject)
    {
        const int openLine = fLine;
        const int index = add(isObject ? Json5Value::eObject : Json5Value::eList, fAt, fAt + 1);
        const char close = isObject ? '}' : ']';
        ++fAt;
        int last = -1;
        for (int count = 1;; ++count) {
            if (!skip())
                return -1;
            if (fAt == fSize) {
                fail(openLine,
                    isObject ? LayoutFiles::tr("the object that opens here does not end")
                             : LayoutFiles::tr("the list that opens here does not end"));
                return -1;
            }
            if (peek() == close) {
                ++fAt;
                return index;
            }
            int keyBegin = -1, keyEnd = -1;
            if (isObject) {
                keyBegin = fAt;
                if (peek() == '"' || peek() == '\'')
                    keyEnd = text();
                else if (StartsName(peek()))
                    keyEnd = name();
                if (keyEnd < 0 && !fDocument.fError)
                    fail(fLine,
                        LayoutFiles::tr("expected a key or \u201C}\u201D, found %1").arg(found()));
                if (keyEnd < 0)
                    return -1;
                fAt = keyEnd;
                if (!skip())
                    return -1;
                if (peek() != ':') {
                    fail(fLine,
                        LayoutFiles::tr("expected \u201C:\u201D after the key %1, found %2")
                            .arg(Decode(fData, keyBegin, keyEnd), found()));
                    return -1;
                }
                ++fAt;
                if (!skip())
                    return -1;
            }
            const int child = value(depth + 1);
            if (child < 0)
                return -1;
            node(child).keyBegin = keyBegin;
            node(child).keyEnd = keyEnd;
            if (last < 0)
                node(index).first = child;
            else
                node(last).next = child;
            last = child;
            if (!skip())
                return -1;
            if (peek() == ',') {
                ++fAt;
            } else if (peek() != close) {
                fail(fLine,
                    isObject ? LayoutFiles::tr("expected \u201C,\u201D or \u201C}\u201D after the "
                                               "value of %1, found %2")
                                   .arg(Decode(fData, keyBegin, keyEnd), found())
                             : LayoutFiles::tr("expected \u201C,\u201D or \u201C]\u201D after "
                                               "element %1 of the list, found %2")
                                   .arg(count)
                                   .arg(found()));
                return -1;
            }
        }
    }
};

Json5Document Json5Document::read(const QByteArray& bytes)
{
    Json5Document document;
    document.fBytes = bytes;
    Json5Reader(document).run();
    if (document.fError)
        document.fNodes.clear();
    return document;
}

Json5Value::Kind Json5Value::kind() const
{
    return fIndex < 0 ? eMissing : fDocument->fNodes[std::size_t(fIndex)].kind;
}

int Json5Value::line() const
{
    return fIndex < 0 ? 0 : fDocument->fNodes[std::size_t(fIndex)].line;
}

QString Json5Value::text() const
{
    if (fIndex < 0)
        return {};
    const Json5Document::Node& node = fDocument->fNodes[std::size_t(fIndex)];
    if (node.kind == eText)
        return Decode(fDocument->fBytes.constData(), node.begin, node.end);
    if (node.kind == eList || node.kind == eObject)
        return {};
    return QString::fromUtf8(fDocument->fBytes.constData() + node.begin, node.end - node.begin);
}

std::optional<double> Json5Value::number() const
{
    if (kind() != eNumber)
        return std::nullopt;
    const Json5Document::Node& node = fDocument->fNodes[std::size_t(fIndex)];
    const char* begin = fDocument->fBytes.constData() + node.begin;
    const char* end = fDocument->fBytes.constData() + node.end;
    const bool negative = *begin == '-';
    if (*begin == '-' || *begin == '+')
        ++begin;
    double value = 0;
    if (*begin == 'I') {
        value = std::numeric_limits<double>::infinity();
    } else if (*begin == 'N') {
        value = std::numeric_limits<double>::quiet_NaN();
    } else if (end - begin > 1 && (begin[1] | 0x20) == 'x') {
        for (const char* p = begin + 2; p < end; ++p)
            value = value * 16 + HexValue(*p);
    } else if (std::from_chars(begin, end, value).ec == std::errc::result_out_of_range) {
        // Past what a double holds: JavaScript reads Infinity, or 0 for a
        // negative exponent.
        const bool tiny = std::memchr(begin, '-', std::size_t(end - begin)) != nullptr;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

Json5Value Json5Value::first() const
{
    return { fDocument, fIndex < 0 ? -1 : fDocument->fNodes[std::size_t(fIndex)].first };
}

Json5Value Json5Value::next() const
{
    return { fDocument, fIndex < 0 ? -1 : fDocument->fNodes[std::size_t(fIndex)].next };
}

QString Json5Value::key() const
{
    if (fIndex < 0)
        return {};
    const Json5Document::Node& node = fDocument->fNodes[std::size_t(fIndex)];
    return node.keyBegin < 0 ? QString()
                             : Decode(fDocument->fBytes.constData(), node.keyBegin, node.keyEnd);
}

Json5Value Json5Value::member(const QString& key) const
{
    Json5Value found { fDocument, -1 };
    if (kind() != eObject)
        return found;
    for (Json5Value child = first(); !child.isMissing(); child = child.next())
        if (child.key() == key)
            found = child;
    return found;
}
