#include "CommandLine.h"

#include "BitlensVersion.h"

#include "engine/Expression.h"
#include "files/LayoutFile.h"
#include "model/BitFieldLayout.h"
#include "model/ConverterModel.h"
#include "model/FieldBytes.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace {

const char kProgram[] = "bitlens";

const char kUsage[]
    = "Usage: bitlens [--new-window]\n"
      "       bitlens [--from NOTATION] [--width BITS] [--little-endian] [--] TEXT\n"
      "       bitlens --print [--from NOTATION] [--width BITS] [--little-endian] "
      "[--json] [--strict]\n"
      "                       [--layout FILE [--register PERIPHERAL.REGISTER]] [--] TEXT\n"
      "       bitlens --search-service\n"
      "       bitlens --help | --version\n";

const char kHelp[]
    = "Without --print, opens a window, in the Bitlens already running on this display\n"
      "if there is one: without TEXT, its windows come to the front; with TEXT, a new\n"
      "window shows TEXT's number. With --print, shows TEXT's number in every notation\n"
      "and as binary and metric magnitudes, and exits.\n"
      "\n"
      "  --new-window       open an empty new window\n"
      "  --print            print TEXT in every notation and exit\n"
      "  --from NOTATION    read TEXT as bin, dec, hex, oct, b36, text, ip, version,\n"
      "                     float (at 8 bits, float reads a 32-bit single) or uuid\n"
      "                     (which reads at 128 bits);\n"
      "                     without it, 0x means hex, 0b binary, 0o octal, else decimal,\n"
      "                     and a calculation (\"(1 << 20) - 1\") is read as decimal\n"
      "  --width BITS       start at 8, 16, 32 (the default), 64 or 128 bits; a number\n"
      "                     that needs more bits widens it\n"
      "  --little-endian    read and write the decimal number in little-endian order\n"
      "  --json             print one JSON object instead of lines\n"
      "  --strict           a TEXT with characters that are not read is a usage error\n"
      "  --layout FILE      after the notations, each bit field of the layout in FILE:\n"
      "                     its name, bits, value in hexadecimal and decimal (signed\n"
      "                     for a signed field) and the value's name; FILE is an SVD\n"
      "                     file, wavedrom bit-field JSON, C #define lines or a Bitlens\n"
      "                     layout, told by its content; without --width, TEXT starts\n"
      "                     at the layout's width\n"
      "  --register PERIPHERAL.REGISTER\n"
      "                     the register of an SVD FILE whose fields are shown\n"
      "  --search-service   answer the desktop's search over the session bus, with\n"
      "                     no window (started by the bus when a search needs it)\n"
      "  -h, --help         show this help and exit\n"
      "  -v, --version      show the version and exit\n"
      "  --                 end of options, for a TEXT that begins with '-'\n"
      "\n"
      "TEXT is read as if typed into that field of a new window: a decimal number\n"
      "with a leading minus sign is signed, _ and ' may group digits (1_000, 1'000),\n"
      "and a TEXT longer than 159 characters is cut to them, with a warning.\n"
      "The binary, decimal, hexadecimal, octal and base-36 fields read C integer\n"
      "expressions too: + - * / % << >> & | ^ ~ and parentheses, in 64 bits (128 at 128 bits).\n"
      "What the field does not read as typed is said on standard error.\n"
      "With --json, each field is {\"name\", \"msb\", \"lsb\", \"value\", \"hexadecimal\",\n"
      "\"signed\", \"valueName\"}: \"value\" is a string of decimal digits, since a JSON\n"
      "number loses bits past 2^53; \"valueName\" is null when no name applies.\n"
      "\n"
      "Exit status: 0 done; 1 a number past 128 bits (shown, with a warning), a\n"
      "division by zero, a layout FILE that cannot be read (one line names the file,\n"
      "the line and the problem) or output that cannot be written; 2 a usage error,\n"
      "an SVD FILE without --register or without the register named among them.\n"
      "The toolkit's options, such as -platform or -style, are taken as usual.\n";

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
    { eNotationUuid, "uuid", "UUID", "uuid" },
};

