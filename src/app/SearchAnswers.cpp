#include "SearchAnswers.h"

#include "CommandLine.h"

#include "engine/Characters.h"
#include "engine/Expression.h"
#include "engine/WideNotation.h"
#include "model/FieldBytes.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

// A binary title longer than this many groups of four shows its first three.
constexpr int kBinaryGroupsShown = 4;
constexpr int kBinaryGroupsKept = 3;
// Below this, a bare decimal number gets no answers.
constexpr UInt64 kSmallestBareDecimal = 256;

// Four decimal numbers of up to three digits, each at most 255, with dots between.
bool IsDottedQuad(QStringView text)
{
    const QList<QStringView> parts = text.split(u'.');
    if (parts.size() != 4)
        return false;
    for (QStringView part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return false;
        int value = 0;
        for (QChar c : part) {
            if (c.unicode() > 0x7F || !IsDecimalDigit(char(c.unicode())))
                return false;
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value > 255)
            return false;
    }
    return true;
}

bool IsPrefixAlone(const QString& text)
{
    const QString unsigned_ = text.startsWith(u'+') || text.startsWith(u'-') ? text.mid(1) : text;
    return unsigned_.size() == 2 && unsigned_[0] == u'0'
        && QStringLiteral("xXbBoO").contains(unsigned_[1]);
}

enum AnswerKind {
    eAnswerUnsignedDecimal,
    eAnswerSignedDecimal, // left out where it reads as the unsigned one
    eAnswerHexadecimal,
    eAnswerBinary,
    eAnswerOctal,
    eAnswerAddressDecimal,
    eAnswerAddressHexadecimal,
    eAnswerAddressBinary
};

// What matters most for a number written one way is what it is in the
// others: a hexadecimal or binary number's decimal value and its two's
// complement reading, a decimal number's hexadecimal and bits, an
// address's 32-bit number and its bits by octets.
std::vector<AnswerKind> KindsFor(const QueryReading& reading)
{
    // A calculation's answer is its result; then what it is in bits.
    if (reading.calculation) {
        const bool negative
            = reading.number.IsSigned() && reading.number.GetSignedValue(reading.endian) < 0;
        return { negative ? eAnswerSignedDecimal : eAnswerUnsignedDecimal, eAnswerHexadecimal,
            eAnswerBinary };
    }
    switch (reading.notation) {
    case eNotationHexadecimal:
        return { eAnswerUnsignedDecimal, eAnswerSignedDecimal, eAnswerBinary, eAnswerOctal };
    case eNotationBinary:
        return { eAnswerUnsignedDecimal, eAnswerHexadecimal, eAnswerSignedDecimal, eAnswerOctal };
    case eNotationOctal: return { eAnswerUnsignedDecimal, eAnswerHexadecimal, eAnswerBinary };
    case eNotationIPAddress:
        return { eAnswerAddressDecimal, eAnswerAddressHexadecimal, eAnswerAddressBinary };
    case eNotationDecimal:
        if (reading.number.IsSigned() && reading.number.GetSignedValue(reading.endian) < 0)
            return { eAnswerHexadecimal, eAnswerBinary, eAnswerUnsignedDecimal };
        return { eAnswerHexadecimal, eAnswerBinary, eAnswerSignedDecimal, eAnswerOctal };
    default:
        return { eAnswerUnsignedDecimal, eAnswerSignedDecimal, eAnswerHexadecimal, eAnswerBinary };
    }
}

// The bits in groups of four as the window shows them, cut after three
// groups when there are more than four.
QString BinaryTitle(const BaseConverter& number, Endian endian)
{
    char text[kFieldBufferSize];
    WriteNotation(number, eNotationBinary, endian, text);
    const QString grouped = QString::fromLatin1(text);
    const QStringList groups = grouped.split(u' ');
    if (groups.size() <= kBinaryGroupsShown)
        return grouped;
    return QStringList(groups.mid(0, kBinaryGroupsKept)).join(u' ') + QStringLiteral(" …");
}

QString AddressBits(UInt64 value)
{
    QStringList octets;
    for (int shift = 24; shift >= 0; shift -= 8)
        octets << QString::number((value >> shift) & 0xff, 2).rightJustified(8, u'0');
    return octets.join(u'.');
}

