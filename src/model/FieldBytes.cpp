#include "FieldBytes.h"

#include "engine/Notation.h"

namespace {

constexpr char32_t kBullet = 0x2022;
constexpr unsigned char kPlaceholder = 0xA5;
constexpr char32_t kMalformed = 0xFFFD;

// The character at `at`, and where the next one starts. A sequence cut
// short, or a byte that cannot begin one, is one malformed character per
// byte; a whole sequence that spells no character (overlong, a surrogate, past
// U+10FFFF) is one malformed character.
char32_t Decode(std::string_view utf8, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    if (lead < 0x80)
        return lead;
    int extra = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, code = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, code = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, code = lead & 0x07, smallest = 0x10000;
    } else {
        return kMalformed;
    }
    if (at + extra > utf8.size())
        return kMalformed;
    for (int i = 0; i < extra; ++i) {
        const auto next = static_cast<unsigned char>(utf8[at + i]);
        if ((next & 0xC0) != 0x80)
            return kMalformed;
        code = code << 6 | (next & 0x3F);
    }
    at += extra;
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return kMalformed;
    return code;
}

char ByteOf(char32_t code)
{
    if (code != 0 && code <= 0xFF)
        return static_cast<char>(code);
    if (code == kBullet)
        return static_cast<char>(kPlaceholder);
    return '?';
}

// Writes the UTF-8 a field shows for one of the engine's bytes into `out`
// (when given) and returns its length.
std::size_t Encoded(unsigned char byte, char* out)
{
    if (byte < 0x80) {
        if (out)
            out[0] = char(byte);
        return 1;
    }
    if (byte == kPlaceholder) {
        if (out)
            out[0] = char(0xE2), out[1] = char(0x80), out[2] = char(0xA2);
        return 3;
    }
    if (out)
        out[0] = char(0xC0 | byte >> 6), out[1] = char(0x80 | (byte & 0x3F));
    return 2;
}

} // namespace

std::string_view CutToField(std::string_view utf8)
{
    int units = 0;
    std::size_t at = 0;
    while (at < utf8.size()) {
        std::size_t next = at;
        units += Decode(utf8, next) > 0xFFFF ? 2 : 1;
        if (units > kFieldCharacterLimit)
            break;
        at = next;
    }
    return utf8.substr(0, at);
}

int FieldTextToBytes(std::string_view utf8, char* buffer)
{
    int length = 0;
    for (std::size_t at = 0; at < utf8.size() && length < kFieldTextBufferSize - 1;)
        buffer[length++] = ByteOf(Decode(utf8, at));
    buffer[length] = '\0';
    return length;
}

void FieldTextFromBytes(const char* bytes, std::string& utf8)
{
    // Most notations write ASCII only: that is copied as it stands.
    std::size_t length = 0;
    bool ascii = true;
    for (; bytes[length] != '\0'; ++length)
        ascii = ascii && static_cast<unsigned char>(bytes[length]) < 0x80;
    if (ascii) {
        utf8.assign(bytes, length);
        return;
    }
    std::size_t encodedLength = 0;
    for (const char* at = bytes; *at != '\0'; ++at)
        encodedLength += Encoded(static_cast<unsigned char>(*at), nullptr);
    utf8.resize(encodedLength);
    char* out = utf8.data();
    for (const char* at = bytes; *at != '\0'; ++at)
        out += Encoded(static_cast<unsigned char>(*at), out);
}

bool FieldTextEquals(std::string_view utf8, const char* bytes)
{
    std::size_t at = 0;
    char encoded[3];
    for (; *bytes != '\0'; ++bytes) {
        const auto byte = static_cast<unsigned char>(*bytes);
        if (byte < 0x80) {
            if (at == utf8.size() || utf8[at] != char(byte))
                return false;
            ++at;
            continue;
        }
        const std::size_t length = Encoded(byte, encoded);
        if (utf8.compare(at, length, encoded, length) != 0)
            return false;
        at += length;
    }
    return at == utf8.size();
}

std::string CharactersOf(std::string_view utf8, int begin, int count)
{
    std::size_t at = 0;
    for (int skipped = 0; skipped < begin && at < utf8.size(); ++skipped)
        Decode(utf8, at);
    const std::size_t first = at;
    for (int taken = 0; taken < count && at < utf8.size(); ++taken)
        Decode(utf8, at);
    return std::string(utf8.substr(first, at - first));
}

int FirstCharacterBeyondByte(std::string_view utf8)
{
    std::size_t at = 0;
    for (int index = 0; at < utf8.size() && index < kFieldTextBufferSize - 1; ++index) {
        const char32_t code = Decode(utf8, at);
        if (code > 0xFF && code != kBullet)
            return index;
    }
    return -1;
}