// The UUID is shown at 128 bits only.
bool Printed(const ConverterModel& model, Notation notation)
{
    return notation != eNotationUuid || model.width() == 128;
}

// How a toolkit option takes its value.
enum ValueForm {
    eNoValue,
    eNextArgument, // -platform offscreen
    eNextOrEquals, // -style fusion, -style=fusion
    eEqualsOnly // -qmljsdebugger=port:1234
};

// The options the application object and its display plugins take, with
// one dash or two.
struct ToolkitOption {
    const char* name;
    ValueForm form;
};

const ToolkitOption kToolkitOptions[] = {
    { "platform", eNextArgument },
    { "platformpluginpath", eNextArgument },
    { "platformtheme", eNextArgument },
    { "plugin", eNextArgument },
    { "qwindowgeometry", eNextArgument },
    { "qwindowtitle", eNextArgument },
    { "qwindowicon", eNextArgument },
    { "geometry", eNextArgument },
    { "title", eNextArgument },
    { "icon", eNextArgument },
    { "session", eNextArgument },
    { "display", eNextArgument },
    { "name", eNextArgument },
    { "visual", eNextArgument },
    { "style", eNextOrEquals },
    { "stylesheet", eNextOrEquals },
    { "qmljsdebugger", eEqualsOnly },
    { "reverse", eNoValue },
    { "widgetcount", eNoValue },
    { "testability", eNoValue },
    { "nograb", eNoValue },
    { "dograb", eNoValue },
    { "sync", eNoValue },
};

// The toolkit option `argument` names, and its value when written after '='.
const ToolkitOption* FindToolkitOption(const QString& argument, std::optional<QString>& inlineValue)
{
    const QStringView name = QStringView(argument).mid(argument.startsWith(u"--") ? 2 : 1);
    for (const ToolkitOption& option : kToolkitOptions) {
        const QLatin1String optionName(option.name);
        if (name == optionName && option.form != eEqualsOnly) {
            inlineValue.reset();
            return &option;
        }
        if ((option.form == eNextOrEquals || option.form == eEqualsOnly)
            && name.startsWith(optionName) && name.mid(optionName.size()).startsWith(u'=')) {
            inlineValue = name.mid(optionName.size() + 1).toString();
            return &option;
        }
    }
    return nullptr;
}

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

// "-5" is a number to read, not an option.
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

// The field a TEXT goes into when --from is not given: the field its
// prefix names (0x, 0b, 0o), as programmers write literals, for a number of
// that notation alone; the decimal field for anything else, a calculation
// included, where every prefix works ("0b1010 << 4", "-0x10"). The prefix
// stays in the text: each of those fields reads it, just as it does when the
// literal is pasted into the window.
Notation NotationFromPrefix(const QString& text)
{
    char bytes[kFieldTextBufferSize];
    FieldTextToBytes(text.toStdString(), bytes);
    const char* at = bytes + std::strspn(bytes, " \t\n\v\f\r");
    if (at[0] != '0')
        return eNotationDecimal;
    Notation notation;
    switch (at[1] | 0x20) {
    case 'x': notation = eNotationHexadecimal; break;
    case 'b': notation = eNotationBinary; break;
    case 'o': notation = eNotationOctal; break;
    default: return eNotationDecimal;
    }
    return IsExpression(bytes, notation) ? eNotationDecimal : notation;
}

// What the arguments say, before it is checked that they go together.
struct Arguments {
    bool print = false;
    bool newWindow = false;
    bool help = false;
    bool version = false;
    bool json = false;
    bool strict = false;
    std::optional<Notation> from;
    std::optional<UInt16> width;
    std::optional<QString> layout;
    std::optional<QString> svdRegister;
    bool littleEndian = false;
    bool searchService = false;
    std::optional<QString> text;
    QString platform;
    QString display;
};

