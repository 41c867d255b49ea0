#include "WindowLayout.h"

#include "ui_ConverterDocument.h"

#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

// The math area's grid holds the Result row's labels and controls in these
// columns beside the Operand row's, or in the Operand row's columns below it.
constexpr int kResultColumn = 2;

// A panel's width for its content, never less than it can be.
int WantedWidth(const QDockWidget& dock)
{
    return std::max(dock.sizeHint().width(), dock.minimumSizeHint().width());
}

} // namespace

int FieldWidthFor(const QLineEdit& field, int characters)
{
    const QFontMetrics metrics = field.fontMetrics();
    // The size hint is that of 17 x's and the field's margins.
    const int margins = field.sizeHint().width() - 17 * metrics.horizontalAdvance(QLatin1Char('x'));
    return margins + metrics.horizontalAdvance(QString(characters + 1, QLatin1Char('0')));
}

WindowLayout::WindowLayout(QMainWindow& window, Ui::ConverterDocument& form)
    : fWindow(window)
    , fForm(form)
{
    Ui::ConverterDocument& w = form;
    fValueLabels = { w.labelBinary, w.labelDecimal, w.labelHexadecimal, w.labelOctal,
        w.labelQuixadecimal, w.labelText, w.labelIPAddress, w.labelNumVersion, w.labelFloat,
        w.labelUuid, w.labelBitGrid };
    fOperandLabels = { w.operandBinaryLabel, w.operandDecimalLabel, w.operandHexadecimalLabel,
        w.operandOctalLabel, w.operandQuixadecimalLabel, w.operandTextLabel,
        w.operandIPAddressLabel, w.operandNumVersionLabel, w.operandFloatLabel, w.operandUuidLabel,
        w.operandBitGridLabel };
    fResultLabels = { w.resultBinaryLabel, w.resultDecimalLabel, w.resultHexadecimalLabel,
        w.resultOctalLabel, w.resultQuixadecimalLabel, w.resultTextLabel, w.resultIPAddressLabel,
        w.resultNumVersionLabel, w.resultFloatLabel, w.resultUuidLabel, w.resultBitGridLabel };
    fBinaryFields = { w.currentBinary, w.operandBinary, w.resultBinary };
    fFieldWidth = w.currentBinary->minimumWidth();

    // The bottom spacer's row ends the Operand row's block.
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    w.mathGrid->getItemPosition(
        w.mathGrid->indexOf(w.mathBottomSpacer), &fBlockRows, &column, &rowSpan, &columnSpan);

    // A row's name and the operation's label keep a clear gap between them
    // in any language, however long the operations' names make the popup.
    w.resultHeaderSpacer->changeSize(
        window.fontMetrics().height(), 0, QSizePolicy::MinimumExpanding, QSizePolicy::Minimum);

    // Popups are never narrower than their longest item: a popup squeezed
    // would cut its items' names.
    for (QComboBox* popup : { w.bitWidthPopup, w.mathOperation })
        popup->setSizePolicy(QSizePolicy::Minimum, popup->sizePolicy().verticalPolicy());

    window.installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
        [this](QWidget*, QWidget* now) { scrollToFocus(now); });
}

// The window's frame is known only once it is shown: a window that then
// reaches past the screen takes the size that fits it.
bool WindowLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &fWindow) {
        // A panel shown makes room for itself once, however it was shown; one
        // hidden itself, not with the window, gives the room back.
        // A panel being destroyed is no dock any more, and gives nothing back.
        auto* panel = qobject_cast<QDockWidget*>(watched);
        if (!panel)
            return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::Show && !event->spontaneous() && !fGrownFor.contains(panel))
            makeRoom(*panel);
        else if (event->type() == QEvent::Hide && panel->isHidden())
            giveRoomBack(*panel);
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::Show && watched == &fWindow
        && !fWindow.screen()->availableGeometry().contains(fWindow.frameGeometry()))
        resizeWithin(fWanted, fWantedWithScrollBars);
    return QObject::eventFilter(watched, event);
}

