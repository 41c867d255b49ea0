#include "FieldText.h"

#include "engine/Magnitude.h"
#include "engine/Notation.h"

namespace {
constexpr char16_t kBullet = 0x2022;
constexpr unsigned char kPlaceholder = 0xA5;
} // namespace

int FieldTextToBytes(QStringView text, char* buffer)
{
    int length = 0;
    for (qsizetype i = 0; i < text.size() && length < kFieldBufferSize - 1; ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        // A NUL would end the engine's text early and hide what follows it.
        if (unit != 0 && unit <= 0xFF)
            buffer[length++] = static_cast<char>(unit);
        else if (unit == kBullet)
            buffer[length++] = static_cast<char>(kPlaceholder);
        else
            buffer[length++] = '?';
    }
    buffer[length] = '\0';
    return length;
}

QString FieldTextFromBytes(const char* bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.replace(QChar(kPlaceholder), QChar(kBullet));
    return text;
}

bool FieldTextEquals(QStringView text, const char* bytes)
{
    qsizetype i = 0;
    for (; bytes[i] != '\0'; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const char16_t shown = byte == kPlaceholder ? kBullet : char16_t(byte);
        if (i == text.size() || text[i].unicode() != shown)
            return false;
    }
    return i == text.size();
}

QString MagnitudeText(const BaseConverter& value, Endian endian, bool metric)
{
    char text[kMagnitudeSize];
    FormatMagnitude(value, endian, metric, text, sizeof text);
    return QString::fromLatin1(text);
}