// Returns an error message, or an empty string when the arguments parse.
QString ParseArguments(const QStringList& arguments, Arguments& parsed)
{
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !LooksLikeOption(argument)) {
            if (parsed.text)
                return QStringLiteral(
                    "unexpected argument %1: give one TEXT, quoted if it holds spaces")
                    .arg(Quoted(argument));
            parsed.text = argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }

        std::optional<QString> value;
        if (const ToolkitOption* option = FindToolkitOption(argument, value)) {
            if (!value && (option->form == eNextArgument || option->form == eNextOrEquals)) {
                if (i + 1 >= arguments.size())
                    return QStringLiteral("option %1 needs a value").arg(Quoted(argument));
                value = arguments[++i];
            }
            if (qstrcmp(option->name, "platform") == 0)
                parsed.platform = *value;
            else if (qstrcmp(option->name, "display") == 0)
                parsed.display = *value;
            continue;
        }

        // The program's own options take a value as "--name=value" or as the
        // next argument, even one that begins with '-'.
        QString name = argument;
        if (const qsizetype equals = argument.indexOf(u'=');
            argument.startsWith(QLatin1String("--")) && equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        const bool takesValue = name == QLatin1String("--from") || name == QLatin1String("--width")
            || name == QLatin1String("--layout") || name == QLatin1String("--register");
        if (takesValue && !value) {
            if (i + 1 >= arguments.size())
                return QStringLiteral("option %1 needs a value").arg(Quoted(name));
            value = arguments[++i];
        }
        if (!takesValue && value)
            return QStringLiteral("option %1 takes no value").arg(Quoted(name));

        if (name == QLatin1String("--print")) {
            parsed.print = true;
        } else if (name == QLatin1String("--new-window")) {
            parsed.newWindow = true;
        } else if (name == QLatin1String("--search-service")) {
            parsed.searchService = true;
        } else if (name == QLatin1String("--json")) {
            parsed.json = true;
        } else if (name == QLatin1String("--strict")) {
            parsed.strict = true;
        } else if (name == QLatin1String("--little-endian")) {
            parsed.littleEndian = true;
        } else if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            parsed.help = true;
        } else if (name == QLatin1String("--version") || name == QLatin1String("-v")) {
            parsed.version = true;
        } else if (name == QLatin1String("--from")) {
            parsed.from = NotationFromOption(*value);
            if (!parsed.from)
                return QStringLiteral("--from must be bin, dec, hex, oct, b36, text, ip, "
                                      "version, float or uuid, not %1")
                    .arg(Quoted(*value));
        } else if (name == QLatin1String("--layout")) {
            if (value->isEmpty())
                return QStringLiteral("--layout needs a FILE");
            parsed.layout = *value;
        } else if (name == QLatin1String("--register")) {
            if (value->trimmed().isEmpty())
                return QStringLiteral("--register needs a PERIPHERAL.REGISTER");
            parsed.svdRegister = *value;
        } else if (name == QLatin1String("--width")) {
            bool number = false;
            const uint width = value->toUInt(&number);
            if (!number
                || (width != 8 && width != 16 && width != 32 && width != 64 && width != 128))
                return QStringLiteral("--width must be 8, 16, 32, 64 or 128, not %1")
                    .arg(Quoted(*value));
            parsed.width = UInt16(width);
        } else {
            return QStringLiteral("unknown option %1").arg(Quoted(name));
        }
    }
    return {};
}

// Returns an error message, or an empty string when TEXT can be read.
QString ResolveReading(const Arguments& parsed, TextReading& reading)
{
    reading.text = *parsed.text;
    reading.width = parsed.width.value_or(32);
    reading.endian = parsed.littleEndian ? eLittleEndian : eBigEndian;
    if (parsed.from) {
        reading.notation = *parsed.from;
        return {};
    }
    reading.notation = NotationFromPrefix(reading.text);
    return {};
}

