#include "MagnitudeLabel.h"

#include "engine/BaseConverter.h"
#include "engine/Magnitude.h"

#include <QAccessible>
#include <QEvent>

#include <algorithm>
#include <cstring>

namespace {

// Wide enough for any text a magnitude label shows: a sign, eight digits
// (the widest one) and a point cover both "18446.744" and "-9223.372", then
// the widest of the units.
int MagnitudeTextWidth(const QFontMetrics& metrics, bool metric, bool wide)
{
    int digit = 0;
    for (char16_t c = u'0'; c <= u'9'; ++c)
        digit = std::max(digit, metrics.horizontalAdvance(QChar(c)));
    int unit = 0;
    BaseConverter value {};
    value.SetBitWidth(64);
    const UInt64 base = metric ? 1000 : 1024;
    for (UInt64 size = base; size <= base * base * base * base * base; size *= base) {
        value.SetUnsignedDec(2 * size, eBigEndian);
        char text[kMagnitudeSize];
        FormatMagnitude(value, eBigEndian, metric, text, sizeof text);
        if (const char* name = std::strchr(text, ' '))
            unit = std::max(unit, metrics.horizontalAdvance(QLatin1String(name)));
    }
    // Measured in pieces, so one pixel more for their rounding.
    // Eight digits at most 64 bits, 27 at 128 ("170141183460469231731687.304")
    // and one more for the rounding of so many pieces.
    return metrics.horizontalAdvance(QLatin1Char('-')) + (wide ? 28 : 8) * digit
        + metrics.horizontalAdvance(QLatin1Char('.')) + unit + 1;
}

} // namespace

MagnitudeLabel::MagnitudeLabel(QWidget* parent)
    : QLabel(parent)
{
    // Measured with a text in place: without one, a label measures as if it
    // showed nothing, a line's spacing high rather than a text's height.
    setText(QStringLiteral("0"));
}

void MagnitudeLabel::setMetric(bool metric)
{
    if (metric == fMetric)
        return;
    fMetric = metric;
    if (testAttribute(Qt::WA_WState_Polished))
        fixSize();
}

void MagnitudeLabel::setWide(bool wide)
{
    if (wide == fWide)
        return;
    fWide = wide;
    if (testAttribute(Qt::WA_WState_Polished))
        fixSize();
}

void MagnitudeLabel::setMagnitude(const QString& magnitude)
{
    setText(magnitude);
    // A label with a name of its own announces nothing when its text changes.
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

QString MagnitudeLabel::spokenText() const
{
    if (accessibleName().isEmpty())
        return text();
    return tr("%1: %2", "what the label is, then its magnitude").arg(accessibleName(), text());
}

// Polished once, after the window description has set every property:
// measured once, not once more for each property that changes the size.
bool MagnitudeLabel::event(QEvent* event)
{
    const bool handled = QLabel::event(event);
    if (event->type() == QEvent::Polish)
        fixSize();
    return handled;
}

void MagnitudeLabel::changeEvent(QEvent* event)
{
    // QLabel forgets its measured size here, so the label measures afresh.
    QLabel::changeEvent(event);
    if ((event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        && testAttribute(Qt::WA_WState_Polished))
        fixSize();
}

void MagnitudeLabel::fixSize()
{
    // The size QLabel asks for grows to the present minimum: free it first.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize hint = sizeHint();
    // Measured as QLabel measures its text, so that what is left over is the
    // same whatever the label shows at the time.
    const QFontMetrics metrics = fontMetrics();
    const int margins
        = hint.width() - metrics.boundingRect(QRect(0, 0, 2000, 2000), 0, text()).width();
    setFixedSize(MagnitudeTextWidth(metrics, fMetric, fWide) + margins, hint.height());
}
