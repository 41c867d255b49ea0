#include "Message.h"

#include <cstring>

namespace {

// The length of the UTF-8 sequence that begins with `lead`; a stray
// continuation byte counts as one.
int SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

} // namespace

int FillMessage(const char* messageTemplate, const char* token, char* out, int size)
{
    if (size <= 0)
        return 0;
    int length = 0;
    // Whole characters only, so that a message cut short stays valid UTF-8.
    auto put = [&](const char* text, const char* end) {
        while (text < end) {
            int bytes = SequenceLength(static_cast<unsigned char>(*text));
            if (bytes > end - text)
                bytes = 1;
            if (length + bytes > size - 1)
                return false;
            std::memcpy(out + length, text, std::size_t(bytes));
            length += bytes;
            text += bytes;
        }
        return true;
    };
    const char* templateEnd = messageTemplate + std::strlen(messageTemplate);
    const char* marker = std::strstr(messageTemplate, "%1");
    if (marker == nullptr) {
        put(messageTemplate, templateEnd);
    } else {
        const char* filling = token != nullptr ? token : "";
        if (put(messageTemplate, marker) && put(filling, filling + std::strlen(filling)))
            put(marker + 2, templateEnd);
    }
    out[length] = '\0';
    return length;
}
