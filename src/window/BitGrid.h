// BitGrid: one row's number as a grid of its bits, most significant first,
// which the user toggles by click, drag or keyboard. One widget paints every
// cell; each bit is an accessible check box of its own. Its cells grow with
// the width it is given, so that the bits read like a picture.
#ifndef BITLENS_BITGRID_H
#define BITLENS_BITGRID_H

#include "engine/BaseConverter.h"
#include "engine/WideInteger.h"
#include "model/BitFieldLayout.h"

#include <QFont>
#include <QPalette>
#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

class QAction;
class QMenu;

class BitGrid : public QWidget {
    Q_OBJECT

public:
    explicit BitGrid(QWidget* parent = nullptr);
    ~BitGrid() override;

    // The stored bits within `width` (at most 128), as the binary and
    // hexadecimal fields show them: read big-endian, never byte-reversed.
    // Called on every keystroke for every grid, so a call that changes
    // nothing returns at once, and a new value repaints only the cells whose
    // bits changed; a new width or signedness repaints the whole grid.
    void setBits(UInt128 bits, UInt16 width, bool isSigned);
    // The low 64 bits; wideBits has them all.
    UInt64 bits() const { return LowHalf(fBits); }
    UInt128 wideBits() const { return fBits; }
    UInt16 bitWidth() const { return fWidth; }
    bool isSigned() const { return fSigned; }

    // A read-only grid shows its bits; clicks, keys and accessibility actions
    // change none of them. Its cursor still moves, for reading.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return fReadOnly; }

    // "Value" gives the accessible name "Value, bits". An accessibleName set
    // on the widget (from the .ui, say) takes precedence.
    void setRowName(const QString& name) { fRowName = name; }
    QString rowName() const { return fRowName; }

    // The bit the keyboard acts on: the most significant bit until the user
    // moves it; then it keeps its bit, within the width.
    int cursorBit() const { return fCursor; }

    // Where `bit` is painted, in the widget's coordinates; empty for a bit
    // outside the width.
    QRect cellRect(int bit) const;

    // The tooltip of a cell: "bit 37 · byte 4 · 2^37 = 137438953472", and
    // "· sign" after it for the sign bit.
    QString bitToolTip(int bit) const;
    // What assistive technology says after the bit's name ("bit 37"): the
    // rest of the tooltip in words, as speech reads no symbols well:
    // "byte 4, 2 to the power of 37 is 137438953472".
    QString bitDescription(int bit) const;
    // The bits as the binary field shows them, in groups of four.
    QString binaryText() const;

    // A run of bits the user selected with Shift and a drag or the arrow
    // keys, {msb, lsb}; nothing when none is.
    std::optional<std::pair<int, int>> selection() const;
    void setSelection(int msb, int lsb);
    // Ends the selection, as Escape in the grid does; what names, imports
    // or closes the fields a selection was made for calls it too.
    void clearSelection();
    // Whether the context menu offers "Name these bits…" (nameBitsRequested).
    void setNamesBits(bool names) { fNamesBits = names; }
    // The context menu once it has been asked for; null before.
    QMenu* contextMenu() const { return fMenu; }

    // Bit fields shown as bands under the bits, each with its name in its
    // colour; fields that share bits stand on bands of their own, stacked.
    // Room for the bands is reserved only while there are fields, and a new
    // size is asked for only when the number of stacked bands changes.
    void setFields(std::vector<BitField> fields);
    const std::vector<BitField>& fields() const { return fFields; }
    // Where field `index` is drawn on `line` (0 the upper); empty when it
    // has no bit there within the width.
    QRect bandRect(std::size_t index, int line) const;
    // "MODE · bits 31:28 · 0x1 = 1 · AUTO", then its description.
    QString fieldToolTip(std::size_t index) const;
    // A field's band colour, for the palette's light or dark look.
    static QColor FieldColour(std::size_t index, const QPalette& palette);

    // Room for two lines of 32 cells at every bit width up to 64, so that
    // neither a repaint nor a new width asks for a layout; 128 bits take
    // four lines, and only a width to or from 128 asks for one. The cells grow with the
    // widget's width, from about a digit wide up to twice the field text's
    // height, and are never less tall than that text; the height follows
    // the width, which the grid reports through heightForWidth. The least
    // width is that of the smallest cells; the size asked for is that of
    // square cells, or of a line as wide as a 64-bit binary field, or of
    // the width the grid has when it is wider.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // The colours a cell is painted in, for the palette's colour group:
    // a set bit's fill stands well apart from a clear bit's in any palette,
    // and each digit from its fill.
    struct CellColours {
        QColor clearFill;
        QColor clearInk;
        QColor setFill;
        QColor setInk;
        QColor frame;
        QColor selection; // the outline and hatching of a selected run
    };
    static CellColours ColoursFor(const QPalette& palette, QPalette::ColorGroup group);

signals:
    // The user changed bits: `newBits` is what the grid now shows. Not
    // raised by setBits, nor for a gesture that changed nothing. A drag
    // raises it for each bit it passes, `continuesDrag` after the first, so
    // that the drag can count as one edit.
    void bitsEdited(UInt128 newBits, bool continuesDrag);
    // "Name these bits…" chosen for the selected run (or the bit the menu
    // was opened on).
    void nameBitsRequested(int msb, int lsb);

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class BitAccessible;
    friend class BitGridAccessible;

