// Preloaded (LD_PRELOAD) into a Qt Widgets program by bench/startup.py: once
// the first window has been exposed, and so painted, and the event loop has
// come round once more, it prints how many widgets of each Qt class the
// window holds and ends the process on the spot, with no teardown to time.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>

namespace {

void ReportAndExit(QWindow* window)
{
    std::map<std::string, int> census;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() != window)
            continue;
        census["window"] += 1;
        for (QWidget* child : widget->findChildren<QWidget*>()) {
            // The program's own widgets count as the Qt class they are built
            // on, which is what the bare window has in their place.
            const QMetaObject* meta = child->metaObject();
            while (meta->className()[0] != 'Q' && meta->superClass())
                meta = meta->superClass();
            census[meta->className()] += 1;
        }
    }
    std::printf("shown:");
    for (const auto& [name, count] : census)
        std::printf(" %s=%d", name.c_str(), count);
    std::printf("\n");
    std::fflush(stdout);
    _exit(0);
}

class FirstExpose : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!fSeen && event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) {
                fSeen = true;
                QTimer::singleShot(0, this, [window] { ReportAndExit(window); });
            }
        }
        return false;
    }

private:
    bool fSeen = false;
};

void Install()
{
    qApp->installEventFilter(new FirstExpose);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(Install)
