#include "WindowTitle.h"

#include <QApplication>
#include <QList>
#include <QVariant>
#include <QWidget>

namespace {
// Kept on each numbered window, where any later window can read it.
constexpr char kWindowNumber[] = "windowNumber";
} // namespace

void NumberWindow(QWidget& window)
{
    QList<int> taken;
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other != &window && other->isVisible())
            if (const int number = other->property(kWindowNumber).toInt())
                taken.append(number);
    int number = 1;
    while (taken.contains(number))
        ++number;
    window.setProperty(kWindowNumber, number);
    window.setWindowTitle(number == 1
            ? QStringLiteral("Bitlens")
            : QCoreApplication::translate("WindowTitle", "Bitlens — %1", "the window's number")
                  .arg(number));
}