    // The cells' size and spacing for a widget `width` pixels wide.
    struct CellMetrics {
        int pitch = 0; // from one cell's left edge to the next one's
        int cellHeight = 0;
        int nibbleGap = 0;
        int byteGap = 0;
        int lineGap = 0;
        int nibbleWidth() const { return 4 * pitch + 1; }
        int lineWidth() const { return 8 * nibbleWidth() + 4 * nibbleGap + 3 * byteGap; }
    };
    CellMetrics metricsForPitch(int pitch) const;
    CellMetrics metricsForWidth(int width) const;
    int heightFor(const CellMetrics& cells) const;
    void measure();
    // The cells for the present width; a new height asks for a layout.
    void fitCells();
    // Lines of 32 bits, the most significant on top.
    int lineCount() const { return qMax(1, fWidth / 32); }
    int lineOf(int bit) const { return lineCount() - 1 - bit / 32; }
    int lineHigh(int line) const { return qMin(fWidth - 1, 32 * (lineCount() - line) - 1); }
    int lineLow(int line) const { return 32 * (lineCount() - 1 - line); }
    // The lines the height has room for: two up to 64 bits, so that widths
    // up to 64 share one height.
    int roomLines() const { return qMax(2, lineCount()); }
    int lineTop(int line) const;
    int bandsHeight() const { return fBandLevels * fBandHeight; }
    // The selected run's outline on each line it reaches.
    QRegion selectionRegion() const;
    bool isSelected(int bit) const;
    // Extends the selection from its anchor (the cursor, when none) to `bit`.
    void selectTo(int bit);
    void showContextMenu(const QPoint& globalPos);
    // The fields whose bands hold `point`, or that hold `bit`.
    int fieldAt(const QPoint& point) const;
    QString fieldNamesAt(int bit) const;
    QRect labelRect(int bit) const;
    QRect signMarkRect() const;
    // The cell under `point`, or -1 between and outside cells.
    int bitAt(const QPoint& point) const;
    // The cell nearest to `point`, for a drag that strays off the cells.
    int nearestBit(const QPoint& point) const;
    bool bitIsSet(int bit) const { return bool((fBits >> bit) & 1); }

    // Sets the bits of `mask` to `value` as the user's edit: repaints them
    // and raises bitsEdited when anything changed.
    void editBits(UInt128 mask, bool value, bool continuesDrag = false);
    void toggleBit(int bit) { editBits(UInt128(1) << bit, !bitIsSet(bit)); }
    void showBits(UInt128 bits);
    void moveCursor(int bit);
    // Acts on a key the grid takes and says whether it takes it; with
    // `apply` false it only says, so that no shortcut takes such a key.
    bool handleKey(const QKeyEvent* event, bool apply);
    // Tells assistive technology, when one listens, what changed.
    void announceBits(UInt128 changed) const;
    void announceLayout(bool widthChanged, bool signChanged, int oldSignBit) const;
    void announceCursor() const;

    UInt128 fBits = 0;
    UInt16 fWidth = 0;
    bool fSigned = false;
    bool fReadOnly = false;
    QString fRowName;
    int fCursor = 0;
    bool fCursorPlaced = false;
    bool fDragging = false;
    bool fDragValue = false;
    int fDragLast = 0;
    bool fSelecting = false; // a Shift+drag selects instead of setting bits
    int fSelectionAnchor = -1; // -1: no selection
    int fSelectionEnd = -1;
    bool fNamesBits = false;
    QMenu* fMenu = nullptr;
    QAction* fNameBitsAction = nullptr;
    std::vector<BitField> fFields;
    std::vector<int> fFieldLevels; // each field's band, 0 the top
    int fBandLevels = 0;

    // Measured from the font on construction and on a font or style change.
    QFont fMeasuredFont;
    int fDigitWidth = 0;
    int fMinPitch = 0;
    int fMaxPitch = 0;
    int fMinCellHeight = 0;
    int fPreferredWidth = 0;
    int fLabelHeight = 0;
    int fMarkHeight = 0;
    int fBandHeight = 0;
    // For the present width.
    CellMetrics fCells;
};

#endif