void WindowLayout::fitValueRow()
{
    const QSize minimum = contentMinimum();
    // At the content's smallest the fields' column is as narrow as its
    // widest item lets it be; the window grows by what the binary field then
    // lacks.
    const QGridLayout& grid = *fForm.valueGrid;
    int column = 0;
    for (int at = 0; at < grid.rowCount(); ++at)
        if (QLayoutItem* item = grid.itemAtPosition(at, 1))
            column = std::max(column, item->minimumSize().width());
    const int lacking = FieldWidthFor(*fForm.currentBinary, kBinaryCharacters64) - column;
    fClosedContentWidth = minimum.width() + std::max(0, lacking);
    resizeWithin(QSize(fClosedContentWidth, contentHeight()) + chrome());
}

void WindowLayout::mathShown(bool shown)
{
    fMathShown = shown;
    if (!shown) {
        arrange(eSideBySide);
        for (QLineEdit* field : fBinaryFields)
            field->setMinimumWidth(fFieldWidth);
        if (fSizeBeforeMath) {
            contentMinimum();
            QSize size = *fSizeBeforeMath;
            if (fNotationsChangedWithMath)
                size.setHeight(contentHeight() + chrome().height());
            resizeWithin(size, false);
            moveBack();
        }
        fSizeBeforeMath.reset();
        fNotationsChangedWithMath = false;
        return;
    }
    // The Value row keeps the room it has; the math area adds its own.
    if (fWindow.isVisible())
        fClosedContentWidth = fForm.centralWidget->width();
    const QSize before = fWindow.size();
    const QPoint place = fWindow.frameGeometry().topLeft();
    chooseArrangement();
    resizeWithin(contentSizeWithMath() + chrome());
    notePush(place);
    fSizeBeforeMath = before;
    fNotationsChangedWithMath = false;
}

void WindowLayout::notationsShown(const std::bitset<eNotationCount>& hidden)
{
    fHidden = hidden;
    for (std::size_t at = 0; at < fValueLabels.size(); ++at)
        fValueLabels[at]->setVisible(labelShown(at));
    const Arrangement before = fArrangement;
    if (fMathShown) {
        fNotationsChangedWithMath = true;
        chooseArrangement();
    } else {
        arrange(fArrangement);
    }
    if (fMathShown && fArrangement != before) {
        resizeWithin(contentSizeWithMath() + chrome());
        return;
    }
    const QScrollArea& area = *fForm.windowScrollArea;
    const int bar = area.verticalScrollBar()->isVisible() ? area.verticalScrollBar()->width() : 0;
    const int width = std::max(contentMinimum().width(), fWindow.width() - chrome().width() - bar);
    resizeWithin(QSize(width, contentHeight()) + chrome());
}

void WindowLayout::widthChosen(int bits)
{
    fBits = bits;
    showUuidRows();
    if (!fMathShown) {
        // Once the rows have taken the width's grids and fields, the window
        // grows to show them: the binary number whole, every row in height.
        QMetaObject::invokeMethod(
            this, [this] { fitClosedRows(true); }, Qt::QueuedConnection);
        return;
    }
    const Arrangement before = fArrangement;
    chooseArrangement();
    // The same arrangement keeps the window's size while the rows fit it.
    if (fArrangement == before
        && contentMinimum().width() <= fForm.windowScrollArea->viewport()->width()) {
        updateScrollArea();
        return;
    }
    resizeWithin(contentSizeWithMath() + chrome());
}

// The Value row grows to show a wider binary number whole, and the window
// to hold the rows the width adds, as far as the screen has room; it never
// shrinks for a narrower width. The grids' cells grow with the width, and
// the rows with them: a second pass, once, takes the height they then need.
void WindowLayout::fitClosedRows(bool again)
{
    if (fMathShown || !fWindow.isVisible() || fWindow.isMaximized() || fWindow.isFullScreen())
        return;
    const int lacking
        = FieldWidthFor(*fForm.currentBinary, binaryCharacters()) - fForm.currentBinary->width();
    const QSize content = contentMinimum();
    const QScrollArea& area = *fForm.windowScrollArea;
    const QSize shown = area.viewport()->size();
    if (lacking <= 0 && content.height() <= shown.height())
        return;
    const QSize rows(
        shown.width() + std::max(0, lacking), std::max(contentHeight(), shown.height()));
    resizeWithin(rows + chrome());
    if (again)
        QMetaObject::invokeMethod(
            this, [this] { fitClosedRows(false); }, Qt::QueuedConnection);
}

