#include "FocusedWheel.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
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

class ListOnArrowKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End: static_cast<QComboBox*>(watched)->showPopup(); return true;
        default: return false;
        }
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

void OpenListOnArrowKeys(QComboBox& popup)
{
    popup.installEventFilter(new ListOnArrowKeys(&popup));
}
