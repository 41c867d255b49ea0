// How a window places its three rows and fits itself to its screen: side
// by side where the screen is wide enough, the math area under the Value
// row, or each row under the one before; a scroll area shows what the
// screen has no room for. Side panels are docked here, each the same way.
#ifndef BITLENS_WINDOWLAYOUT_H
#define BITLENS_WINDOWLAYOUT_H

#include "engine/Notation.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QSize>

#include <bitset>
#include <optional>
#include <vector>

class QDockWidget;
class QLabel;
class QLineEdit;
class QMainWindow;
class QWidget;

namespace Ui {
class ConverterDocument;
}

// A 32-bit and a 64-bit binary number, group spaces included.
constexpr int kBinaryCharacters32 = 39;
constexpr int kBinaryCharacters64 = 79;

// How wide `field` must be to show a text of `characters` digits whole, the
// cursor after it included. All digits of the fixed font are equally wide.
int FieldWidthFor(const QLineEdit& field, int characters);

class WindowLayout : public QObject {
    Q_OBJECT

public:
    // From the widest to the narrowest.
    enum Arrangement {
        // Value, Operand and Result beside each other, on the Value row's labels.
        eSideBySide,
        // The math area under the Value row, Operand and Result beside each other.
        eMathBelow,
        // Each row under the one before, each with its own labels.
        eStacked
    };

    WindowLayout(QMainWindow& window, Ui::ConverterDocument& form);

    // The window with the math area closed, wide enough for the Value row
    // to show a 64-bit binary number whole, as far as the screen allows.
    void fitValueRow();
    // Arranges and sizes the window for the math area just shown or hidden.
    void mathShown(bool shown);
    // Arranges the math area for the width the document now has.
    void widthChosen(int bits);
    // Shows the labels of the notations not `hidden` and fits the window's
    // height to the rows, whose hidden fields the view has hidden: the
    // window keeps its width unless the rows now fit another arrangement.
    void notationsShown(const std::bitset<eNotationCount>& hidden);
    // A side panel, docked at the window's right the first time: shown, the
    // window grows by the panel's width as far as its screen has room, so
    // that the rows keep theirs; hidden, by this or by the panel's own close
    // button, the panel gives that room back unless the window was resized
    // since.
    void showPanel(QDockWidget& panel, bool shown);
    // A panel shown as a window was left, `size` large, beside the rows or
    // `below` them: the window's size taken up already holds it, so the
    // window neither grows for it nor, when it is hidden, gives room back.
    void takeUpPanel(QDockWidget& panel, QSize size, bool below);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeRoom(QDockWidget& panel);
    // The panel docked under the rows, beside another panel there or, where
    // the two would not have room side by side, as tabs; the window grows
    // down for it when `grow`.
    void dockBelow(QDockWidget& panel, bool grow = true);
    // The panels shown and docked in `area`, but `except`.
    std::vector<QDockWidget*> docked(Qt::DockWidgetArea area, const QDockWidget* except) const;
    int dockSeparator() const;
    void giveRoomBack(QDockWidget& panel);
    // The widest arrangement in which every binary field shows the width's
    // digits whole and the window fits the screen's width; the narrowest
    // when none does.
    void showUuidRows();
    void fitClosedRows(bool again);
    void chooseArrangement();
    void arrange(Arrangement arrangement);
    void placeResultBlock(bool belowOperand);
    // A row's label at `at` (by Notation, then the bit grid's) is shown.
    bool labelShown(std::size_t at) const { return at >= fHidden.size() || !fHidden[at]; }
    // The laid-out content's smallest size, its layouts redone first.
    QSize contentMinimum();
    int contentHeight() const;
    QSize contentSizeWithMath();
    // What the window adds around the scrolled content: its menu bar and
    // the panels docked beside it.
    QSize chrome() const;
    // The most the window may be: the screen's free area, less the frame.
    QSize roomOnScreen() const;
    // The window at `wanted`, or as much of it as the screen holds, with
    // room for the scroll bars it then needs.
    void resizeWithin(QSize wanted, bool withScrollBars = true);
    void keepOnScreen(QSize size);
    void updateScrollArea();
    // Characters of a binary number at the document's width.
    int binaryCharacters() const;
    void scrollToFocus(QWidget* focused);

    QMainWindow& fWindow;
    Ui::ConverterDocument& fForm;
    std::vector<QLabel*> fValueLabels;
    std::vector<QLabel*> fOperandLabels;
    std::vector<QLabel*> fResultLabels;
    std::vector<QLineEdit*> fBinaryFields;
    // Every field's least width, which a binary field widens from.
    int fFieldWidth = 0;
    // The grid rows of one row's block: its header, fields and controls.
    int fBlockRows = 0;
    Arrangement fArrangement = eSideBySide;
    bool fResultBelow = false;
    bool fMathShown = false;
    // The Value row's width with the math area closed, for opening to add to.
    int fClosedContentWidth = 0;
    // The size the window was last asked to take, for the screen's room to
    // bound again once the frame is known.
    QSize fWanted;
    bool fWantedWithScrollBars = true;
    // The window's size before the math area opened, which closing gives back.
    std::optional<QSize> fSizeBeforeMath;
    // Notations shown or hidden since the math area opened: closing it gives
    // back that width only, and the height the rows then need.
    bool fNotationsChangedWithMath = false;
    std::bitset<eNotationCount> fHidden;
    int fBits = 32;
    // The panels docked; those shown, each with the width the window grew
    // by for it; the window's width once it had grown.
    QList<QDockWidget*> fPanels;
    QHash<QDockWidget*, int> fGrownFor;
    int fGrownTo = 0;
    // The same for panels docked under the rows, by height.
    QHash<QDockWidget*, int> fGrownDownFor;
    int fGrownDownTo = 0;
    // Where the screen's edge last pushed the window from, and to: closing
    // what grew it puts it back, unless the user has moved it since.
    struct Pushed {
        QPoint from;
        QPoint to;
    };
    std::optional<Pushed> fPushed;
    void notePush(QPoint from);
    void moveBack();
};

#endif
