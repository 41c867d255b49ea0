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

QStringList SvdArrayNames(const QString& name, const SvdDims& dims)
{
    if (dims.count <= 0 || dims.count > kMaxDim || !name.contains(QLatin1String("%s")))
        return { name };
    QStringList indexes;
    const QString index = dims.index.trimmed();
    const QStringList range = index.split(QLatin1Char('-'));
    if (index.contains(QLatin1Char(','))) {
        for (const QString& part : index.split(QLatin1Char(',')))
            indexes << part.trimmed();
    } else if (range.size() == 2 && range[0].size() == 1 && range[1].size() == 1
        && range[0][0].isLetter()) {
        const int first = range[0][0].unicode(), last = range[1][0].unicode();
        for (int c = first; c <= last && c - first < kMaxDim; ++c)
            indexes << QString(QChar(c));
    } else if (range.size() == 2) {
        bool ok1 = false, ok2 = false;
        const int first = range[0].toInt(&ok1), last = range[1].toInt(&ok2);
        if (ok1 && ok2 && first <= last && last - first < kMaxDim)
            for (int i = first; i <= last; ++i)
                indexes << QString::number(i);
    }
    if (indexes.size() != dims.count) {
        indexes.clear();
        for (int i = 0; i < dims.count; ++i)
            indexes << QString::number(i);
    }
    QStringList names;
    for (const QString& i : indexes)
        names << QString(name).replace(QLatin1String("%s"), i);
    return names;
}
