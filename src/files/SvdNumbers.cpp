#include "SvdNumbers.h"

#include "FileSupport.h"

std::optional<UInt64> SvdNumber(const QString& text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('+')))
        t.remove(0, 1);
    UInt64 scale = 1;
    static const QString scales = QStringLiteral("kmgt");
    const bool hex = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    if (!t.isEmpty() && !hex) {
        const int at = int(scales.indexOf(t.back().toLower()));
        if (at >= 0) {
            scale = UInt64(1) << (10 * (at + 1));
            t.chop(1);
        }
    }
    const std::optional<UInt64> value = t.startsWith(QLatin1Char('#'))
        ? ParseUnsigned(QLatin1String("0b") + t.mid(1))
        : ParseUnsigned(t);
    if (!value || *value > ~UInt64(0) / scale)
        return std::nullopt;
    return *value * scale;
}

std::optional<SvdPattern> SvdValuePattern(const QString& text)
{
    const QString t = text.trimmed();
    QStringView bits;
    if (t.startsWith(QLatin1Char('#')))
        bits = QStringView(t).mid(1);
    else if (t.startsWith(QLatin1String("0b"), Qt::CaseInsensitive))
        bits = QStringView(t).mid(2);
    if (bits.isEmpty()) {
        const auto value = SvdNumber(t);
        return value ? std::optional<SvdPattern>(SvdPattern { *value }) : std::nullopt;
    }
    if (bits.size() > 64)
        return std::nullopt;
    SvdPattern pattern;
    pattern.care = 0;
    for (QChar c : bits) {
        pattern.value <<= 1;
        pattern.care <<= 1;
        if (c == u'1' || c == u'0') {
            pattern.value |= c == u'1';
            pattern.care |= 1;
        } else if (c != u'x' && c != u'X') {
            return std::nullopt;
        }
    }
    pattern.care |= ~WidthMask(unsigned(bits.size()));
    return pattern;
}

void FinishSvdDims(SvdDims& dims)
{
    dims.list.clear();
    dims.first = 0;
    dims.letter = 0;
    const QString index = dims.index.trimmed();
    const QStringList range = index.split(QLatin1Char('-'));
    if (index.contains(QLatin1Char(','))) {
        // A list no longer than its text: dim says how many it must hold.
        const QStringList parts = index.split(QLatin1Char(','));
        if (UInt64(parts.size()) == dims.count)
            for (const QString& part : parts)
                dims.list << part.trimmed();
    } else if (range.size() == 2 && range[0].size() == 1 && range[1].size() == 1
        && range[0][0].isLetter()) {
        const char16_t first = range[0][0].unicode(), last = range[1][0].unicode();
        if (first <= last && UInt64(last - first) + 1 == dims.count)
            dims.letter = first;
    } else if (range.size() == 2) {
        const auto first = ParseUnsigned(range[0]);
        const auto last = ParseUnsigned(range[1]);
        if (first && last && *first <= *last && *last - *first == dims.count - 1)
            dims.first = *first;
    }
}

UInt64 SvdElementCount(const QString& name, const SvdDims& dims)
{
    return dims.count > 0 && name.contains(QLatin1String("%s")) ? dims.count : 1;
}

QString SvdIndexText(const SvdDims& dims, UInt64 element)
{
    if (!dims.list.isEmpty())
        return dims.list[qsizetype(element)];
    if (dims.letter != 0)
        return QString(QChar(char16_t(dims.letter + element)));
    return QString::number(dims.first + element);
}

QString SvdElementName(const QString& name, const SvdDims& dims, UInt64 element)
{
    if (dims.count == 0 || !name.contains(QLatin1String("%s")))
        return name;
    return QString(name).replace(QLatin1String("%s"), SvdIndexText(dims, element));
}

namespace {

// The element whose index `index` is, in the way dimIndex names them.
std::optional<UInt64> ElementOfIndex(const SvdDims& dims, QStringView index, Qt::CaseSensitivity cs)
{
    if (!dims.list.isEmpty()) {
        for (qsizetype i = 0; i < dims.list.size(); ++i)
            if (index.compare(dims.list[i], cs) == 0)
                return UInt64(i);
        return std::nullopt;
    }
    if (dims.letter != 0) {
        if (index.size() != 1)
            return std::nullopt;
        const char16_t typed = cs == Qt::CaseSensitive ? index[0].unicode()
            : QChar(dims.letter).isUpper()             ? index[0].toUpper().unicode()
                                                       : index[0].toLower().unicode();
        if (typed < dims.letter || UInt64(typed - dims.letter) >= dims.count)
            return std::nullopt;
        return UInt64(typed - dims.letter);
    }
    // Digits only, as the index is written: "+1", " 1" or "01" is not 1.
    if (index.size() > 1 && index[0] == u'0')
        return std::nullopt;
    for (QChar c : index)
        if (!c.isDigit() || c.unicode() > 0x7F)
            return std::nullopt;
    const auto number = ParseUnsigned(index.toString());
    if (!number || *number < dims.first || *number - dims.first >= dims.count)
        return std::nullopt;
    return *number - dims.first;
}

} // namespace

std::optional<UInt64> SvdFindElement(
    const QString& name, const SvdDims& dims, QStringView text, Qt::CaseSensitivity cs)
{
    const qsizetype at = name.indexOf(QLatin1String("%s"));
    if (dims.count == 0 || at < 0)
        return text.compare(name, cs) == 0 ? std::optional<UInt64>(0) : std::nullopt;
    // NAME[%s] is also named NAME%s, as the headers made from the file name it.
    const bool bracketed = at > 0 && name.mid(at - 1, 4) == QLatin1String("[%s]");
    for (const bool brackets : { true, false }) {
        if (!brackets && !bracketed)
            break;
        const QStringView before = QStringView(name).left(brackets ? at : at - 1);
        const QStringView after = QStringView(name).mid(brackets ? at + 2 : at + 3);
        if (text.size() <= before.size() + after.size() || !text.startsWith(before, cs)
            || !text.endsWith(after, cs))
            continue;
        const QStringView index
            = text.mid(before.size(), text.size() - before.size() - after.size());
        if (const auto element = ElementOfIndex(dims, index, cs))
            return element;
    }
    return std::nullopt;
}
