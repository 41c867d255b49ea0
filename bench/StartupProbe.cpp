// Preloaded (LD_PRELOAD) into a Qt Widgets program by bench/startup.py: once
// the first window has been exposed, and so painted, and the event loop has
// come round once more, it prints how many widgets of each Qt class the
// window holds and ends the process on the spot, with no teardown to time.
//
// With BITLENS_PROBE_SETTLE_MS set, it waits that long after the first
// expose instead, with the event loop running, so that the work a program
// puts off past its first paint has run, and prints the resident memory as
// the kernel counts it then (VmRSS) before the census.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include <unistd.h>

namespace {

// Resident memory in KiB, from /proc/self/status; 0 when unreadable.
long ResidentKiB()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kib = std::strtol(line + 6, nullptr, 10);
    std::fclose(status);
    return kib;
}

void ReportAndExit(QWindow* window, bool settled)
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
    if (settled)
        std::printf("settled: rss=%ld\n", ResidentKiB());
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
                const int settleMs = qEnvironmentVariableIntValue("BITLENS_PROBE_SETTLE_MS");
                QTimer::singleShot(
                    settleMs, this, [window, settleMs] { ReportAndExit(window, settleMs > 0); });
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
