#include "ConverterView.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bitlens"));
    QApplication::setOrganizationDomain(QStringLiteral("bitlens.github.io"));
    QApplication::setApplicationVersion(QStringLiteral(BITLENS_VERSION));

    // Command-line requests (--print and the like) are answered here,
    // before any window exists, and end the program.

    // A second launch hands over here to the running instance, which raises
    // its windows, and ends.

    // Windows are independent; the program ends when the last one closes.
    auto* window = new ConverterView;
    window->show();
    return app.exec();
}
