#include "FlagButton.h"

#include "AccessibleInterfaces.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

namespace {

// A check box to assistive technology, but a read-only one: the toolkit's
// own interface for a checkable button offers a toggle action that flips it
// without asking the button.
class FlagAccessible : public QAccessibleWidget {
public:
    explicit FlagAccessible(FlagButton* flag)
        : QAccessibleWidget(flag, QAccessible::CheckBox)
    { }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = static_cast<const FlagButton*>(widget())->isChecked();
        state.readOnly = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        const QString given = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && given.isEmpty())
            return static_cast<const FlagButton*>(widget())->text();
        return given;
    }
};

} // namespace

QAccessibleInterface* CreateFlagAccessible(QObject* flag)
{
    return new FlagAccessible(static_cast<FlagButton*>(flag));
}

FlagButton::FlagButton(QWidget* parent)
    : FlagButton(QString(), parent)
{ }

FlagButton::FlagButton(const QString& text, QWidget* parent)
    : QAbstractButton(parent)
{
    InstallAccessibleInterfaces();
    setCheckable(true);
    setText(text);
    // A status, not a control: no stop on the way through the window with Tab.
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize FlagButton::sizeHint() const
{
    // All in the font's units, so it scales with the font and the screen.
    const QFontMetrics metrics = fontMetrics();
    const int padding = metrics.height() / 3;
    const int height = metrics.height() + padding;
    const int width = metrics.horizontalAdvance(text()) + 2 * padding;
    return QSize(qMax(width, height), height);
}

QSize FlagButton::minimumSizeHint() const
{
    return sizeHint();
}

void FlagButton::paintEvent(QPaintEvent*)
{
    const QPalette& colours = palette();
    const bool lit = isChecked();
    const QColor fill = colours.color(lit ? QPalette::Highlight : QPalette::Button);
    const QColor ink = lit ? colours.color(QPalette::HighlightedText)
                           : colours.color(QPalette::Disabled, QPalette::ButtonText);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = fontMetrics().height() / 4.0;
    painter.setPen(colours.color(QPalette::Mid));
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, radius, radius);
    painter.setPen(ink);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void FlagButton::nextCheckState() { }
