#include "FocusedWheel.h"

#include <QEvent>
#include <QWidget>

namespace {

class WheelOnlyWhenFocused : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel && !static_cast<QWidget*>(watched)->hasFocus()) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void TakeWheelOnlyWhenFocused(QWidget& widget)
{
    // A wheel focus policy would hand the focus to the widget the wheel is over.
    if (widget.focusPolicy() == Qt::WheelFocus)
        widget.setFocusPolicy(Qt::StrongFocus);
    widget.installEventFilter(new WheelOnlyWhenFocused(&widget));
}
