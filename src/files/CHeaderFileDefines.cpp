#include "CHeaderFileDefines.h"

#include "engine/Characters.h"

#include <QByteArrayView>

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
                    qsizetype run = at + 1;
                    while (run < end && fBytes[run] != '*')
                        ++run;
                    comment.append(fBytes.constData() + at, run - at);
                    at = run;
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
                // Plain code up to the next character that may open something.
                qsizetype run = at + 1;
                while (run < end && fBytes[run] != '/' && fBytes[run] != '"' && fBytes[run] != '\'')
                    ++run;
                code.append(fBytes.constData() + at, run - at);
                at = run;
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

// The body in tokens: names and numbers whole, << and >> as one, any other
// character alone. Views into `body`.
std::vector<QByteArrayView> Tokens(const QByteArray& body)
{
    std::vector<QByteArrayView> tokens;
    const char* data = body.constData();
    for (qsizetype at = 0; at < body.size();) {
        const char c = data[at];
        if (Blank(c) || c == '\n') {
            ++at;
        } else if (IdentifierChar(c)) {
            const qsizetype start = at;
            while (at < body.size() && (IdentifierChar(data[at]) || data[at] == '\''))
                ++at;
            tokens.emplace_back(data + start, at - start);
        } else if ((c == '<' || c == '>') && at + 1 < body.size() && data[at + 1] == c) {
            tokens.emplace_back(data + at, 2);
            at += 2;
        } else {
            tokens.emplace_back(data + at, 1);
            ++at;
        }
    }
    return tokens;
}

bool IsName(QByteArrayView token)
{
    return !token.isEmpty() && IdentifierChar(token[0]) && !(token[0] >= '0' && token[0] <= '9');
}

bool OneOf(QByteArrayView token, std::initializer_list<const char*> words)
{
    return std::any_of(words.begin(), words.end(), [&](const char* word) { return token == word; });
}

bool IsGenmask(QByteArrayView token)
{
    return OneOf(token,
        { "GENMASK", "GENMASK_ULL", "GENMASK_32", "GENMASK_64", "GENMASK_U32", "GENMASK_U64" });
}

bool IsBit(QByteArrayView token)
{
    return OneOf(token, { "BIT", "BIT_ULL", "BIT_32", "BIT_64", "BIT_U32", "BIT_U64" });
}

// The casts that keep a value: U(1), UL(1), ULL(1), UINT32_C(1).
bool IsValueMacro(QByteArrayView token)
{
    return OneOf(token,
        { "U", "UL", "ULL", "UINT8_C", "UINT16_C", "UINT32_C", "UINT64_C", "INT32_C", "INT64_C" });
}

} // namespace

// A C constant expression over tokens [begin, end), names read as the
// defines they name.
class CExpression {
public:
    CExpression(const CDefines& defines, const std::vector<QByteArrayView>& tokens, int depth)
        : fDefines(defines)
        , fTokens(tokens)
        , fDepth(depth)
    { }

    // The whole range as one value, or nothing.
    std::optional<UInt64> evaluate(std::size_t begin, std::size_t end)
    {
        fAt = begin;
        fEnd = end;
        fNesting = 0;
        const auto value = binary(0);
        return value && fAt == fEnd ? value : std::nullopt;
    }

    // The token that closes the parenthesis at `open`, or `limit`.
    std::size_t closing(std::size_t open, std::size_t limit) const
    {
        int depth = 0;
        for (std::size_t at = open; at < limit; ++at) {
            depth += fTokens[at] == "(" ? 1 : fTokens[at] == ")" ? -1 : 0;
            if (depth == 0)
                return at;
        }
        return limit;
    }

    // Whether a cast such as (uint32_t) or (unsigned long) stands at `at`:
    // names that are no defines in parentheses, then an operand.
    bool castAt(std::size_t at, std::size_t limit) const
    {
        if (at >= limit || fTokens[at] != "(")
            return false;
        std::size_t end = at + 1;
        while (end < limit && IsName(fTokens[end]) && fDefines.find(fTokens[end].toByteArray()) < 0
            && !IsValueMacro(fTokens[end]) && !IsBit(fTokens[end]) && !IsGenmask(fTokens[end]))
            ++end;
        if (end == at + 1 || end + 1 >= limit || fTokens[end] != ")")
            return false;
        const QByteArrayView next = fTokens[end + 1];
        return next == "(" || next == "~" || IdentifierChar(next[0]);
    }

private:
    const CDefines& fDefines;
    const std::vector<QByteArrayView>& fTokens;
    int fDepth;
    std::size_t fAt = 0;
    std::size_t fEnd = 0;
    int fNesting = 0;

    QByteArrayView token() const { return fAt < fEnd ? fTokens[fAt] : QByteArrayView(); }
    bool take(const char* what)
    {
        if (token() != what)
            return false;
        ++fAt;
        return true;
    }