// The width in words, for a description where its digits would be marked
// as the query's.
QString WidthInWords(int width)
{
    switch (width) {
    case 8: return QCoreApplication::translate("SearchAnswers", "eight");
    case 16: return QCoreApplication::translate("SearchAnswers", "sixteen");
    case 32: return QCoreApplication::translate("SearchAnswers", "thirty-two");
    default: return QCoreApplication::translate("SearchAnswers", "sixty-four");
    }
}

// Whether a term of the query, as the desktop splits it, stands in `text`.
bool HoldsATermOf(const QString& text, const QStringList& terms)
{
    for (const QString& term : terms)
        if (text.contains(term, Qt::CaseInsensitive))
            return true;
    return false;
}

// Fills in all but the id; false when the kind says nothing new.
bool MakeAnswer(
    AnswerKind kind, const QueryReading& reading, const QStringList& terms, SearchAnswer& answer)
{
    const BaseConverter& number = reading.number;
    const UInt64 value = number.GetValue(reading.endian);
    const SInt64 signedValue = number.GetSignedValue(reading.endian);
    const int width = number.BitWidth();
    // A description with the width in digits, unless they hold a term of
    // the query, then in words.
    const auto withWidth = [&terms, width](const char* words) {
        const QString translated = QCoreApplication::translate("SearchAnswers", words);
        const QString inDigits = translated.arg(width);
        return HoldsATermOf(inDigits, terms) ? translated.arg(WidthInWords(width)) : inDigits;
    };
    switch (kind) {
    case eAnswerUnsignedDecimal:
        answer.text = QString::number(value);
        answer.subtitle
            = withWidth(QT_TRANSLATE_NOOP("SearchAnswers", "decimal · unsigned %1 bits"));
        break;
    case eAnswerSignedDecimal:
        if (signedValue >= 0)
            return false;
        answer.text = QString::number(signedValue);
        answer.subtitle = withWidth(QT_TRANSLATE_NOOP("SearchAnswers", "decimal · signed %1 bits"));
        break;
    case eAnswerHexadecimal:
        answer.text = QStringLiteral("0x") + QString::number(value, 16);
        answer.subtitle = withWidth(QT_TRANSLATE_NOOP("SearchAnswers", "hexadecimal · %1 bits"));
        break;
    case eAnswerBinary:
        answer.text = QStringLiteral("0b") + QString::number(value, 2);
        answer.title = BinaryTitle(number, reading.endian);
        answer.subtitle = withWidth(QT_TRANSLATE_NOOP("SearchAnswers", "binary · %1 bits"));
        break;
    case eAnswerOctal:
        // C's octal, with its leading 0, as Copy as Literal writes it.
        answer.text = value == 0 ? QStringLiteral("0") : u'0' + QString::number(value, 8);
        answer.subtitle = withWidth(QT_TRANSLATE_NOOP("SearchAnswers", "octal · %1 bits"));
        break;
    case eAnswerAddressDecimal:
        answer.text = QString::number(value);
        answer.subtitle
            = QCoreApplication::translate("SearchAnswers", "decimal · the IPv4 address as 32 bits");
        break;
    case eAnswerAddressHexadecimal:
        answer.text = QStringLiteral("0x") + QString::number(value, 16);
        answer.subtitle
            = QCoreApplication::translate("SearchAnswers", "hexadecimal · the IPv4 address");
        break;
    case eAnswerAddressBinary:
        answer.text = AddressBits(value);
        answer.subtitle
            = QCoreApplication::translate("SearchAnswers", "binary · the IPv4 address by octets");
        break;
    }
    if (answer.title.isEmpty())
        answer.title = answer.text;
    return true;
}

UInt64 Magnitude(const QueryReading& reading)
{
    const SInt64 signedValue = reading.number.GetSignedValue(reading.endian);
    if (reading.number.IsSigned() && signedValue < 0)
        return UInt64(0) - UInt64(signedValue);
    return reading.number.GetValue(reading.endian);
}

