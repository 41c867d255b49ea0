#include "BitlensVersion.h"
#include "CommandLine.h"
#include "LaunchActivation.h"
#include "SearchService.h"
#include "SingleInstance.h"
#include "Translations.h"
#include "files/WindowStateStore.h"
#include "window/ConverterView.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QIcon>
#include <QPointer>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

const char kApplicationId[] = "io.github.bitlens.Bitlens";

// Decided before any application object exists, so that --print needs no
// display and never reaches a running instance.
int runCommandLine(int argc, char* argv[], const Launch& launch)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCommandLine(launch, out, err);
}

// Why no window can open, found before the toolkit would abort over it;
// empty when one may. A platform named outright is left to the toolkit.
QString missingDisplay(const Launch& launch)
{
    if (!launch.platform.isEmpty() || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland"))
        return {};
    if (!launch.display.isEmpty() || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    return QStringLiteral("no display to open a window on: neither DISPLAY nor WAYLAND_DISPLAY "
                          "is set (bitlens --print needs none)");
}

// While the application object starts, the toolkit's messages wait here. A
// platform that cannot start ends the program with one line and status 1
// instead of the toolkit's abort; otherwise they are passed on as they came.
class ToolkitStartGuard {
public:
    ToolkitStartGuard()
    {
        sGuard = this;
        fPrevious = qInstallMessageHandler(&ToolkitStartGuard::hold);
    }
    ~ToolkitStartGuard()
    {
        qInstallMessageHandler(fPrevious);
        sGuard = nullptr;
        for (const Held& held : fHeld) {
            const QMessageLogContext context(held.file.constData(), held.line,
                held.function.constData(), held.category.constData());
            if (fPrevious)
                fPrevious(held.type, context, held.message);
            else
                std::fprintf(stderr, "%s\n",
                    qPrintable(qFormatLogMessage(held.type, context, held.message)));
        }
    }
    ToolkitStartGuard(const ToolkitStartGuard&) = delete;
    ToolkitStartGuard& operator=(const ToolkitStartGuard&) = delete;

private:
    struct Held {
        QtMsgType type;
        QByteArray file;
        int line;
        QByteArray function;
        QByteArray category;
        QString message;
    };

    static void hold(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type != QtFatalMsg) {
            sGuard->fHeld.push_back(
                { type, context.file, context.line, context.function, context.category, message });
            return;
        }
        // The platform plugin's own complaint names the cause ("could not
        // connect to display :9"); the fatal message is the same for all.
        QString reason = message.section(u'\n', 0, 0);
        for (const Held& held : sGuard->fHeld) {
            if (held.category.startsWith("qt.qpa") && held.type >= QtWarningMsg) {
                reason = held.message.section(u'\n', 0, 0);
                break;
            }
        }
        std::fprintf(stderr, "bitlens: cannot open a window: %s\n", qPrintable(reason));
        std::fflush(stderr);
        std::_Exit(1);
    }

    // A message handler is a plain function; it finds the guard here.
    static ToolkitStartGuard* sGuard;
    QtMessageHandler fPrevious = nullptr;
    std::vector<Held> fHeld;
};

ToolkitStartGuard* ToolkitStartGuard::sGuard = nullptr;

// Rendered from the scalable icon at the sizes a window manager asks for.
QIcon builtInIcon()
{
    QIcon icon;
    for (int size : { 16, 32, 48, 64, 128 })
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

// Looking the window icon up in the desktop's icon theme reads the theme's
// whole index, about 0.7 MiB of allocations that are freed at once but that
// the allocator would keep for the program's life: given back to the system
// once the work put off past the first paint has run.
void giveBackStartupMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// The windows' side of the hand-over: what a launch asks of them, and which
// window the user had last, to come to the front.
class Windows : public QObject {
public:
    // Every window shows the same history and the same saved layouts.
    explicit Windows(Stores stores)
        : fStores(std::move(stores))
    {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (auto* view = qobject_cast<ConverterView*>(now ? now->window() : nullptr))
                fLastActive = view;
        });
    }

    // The window the request opened or brought to the front.
    ConverterView* open(const HandOverRequest& request)
    {
        if (request.action == eLaunchToFront) {
            std::vector<ConverterView*> views;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* view = qobject_cast<ConverterView*>(widget);
                // A closed window may linger until it is deleted; it stays closed.
                if (view && view->isVisible())
                    views.push_back(view);
            }
            if (!views.empty()) {
                for (ConverterView* view : views)
                    view->applicationShouldHandleReopen();
                const bool lastActiveOpen = fLastActive
                    && std::find(views.begin(), views.end(), fLastActive.data()) != views.end();
                ConverterView* front = lastActiveOpen ? fLastActive.data() : views.front();
                RaiseForLaunch(front, request.activationToken);
                return front;
            }
        }
        auto* window = new ConverterView(fStores);
        // The first window of a start is the one the user left last.
        if (!fTakenUp && fStores.windowState)
            window->takeUp(fStores.windowState->load());
        fTakenUp = true;
        if (request.action == eLaunchWithText) {
            const TextReading& reading = request.reading;
            window->openWithText(reading.notation, reading.text, reading.width, reading.endian);
        }
        ShowForLaunch(window, request.activationToken);
        return window;
    }