    // C's binary operators by precedence, loosest first.
    static int precedence(QByteArrayView op)
    {
        static const char* const levels[][3]
            = { { "|" }, { "^" }, { "&" }, { "<<", ">>" }, { "+", "-" }, { "*", "/", "%" } };
        for (int level = 0; level < 6; ++level)
            for (const char* candidate : levels[level])
                if (candidate && op == candidate)
                    return level;
        return -1;
    }

    std::optional<UInt64> binary(int level)
    {
        if (level == 6)
            return unary();
        auto left = binary(level + 1);
        while (left && precedence(token()) == level) {
            const QByteArrayView op = token();
            ++fAt;
            const auto right = binary(level + 1);
            if (!right)
                return std::nullopt;
            if ((op == "/" || op == "%") && *right == 0)
                return std::nullopt;
            const UInt64 a = *left, b = *right;
            left = op == "|" ? a | b
                : op == "^"  ? a ^ b
                : op == "&"  ? a & b
                : op == "<<" ? (b > 63 ? 0 : a << b)
                : op == ">>" ? (b > 63 ? 0 : a >> b)
                : op == "+"  ? a + b
                : op == "-"  ? a - b
                : op == "*"  ? a * b
                : op == "/"  ? a / b
                             : a % b;
        }
        return left;
    }

    std::optional<UInt64> unary()
    {
        if (++fNesting > 64) {
            --fNesting;
            return std::nullopt;
        }
        std::optional<UInt64> value;
        if (take("~")) {
            value = unary();
            if (value)
                value = ~*value;
        } else if (take("-")) {
            value = unary();
            if (value)
                value = UInt64(0) - *value;
        } else if (take("+")) {
            value = unary();
        } else if (take("!")) {
            value = unary();
            if (value)
                value = UInt64(*value == 0);
        } else if (castAt(fAt, fEnd)) {
            fAt = closing(fAt, fEnd) + 1;
            value = unary();
        } else {
            value = primary();
        }
        --fNesting;
        return value;
    }

    // The arguments of NAME( ... ) as ranges, the closing ')' taken.
    bool arguments(std::vector<std::pair<std::size_t, std::size_t>>& ranges)
    {
        if (token() != "(")
            return false;
        const std::size_t close = closing(fAt, fEnd);
        if (close == fEnd)
            return false;
        int depth = 0;
        std::size_t start = fAt + 1;
        for (std::size_t at = fAt + 1; at < close; ++at) {
            depth += fTokens[at] == "(" ? 1 : fTokens[at] == ")" ? -1 : 0;
            if (depth == 0 && fTokens[at] == ",") {
                ranges.emplace_back(start, at);
                start = at + 1;
            }
        }
        ranges.emplace_back(start, close);
        fAt = close + 1;
        return true;
    }

    std::optional<UInt64> primary()
    {
        const QByteArrayView head = token();
        if (head.isEmpty())
            return std::nullopt;
        if (head == "(") {
            ++fAt;
            const auto value = binary(0);
            return value && take(")") ? value : std::nullopt;
        }
        if (const auto literal = Literal(head.toByteArray())) {
            ++fAt;
            return literal;
        }
        if (!IsName(head))
            return std::nullopt;
        ++fAt;
        if (IsGenmask(head) || IsBit(head) || IsValueMacro(head)) {
            std::vector<std::pair<std::size_t, std::size_t>> ranges;
            if (!arguments(ranges))
                return std::nullopt;
            std::vector<UInt64> values;
            for (const auto& [begin, end] : ranges) {
                CExpression inner(fDefines, fTokens, fDepth);
                const auto value = inner.evaluate(begin, end);
                if (!value)
                    return std::nullopt;
                values.push_back(*value);
            }
            if (IsValueMacro(head))
                return values.size() == 1 ? std::optional<UInt64>(values[0]) : std::nullopt;
            if (IsBit(head))
                return values.size() == 1 && values[0] <= 63
                    ? std::optional<UInt64>(UInt64(1) << values[0])
                    : std::nullopt;
            if (values.size() != 2 || values[0] > 63 || values[1] > values[0])
                return std::nullopt;
            return WidthMask(unsigned(values[0] - values[1] + 1)) << values[1];
        }
        const int define = fDefines.find(head.toByteArray());
        return define < 0 ? std::nullopt : fDefines.value(define, fDepth + 1);
    }
};