// The action the parsed arguments ask for, or an error message in `error`.
LaunchAction Resolve(const Arguments& parsed, TextReading& reading, QString& error)
{
    if (parsed.help)
        return eLaunchHelp;
    if (parsed.version)
        return eLaunchVersion;
    if (parsed.searchService) {
        const bool alone = !parsed.print && !parsed.newWindow && !parsed.json && !parsed.text
            && !parsed.from && !parsed.width && !parsed.littleEndian && !parsed.layout
            && !parsed.svdRegister;
        if (alone)
            return eLaunchSearchService;
        error = QStringLiteral("--search-service takes no other option and no TEXT");
        return eLaunchUsageError;
    }
    if (parsed.print && parsed.newWindow)
        error = QStringLiteral("--print opens no window: leave out --new-window");
    else if (parsed.print && !parsed.text)
        error = QStringLiteral("--print needs a TEXT");
    else if (!parsed.print && parsed.json)
        error = QStringLiteral("--json needs --print");
    else if (!parsed.print && parsed.strict)
        error = QStringLiteral("--strict needs --print");
    else if (!parsed.print && parsed.layout)
        error = QStringLiteral("--layout needs --print");
    else if (parsed.svdRegister && !parsed.layout)
        error = QStringLiteral("--register needs --layout FILE");
    else if (!parsed.text && (parsed.from || parsed.width || parsed.littleEndian))
        error = QStringLiteral("--from, --width and --little-endian need a TEXT");
    else if (parsed.text)
        error = ResolveReading(parsed, reading);
    if (!error.isEmpty())
        return eLaunchUsageError;
    if (parsed.print)
        return eLaunchPrint;
    if (parsed.text)
        return eLaunchWithText;
    return parsed.newWindow ? eLaunchNewWindow : eLaunchToFront;
}

QString Shown(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void PrintPlain(const ConverterModel& model, QTextStream& out)
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
            .arg(model.width())
            .arg(model.isSigned(eFieldTypeValue) ? QStringLiteral("signed")
                                                 : QStringLiteral("unsigned"))
            .arg(model.endian(eFieldTypeValue) == eLittleEndian ? QStringLiteral("little-endian")
                                                                : QStringLiteral("big-endian")));
    for (const NotationName& name : kNotations)
        if (Printed(model, name.notation))
            line(QString::fromLatin1(name.label),
                Shown(model.written(eFieldTypeValue, name.notation)));
    line(binaryMagnitude, Shown(model.magnitude(eFieldTypeValue, false)));
    line(metricMagnitude, Shown(model.magnitude(eFieldTypeValue, true)));
}

// A name or text from a layout file on one line of output.
QString OneLine(const std::string& text)
{
    QString line = Shown(text);
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = u'?';
    }
    return line;
}

QString NamedValueOf(const BitField& field, UInt128 number)
{
    const NamedValue* named = NamedValueFor(field, FieldValue(field, number));
    return named ? OneLine(named->name) : QString();
}

// One line a field, in columns: name, bits, hexadecimal, decimal, named value.
void PrintFields(const BitFieldLayout& layout, UInt128 number, QTextStream& out)
{
    std::vector<std::array<QString, 5>> rows;
    std::array<qsizetype, 5> widths {};
    for (const BitField& field : layout.fields) {
        rows.push_back(
            { OneLine(field.name), Shown(FieldBitsText(field)), Shown(FieldHexText(field, number)),
                Shown(FieldDecimalText(field, number)), NamedValueOf(field, number) });
        for (std::size_t column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], rows.back()[column].size());
    }
    out << "fields:\n";
    for (const auto& row : rows) {
        QString line = QStringLiteral("  ");
        for (std::size_t column = 0; column < row.size(); ++column) {
            // Numbers line up on their right, names on their left.
            const bool number = column == 2 || column == 3;
            line += number ? row[column].rightJustified(widths[column])
                           : row[column].leftJustified(widths[column]);
            line += QStringLiteral("  ");
        }
        while (line.endsWith(u' '))
            line.chop(1);
        out << line << '\n';
    }
}

