#include "AboutBox.h"

#include "BitlensVersion.h"

#include <QCoreApplication>
#include <QMessageBox>

void ShowAboutBox(QWidget* parent)
{
    QMessageBox::about(parent, QCoreApplication::translate("AboutBox", "About Bitlens"),
        QCoreApplication::translate("AboutBox",
            "<h3>Bitlens %1</h3>"
            "<p>A programmer's number converter: one integer of up to 64 bits in binary, "
            "decimal, hexadecimal, octal, base 36, text, IP address, version and float "
            "notation at once, and as a grid of its bits.</p>"
            "<p>Free software under the MIT licence.</p>")
            .arg(QStringLiteral(BITLENS_VERSION)));
}
