#include "FieldClick.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include <utility>

namespace {

class ClickSelectsAll : public QObject {
public:
    ClickSelectsAll(QLineEdit& field, std::function<bool()> programWrote)
        : QObject(&field)
        , fField(field)
        , fProgramWrote(std::move(programWrote))
    { }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
            fArmed = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
            break;
        case QEvent::FocusOut: fArmed = false; break;
        case QEvent::MouseButtonRelease:
            if (std::exchange(fArmed, false)
                && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton
                && !fField.hasSelectedText() && fProgramWrote()) {
                // Once the field has taken the release: a selection made
                // during it would go to the X11 primary selection, over
                // what the user may be about to paste.
                QTimer::singleShot(0, &fField, [field = &fField] {
                    if (field->hasFocus() && !field->hasSelectedText())
                        field->selectAll();
                });
            }
            break;
        default: break;
        }
        return false;
    }

private:
    QLineEdit& fField;
    const std::function<bool()> fProgramWrote;
    bool fArmed = false; // the focus came with a press not yet released
};

} // namespace

void SelectAllOnClickInto(QLineEdit& field, std::function<bool()> programWrote)
{
    field.installEventFilter(new ClickSelectsAll(field, std::move(programWrote)));
}
