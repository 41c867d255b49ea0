#include "CommandLine.h"

#include "BaseConverter.h"
#include "BitlensVersion.h"
#include "FieldText.h"
#include "Notation.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {

const char kProgram[] = "bitlens";

const char kUsage[] = "Usage: bitlens\n"
                      "       bitlens --print [--from NOTATION] [--width BITS] [--little-endian] "
                      "[--json] [--] TEXT\n"
                      "       bitlens --help | --version\n";

const char kHelp[]
    = "Without options, opens a window. With --print, shows TEXT's number in every\n"
      "notation and as binary and metric magnitudes, and exits.\n"
      "\n"
      "  --print            print TEXT in every notation and exit\n"
      "  --from NOTATION    read TEXT as bin, dec, hex, oct, b36, text, ip, version or\n"
      "                     float (at 8 bits, float reads a 32-bit single);\n"
      "                     without it, 0x means hex, 0b binary, 0o octal, else decimal\n"
      "  --width BITS       start at 8, 16, 32 (the default) or 64 bits; a number that\n"
      "                     needs more bits widens it\n"
      "  --little-endian    read and write the decimal number in little-endian order\n"
      "  --json             print one JSON object instead of lines\n"
      "  -h, --help         show this help and exit\n"
      "  -v, --version      show the version and exit\n"
      "  --                 end of options, for a TEXT that begins with '-'\n"
      "\n"
      "TEXT is read as if typed into that field of a new window: a decimal number\n"
      "with a leading minus sign is signed, and at most 127 characters are read.\n";

struct NotationName {
    Notation notation;
    const char* option; // the --from value
    const char* label; // the plain output's name
    const char* key; // the JSON key
};

// In the order the window shows them.
const NotationName kNotations[] = {
    { eNotationBinary, "bin", "binary", "binary" },
    { eNotationDecimal, "dec", "decimal", "decimal" },
    { eNotationHexadecimal, "hex", "hexadecimal", "hexadecimal" },
    { eNotationOctal, "oct", "octal", "octal" },
    { eNotationQuixadecimal, "b36", "base 36", "base36" },
    { eNotationText, "text", "text", "text" },
    { eNotationIPAddress, "ip", "IP address", "ip_address" },
    { eNotationNumVersion, "version", "version", "version" },
    { eNotationFloat, "float", "float", "float" },
};

struct Request {
    bool print = false;
    bool help = false;
    bool version = false;
    bool json = false;
    std::optional<Notation> from;
    UInt16 width = 32;
    Endian endian = eBigEndian;
    std::optional<QString> text;
};

// An argument as an error message shows it: on one line, and short.
QString Quoted(const QString& argument)
{
    constexpr qsizetype kShown = 40;
    QString shown = argument.left(kShown);
    for (QChar& c : shown) {
        if (!c.isPrint())
            c = u'?';
    }
    if (argument.size() > kShown)
        shown += QStringLiteral("...");
    return u'\'' + shown + u'\'';
}

// "-5" is a number to print, not an option.
bool LooksLikeOption(const QString& argument)
{
    return argument.size() > 1 && argument[0] == u'-' && !argument[1].isDigit();
}

std::optional<Notation> NotationFromOption(const QString& value)
{
    for (const NotationName& name : kNotations) {
        if (value == QLatin1String(name.option))
            return name.notation;
    }
    return std::nullopt;
}

// Returns an error message, or an empty string when the arguments parse.
QString ParseArguments(const QStringList& arguments, Request& request)
{
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !LooksLikeOption(argument)) {
            if (request.text)
                return QStringLiteral(
                    "unexpected argument %1: give one TEXT, quoted if it holds spaces")
                    .arg(Quoted(argument));
            request.text = argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }

        // Options with a value take it as "--name=value" or as the next
        // argument, even one that begins with '-'.
        QString name = argument;
        std::optional<QString> value;
        if (const qsizetype equals = argument.indexOf(u'=');
            argument.startsWith(QLatin1String("--")) && equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        const bool takesValue = name == QLatin1String("--from") || name == QLatin1String("--width");
        if (takesValue && !value) {
            if (i + 1 >= arguments.size())
                return QStringLiteral("option %1 needs a value").arg(Quoted(name));
            value = arguments[++i];
        }
        if (!takesValue && value)
            return QStringLiteral("option %1 takes no value").arg(Quoted(name));

        if (name == QLatin1String("--print")) {
            request.print = true;
        } else if (name == QLatin1String("--json")) {
            request.json = true;
        } else if (name == QLatin1String("--little-endian")) {
            request.endian = eLittleEndian;
        } else if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            request.help = true;
        } else if (name == QLatin1String("--version") || name == QLatin1String("-v")) {
            request.version = true;
        } else if (name == QLatin1String("--from")) {
            request.from = NotationFromOption(*value);
            if (!request.from)
                return QStringLiteral("--from must be bin, dec, hex, oct, b36, text, ip, "
                                      "version or float, not %1")
                    .arg(Quoted(*value));
        } else if (name == QLatin1String("--width")) {
            bool number = false;
            const uint width = value->toUInt(&number);
            if (!number || (width != 8 && width != 16 && width != 32 && width != 64))
                return QStringLiteral("--width must be 8, 16, 32 or 64, not %1")
                    .arg(Quoted(*value));
            request.width = UInt16(width);
        } else {
            return QStringLiteral("unknown option %1").arg(Quoted(name));
        }
    }
    return {};
}

