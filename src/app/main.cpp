#include "BitlensVersion.h"
#include "CommandLine.h"
#include "ConverterView.h"
#include "SingleInstance.h"
#include "Translations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

namespace {

// Decided before any application object exists, so that --print needs no
// display and never reaches a running instance.
int runCommandLine(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCommandLine(QCoreApplication::arguments(), out, err);
}

void reopenWindows()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* view = qobject_cast<ConverterView*>(widget))
            view->applicationShouldHandleReopen();
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (IsCommandLineInvocation(arguments))
        return runCommandLine(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bitlens"));
    QApplication::setApplicationVersion(QStringLiteral(BITLENS_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.bitlens.Bitlens"));

    // A second launch raises the running instance's windows and ends.
    SingleInstance instance;
    if (instance.handOverToRunningInstance())
        return 0;
    if (!instance.listen() && instance.handOverToRunningInstance())
        return 0;
    QObject::connect(&instance, &SingleInstance::reopenRequested, &app, reopenWindows);
    LoadTranslations(app);

    // Windows are independent; the program ends when the last one closes.
    auto* window = new ConverterView;
    window->show();
    return app.exec();
}
