// What a window keeps between starts: taken up by the first window of a
// start, written when a window closes.
#include "BitFieldPanel.h"
#include "ConverterView.h"
#include "WindowLayout.h"
#include "ui_ConverterDocument.h"

#include "files/LayoutStore.h"
#include "files/WindowStateStore.h"

#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr const char* kPanelNames[] = { "historyPanel", "bitFieldPanel" };

std::vector<ScreenArea> Screens(std::size_t& primary)
{
    std::vector<ScreenArea> screens;
    primary = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == QGuiApplication::primaryScreen())
            primary = screens.size();
        screens.push_back({ screen->name(), screen->geometry(), screen->availableGeometry() });
    }
    return screens;
}

} // namespace

WindowState ConverterView::remembered() const
{
    WindowState state;
    state.mathOpen = fModel.mathEnabled();
    state.width = fModel.width();
    state.layoutFile = fModel.layoutFile().empty()
        ? QString()
        : QFileInfo(QString::fromStdString(fModel.layoutFile())).fileName();
    for (int notation = 0; notation < eNotationCount; ++notation)
        if (fHiddenNotations[notation])
            state.hiddenNotations.push_back(static_cast<Notation>(notation));
    for (const char* name : kPanelNames) {
        const auto* panel = findChild<QDockWidget*>(QLatin1String(name));
        if (panel && !panel->isFloating())
            state.panels.push_back({ QLatin1String(name), panel->isVisible(), panel->size() });
    }
    if (const QScreen* on = screen())
        state.place({ on->name(), on->geometry(), frameGeometry() });
    return state;
}

void ConverterView::takeUp(const WindowState& state)
{
    showChanges(fModel.chooseWidth(state.width));
    if (!state.layoutFile.isEmpty() && fStores.layouts) {
        const QString path = QDir(fStores.layouts->directory()).filePath(state.layoutFile);
        const LayoutResult read = fStores.layouts->load(path);
        if (read.ok())
            showChanges(fModel.openLayout(read.layout, path.toStdString()));
    }
    if (state.mathOpen != fModel.mathEnabled())
        showChanges(fModel.mathDisclosured(state.mathOpen));
    fModel.forgetSteps();
    showUndoState();

    std::size_t primary = 0;
    const std::optional<QRect> frame = RestoredFrame(state.placements, Screens(primary), primary);
    if (frame) {
        // Until the decorations are known the frame is the window's size;
        // `event` takes them off once the window manager has drawn them.
        move(frame->topLeft());
        resize(frame->size());
        fTakenUpFrame = frame;
    }
    for (const PanelState& panel : state.panels) {
        if (!panel.shown)
            continue;
        if (panel.name == QLatin1String("historyPanel")) {
            ui->actionShowHistory->setChecked(true);
            if (auto* dock = findChild<QDockWidget*>(panel.name); dock && frame)
                fWindowLayout->takeUpPanel(*dock, panel.size.width());
        } else if (panel.name == QLatin1String("bitFieldPanel")) {
            BitFieldPanel& dock = bitFieldPanel();
            if (frame)
                fWindowLayout->takeUpPanel(dock, panel.size.width());
            else
                dock.showAndFocus();
            const QSignalBlocker quiet(ui->actionShowBitFields);
            ui->actionShowBitFields->setChecked(true);
        }
    }
}

void ConverterView::closeEvent(QCloseEvent* event)
{
    if (fStores.windowState)
        fStores.windowState->save(remembered());
    QMainWindow::closeEvent(event);
}

bool ConverterView::event(QEvent* event)
{
    // The base may delete this window (a deferred delete): nothing of it is
    // read after the base unless the event is one that leaves it standing.
    const QEvent::Type type = event->type();
    const bool handled = QMainWindow::event(event);
    if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) && fTakenUpFrame
        && isVisible()) {
        const QSize decorations = frameGeometry().size() - size();
        if (decorations != QSize(0, 0)) {
            const QRect frame = *fTakenUpFrame;
            fTakenUpFrame.reset();
            resize(frame.size() - decorations);
            move(frame.topLeft());
        }
    }
    return handled;
}
