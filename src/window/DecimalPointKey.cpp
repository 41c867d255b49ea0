#include "DecimalPointKey.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class CommaAsPoint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() != QLatin1String(",")
            || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return QObject::eventFilter(watched, event);
        QKeyEvent point(QEvent::KeyPress, Qt::Key_Period, key->modifiers(), QStringLiteral("."),
            key->isAutoRepeat(), ushort(key->count()));
        QCoreApplication::sendEvent(watched, &point);
        return true;
    }
};

} // namespace

void TypeCommaAsPoint(QLineEdit& field)
{
    field.installEventFilter(new CommaAsPoint(&field));
}
