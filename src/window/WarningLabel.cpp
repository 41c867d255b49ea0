#include "WarningLabel.h"

#include <QAccessible>
#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QStyle>

WarningLabel::WarningLabel(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    makeRoomForIcon();
}

void WarningLabel::reserveRoomFor(const QStringList& texts)
{
    fReservedFor = texts;
    makeRoomForIcon();
}

void WarningLabel::setWarning(const QString& text, Tone tone)
{
    if (text.isEmpty()) {
        if (!isHidden())
            hide();
        return;
    }
    if (tone != fTone) {
        fTone = tone;
        update();
    }
    if (text != this->text()) {
        setText(text);
        // A message longer than the room kept for it shows its start; all of
        // it is in the tooltip, and in what assistive technology reads.
        setToolTip(fontMetrics().horizontalAdvance(text) > textArea().width() ? text : QString());
    }
    const bool shown = isHidden();
    if (shown)
        show();
    // A warning that stays is said once; a note is news each time.
    if ((shown || tone == eNote) && QAccessible::isActive()) {
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

void WarningLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        makeRoomForIcon();
}

void WarningLabel::paintEvent(QPaintEvent*)
{
    const int size = iconSize();
    const QRect area = contentsRect();
    const QRect where(area.left(), area.top() + (area.height() - size) / 2, size, size);
    QPainter painter(this);
    style()
        ->standardIcon(
            fTone == eNote ? QStyle::SP_MessageBoxInformation : QStyle::SP_MessageBoxWarning,
            nullptr, this)
        .paint(&painter, where, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    const QRect room = textArea();
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(),
        fontMetrics().elidedText(text(), Qt::ElideRight, room.width()), foregroundRole());
}

// Where the text goes: past the icon, within the margins.
QRect WarningLabel::textArea() const
{
    return contentsRect().adjusted(indent() + margin(), margin(), -margin(), -margin());
}

// The icon as tall as a line of the text, and never smaller than the
// style's small icons; the text starts past it.
int WarningLabel::iconSize() const
{
    return qMax(
        style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this), fontMetrics().height());
}

void WarningLabel::makeRoomForIcon()
{
    const QFontMetrics metrics = fontMetrics();
    setIndent(iconSize() + metrics.horizontalAdvance(QLatin1Char(' ')));
    if (fReservedFor.isEmpty())
        return;
    int widest = 0;
    for (const QString& text : fReservedFor)
        widest = qMax(widest, metrics.horizontalAdvance(text));
    const QMargins margins = contentsMargins();
    // One pixel more for the rounding of a text measured in one piece.
    setFixedWidth(margins.left() + indent() + widest + 2 * margin() + margins.right() + 1);
}