// Only 128 bits have a UUID: narrower, its rows take no room.
void WindowLayout::showUuidRows()
{
    const bool shown = fBits == 128 && !fHidden[eNotationUuid];
    fForm.labelUuid->setVisible(shown);
    for (QWidget* field : { fForm.currentUuid, fForm.operandUuid, fForm.resultUuid })
        field->setVisible(shown);
    fForm.operandUuidLabel->setVisible(shown && fArrangement != eSideBySide);
    fForm.resultUuidLabel->setVisible(shown && fArrangement == eStacked);
}

void WindowLayout::chooseArrangement()
{
    const int digits = FieldWidthFor(*fForm.currentBinary, binaryCharacters());
    for (QLineEdit* field : fBinaryFields)
        field->setMinimumWidth(std::max(fFieldWidth, digits));
    const QSize room = roomOnScreen() - chrome();
    for (Arrangement arrangement : { eSideBySide, eMathBelow, eStacked }) {
        arrange(arrangement);
        QSize needed = contentMinimum();
        if (needed.height() > room.height())
            needed.rwidth() += fForm.windowScrollArea->verticalScrollBar()->sizeHint().width();
        if (needed.width() <= room.width())
            return;
    }
}

void WindowLayout::arrange(Arrangement arrangement)
{
    fArrangement = arrangement;
    const bool mathBelow = arrangement != eSideBySide;
    fForm.windowLayout->setDirection(mathBelow ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    placeResultBlock(arrangement == eStacked);
    for (std::size_t at = 0; at < fOperandLabels.size(); ++at) {
        fOperandLabels[at]->setVisible(mathBelow && labelShown(at));
        fResultLabels[at]->setVisible(arrangement == eStacked && labelShown(at));
    }
    showUuidRows();

    // One above the other, the areas' fields start at the same place: each
    // grid's label column is as wide as the widest label of both, and as
    // much wider as the other grid's spacing after it is wider.
    int labels = 0;
    if (mathBelow)
        for (const std::vector<QLabel*>* column : { &fValueLabels, &fOperandLabels })
            for (std::size_t at = 0; at < column->size(); ++at)
                if (labelShown(at))
                    labels = std::max(labels, (*column)[at]->sizeHint().width());
    QGridLayout& value = *fForm.valueGrid;
    QGridLayout& math = *fForm.mathGrid;
    const int spacing = math.horizontalSpacing() - value.horizontalSpacing();
    value.setColumnMinimumWidth(0, mathBelow ? labels + std::max(0, spacing) : 0);
    math.setColumnMinimumWidth(0, mathBelow ? labels + std::max(0, -spacing) : 0);
}

// The Result row's block moves as a whole: every item keeps its place
// within the block, so the rows stay as the description lays them out.
void WindowLayout::placeResultBlock(bool belowOperand)
{
    if (belowOperand == fResultBelow)
        return;
    fResultBelow = belowOperand;
    QGridLayout& grid = *fForm.mathGrid;
    struct Placed {
        QLayoutItem* item;
        int row;
        int column;
        int rowSpan;
        int columnSpan;
    };
    std::vector<Placed> moved;
    // From the last, so that taking an item leaves the indexes still to come.
    for (int index = grid.count() - 1; index >= 0; --index) {
        Placed placed {};
        grid.getItemPosition(
            index, &placed.row, &placed.column, &placed.rowSpan, &placed.columnSpan);
        if (grid.itemAt(index) == fForm.mathBottomSpacer) {
            placed.row = belowOperand ? 2 * fBlockRows : fBlockRows;
        } else if (belowOperand && placed.column >= kResultColumn) {
            placed.row += fBlockRows;
            placed.column -= kResultColumn;
        } else if (!belowOperand && placed.row >= fBlockRows) {
            placed.row -= fBlockRows;
            placed.column += kResultColumn;
        } else {
            continue;
        }
        placed.item = grid.takeAt(index);
        moved.push_back(placed);
    }
    for (const Placed& placed : moved) {
        // A layout taken out has lost its parent, which adding it gives back.
        if (QLayout* layout = placed.item->layout())
            grid.addLayout(layout, placed.row, placed.column, placed.rowSpan, placed.columnSpan,
                layout->alignment());
        else
            grid.addItem(placed.item, placed.row, placed.column, placed.rowSpan, placed.columnSpan,
                placed.item->alignment());
    }
}

QSize WindowLayout::contentMinimum()
{
    // Inner layouts first: each one's sizes feed the one around it.
    for (QLayout* layout :
        std::initializer_list<QLayout*> { fForm.mathGrid, fForm.valueGrid, fForm.windowLayout }) {
        layout->invalidate();
        layout->activate();
    }
    return fForm.windowLayout->totalMinimumSize();
}

int WindowLayout::contentHeight() const
{
    return std::max(fForm.windowLayout->totalMinimumSize().height(),
        fForm.windowLayout->totalSizeHint().height());
}

QSize WindowLayout::contentSizeWithMath()
{
    const QSize minimum = contentMinimum();
    int width = std::max(minimum.width(), fClosedContentWidth);
    // Beside the Value row, the math area adds its own width, as far as the
    // screen has room: the Value row gives up what is missing.
    if (fArrangement == eSideBySide) {
        const int added = fForm.expandedBox->sizeHint().width() + fForm.windowLayout->spacing();
        const int room = roomOnScreen().width() - chrome().width();
        width = std::max(width, std::min(fClosedContentWidth + added, room));
    }
    return { width, contentHeight() };
}

QSize WindowLayout::chrome() const
{
    const int frame = 2 * fForm.windowScrollArea->frameWidth();
    const QWidget* menu = fWindow.menuWidget();
    QSize around(frame, frame + (menu && !menu->isHidden() ? menu->sizeHint().height() : 0));
    // A panel docked beside the rows keeps its width: the rows get theirs
    // besides it.
    const int separator = dockSeparator();
    for (QDockWidget* dock : fWindow.findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly)) {
        const Qt::DockWidgetArea area = fWindow.dockWidgetArea(dock);
        if (dock->isVisible() && !dock->isFloating()
            && (area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea))
            around.rwidth() += dock->width() + separator;
    }
    return around;
}

