// A field's text on its way to the model and back. UTF-8, except that a
// lone surrogate, which a field can hold (a paste cut at the field's length
// may split a character in two), keeps three bytes of its own, so that what
// the model gives back is exactly what the field held.
#ifndef BITLENS_FIELDSTRING_H
#define BITLENS_FIELDSTRING_H

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

std::string ModelText(QStringView text);
QString FieldString(std::string_view text);

#endif
