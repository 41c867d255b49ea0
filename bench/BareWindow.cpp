// The start-up floor: a plain Qt window with as many widgets of each class
// as the converter window, in plain grid layouts, with nothing wired and no
// work of its own. bench/startup.py counts them from the window description
// and passes them on the command line:
//   bare_window lineedits=27 labels=42 combos=4,20 checkboxes=3 radios=6
//               pushbuttons=6 toolbuttons=1 groups=2 scrollareas=1 widgets=3
//               buttons=5 menus=4,10,2,2
// (combos and menus: the item or action count of each; scroll areas hold
// the central widget, one inside the other, and the window is as large as
// what they hold). The window's own
// widget classes are counted as the toolkit's class they extend: a plain
// QWidget, a QAbstractButton that paints nothing.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace {

// A QAbstractButton can only be made through a class that paints it.
class BareButton : public QAbstractButton {
protected:
    void paintEvent(QPaintEvent*) override { }
};

// Widgets go round the group boxes in turn, two columns to a grid.
class Filler {
public:
    explicit Filler(std::vector<QGridLayout*> grids)
        : fGrids(std::move(grids))
    { }

    void add(QWidget* widget)
    {
        QGridLayout* grid = fGrids[fNext++ % fGrids.size()];
        const int index = grid->count();
        grid->addWidget(widget, index / 2, index % 2);
    }

private:
    std::vector<QGridLayout*> fGrids;
    std::size_t fNext = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    std::map<QString, QList<int>> counts;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (const QString& argument : arguments) {
        const QString key = argument.section('=', 0, 0);
        QList<int> values;
        for (const QString& value : argument.section('=', 1).split(',', Qt::SkipEmptyParts))
            values.append(value.toInt());
        counts[key] = values;
    }
    auto count = [&counts](const char* key) {
        const QList<int>& values = counts[QLatin1String(key)];
        return values.isEmpty() ? 0 : values.first();
    };

    auto* window = new QMainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Bare window"));
    for (int actions : counts[QStringLiteral("menus")]) {
        QMenu* menu = window->menuBar()->addMenu(QStringLiteral("Menu"));
        for (int i = 0; i < actions; ++i)
            menu->addAction(QStringLiteral("Action"));
    }

    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);
    std::vector<QGridLayout*> grids;
    for (int i = 0; i < std::max(1, count("groups")); ++i) {
        auto* group = new QGroupBox(QStringLiteral("Group"));
        grids.push_back(new QGridLayout(group));
        columns->addWidget(group);
    }

    Filler filler(grids);
    const std::pair<const char*, std::function<QWidget*()>> kinds[] = {
        { "lineedits", [] { return new QLineEdit(QStringLiteral("0000")); } },
        { "labels", [] { return new QLabel(QStringLiteral("Label")); } },
        { "checkboxes", [] { return new QCheckBox(QStringLiteral("Check")); } },
        { "radios", [] { return new QRadioButton(QStringLiteral("Radio")); } },
        { "pushbuttons", [] { return new QPushButton(QStringLiteral("Push")); } },
        { "toolbuttons", [] { return new QToolButton; } },
        { "widgets", [] { return new QWidget; } },
        { "buttons", [] { return new BareButton; } },
    };
    for (const auto& [key, make] : kinds)
        for (int i = 0; i < count(key); ++i)
            filler.add(make());
    for (int items : counts[QStringLiteral("combos")]) {
        auto* combo = new QComboBox;
        for (int i = 0; i < items; ++i)
            combo->addItem(QStringLiteral("Item"));
        filler.add(combo);
    }

    // Wrapped once filled, so that no size is taken of an empty widget; the
    // window is as large as its widgets, as it would be without the scroll
    // areas, whose own size hint is smaller: both windows paint all they hold.
    QWidget* outermost = central;
    for (int i = 0; i < count("scrollareas"); ++i) {
        auto* area = new QScrollArea;
        area->setWidgetResizable(true);
        area->setWidget(outermost);
        outermost = area;
    }
    window->setCentralWidget(outermost);
    if (outermost != central)
        window->resize(central->sizeHint() + QSize(0, window->menuBar()->sizeHint().height()));
    window->show();
    return app.exec();
}