QSize WindowLayout::roomOnScreen() const
{
    const QSize frame = fWindow.frameGeometry().size() - fWindow.geometry().size();
    return fWindow.screen()->availableGeometry().size() - frame;
}

void WindowLayout::resizeWithin(QSize wanted, bool withScrollBars)
{
    fWanted = wanted;
    fWantedWithScrollBars = withScrollBars;
    const QSize room = roomOnScreen();
    if (withScrollBars) {
        const QScrollArea& area = *fForm.windowScrollArea;
        const int barWidth = area.verticalScrollBar()->sizeHint().width();
        const int barHeight = area.horizontalScrollBar()->sizeHint().height();
        const bool scrollsDown = wanted.height() > room.height();
        if (scrollsDown)
            wanted.rwidth() += barWidth;
        if (wanted.width() > room.width()) {
            wanted.rheight() += barHeight;
            if (!scrollsDown && wanted.height() > room.height())
                wanted.rwidth() += barWidth;
        }
    }
    const QSize size = wanted.boundedTo(room);
    fWindow.resize(size);
    keepOnScreen(size);
    updateScrollArea();
}

// A window that grew past the screen's edge moves back onto it.
void WindowLayout::keepOnScreen(QSize size)
{
    if (!fWindow.isVisible())
        return;
    const QRect available = fWindow.screen()->availableGeometry();
    const QRect frame = fWindow.frameGeometry();
    const QSize framed = size + frame.size() - fWindow.geometry().size();
    const QPoint inside(
        std::max(available.left(), std::min(frame.left(), available.right() + 1 - framed.width())),
        std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - framed.height())));
    if (inside != frame.topLeft())
        fWindow.move(inside);
}

// The scroll area learns the content's new size now, not after the event
// loop has run: what the window shows is decided when it returns.
void WindowLayout::updateScrollArea()
{
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(fForm.windowScrollArea, &request);
}

int WindowLayout::binaryCharacters() const
{
    const int bits = fBits;
    // Groups of four digits with a space between each two.
    return std::max(kBinaryCharacters32, bits + bits / 4 - 1);
}

// Focus that the keyboard moves out of sight, with a mnemonic or a key
// that opens the math area, brings the scroll area along.
void WindowLayout::scrollToFocus(QWidget* focused)
{
    if (focused && fForm.centralWidget->isAncestorOf(focused))
        fForm.windowScrollArea->ensureWidgetVisible(focused);
}