QJsonArray FieldsJson(const BitFieldLayout& layout, UInt128 number)
{
    QJsonArray fields;
    for (const BitField& field : layout.fields) {
        QJsonObject object;
        object.insert(QStringLiteral("name"), Shown(field.name));
        object.insert(QStringLiteral("msb"), field.msb);
        object.insert(QStringLiteral("lsb"), field.lsb);
        // A string: a JSON number is a double to most readers, which holds
        // no more than 53 bits.
        object.insert(QStringLiteral("value"), Shown(FieldDecimalText(field, number)));
        object.insert(QStringLiteral("hexadecimal"), Shown(FieldHexText(field, number)));
        object.insert(QStringLiteral("signed"), field.isSigned);
        const NamedValue* named = NamedValueFor(field, FieldValue(field, number));
        object.insert(QStringLiteral("valueName"),
            named ? QJsonValue(Shown(named->name)) : QJsonValue(QJsonValue::Null));
        fields.append(object);
    }
    return fields;
}

void PrintJson(
    const ConverterModel& model, const std::optional<BitFieldLayout>& layout, QTextStream& out)
{
    QJsonObject object;
    object.insert(QStringLiteral("width"), int(model.width()));
    object.insert(QStringLiteral("signed"), model.isSigned(eFieldTypeValue));
    object.insert(QStringLiteral("fits"), Fits(model));
    object.insert(QStringLiteral("byte_order"),
        model.endian(eFieldTypeValue) == eLittleEndian ? QStringLiteral("little-endian")
                                                       : QStringLiteral("big-endian"));
    for (const NotationName& name : kNotations)
        if (Printed(model, name.notation))
            object.insert(
                QLatin1String(name.key), Shown(model.written(eFieldTypeValue, name.notation)));
    object.insert(
        QStringLiteral("binary_magnitude"), Shown(model.magnitude(eFieldTypeValue, false)));
    object.insert(
        QStringLiteral("metric_magnitude"), Shown(model.magnitude(eFieldTypeValue, true)));
    if (layout)
        object.insert(
            QStringLiteral("fields"), FieldsJson(*layout, model.wideBits(eFieldTypeValue)));
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

int UsageError(const QString& message, QTextStream& err)
{
    err << kProgram << ": " << message << '\n' << kUsage;
    err.flush();
    return 2;
}

// The layout that --layout names, or the status to end with: a file that
// is no layout is a failure, a register not named or not found a usage
// error. What the importer left out is said as warnings.
std::optional<BitFieldLayout> ReadLayout(const Launch& launch, QTextStream& err, int& status)
{
    const LayoutFileBytes read = ReadLayoutFileBytes(launch.layoutFile);
    const auto failed = [&](const LayoutFileError& error) {
        err << kProgram << ": " << error.text() << '\n';
        err.flush();
        status = 1;
        return std::nullopt;
    };
    if (read.error)
        return failed(*read.error);
    const bool svd = DetectLayoutFormat(read.bytes) == eLayoutFormatSvd;
    if (!svd && !launch.svdRegister.isEmpty()) {
        status = UsageError(QStringLiteral("--register picks a register of an SVD file; %1 is "
                                           "not one")
                                .arg(launch.layoutFile),
            err);
        return std::nullopt;
    }
    const LayoutResult result = ImportLayout(read.bytes, launch.layoutFile, launch.svdRegister);
    if (result.error) {
        if (result.error->kind == eLayoutErrorNoRegister) {
            status = UsageError(QStringLiteral("%1 is an SVD file: name its register with "
                                               "--register PERIPHERAL.REGISTER")
                                    .arg(launch.layoutFile),
                err);
            return std::nullopt;
        }
        if (result.error->kind == eLayoutErrorUnknownRegister) {
            status = UsageError(result.error->text(), err);
            return std::nullopt;
        }
        return failed(*result.error);
    }
    for (const LayoutFileError& warning : result.warnings)
        err << kProgram << ": warning: " << warning.text() << '\n';
    err.flush();
    return result.layout;
}

// A full disk or a closed pipe must not pass for a printed answer.
bool Flushed(QTextStream& out, QTextStream& err)
{
    out.flush();
    if (out.status() == QTextStream::Ok)
        return true;
    const QIODevice* device = out.device();
    err << kProgram << ": cannot write the output"
        << (device ? QStringLiteral(": ") + device->errorString() : QString()) << '\n';
    err.flush();
    return false;
}

} // namespace

