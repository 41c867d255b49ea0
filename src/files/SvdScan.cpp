#include "SvdScan.h"

#include <algorithm>
#include <cstring>

namespace {

bool At(const QByteArray& bytes, qsizetype at, const char* text)
{
    const std::size_t length = std::strlen(text);
    return at + qsizetype(length) <= bytes.size()
        && std::memcmp(bytes.constData() + at, text, length) == 0;
}

bool EndsName(const QByteArray& bytes, qsizetype at)
{
    if (at >= bytes.size())
        return false;
    const char c = bytes[at];
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Past a comment, CDATA section or processing instruction at `at`, or `at`
// itself when none starts there; -1 when it does not end.
qsizetype PastMarkup(const QByteArray& bytes, qsizetype at)
{
    // Most tags are elements: one look at the next byte tells.
    const char next = at + 1 < bytes.size() ? bytes[at + 1] : '\0';
    if (next != '!' && next != '?')
        return at;
    const struct {
        const char* open;
        const char* close;
    } kinds[] = { { "<!--", "-->" }, { "<![CDATA[", "]]>" }, { "<?", "?>" } };
    for (const auto& kind : kinds) {
        if (!At(bytes, at, kind.open))
            continue;
        const qsizetype end = bytes.indexOf(kind.close, at + qsizetype(std::strlen(kind.open)));
        return end < 0 ? -1 : end + qsizetype(std::strlen(kind.close));
    }
    return at;
}

// Past the DOCTYPE at `at`, its internal subset included, or -1 when it
// does not end. Entities it declares are read with each span.
qsizetype PastDoctype(const QByteArray& bytes, qsizetype at)
{
    const char* data = bytes.constData();
    bool inSubset = false;
    for (at += 9; at < bytes.size(); ++at) {
        const char c = data[at];
        if (c == '"' || c == '\'') {
            const qsizetype close = bytes.indexOf(c, at + 1);
            if (close < 0)
                return -1;
            at = close;
        } else if (inSubset && c == '<') {
            const qsizetype past = PastMarkup(bytes, at);
            if (past < 0)
                return -1;
            at = std::max(past, at + 1) - 1;
        } else if (c == '[') {
            inSubset = true;
        } else if (c == ']') {
            inSubset = false;
        } else if (c == '>' && !inSubset) {
            return at + 1;
        }
    }
    return -1;
}

} // namespace

std::vector<SvdSpan> ScanSvdFields(const QByteArray& bytes)
{
    std::vector<SvdSpan> spans;
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    int line = 1;
    qsizetype counted = 0; // the lines before `counted` are in `line`
    qsizetype at = 0;
    while (true) {
        const void* found = std::memchr(data + at, '<', std::size_t(size - at));
        if (!found)
            return spans;
        at = static_cast<const char*>(found) - data;
        const qsizetype past = PastMarkup(bytes, at);
        if (past < 0)
            return spans;
        if (past != at) {
            at = past;
            continue;
        }
        if (At(bytes, at, "<!DOCTYPE")) {
            at = PastDoctype(bytes, at);
            if (at < 0)
                return {};
            continue;
        }
        if (at + 1 == size || data[at + 1] != 'f' || !At(bytes, at, "<fields")
            || !EndsName(bytes, at + 7)) {
            ++at;
            continue;
        }
        const qsizetype begin = at;
        qsizetype tagEnd = at + 7;
        char quote = 0;
        for (; tagEnd < size && (quote || data[tagEnd] != '>'); ++tagEnd)
            if (data[tagEnd] == '"' || data[tagEnd] == '\'')
                quote = quote == data[tagEnd] ? 0 : quote ? quote : data[tagEnd];
        if (tagEnd == size)
            return spans;
        qsizetype end = -1;
        if (data[tagEnd - 1] == '/') {
            end = tagEnd + 1;
        } else {
            for (qsizetype inner = tagEnd + 1; inner < size;) {
                const void* next = std::memchr(data + inner, '<', std::size_t(size - inner));
                if (!next)
                    return spans;
                inner = static_cast<const char*>(next) - data;
                const qsizetype skipped = PastMarkup(bytes, inner);
                if (skipped < 0)
                    return spans;
                if (skipped != inner) {
                    inner = skipped;
                } else if (inner + 1 < size && data[inner + 1] != '/' && data[inner + 1] != 'f') {
                    ++inner;
                } else if (At(bytes, inner, "</fields") && EndsName(bytes, inner + 8)) {
                    const qsizetype close = bytes.indexOf('>', inner);
                    if (close < 0)
                        return spans;
                    end = close + 1;
                    break;
                } else if (At(bytes, inner, "<fields") && EndsName(bytes, inner + 7)) {
                    return {};
                } else {
                    ++inner;
                }
            }
            if (end < 0)
                return spans;
        }
        line += int(std::count(data + counted, data + begin, '\n'));
        counted = begin;
        spans.push_back({ begin, end, line });
        at = end;
    }
}

QByteArray SvdSkeleton(const QByteArray& bytes, const std::vector<SvdSpan>& spans)
{
    QByteArray skeleton;
    qsizetype kept = bytes.size();
    for (const SvdSpan& span : spans)
        kept -= span.end - span.begin;
    skeleton.reserve(kept + qsizetype(spans.size()) * 40);
    qsizetype at = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const SvdSpan& span = spans[i];
        skeleton.append(bytes.constData() + at, span.begin - at);
        skeleton.append("<fields bitlens-span=\"").append(QByteArray::number(qulonglong(i)));
        skeleton.append("\"/>");
        skeleton.append(
            std::count(bytes.constData() + span.begin, bytes.constData() + span.end, '\n'), '\n');
        at = span.end;
    }
    skeleton.append(bytes.constData() + at, bytes.size() - at);
    return skeleton;
}

QByteArray XmlPrologue(const QByteArray& bytes)
{
    const qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype declarationEnd = start;
    for (qsizetype at = start; at < bytes.size();) {
        const char c = bytes[at];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++at;
            continue;
        }
        if (c != '<')
            break;
        const bool declaration = at == start && At(bytes, at, "<?xml");
        qsizetype past
            = At(bytes, at, "<!DOCTYPE") ? PastDoctype(bytes, at) : PastMarkup(bytes, at);
        if (past <= at)
            break;
        if (declaration)
            declarationEnd = past;
        if (At(bytes, at, "<!DOCTYPE")) {
            // One line, so that the span's lines stay the file's.
            QByteArray prologue = bytes.mid(start, past - start);
            prologue.replace('\n', ' ');
            prologue.replace('\r', ' ');
            return prologue;
        }
        at = past;
    }
    return bytes.mid(start, declarationEnd - start);
}