// The field a TEXT goes into when --from is not given, chosen by its prefix
// as programmers write literals. The prefix stays in the text: each of those
// fields skips the letter as a non-digit, just as it does when the literal is
// pasted into the window. `minusBeforePrefix` reports a literal such as
// -0x10, which no field other than decimal can read as negative.
Notation NotationFromPrefix(const QString& text, bool& minusBeforePrefix)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const bool minus = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    minusBeforePrefix = false;
    if (i + 1 >= text.size() || text[i] != u'0')
        return eNotationDecimal;
    Notation notation;
    switch (text[i + 1].toLower().unicode()) {
    case u'x': notation = eNotationHexadecimal; break;
    case u'b': notation = eNotationBinary; break;
    case u'o': notation = eNotationOctal; break;
    default: return eNotationDecimal;
    }
    minusBeforePrefix = minus;
    return notation;
}

void PrintPlain(const BaseConverter& number, Endian endian, QTextStream& out)
{
    const QString binaryMagnitude = QStringLiteral("binary magnitude");
    const QString metricMagnitude = QStringLiteral("metric magnitude");
    const int column = int(binaryMagnitude.size()) + 2;
    // An empty text (no float at 8 bits) leaves no blanks at the line's end.
    const auto line = [&](const QString& name, const QString& text) {
        out << (text.isEmpty() ? name + u':' : (name + u':').leftJustified(column) + text) << '\n';
    };

    line(QStringLiteral("width"),
        QStringLiteral("%1 bits, %2, %3")
            .arg(number.BitWidth())
            .arg(number.IsSigned() ? QStringLiteral("signed") : QStringLiteral("unsigned"))
            .arg(endian == eLittleEndian ? QStringLiteral("little-endian")
                                         : QStringLiteral("big-endian")));
    char text[kFieldBufferSize];
    for (const NotationName& name : kNotations) {
        WriteNotation(number, name.notation, endian, text);
        line(QString::fromLatin1(name.label), FieldTextFromBytes(text));
    }
    line(binaryMagnitude, MagnitudeText(number, endian, false));
    line(metricMagnitude, MagnitudeText(number, endian, true));
}

void PrintJson(const BaseConverter& number, Endian endian, QTextStream& out)
{
    QJsonObject object;
    object.insert(QStringLiteral("width"), int(number.BitWidth()));
    object.insert(QStringLiteral("signed"), bool(number.IsSigned()));
    object.insert(QStringLiteral("byte_order"),
        endian == eLittleEndian ? QStringLiteral("little-endian") : QStringLiteral("big-endian"));
    char text[kFieldBufferSize];
    for (const NotationName& name : kNotations) {
        WriteNotation(number, name.notation, endian, text);
        object.insert(QLatin1String(name.key), FieldTextFromBytes(text));
    }
    object.insert(QStringLiteral("binary_magnitude"), MagnitudeText(number, endian, false));
    object.insert(QStringLiteral("metric_magnitude"), MagnitudeText(number, endian, true));
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

int UsageError(const QString& message, QTextStream& err)
{
    err << kProgram << ": " << message << '\n' << kUsage;
    err.flush();
    return 2;
}

} // namespace

bool IsCommandLineInvocation(const QStringList& arguments)
{
    // The toolkit's own options also come with two dashes (--platform
    // offscreen); they are for the window.
    static const QStringList toolkitOptions
        = { "platform", "platformpluginpath", "platformtheme", "plugin", "style", "stylesheet",
              "session", "reverse", "widgetcount", "display", "geometry", "qwindowgeometry",
              "qwindowtitle", "qwindowicon", "name", "title", "visual", "sync", "qmljsdebugger" };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.startsWith(QLatin1String("--"))) {
            if (!toolkitOptions.contains(argument.mid(2).section(u'=', 0, 0)))
                return true;
        } else if (argument.size() == 2 && LooksLikeOption(argument)) {
            return true;
        }
    }
    return false;
}

int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    Request request;
    if (const QString error = ParseArguments(arguments, request); !error.isEmpty())
        return UsageError(error, err);

    if (request.help) {
        out << kUsage << '\n' << kHelp;
        out.flush();
        return 0;
    }
    if (request.version) {
        out << kProgram << ' ' << BITLENS_VERSION << '\n';
        out.flush();
        return 0;
    }
    if (!request.print)
        return UsageError(request.text ? QStringLiteral("TEXT needs --print")
                                       : QStringLiteral("nothing to do: give --print and TEXT"),
            err);
    if (!request.text)
        return UsageError(QStringLiteral("--print needs a TEXT"), err);

    const QString& text = *request.text;
    // A field holds 127 characters, counted as its length limit counts them
    // (UTF-16 units); cutting a longer TEXT would print another text's number.
    if (text.size() > kFieldBufferSize - 1)
        return UsageError(QStringLiteral("TEXT is longer than the %1 characters a field holds")
                              .arg(kFieldBufferSize - 1),
            err);
    Notation notation = eNotationDecimal;
    if (request.from) {
        notation = *request.from;
    } else {
        bool minusBeforePrefix = false;
        notation = NotationFromPrefix(text, minusBeforePrefix);
        if (minusBeforePrefix)
            return UsageError(
                QStringLiteral("%1: only a decimal number can have a minus sign").arg(Quoted(text)),
                err);
    }

    char bytes[kFieldBufferSize];
    FieldTextToBytes(text, bytes);
    BaseConverter number {};
    number.SetBitWidth(request.width);
    TypeIntoRow(number, notation, bytes, request.endian);

    if (request.json)
        PrintJson(number, request.endian, out);
    else
        PrintPlain(number, request.endian, out);
    out.flush();
    return 0;
}