Launch ParseLaunch(const QStringList& arguments)
{
    Launch launch;
    Arguments parsed;
    launch.error = ParseArguments(arguments, parsed);
    launch.platform = parsed.platform;
    launch.display = parsed.display;
    if (!launch.error.isEmpty()) {
        launch.action = eLaunchUsageError;
        return launch;
    }
    launch.json = parsed.json;
    launch.strict = parsed.strict;
    launch.widthGiven = parsed.width.has_value();
    launch.layoutFile = parsed.layout.value_or(QString());
    launch.svdRegister = parsed.svdRegister.value_or(QString());
    launch.action = Resolve(parsed, launch.reading, launch.error);
    return launch;
}

bool OpensWindow(const Launch& launch)
{
    return launch.action == eLaunchToFront || launch.action == eLaunchNewWindow
        || launch.action == eLaunchWithText;
}

ConverterModel ReadText(const TextReading& reading)
{
    ConverterModel model;
    model.openWith(reading.notation, reading.text.toStdString(), reading.width, reading.endian);
    return model;
}

bool Fits(const ConverterModel& model)
{
    return model.message(eFieldTypeValue).kind != eMessageTooBig;
}

int RunCommandLine(const Launch& launch, QTextStream& out, QTextStream& err)
{
    switch (launch.action) {
    case eLaunchUsageError: return UsageError(launch.error, err);
    case eLaunchHelp: out << kUsage << '\n' << kHelp; return Flushed(out, err) ? 0 : 1;
    case eLaunchVersion:
        out << kProgram << ' ' << BITLENS_VERSION << '\n';
        return Flushed(out, err) ? 0 : 1;
    case eLaunchPrint: break;
    default: return UsageError(QStringLiteral("this launch opens a window"), err);
    }

    std::optional<BitFieldLayout> layout;
    TextReading reading = launch.reading;
    if (!launch.layoutFile.isEmpty()) {
        int status = 0;
        layout = ReadLayout(launch, err, status);
        if (!layout)
            return status;
        if (!launch.widthGiven)
            reading.width = UInt16(LayoutWidth(*layout));
    }

    const ConverterModel model = ReadText(reading);
    const RowMessage& message = model.message(eFieldTypeValue);
    const QString said = Shown(message.english());
    // A calculation not yet whole reads no number; one that divides by zero
    // has none to show. Either is about TEXT alone: the usage would not help.
    if (message.kind == eMessageIncomplete
        || (launch.strict && (message.kind == eMessageMisread || message.cut))) {
        err << kProgram << ": " << said << '\n';
        err.flush();
        return 2;
    }
    if (message.kind == eMessageDivisionByZero) {
        err << kProgram << ": " << said << '\n';
        err.flush();
        return 1;
    }
    if (launch.json) {
        PrintJson(model, layout, out);
    } else {
        PrintPlain(model, out);
        if (layout)
            PrintFields(*layout, model.wideBits(eFieldTypeValue), out);
    }
    if (!Flushed(out, err))
        return 1;
    if (message.kind != eMessageNone && message.kind != eMessageUuid) {
        err << kProgram << ": warning: " << said << '\n';
        err.flush();
    }
    return Fits(model) ? 0 : 1;
}

int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    return RunCommandLine(ParseLaunch(arguments), out, err);
}
