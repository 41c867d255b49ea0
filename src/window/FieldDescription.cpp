#include "FieldDescription.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>

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
    { "float",
        "IEEE-754 floating point: half at 16 bits, single at 32, double at 64, read in the "
        "row's byte order; typed at 8 bits, a single, and the width becomes 32" },
};

class WholeTextToolTip : public QObject {
public:
    explicit WholeTextToolTip(QLineEdit& field)
        : QObject(&field)
        , fField(field)
    { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &fField || event->type() != QEvent::ToolTip || fField.text().isEmpty())
            return QObject::eventFilter(watched, event);
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(
            help->globalPos(), fField.toolTip() + QLatin1Char('\n') + fField.text(), &fField);
        return true;
    }

private:
    QLineEdit& fField;
};

} // namespace

void DescribeField(QLineEdit& field, const char* rowName, Notation notation)
{
    const NotationDescription& description = kNotationDescriptions[notation];
    field.setAccessibleName(
        QLatin1String(rowName) + QLatin1String(", ") + QLatin1String(description.name));
    field.setToolTip(QString::fromUtf8(description.toolTip));
}

void ShowWholeTextInToolTip(QLineEdit& field)
{
    field.installEventFilter(new WholeTextToolTip(field));
}

QString NoFloatPlaceholder()
{
    return QStringLiteral("16 bits or more");
}

QString TooBigWarning(Notation notation)
{
    switch (notation) {
    case eNotationDecimal: return QStringLiteral("beyond 64 bits: the largest is shown");
    case eNotationText: return QStringLiteral("more than 8 characters: 0 is shown");
    default: return QStringLiteral("more than 64 bits: the low 64 are shown");
    }
}