// A UUID as it is written out: its five groups, alone, in braces or after
// urn:uuid:, or its 32 digits in braces. A bare run of 32 hexadecimal digits
// is more often a hash than a UUID, and gets no answer as one.
bool IsWholeUuid(const QString& text)
{
    const QRegularExpression uuid(
        QStringLiteral(
            "^(?:urn:uuid:)?[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"
            "|^\\{(?:[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}|[0-9a-f]{32})\\}"
            "$"),
        QRegularExpression::CaseInsensitiveOption);
    return uuid.match(text).hasMatch();
}

// A whole IPv6 address, in brackets or not, with a zone or a prefix length
// or not: eight groups, or a "::", or six groups and a dotted quad. Times
// ("12:30") and C++ names ("std::map") are no address.
bool IsWholeIPv6(const QString& text, const char* bytes)
{
    const QRegularExpression shape(
        QStringLiteral("^\\[?([0-9a-fA-F:.]+)\\]?(?:%[^\\s/%]+)?(?:/[0-9]{1,3})?$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return false;
    const QString address = match.captured(1);
    const qsizetype colons = address.count(u':');
    const bool dotted = address.contains(u'.');
    if (!address.contains(QStringLiteral("::")) && colons != (dotted ? 6 : 7))
        return false;
    const ReadingNoteKind said = NoteWideReading(eNotationIPAddress, bytes).kind;
    return said == eReadingNoteNone || said == eReadingNoteZone || said == eReadingNotePrefixLength;
}

QString Hex128(UInt128 number)
{
    return QStringLiteral("0x")
        + (HighHalf(number) == 0 ? QString::number(LowHalf(number), 16)
                                 : QString::number(HighHalf(number), 16)
                    + QString::number(LowHalf(number), 16).rightJustified(16, u'0'));
}

QString Decimal128(UInt128 number)
{
    char digits[40];
    return QString::fromLatin1(digits, PutUnsigned128(digits, number) - digits);
}

QString FullIPv6(UInt128 address)
{
    QStringList groups;
    for (int shift = 112; shift >= 0; shift -= 16)
        groups << QString::number(unsigned(address >> shift) & 0xffff, 16).rightJustified(4, u'0');
    return groups.join(u':');
}

QString UuidDescription(UInt128 uuid)
{
    const QString words = QCoreApplication::translate("Message", UuidDescriptionTemplate(uuid));
    return words.contains(QStringLiteral("%1")) ? words.arg(UuidVersion(uuid)) : words;
}

// An IPv6 address's shortest and full texts and its number; a UUID's text
// with its version and variant, and its number.
std::vector<SearchAnswer> WideAnswers(const QueryReading& reading)
{
    const UInt128 number = reading.wideNumber;
    std::vector<SearchAnswer> answers(3);
    const auto set = [&answers](int i, const QString& text, const QString& subtitle) {
        answers[i].text = answers[i].title = text;
        answers[i].subtitle = subtitle;
    };
    if (reading.wide == QueryReading::eIPv6) {
        char shortest[WideConverter::kIPAddressSize];
        WriteIPv6(number, shortest);
        set(0, QString::fromLatin1(shortest),
            QCoreApplication::translate("SearchAnswers", "IPv6 address · shortest form"));
        set(1, FullIPv6(number),
            QCoreApplication::translate("SearchAnswers", "IPv6 address · every group in full"));
        set(2, Hex128(number),
            QCoreApplication::translate("SearchAnswers", "hexadecimal · the IPv6 address"));
    } else {
        char text[WideConverter::kUuidSize];
        WriteUuid(number, text);
        set(0, QString::fromLatin1(text),
            QCoreApplication::translate("SearchAnswers", "UUID · %1").arg(UuidDescription(number)));
        set(1, Hex128(number),
            QCoreApplication::translate("SearchAnswers", "hexadecimal · the UUID as 128 bits"));
        set(2, Decimal128(number),
            QCoreApplication::translate("SearchAnswers", "decimal · the UUID as 128 bits"));
    }
    return answers;
}

// An IPv6 address or a UUID, which only 128 bits hold.
std::optional<QueryReading> ReadWideQuery(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            return std::nullopt;
    const QByteArray latin = text.toLatin1();
    QueryReading reading;
    if (IsWholeUuid(text)) {
        reading.wide = QueryReading::eUuid;
        reading.wideNumber = ReadUuid(latin.constData());
        reading.notation = eNotationCount;
        reading.launchArguments = QStringList { QStringLiteral("--from"), QStringLiteral("uuid") };
    } else if (text.contains(u':') && IsWholeIPv6(text, latin.constData())) {
        reading.wide = QueryReading::eIPv6;
        reading.wideNumber = ReadIPv6(latin.constData());
        reading.notation = eNotationIPAddress;
        reading.launchArguments = QStringList { QStringLiteral("--from"), QStringLiteral("ip") };
    } else {
        return std::nullopt;
    }
    reading.launchArguments << QStringLiteral("--") << text;
    return reading;
}

} // namespace

std::optional<QueryReading> ReadQuery(const QString& query)
{
    // Past a field's length the query is no number a window could show.
    if (query.size() > 4 * kFieldBufferSize)
        return std::nullopt;
    const QString text = query.trimmed();
    if (text.isEmpty() || text.size() > kFieldBufferSize - 1)
        return std::nullopt;
    if (std::optional<QueryReading> wide = ReadWideQuery(text))
        return wide;
    QStringList arguments;
    if (IsDottedQuad(text))
        arguments = QStringList { QStringLiteral("--from"), QStringLiteral("ip") };
    arguments << QStringLiteral("--") << text;

    const Launch launch = ParseLaunch(QStringList { QStringLiteral("bitlens") } + arguments);
    if (launch.action != eLaunchWithText)
        return std::nullopt;
    // Only a text its field reads whole, as typed: a word, a sentence or a
    // path reads as no number, or in part, and says so. A prefix alone is
    // a number on its way.
    const ConverterModel model = ReadText(launch.reading);
    const MessageKind said = model.message(eFieldTypeValue).kind;
    if ((said != eMessageNone && said != eMessageWidened) || IsPrefixAlone(text)
        || model.width() > 64)
        return std::nullopt;
    QueryReading reading;
    reading.number = model.number(eFieldTypeValue).ToBaseConverter();
    reading.endian = launch.reading.endian;
    reading.notation = launch.reading.notation;
    char bytes[kFieldTextBufferSize];
    FieldTextToBytes(text.toStdString(), bytes);
    reading.calculation = IsExpression(bytes, reading.notation);
    reading.bareDecimal = reading.notation == eNotationDecimal && !reading.calculation;
    reading.launchArguments = arguments;
    return reading;
}

std::vector<SearchAnswer> SearchAnswers(const QString& query)
{
    std::vector<SearchAnswer> answers;
    const std::optional<QueryReading> reading = ReadQuery(query);
    if (!reading || (reading->bareDecimal && Magnitude(*reading) < kSmallestBareDecimal))
        return answers;
    const QString carried = query.trimmed();
    if (reading->wide != QueryReading::eNarrow) {
        answers = WideAnswers(*reading);
        for (std::size_t i = 0; i < answers.size(); ++i)
            answers[i].id = QString::number(i) + u':' + carried;
        return answers;
    }
    const QStringList terms = carried.split(QRegularExpression(QStringLiteral("\\s+")));
    for (AnswerKind kind : KindsFor(*reading)) {
        SearchAnswer answer;
        if (!MakeAnswer(kind, *reading, terms, answer))
            continue;
        answer.id = QString::number(answers.size()) + u':' + carried;
        answers.push_back(answer);
        if (answers.size() == kMaxSearchAnswers)
            break;
    }
    return answers;
}

QString QueryOfAnswer(const QString& id)
{
    const qsizetype colon = id.indexOf(u':');
    return colon < 0 ? QString() : id.mid(colon + 1);
}

std::optional<SearchAnswer> SearchAnswerFor(const QString& id)
{
    for (const SearchAnswer& answer : SearchAnswers(QueryOfAnswer(id))) {
        if (answer.id == id)
            return answer;
    }
    return std::nullopt;
}

QStringList LaunchArgumentsFor(const QString& query)
{
    if (const std::optional<QueryReading> reading = ReadQuery(query))
        return reading->launchArguments;
    return { QStringLiteral("--new-window") };
}