CDefines::CDefines(const QByteArray& bytes)
{
    Lines lines(bytes);
    QByteArray code, comment, name, body;
    QByteArray pendingGuard; // the name of the #ifndef just before
    bool guardLooked = false; // only the file's first #ifndef can be its guard
    QString lastComment; // a comment alone on the line before
    int line = 0;
    while (lines.next(code, comment, line)) {
        const QByteArray trimmed = code.trimmed();
        if (trimmed.isEmpty()) {
            lastComment = comment.trimmed().isEmpty() ? QString() : Description(comment);
            continue;
        }
        const QString heading = lastComment;
        lastComment.clear();
        if (!guardLooked && trimmed.startsWith('#')) {
            const QList<QByteArray> words = trimmed.mid(1).simplified().split(' ');
            if (!pendingGuard.isEmpty()) {
                guardLooked = true;
                if (words.size() == 2 && words[0] == "define" && words[1] == pendingGuard)
                    fGuard = pendingGuard;
            } else if (words.size() == 2 && words[0] == "ifndef") {
                pendingGuard = words[1];
            } else if (!words.isEmpty() && words[0] != "pragma") {
                guardLooked = true;
            }
        }
        if (!Define(code, name, body))
            continue;
        CDefine define;
        define.name = name;
        define.line = line;
        define.comment = Description(comment);
        define.heading = heading;
        define.tooLong = body.size() > kMaxDefineBody;
        if (!define.tooLong)
            define.body = body;
        if (!fByName.contains(name))
            fByName.insert(name, int(fDefines.size()));
        fDefines.push_back(std::move(define));
    }
    fState.assign(fDefines.size(), 0);
    fValues.assign(fDefines.size(), std::nullopt);
}

std::optional<UInt64> CDefines::value(int index) const
{
    return value(index, 0);
}

std::optional<UInt64> CDefines::value(int index, int depth) const
{
    const std::size_t at = std::size_t(index);
    if (fState[at] == 2)
        return fValues[at];
    // A define within defines past this depth, or one that uses itself, is
    // no constant the importer reads.
    if (fState[at] == 1 || depth > 64)
        return std::nullopt;
    fState[at] = 1;
    const std::vector<QByteArrayView> tokens = Tokens(fDefines[at].body);
    fValues[at] = CExpression(*this, tokens, depth).evaluate(0, tokens.size());
    fState[at] = 2;
    return fValues[at];
}

CForm CDefines::form(int index) const
{
    CForm form;
    const std::vector<QByteArrayView> tokens = Tokens(fDefines[std::size_t(index)].body);
    CExpression expression(*this, tokens, 0);
    std::size_t begin = 0, end = tokens.size();
    // Outer parentheses, casts and U() come off.
    while (begin < end) {
        if (tokens[begin] == "(" && expression.closing(begin, end) == end - 1) {
            ++begin;
            --end;
        } else if (expression.castAt(begin, end)) {
            begin = expression.closing(begin, end) + 1;
        } else if (end - begin > 2 && IsValueMacro(tokens[begin]) && tokens[begin + 1] == "("
            && expression.closing(begin + 1, end) == end - 1) {
            begin += 2;
            --end;
        } else {
            break;
        }
    }
    if (begin == end)
        return form;
    const QByteArrayView head = tokens[begin];
    if (end - begin == 1 && IsName(head) && !Literal(head.toByteArray())) {
        form.kind = CForm::eAlias;
        form.alias = head.toByteArray();
        return form;
    }
    const bool call = end - begin > 2 && tokens[begin + 1] == "("
        && expression.closing(begin + 1, end) == end - 1;
    if (call && (IsGenmask(head) || IsBit(head))) {
        std::size_t comma = end;
        int depth = 0;
        for (std::size_t at = begin + 2; at < end - 1; ++at) {
            depth += tokens[at] == "(" ? 1 : tokens[at] == ")" ? -1 : 0;
            if (depth == 0 && tokens[at] == "," && comma == end)
                comma = at;
        }
        const auto first = expression.evaluate(begin + 2, IsBit(head) ? end - 1 : comma);
        const auto second = IsGenmask(head) && comma != end
            ? CExpression(*this, tokens, 0).evaluate(comma + 1, end - 1)
            : std::nullopt;
        if (first && IsBit(head)) {
            form.kind = CForm::eBit;
            form.value = *first;
            return form;
        }
        if (first && second) {
            form.kind = CForm::eGenmask;
            form.value = *first;
            form.other = *second;
            return form;
        }
        return form;
    }
    // A << B with no other operator outside parentheses.
    std::size_t shift = end;
    int depth = 0;
    bool other = false;
    for (std::size_t at = begin; at < end; ++at) {
        const QByteArrayView token = tokens[at];
        depth += token == "(" ? 1 : token == ")" ? -1 : 0;
        if (depth != 0 || at == begin)
            continue;
        if (token == "<<" && shift == end)
            shift = at;
        else if (OneOf(token, { "<<", ">>", "|", "&", "^", "+", "-", "*", "/", "%", "?", "," }))
            other = true;
    }
    if (shift != end && !other) {
        const auto shifted = expression.evaluate(begin, shift);
        const auto by = CExpression(*this, tokens, 0).evaluate(shift + 1, end);
        if (shifted && by) {
            form.kind = CForm::eShift;
            form.value = *shifted;
            form.other = *by;
        }
        return form;
    }
    if (const auto number = CExpression(*this, tokens, 0).evaluate(begin, end)) {
        form.kind = CForm::eNumber;
        form.value = *number;
    }
    return form;
}