void WindowLayout::showPanel(QDockWidget& panel, bool shown)
{
    if (!fPanels.contains(&panel)) {
        fWindow.addDockWidget(Qt::RightDockWidgetArea, &panel);
        panel.installEventFilter(this);
        fPanels.append(&panel);
        connect(&panel, &QObject::destroyed, this, [this, &panel] {
            fPanels.removeOne(&panel);
            fGrownFor.remove(&panel);
            fGrownDownFor.remove(&panel);
        });
    }
    panel.setVisible(shown);
    if (shown)
        panel.raise();
}

void WindowLayout::takeUpPanel(QDockWidget& panel, QSize size, bool below)
{
    showPanel(panel, false);
    fGrownFor.insert(&panel, 0);
    showPanel(panel, true);
    if (below) {
        dockBelow(panel, false);
        if (size.height() > 0)
            fWindow.resizeDocks({ &panel }, { size.height() }, Qt::Vertical);
    } else if (size.width() > 0) {
        fWindow.resizeDocks({ &panel }, { size.width() }, Qt::Horizontal);
    }
}

void WindowLayout::makeRoom(QDockWidget& panel)
{
    fGrownFor.insert(&panel, 0);
    if (panel.isFloating() || fWindow.isMaximized() || fWindow.isFullScreen())
        return;
    const int separator = dockSeparator();
    const int wanted = WantedWidth(panel);
    const QRect room = fWindow.screen()->availableGeometry();
    const QRect frame = fWindow.frameGeometry();
    // Beside the rows only where the screen holds the rows and the panel:
    // a panel that would squeeze the rows goes under them instead, where the
    // rows scroll down rather than sideways.
    const int rows = contentMinimum().width() + 2 * fForm.windowScrollArea->frameWidth()
        + fForm.windowScrollArea->verticalScrollBar()->sizeHint().width();
    int besideRows = rows + wanted + separator;
    for (const QDockWidget* other : docked(Qt::RightDockWidgetArea, &panel))
        besideRows += other->width() + separator;
    const QSize decorations = frame.size() - fWindow.size();
    if (besideRows > room.width() - decorations.width()) {
        dockBelow(panel);
        return;
    }
    if (fWindow.dockWidgetArea(&panel) != Qt::RightDockWidgetArea)
        fWindow.addDockWidget(Qt::RightDockWidgetArea, &panel);
    const int grown = std::clamp(room.width() - frame.width(), 0, wanted + separator);
    fGrownTo = fWindow.width() + grown;
    fGrownFor.insert(&panel, grown);
    fWindow.resize(fGrownTo, fWindow.height());
    if (frame.left() + frame.width() + grown > room.right() + 1) {
        fWindow.move(std::max(room.left(), room.right() + 1 - frame.width() - grown), frame.top());
        notePush(frame.topLeft());
    }
    fWindow.resizeDocks({ &panel }, { wanted }, Qt::Horizontal);
    // The dock may take more than it asked for: the window grows by what
    // the rows then lack, as far as the screen has room.
    if (QLayout* layout = fWindow.layout())
        layout->activate();
    const QRect grownFrame = fWindow.frameGeometry();
    const int lacking = rows - fForm.windowScrollArea->width();
    const int more = std::clamp(room.width() - grownFrame.width(), 0, std::max(lacking, 0));
    if (more > 0) {
        fGrownTo += more;
        fGrownFor[&panel] += more;
        fWindow.resize(fGrownTo, fWindow.height());
        if (grownFrame.right() + more > room.right()) {
            fWindow.move(room.right() + 1 - grownFrame.width() - more, grownFrame.top());
            notePush(grownFrame.topLeft());
        }
    }
}

