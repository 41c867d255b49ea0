#include "FieldDescription.h"

#include <QLineEdit>

namespace {

struct NotationDescription {
    const char* name;
    const char* toolTip;
};

const NotationDescription kNotationDescriptions[eNotationCount] = {
    { "binary", "Binary, in groups of four digits; spaces and 0b are ignored" },
    { "decimal", "Decimal, read in the row's byte order; a leading minus sign makes it signed" },
    { "hexadecimal", "Hexadecimal, in groups of four digits; spaces and 0x are ignored" },
    { "octal", "Octal, in groups of four digits; spaces and 0o are ignored" },
    { "base 36", "Base 36, digits 0–9 and a–z in groups of two; spaces are ignored" },
    { "text",
        "The bytes as characters, most significant first; • is a byte that is not "
        "printable" },
    { "IP address", "IPv4 address: the low 32 bits as four dotted numbers" },
    { "version", "Packed version number such as 1.2.3b4, from the low 32 bits" },
};

} // namespace

void DescribeField(QLineEdit& field, const char* rowName, Notation notation)
{
    const NotationDescription& description = kNotationDescriptions[notation];
    field.setAccessibleName(
        QLatin1String(rowName) + QLatin1String(", ") + QLatin1String(description.name));
    field.setToolTip(QString::fromUtf8(description.toolTip));
}
