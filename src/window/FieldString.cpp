#include "FieldString.h"

std::string ModelText(QStringView text)
{
    std::string utf8;
    utf8.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            code = QChar::surrogateToUcs4(char16_t(code), text[++i].unicode());
        if (code < 0x80) {
            utf8 += char(code);
        } else if (code < 0x800) {
            utf8 += char(0xC0 | code >> 6);
            utf8 += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += char(0xE0 | code >> 12);
            utf8 += char(0x80 | (code >> 6 & 0x3F));
            utf8 += char(0x80 | (code & 0x3F));
        } else {
            utf8 += char(0xF0 | code >> 18);
            utf8 += char(0x80 | (code >> 12 & 0x3F));
            utf8 += char(0x80 | (code >> 6 & 0x3F));
            utf8 += char(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

namespace {

// Whether `text` holds the three bytes of a lone surrogate (ED A0..BF ..),
// which the toolkit's own reading would replace.
bool HoldsSurrogate(std::string_view text)
{
    for (std::size_t at = text.find('\xED'); at != std::string_view::npos;
         at = text.find('\xED', at + 1))
        if (at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) >= 0xA0)
            return true;
    return false;
}

} // namespace

QString FieldString(std::string_view text)
{
    if (!HoldsSurrogate(text))
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    QString field;
    field.reserve(qsizetype(text.size()));
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        // A continuation byte where a character should begin stands alone.
        const bool stray = lead >= 0x80 && extra == 0;
        bool whole = !stray && at + std::size_t(extra) < text.size();
        for (int i = 1; whole && i <= extra; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            whole = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!whole || code > 0x10FFFF) {
            field += QChar(QChar::ReplacementCharacter);
            ++at;
            continue;
        }
        at += std::size_t(extra) + 1;
        if (code >= 0x10000) {
            field += QChar(QChar::highSurrogate(code));
            field += QChar(QChar::lowSurrogate(code));
        } else {
            field += QChar(char16_t(code));
        }
    }
    return field;
}