void WindowLayout::dockBelow(QDockWidget& panel, bool grow)
{
    const std::vector<QDockWidget*> below = docked(Qt::BottomDockWidgetArea, &panel);
    QDockWidget* beside = below.empty() ? nullptr : below.back();
    const bool sideBySide = beside && WantedWidth(*beside) + WantedWidth(panel) <= fWindow.width();
    if (beside && sideBySide)
        fWindow.splitDockWidget(beside, &panel, Qt::Horizontal);
    else if (beside)
        fWindow.tabifyDockWidget(beside, &panel);
    else if (fWindow.dockWidgetArea(&panel) != Qt::BottomDockWidgetArea)
        fWindow.addDockWidget(Qt::BottomDockWidgetArea, &panel);
    // A panel beside the rows keeps to the width it wants: the rows have the rest.
    for (QDockWidget* other : docked(Qt::RightDockWidgetArea, &panel))
        fWindow.resizeDocks({ other }, { WantedWidth(*other) }, Qt::Horizontal);
    if (beside && !sideBySide) {
        panel.raise();
        return;
    }
    if (beside) {
        // The panel takes the width its content wants, the one beside it the rest.
        const int wanted = WantedWidth(panel);
        fWindow.resizeDocks(
            { beside, &panel }, { fWindow.width() - wanted, wanted }, Qt::Horizontal);
        return;
    }
    if (!grow)
        return;
    // The window grows down by the panel's height as far as the screen
    // has room; what is missing the rows give up, and scroll.
    const int separator = dockSeparator();
    const QRect room = fWindow.screen()->availableGeometry();
    const QRect frame = fWindow.frameGeometry();
    const int wanted = panel.sizeHint().height();
    const int grown = std::clamp(room.height() - frame.height(), 0, wanted + separator);
    fGrownDownTo = fWindow.height() + grown;
    fGrownDownFor.insert(&panel, grown);
    fWindow.resize(fWindow.width(), fGrownDownTo);
    if (frame.top() + frame.height() + grown > room.bottom() + 1) {
        fWindow.move(
            frame.left(), std::max(room.top(), room.bottom() + 1 - frame.height() - grown));
        notePush(frame.topLeft());
    }
    // Never more than half the window: the rows keep room to be read.
    fWindow.resizeDocks({ &panel }, { std::min(wanted, fGrownDownTo / 2) }, Qt::Vertical);
    updateScrollArea();
}

std::vector<QDockWidget*> WindowLayout::docked(
    Qt::DockWidgetArea area, const QDockWidget* except) const
{
    std::vector<QDockWidget*> panels;
    for (QDockWidget* each : fPanels)
        if (each != except && each->isVisible() && !each->isFloating()
            && fWindow.dockWidgetArea(each) == area)
            panels.push_back(each);
    return panels;
}

int WindowLayout::dockSeparator() const
{
    return fWindow.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, &fWindow);
}

void WindowLayout::giveRoomBack(QDockWidget& panel)
{
    const int grownDown = fGrownDownFor.take(&panel);
    if (grownDown > 0 && !fWindow.isMaximized() && !fWindow.isFullScreen()) {
        if (fWindow.height() == fGrownDownTo) {
            fGrownDownTo -= grownDown;
            fWindow.resize(fWindow.width(), fGrownDownTo);
            moveBack();
        } else {
            for (int& each : fGrownDownFor)
                each = 0;
        }
    }
    const int grown = fGrownFor.take(&panel);
    if (grown == 0 || fWindow.isMaximized() || fWindow.isFullScreen())
        return;
    // A window the user resized since keeps the size given it.
    if (fWindow.width() != fGrownTo) {
        for (int& each : fGrownFor)
            each = 0;
        return;
    }
    fGrownTo -= grown;
    fWindow.resize(fGrownTo, fWindow.height());
    moveBack();
}

// The first place counts: a window pushed twice goes back where the user
// had it.
void WindowLayout::notePush(QPoint from)
{
    const QPoint now = fWindow.frameGeometry().topLeft();
    if (now == from)
        return;
    fPushed = Pushed { fPushed && fPushed->to == from ? fPushed->from : from, now };
}

void WindowLayout::moveBack()
{
    if (!fPushed || fWindow.frameGeometry().topLeft() != fPushed->to)
        return;
    const QPoint from = fPushed->from;
    fPushed.reset();
    // Back only as far as the screen lets the window's size be there.
    const QRect room = fWindow.screen()->availableGeometry();
    const QSize frame = fWindow.frameGeometry().size();
    fWindow.move(std::max(room.left(), std::min(from.x(), room.right() + 1 - frame.width())),
        std::max(room.top(), std::min(from.y(), room.bottom() + 1 - frame.height())));
}