private:
    const Stores fStores;
    QPointer<ConverterView> fLastActive;
    bool fTakenUp = false;
};

// A launch's startup id for an action the user took at `timestamp` on X11,
// which lets the window it opens come to the front; none without a time.
QByteArray startupIdForSearch(quint32 timestamp)
{
    if (timestamp == 0 || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    return "bitlens-search-" + QByteArray::number(QCoreApplication::applicationPid()) + "_TIME"
        + QByteArray::number(timestamp);
}

void copyToClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

// The display platforms to try for a process that needs one only to copy:
// the session's own, then none at all, so that the answers come either way.
QByteArray searchPlatforms()
{
    QByteArray platforms;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland"))
        platforms += "wayland;";
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        platforms += "xcb;";
    return platforms + "offscreen";
}

// `bitlens --search-service`, started by the session bus when a search asks
// for Bitlens and no instance of it owns the name: answers with no window,
// and ends when a window instance takes the name over or no call came for
// a while, keeping nothing.
int runSearchService(int argc, char* argv[], const Launch& launch)
{
    std::vector<char*> arguments(argv, argv + argc);
    QByteArray platforms = searchPlatforms();
    if (launch.platform.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        static char platformOption[] = "-platform";
        arguments.insert(arguments.begin() + 1, { platformOption, platforms.data() });
    }
    int count = int(arguments.size());
    arguments.push_back(nullptr);
    std::optional<ToolkitStartGuard> guard(std::in_place);
    QGuiApplication app(count, arguments.data());
    guard.reset();
    QGuiApplication::setApplicationName(QStringLiteral("Bitlens"));
    QGuiApplication::setApplicationVersion(QStringLiteral(BITLENS_VERSION));
    QGuiApplication::setDesktopFileName(QLatin1String(kApplicationId));
    LoadTranslations(app);

    SearchService service(SearchService::eSearchOnly, SearchService::idleMsFromEnvironment());
    int status = 0;
    QObject::connect(&service, &SearchService::failed, &app, [&status](const QString& why) {
        std::fprintf(stderr, "bitlens: the search service cannot start: %s\n", qPrintable(why));
        status = 1;
        QCoreApplication::quit();
    });
    QObject::connect(&service, &SearchService::finished, &app, &QCoreApplication::quit);
    QObject::connect(&service, &SearchService::copyRequested, &app, &copyToClipboard);
    // A launch of its own opens the window: it hands over to the instance
    // running on this display, or becomes one.
    QObject::connect(&service, &SearchService::openRequested, &app,
        [](const QStringList& launchArguments, quint32 timestamp) {
            QProcess launch;
            launch.setProgram(QCoreApplication::applicationFilePath());
            launch.setArguments(launchArguments);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove(QString::fromLatin1(SearchService::kIdleVariable));
            if (const QByteArray startupId = startupIdForSearch(timestamp); !startupId.isEmpty())
                environment.insert(
                    QStringLiteral("DESKTOP_STARTUP_ID"), QString::fromLatin1(startupId));
            launch.setProcessEnvironment(environment);
            if (!launch.startDetached())
                std::fprintf(stderr, "bitlens: cannot start a window: %s\n",
                    qPrintable(launch.errorString()));
        });
    service.start();
    const int exitStatus = app.exec();
    return status != 0 ? status : exitStatus;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Launch launch = ParseLaunch(arguments);
    if (launch.action == eLaunchSearchService)
        return runSearchService(argc, argv, launch);
    if (!OpensWindow(launch))
        return runCommandLine(argc, argv, launch);

    const LaunchTokens tokens = LaunchTokens::fromEnvironment();
    if (const QString missing = missingDisplay(launch); !missing.isEmpty()) {
        std::fprintf(stderr, "bitlens: %s\n", qPrintable(missing));
        return 1;
    }
    std::optional<ToolkitStartGuard> guard(std::in_place);
    QApplication app(argc, argv);
    guard.reset();
    QApplication::setApplicationName(QStringLiteral("Bitlens"));
    QApplication::setApplicationVersion(QStringLiteral(BITLENS_VERSION));
    QApplication::setDesktopFileName(QLatin1String(kApplicationId));

    // A launch on a display where Bitlens runs hands over to it and ends.
    const QString platform = QGuiApplication::platformName();
    HandOverRequest request { launch.action, launch.reading, tokens.forPlatform(platform) };
    const QString display
        = launch.display.isEmpty() ? qEnvironmentVariable("DISPLAY") : launch.display;
    QString whyNot;
    SingleInstance instance(SingleInstance::socketPath(
        SingleInstance::displayKey(platform, display, qEnvironmentVariable("WAYLAND_DISPLAY")),
        &whyNot));
    if (instance.handOver(request))
        return 0;
    if (!instance.listen() && instance.handOver(request))
        return 0;
    if (!instance.isListening())
        std::fprintf(stderr,
            "bitlens: warning: running on its own, without the hand-over to "
            "later launches: %s\n",
            qPrintable(whyNot.isEmpty() ? instance.errorString() : whyNot));
    LoadTranslations(app);

    Stores stores = Stores::atDefaultPlaces();
    stores.windowState = std::make_shared<WindowStateStore>();
    Windows windows(std::move(stores));
    QObject::connect(&instance, &SingleInstance::requestReceived, &windows, &Windows::open);
    // This launch's own token is the toolkit's to use with its first window.
    request.activationToken.clear();
    // The desktop's search asks this instance once it runs; a window opened
    // for it is a launch like any other, on this instance's display.
    std::optional<SearchService> search;
    const auto startSearch = [&search, &windows] {
        search.emplace(SearchService::eBesideWindows);
        QObject::connect(&*search, &SearchService::copyRequested, &windows, &copyToClipboard);
        QObject::connect(&*search, &SearchService::openRequested, &windows,
            [&windows](const QStringList& launchArguments, quint32 timestamp) {
                const Launch asked
                    = ParseLaunch(QStringList { QStringLiteral("bitlens") } + launchArguments);
                if (OpensWindow(asked))
                    windows.open({ asked.action, asked.reading, startupIdForSearch(timestamp) });
            });
        search->start();
    };
    // The theme's icon, or the one built in where the theme has none. The
    // lookup is a good share of the time to the first window: it comes after,
    // and so does the search service.
    ConverterView* first = windows.open(request);
    AfterFirstPaint(first, [startSearch] {
        QApplication::setWindowIcon(QIcon::fromTheme(QLatin1String(kApplicationId), builtInIcon()));
        startSearch();
        giveBackStartupMemory();
    });
    FocusWithoutWindowManager(first);
    // Windows are independent; the program ends when the last one closes.
    return app.exec();
}
