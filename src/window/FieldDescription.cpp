#include "FieldDescription.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>

namespace {

constexpr char kContext[] = "FieldDescription";

struct NotationDescription {
    const char* name;
    const char* toolTip; // for a field the user types into
    const char* shows; // for a read-only field: what it shows, to follow "read-only, "
};

const NotationDescription kNotationDescriptions[eNotationCount] = {
    { QT_TRANSLATE_NOOP("FieldDescription", "binary"),
        QT_TRANSLATE_NOOP(
            "FieldDescription", "Binary, in groups of four digits; spaces and 0b are ignored"),
        QT_TRANSLATE_NOOP("FieldDescription", "in groups of four binary digits") },
    { QT_TRANSLATE_NOOP("FieldDescription", "decimal"),
        QT_TRANSLATE_NOOP("FieldDescription",
            "Decimal, read in the row's byte order; a leading minus sign makes it signed"),
        QT_TRANSLATE_NOOP(
            "FieldDescription", "in decimal, in the row's byte order and with its signedness") },
    { QT_TRANSLATE_NOOP("FieldDescription", "hexadecimal"),
        QT_TRANSLATE_NOOP(
            "FieldDescription", "Hexadecimal, in groups of four digits; spaces and 0x are ignored"),
        QT_TRANSLATE_NOOP("FieldDescription", "in groups of four hexadecimal digits") },
    { QT_TRANSLATE_NOOP("FieldDescription", "octal"),
        QT_TRANSLATE_NOOP(
            "FieldDescription", "Octal, in groups of four digits; spaces and 0o are ignored"),
        QT_TRANSLATE_NOOP("FieldDescription", "in groups of four octal digits") },
    { QT_TRANSLATE_NOOP("FieldDescription", "base 36"),
        QT_TRANSLATE_NOOP(
            "FieldDescription", "Base 36, digits 0–9 and a–z in groups of two; spaces are ignored"),
        QT_TRANSLATE_NOOP("FieldDescription", "in base 36, digits 0–9 and a–z in groups of two") },
    { QT_TRANSLATE_NOOP("FieldDescription", "text"),
        QT_TRANSLATE_NOOP("FieldDescription",
            "The bytes as characters, most significant first; • is a byte that is not "
            "printable"),
        QT_TRANSLATE_NOOP("FieldDescription",
            "the bytes as characters, most significant first; • is a byte that is not "
            "printable") },
    { QT_TRANSLATE_NOOP("FieldDescription", "IP address"),
        QT_TRANSLATE_NOOP(
            "FieldDescription", "IPv4 address: the low 32 bits as four dotted numbers"),
        QT_TRANSLATE_NOOP("FieldDescription", "the low 32 bits as an IPv4 address") },
    { QT_TRANSLATE_NOOP("FieldDescription", "version"),
        QT_TRANSLATE_NOOP(
            "FieldDescription", "Packed version number such as 1.2.3b4, from the low 32 bits"),
        QT_TRANSLATE_NOOP(
            "FieldDescription", "the low 32 bits as a packed version number such as 1.2.3b4") },
    { QT_TRANSLATE_NOOP("FieldDescription", "float"),
        QT_TRANSLATE_NOOP("FieldDescription",
            "IEEE-754 floating point: half at 16 bits, single at 32, double at 64, read in the "
            "row's byte order; typed at 8 bits, a single, and the width becomes 32"),
        QT_TRANSLATE_NOOP("FieldDescription",
            "the bits as an IEEE-754 floating-point number, in the row's byte order") },
    { QT_TRANSLATE_NOOP("FieldDescription", "UUID"),
        QT_TRANSLATE_NOOP("FieldDescription",
            "UUID at 128 bits, with or without hyphens, braces or urn:uuid:; typed at a "
            "narrower width, the width becomes 128"),
        QT_TRANSLATE_NOOP("FieldDescription", "the 128 bits as a UUID") },
};

QString Translated(const char* text)
{
    return QCoreApplication::translate(kContext, text);
}

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
    const QString name = QCoreApplication::translate("FieldDescription", "%1, %2", "row, notation")
                             .arg(Translated(rowName), Translated(description.name));
    field.setAccessibleName(name);
    // What typing reads says nothing to a field that cannot be typed into.
    if (!field.isReadOnly()) {
        field.setToolTip(Translated(description.toolTip));
        return;
    }
    field.setToolTip(
        QCoreApplication::translate("FieldDescription", "%1: read-only, %2", "name, what it shows")
            .arg(name, Translated(description.shows)));
    // Spoken after the name, which the tooltip repeats to stand alone.
    field.setAccessibleDescription(
        QCoreApplication::translate("FieldDescription", "read-only, %1", "what it shows")
            .arg(Translated(description.shows)));
}

void ShowWholeTextInToolTip(QLineEdit& field)
{
    field.installEventFilter(new WholeTextToolTip(field));
}

QString NoFloatPlaceholder()
{
    return QCoreApplication::translate("FieldDescription", "16 bits or more");
}

QString NoUuidPlaceholder()
{
    return QCoreApplication::translate("FieldDescription", "128 bits");
}
