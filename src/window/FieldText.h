// Between a field's text and the engine's 8-bit bytes.
#ifndef BITLENS_FIELDTEXT_H
#define BITLENS_FIELDTEXT_H

#include "engine/BaseConverter.h"

#include <QString>
#include <QStringView>

// Latin-1 for U+0001 to U+00FF; the bullet U+2022 becomes 0xA5, the text
// notation's placeholder; any other character (a surrogate pair counts as
// one, and U+0000, which would end the text) becomes '?'. Writes at most
// 127 bytes and a terminator into `buffer`, which holds kFieldBufferSize
// bytes; returns the byte count.
int FieldTextToBytes(QStringView text, char* buffer);

// Latin-1, with the placeholder 0xA5 shown as the bullet.
QString FieldTextFromBytes(const char* bytes);

// Whether `text` is what FieldTextFromBytes(bytes) gives, without building
// it: a field that already shows its text is left alone for free.
bool FieldTextEquals(QStringView text, const char* bytes);

// The magnitude label's text of `value`, read in `endian`: 1024-based units,
// or 1000-based words when `metric`.
QString MagnitudeText(const BaseConverter& value, Endian endian, bool metric);

#endif
