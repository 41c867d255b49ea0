#include "BitGrid.h"

#include "AccessibleInterfaces.h"

#include "engine/WideConverter.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QToolTip>

#include <QtAlgorithms>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace {

constexpr int kLineBits = 32;
// Fields that overlap more deeply share the last band.
constexpr int kMaxBandLevels = 4;

// The bits from `low` to `high`, both included.
UInt128 RangeMask(int low, int high)
{
    return WideMask(unsigned(high + 1)) & ~WideMask(unsigned(low));
}

int LowestBit(UInt128 bits)
{
    return LowHalf(bits) ? qCountTrailingZeroBits(LowHalf(bits))
                         : 64 + qCountTrailingZeroBits(HighHalf(bits));
}

// 2^bit in decimal, up to 2^127.
QString PowerOfTwo(int bit)
{
    char digits[40];
    *PutUnsigned128(digits, UInt128(1) << bit) = '\0';
    return QString::fromLatin1(digits);
}

QColor Blend(const QColor& from, const QColor& to, qreal amount)
{
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * amount,
        from.greenF() + (to.greenF() - from.greenF()) * amount,
        from.blueF() + (to.blueF() - from.blueF()) * amount);
}

} // namespace

// One bit as an accessible check box. It is no QObject: the grid's
// interface makes it on first use and keeps it, so its id stays the same
// for as long as the grid lives; a bit outside the current width is invalid.
class BitAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    BitAccessible(BitGrid* grid, int bit)
        : fGrid(grid)
        , fBit(bit)
    { }

    bool isValid() const override { return fGrid && fBit < fGrid->bitWidth(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return fGrid ? fGrid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return fGrid ? QAccessible::queryAccessibleInterface(fGrid.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        switch (t) {
        case QAccessible::Name: return BitGrid::tr("bit %1").arg(fBit);
        case QAccessible::Description: return fGrid->bitDescription(fBit);
        default: return QString();
        }
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect cell = fGrid->cellRect(fBit);
        return QRect(fGrid->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.checkable = true;
        state.checked = fGrid->bitIsSet(fBit);
        state.readOnly = fGrid->isReadOnly();
        state.disabled = !fGrid->isEnabled();
        state.invisible = !fGrid->isVisible();
        state.focusable = true;
        state.focused = fGrid->hasFocus() && fGrid->cursorBit() == fBit;
        state.selectable = true;
        state.selected = fGrid->isSelected(fBit);
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override
    {
        if (!isValid() || fGrid->isReadOnly() || !fGrid->isEnabled())
            return {};
        return { toggleAction(), pressAction() };
    }
    void doAction(const QString& name) override
    {
        if (actionNames().contains(name))
            fGrid->toggleBit(fBit);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int bit() const { return fBit; }
    const BitGrid* grid() const { return fGrid; }

private:
    QPointer<BitGrid> fGrid;
    const int fBit;
};

// The grid as a group of check boxes, most significant first, which is the
// order in which they are painted and read.
class BitGridAccessible : public QAccessibleWidget {
public:
    explicit BitGridAccessible(BitGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Grouping)
    { }
    ~BitGridAccessible() override
    {
        for (const QAccessible::Id id : fBitIds) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

    QAccessibleInterface* bitInterface(int bit) const
    {
        if (bit < 0 || bit >= grid()->bitWidth())
            return nullptr;
        QAccessible::Id& id = fBitIds[std::size_t(bit)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new BitAccessible(grid(), bit));
        return QAccessible::accessibleInterface(id);
    }

    int childCount() const override { return grid()->bitWidth(); }
    QAccessibleInterface* child(int index) const override
    {
        return bitInterface(grid()->bitWidth() - 1 - index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* bit = dynamic_cast<const BitAccessible*>(child);
        if (!bit || bit->grid() != grid() || !bit->isValid())
            return -1;
        return grid()->bitWidth() - 1 - bit->bit();
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return bitInterface(grid()->bitAt(grid()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override
    {
        return grid()->hasFocus() ? bitInterface(grid()->cursorBit()) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (!grid()->accessibleName().isEmpty())
                return grid()->accessibleName();
            return grid()->rowName().isEmpty() ? BitGrid::tr("Bits")
                                               : BitGrid::tr("%1, bits").arg(grid()->rowName());
        case QAccessible::Description:
            if (!grid()->accessibleDescription().isEmpty() || !grid()->isSigned())
                return grid()->accessibleDescription();
            return BitGrid::tr("signed: bit %1 is the sign").arg(grid()->bitWidth() - 1);
        case QAccessible::Value: return grid()->binaryText();
        default: return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = grid()->isReadOnly();
        return state;
    }

private:
    BitGrid* grid() const { return static_cast<BitGrid*>(widget()); }

    mutable std::array<QAccessible::Id, 128> fBitIds {};
};

QAccessibleInterface* CreateBitGridAccessible(QObject* grid)
{
    return new BitGridAccessible(static_cast<BitGrid*>(grid));
}

namespace {

BitGridAccessible* AccessibleOf(const BitGrid* grid)
{
    return dynamic_cast<BitGridAccessible*>(
        QAccessible::queryAccessibleInterface(const_cast<BitGrid*>(grid)));
}

} // namespace

BitGrid::BitGrid(QWidget* parent)
    : QWidget(parent)
{
    // Before any grid's interface is asked for: installed with the first grid.
    InstallAccessibleInterfaces();

    setFocusPolicy(Qt::StrongFocus);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    measure();
}

BitGrid::~BitGrid() = default;

void BitGrid::setBits(UInt128 bits, UInt16 width, bool isSigned)
{
    width = qMin<UInt16>(width, 128);
    bits &= WideMask(width);
    if (bits == fBits && width == fWidth && isSigned == fSigned)
        return;
    if (width == fWidth && isSigned == fSigned) {
        showBits(bits);
        return;
    }
    if (fSelectionAnchor >= width || fSelectionEnd >= width)
        fSelectionAnchor = fSelectionEnd = -1;
    const bool widthChanged = width != fWidth;
    const bool signChanged = isSigned != fSigned;
    const int oldSignBit = fSigned ? fWidth - 1 : -1;
    const UInt128 changed = (bits ^ fBits) & WideMask(qMin(width, fWidth));
    const int oldRoomLines = roomLines();
    fBits = bits;
    fWidth = width;
    fSigned = isSigned;
    if (widthChanged) {
        // Until the user places it, the cursor stays on the most significant bit.
        fCursor = qMax(0, fCursorPlaced ? qMin(fCursor, fWidth - 1) : fWidth - 1);
        fDragging = false;
        // To or from 128 bits: four lines instead of two.
        if (roomLines() != oldRoomLines)
            updateGeometry();
    }
    update();
    announceBits(changed);
    announceLayout(widthChanged, signChanged, oldSignBit);
}

void BitGrid::setReadOnly(bool readOnly)
{
    fReadOnly = readOnly;
    fDragging = false;
}

QSize BitGrid::sizeHint() const
{
    const int width = qMax(fPreferredWidth, this->width());
    return QSize(fPreferredWidth, heightForWidth(width));
}

QSize BitGrid::minimumSizeHint() const
{
    const CellMetrics smallest = metricsForPitch(fMinPitch);
    return QSize(smallest.lineWidth(), heightFor(smallest));
}

int BitGrid::heightForWidth(int width) const
{
    return heightFor(metricsForWidth(width));
}

// A cell is `pitch` wide inside a one-pixel frame that it shares with its
// neighbours, so a nibble is one framed box; nibbles stand apart by about a
// third of a cell and bytes by two thirds: 32 cells take the room of about
// 35 cells. Once as wide as tall, cells stay about square as they grow.
BitGrid::CellMetrics BitGrid::metricsForPitch(int pitch) const
{
    CellMetrics cells;
    cells.pitch = pitch;
    cells.cellHeight = qMax(fMinCellHeight, pitch + 1);
    cells.nibbleGap = qMax(2, qRound(pitch / 3.0));
    cells.byteGap = 2 * cells.nibbleGap;
    // The lines of 64 or 128 bits read as rows, not as one block.
    cells.lineGap = qMax(fMarkHeight + 1, cells.cellHeight / 3);
    return cells;
}

// The largest cells whose line fits `width`: a step of the pitch widens a
// line by about 35 pixels, so at most a few dozen are tried.
BitGrid::CellMetrics BitGrid::metricsForWidth(int width) const
{
    for (int pitch = fMaxPitch; pitch > fMinPitch; --pitch) {
        const CellMetrics cells = metricsForPitch(pitch);
        if (cells.lineWidth() <= width)
            return cells;
    }
    return metricsForPitch(fMinPitch);
}

int BitGrid::heightFor(const CellMetrics& cells) const
{
    const int lines = roomLines();
    return fMarkHeight + lines * (cells.cellHeight + fLabelHeight + bandsHeight())
        + (lines - 1) * cells.lineGap;
}

// Everything derives from the font's metrics, so it scales with the font.
// The bit numbers are drawn in the grid's own font, the fields' fixed-width
// one: legible, and no second font to load.
void BitGrid::measure()
{
    // A new font or style that leaves the font as it was changes nothing
    // measured here; a grid's own font arrives before the first measure.
    if (fMinPitch > 0 && font() == fMeasuredFont)
        return;
    fMeasuredFont = font();
    const QFontMetrics metrics(font());
    fDigitWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    fMinPitch = fDigitWidth + qMax(1, qRound(fDigitWidth / 6.0));
    // Inside its frame, a cell is at least as tall as the field's text.
    fMinCellHeight = metrics.height() + 2;
    fMaxPitch = qMax(fMinPitch, 2 * fMinCellHeight);
    fLabelHeight = metrics.ascent() + 2;
    fMarkHeight = qMax(3, qRound(metrics.height() / 6.0));
    fBandHeight = metrics.height() + 3;
    // Up to square cells the height stays that of the smallest ones. The
    // grid asks for that much room, and at least as much as a field wide
    // enough for a 64-bit binary number (79 digits, a cursor and the
    // field's margins) has: the window gives its rows that width when it
    // opens, and the height asked for is then the height the grid takes.
    fPreferredWidth
        = qMax(metricsForPitch(qMax(fMinPitch, fMinCellHeight - 1)).lineWidth(), 84 * fDigitWidth);
    fitCells();
}

void BitGrid::fitCells()
{
    const CellMetrics cells = metricsForWidth(width());
    const bool newHeight = heightFor(cells) != heightFor(fCells);
    fCells = cells;
    if (newHeight)
        updateGeometry();
}

void BitGrid::resizeEvent(QResizeEvent* event)
{
    fitCells();
    QWidget::resizeEvent(event);
}

int BitGrid::lineTop(int line) const
{
    return fMarkHeight + line * (fCells.cellHeight + fLabelHeight + bandsHeight() + fCells.lineGap);
}

// Lines are right-aligned, so that a bit keeps its column at every width of
// up to 32 bits, and each line of 64 or 128 bits lines up under the one
// above.
// A cell's rectangle includes its frame, one pixel of which it shares with
// each neighbour in its nibble.
QRect BitGrid::cellRect(int bit) const
{
    if (bit < 0 || bit >= fWidth)
        return QRect();
    const int column = bit % kLineBits;
    const int nibble = column / 4;
    const int byteGaps = nibble / 2;
    const int right = qMax(width(), fCells.lineWidth());
    const int nibbleRight = right - nibble * fCells.nibbleWidth()
        - (nibble - byteGaps) * fCells.nibbleGap - byteGaps * fCells.byteGap;
    const int left = nibbleRight - 1 - (column % 4 + 1) * fCells.pitch;
    return QRect(left, lineTop(lineOf(bit)), fCells.pitch + 1, fCells.cellHeight);
}

// Under the first bit of every nibble, and under the last bit of each line;
// centred under its cell where the cell is wide enough, else from the
// cell's digit on, under the nibble's other cells.
QRect BitGrid::labelRect(int bit) const
{
    const QRect cell = cellRect(bit);
    const int digits = bit < 10 ? 1 : bit < 100 ? 2 : 3;
    const int textWidth = digits * fDigitWidth;
    const int left = textWidth + 2 <= cell.width() ? cell.left() + (cell.width() - textWidth) / 2
                                                   : cell.left() + (cell.width() - fDigitWidth) / 2;
    return QRect(left, cell.bottom() + 1, textWidth + 1, fLabelHeight);
}

QRect BitGrid::signMarkRect() const
{
    const QRect cell = cellRect(fWidth - 1);
    return QRect(cell.left(), cell.top() - fMarkHeight, cell.width(), fMarkHeight - 1);
}

int BitGrid::bitAt(const QPoint& point) const
{
    for (int bit = 0; bit < fWidth; ++bit) {
        if (cellRect(bit).contains(point))
            return bit;
    }
    return -1;
}

// The nearer line, then the cell nearest along it; a drag past a line's end
// reaches the line's last bit, as a text selection would.
int BitGrid::nearestBit(const QPoint& point) const
{
    if (fWidth == 0)
        return -1;
    int line = 0;
    while (line + 1 < lineCount()
        && point.y() >= (lineTop(line) + lineTop(line + 1) + fCells.cellHeight) / 2)
        ++line;
    const int high = lineHigh(line);
    const int low = lineLow(line);
    int nearest = high;
    int nearestDistance = INT_MAX;
    for (int bit = high; bit >= low; --bit) {
        const QRect cell = cellRect(bit);
        const int distance = point.x() < cell.left() ? cell.left() - point.x()
            : point.x() > cell.right()               ? point.x() - cell.right()
                                                     : 0;
        if (distance < nearestDistance) {
            nearest = bit;
            nearestDistance = distance;
        }
    }
    return nearest;
}

QString BitGrid::bitToolTip(int bit) const
{
    if (bit < 0 || bit >= fWidth)
        return QString();
    const QString power = PowerOfTwo(bit);
    return fSigned && bit == fWidth - 1
        ? tr("bit %1 \u00B7 byte %2 \u00B7 2^%1 = %3 \u00B7 sign").arg(bit).arg(bit / 8).arg(power)
        : tr("bit %1 \u00B7 byte %2 \u00B7 2^%1 = %3").arg(bit).arg(bit / 8).arg(power);
}

QString BitGrid::bitDescription(int bit) const
{
    if (bit < 0 || bit >= fWidth)
        return QString();
    const QString power = PowerOfTwo(bit);
    const QString description = fSigned && bit == fWidth - 1
        ? tr("byte %1, 2 to the power of %2 is %3, the sign").arg(bit / 8).arg(bit).arg(power)
        : tr("byte %1, 2 to the power of %2 is %3").arg(bit / 8).arg(bit).arg(power);
    const QString fields = fieldNamesAt(bit);
    return fields.isEmpty() ? description : tr("%1, in %2").arg(description, fields);
}

// "field MODE", or "fields MODE and COUNT" where fields overlap.
QString BitGrid::fieldNamesAt(int bit) const
{
    QStringList names;
    for (const BitField& field : fFields)
        if ((FieldMask(field) >> bit) & 1)
            names.append(QString::fromStdString(field.name));
    if (names.isEmpty())
        return QString();
    if (names.size() == 1)
        return tr("field %1").arg(names.front());
    const QString last = names.takeLast();
    return tr("fields %1 and %2").arg(names.join(QStringLiteral(", ")), last);
}

// --- Selection -----------------------------------------------------------------

std::optional<std::pair<int, int>> BitGrid::selection() const
{
    if (fSelectionAnchor < 0)
        return std::nullopt;
    return std::pair { qMax(fSelectionAnchor, fSelectionEnd),
        qMin(fSelectionAnchor, fSelectionEnd) };
}

bool BitGrid::isSelected(int bit) const
{
    const auto run = selection();
    return run && bit <= run->first && bit >= run->second;
}

void BitGrid::setSelection(int msb, int lsb)
{
    if (fWidth == 0)
        return;
    const int high = qBound(0, qMax(msb, lsb), fWidth - 1);
    const int low = qBound(0, qMin(msb, lsb), fWidth - 1);
    if (fSelectionAnchor == high && fSelectionEnd == low)
        return;
    fSelectionAnchor = high;
    fSelectionEnd = low;
    update();
}

void BitGrid::clearSelection()
{
    if (fSelectionAnchor < 0)
        return;
    fSelectionAnchor = fSelectionEnd = -1;
    update();
}

void BitGrid::selectTo(int bit)
{
    if (fSelectionAnchor < 0)
        fSelectionAnchor = fCursor;
    fSelectionEnd = bit;
    moveCursor(bit);
    update();
}

// --- Fields --------------------------------------------------------------------

void BitGrid::setFields(std::vector<BitField> fields)
{
    fFields = std::move(fields);
    // Each field on the highest band where it shares no bit with a field
    // already placed there.
    fFieldLevels.assign(fFields.size(), 0);
    std::vector<UInt128> taken;
    for (std::size_t index = 0; index < fFields.size(); ++index) {
        const UInt128 mask = FieldMask(fFields[index]);
        std::size_t level = 0;
        while (level < taken.size() && (taken[level] & mask) && level + 1 < kMaxBandLevels)
            ++level;
        if (level == taken.size())
            taken.push_back(0);
        taken[level] |= mask;
        fFieldLevels[index] = int(level);
    }
    const int levels = int(taken.size());
    if (levels != fBandLevels) {
        fBandLevels = levels;
        updateGeometry();
    }
    update();
    if (QAccessible::isActive()) {
        if (BitGridAccessible* grid = AccessibleOf(this)) {
            for (int bit = 0; bit < fWidth; ++bit) {
                if (QAccessibleInterface* each = grid->bitInterface(bit)) {
                    QAccessibleEvent event(each, QAccessible::DescriptionChanged);
                    QAccessible::updateAccessibility(&event);
                }
            }
        }
    }
}

QRect BitGrid::bandRect(std::size_t index, int line) const
{
    if (index >= fFields.size() || !FieldBitsValid(fFields[index]) || line >= lineCount())
        return QRect();
    const BitField& field = fFields[index];
    const int high = qMin(field.msb, lineHigh(line));
    const int low = qMax(field.lsb, lineLow(line));
    if (high < low)
        return QRect();
    const QRect left = cellRect(high);
    const QRect right = cellRect(low);
    const int top = left.bottom() + 1 + fLabelHeight + fFieldLevels[index] * fBandHeight;
    return QRect(QPoint(left.left(), top), QPoint(right.right(), top + fBandHeight - 2));
}

int BitGrid::fieldAt(const QPoint& point) const
{
    // The last drawn is on top.
    for (std::size_t index = fFields.size(); index-- > 0;)
        for (int line = 0; line < lineCount(); ++line)
            if (bandRect(index, line).contains(point))
                return int(index);
    return -1;
}

QString BitGrid::fieldToolTip(std::size_t index) const
{
    if (index >= fFields.size())
        return QString();
    const BitField& field = fFields[index];
    QString tip
        = tr("%1 \u00B7 bits %2 \u00B7 %3 = %4")
              .arg(QString::fromStdString(field.name), QString::fromStdString(FieldBitsText(field)),
                  QString::fromStdString(FieldHexText(field, wideBits())),
                  QString::fromStdString(FieldDecimalText(field, wideBits())));
    if (const NamedValue* named = NamedValueFor(field, FieldValue(field, wideBits())))
        tip += QStringLiteral(" \u00B7 ") + QString::fromStdString(named->name);
    if (!field.description.empty())
        tip += u'\n' + QString::fromStdString(field.description);
    return tip;
}

// Hues a golden angle apart, so that neighbours differ; pale under dark
// text, deep under light text.
QColor BitGrid::FieldColour(std::size_t index, const QPalette& palette)
{
    const int hue = int((index * 137 + 200) % 360);
    const bool dark = palette.color(QPalette::Window).lightnessF() < 0.5;
    return dark ? QColor::fromHsv(hue, 140, 115) : QColor::fromHsv(hue, 70, 245);
}

QString BitGrid::binaryText() const
{
    if (fWidth == 0)
        return QString();
    WideConverter number {};
    number.SetBitWidth(fWidth);
    number.SetUnsignedDec(fBits, eBigEndian);
    char text[WideConverter::kBinSize];
    number.GetBin(text);
    return QString::fromLatin1(text);
}

void BitGrid::editBits(UInt128 mask, bool value, bool continuesDrag)
{
    if (fReadOnly || !isEnabled())
        return;
    mask &= WideMask(fWidth);
    const UInt128 bits = value ? fBits | mask : fBits & ~mask;
    if (bits == fBits)
        return;
    showBits(bits);
    emit bitsEdited(bits, continuesDrag);
}

// Same width, new bits: only the cells that changed are painted again.
void BitGrid::showBits(UInt128 bits)
{
    const UInt128 changed = bits ^ fBits;
    fBits = bits;
    for (UInt128 rest = changed; rest; rest &= rest - 1)
        update(cellRect(LowestBit(rest)));
    announceBits(changed);
}

void BitGrid::moveCursor(int bit)
{
    fCursorPlaced = true;
    if (bit == fCursor)
        return;
    if (hasFocus()) {
        update(cellRect(fCursor));
        update(cellRect(bit));
    }
    fCursor = bit;
    announceCursor();
}

bool BitGrid::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int bit = bitAt(help->pos());
        const int field = bit < 0 ? fieldAt(help->pos()) : -1;
        if (field >= 0) {
            QToolTip::showText(help->globalPos(), fieldToolTip(std::size_t(field)), this);
        } else if (bit < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), bitToolTip(bit), this, cellRect(bit));
        }
        return true;
    }
    case QEvent::ShortcutOverride:
        if (handleKey(static_cast<QKeyEvent*>(event), false)) {
            event->accept();
            return true;
        }
        break;
    default: break;
    }
    return QWidget::event(event);
}

void BitGrid::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        measure();
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}

// Relative luminance and contrast ratio as the web's accessibility
// guidelines define them: 1 for equal colours, 21 for black on white.
namespace {

qreal Luminance(const QColor& colour)
{
    const auto linear
        = [](qreal c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

qreal Contrast(const QColor& a, const QColor& b)
{
    const qreal la = Luminance(a);
    const qreal lb = Luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// Of `candidates`, the one that stands out most on `fill`.
QColor InkOn(const QColor& fill, std::initializer_list<QColor> candidates)
{
    QColor best = *candidates.begin();
    for (const QColor& candidate : candidates)
        if (Contrast(candidate, fill) > Contrast(best, fill))
            best = candidate;
    return best;
}

} // namespace

// A set bit is filled with the palette's highlight, the colour of "chosen"
// everywhere else on the desktop, unless that is too close to the field
// colour (some palettes highlight in a pale tint): then in the text colour,
// as inverse video. Clear digits are dimmed, so that the ones stand out.
BitGrid::CellColours BitGrid::ColoursFor(const QPalette& palette, QPalette::ColorGroup group)
{
    const QColor base = palette.color(group, QPalette::Base);
    const QColor text = palette.color(group, QPalette::Text);
    const QColor highlight = palette.color(group, QPalette::Highlight);
    CellColours colours;
    colours.clearFill = base;
    colours.clearInk = Blend(base, text, 0.6);
    colours.setFill = Contrast(highlight, base) >= 2.5 ? highlight : text;
    // The palette's own text on a highlight where it reads well; else what
    // reads best, black or white at worst.
    colours.setInk = palette.color(group, QPalette::HighlightedText);
    if (Contrast(colours.setInk, colours.setFill) < 4.5)
        colours.setInk
            = InkOn(colours.setFill, { base, text, QColor(Qt::black), QColor(Qt::white) });
    colours.frame = Blend(base, text, 0.35);
    // Seen on both fills: where the set fill is the text colour, the
    // window's text colour would vanish on a selected 1.
    colours.selection = palette.color(group, QPalette::WindowText);
    qreal seen = 0;
    for (const QPalette::ColorRole role :
        { QPalette::WindowText, QPalette::Link, QPalette::Highlight }) {
        const QColor candidate = palette.color(group, role);
        const qreal least
            = qMin(Contrast(candidate, colours.clearFill), Contrast(candidate, colours.setFill));
        if (least > seen) {
            seen = least;
            colours.selection = candidate;
        }
    }
    return colours;
}

QRegion BitGrid::selectionRegion() const
{
    const auto run = selection();
    if (!run)
        return QRegion();
    QRegion outline;
    for (int line = 0; line < lineCount(); ++line) {
        const int high = qMin(run->first, lineHigh(line));
        const int low = qMax(run->second, lineLow(line));
        if (high >= low)
            outline += QRect(cellRect(high).topLeft(), cellRect(low).bottomRight());
    }
    return outline;
}

void BitGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRegion& dirty = event->region();
    const QPalette& colors = palette();
    const QPalette::ColorGroup group = !isEnabled() ? QPalette::Disabled
        : isActiveWindow()                          ? QPalette::Active
                                                    : QPalette::Inactive;
    const CellColours colours = ColoursFor(colors, group);
    const QString digits[2] = { QStringLiteral("0"), QStringLiteral("1") };

    const int cursor = hasFocus() ? fCursor : -1;
    const int bar = qMax(2, fCells.cellHeight / 10);
    const auto paintCell = [&](int bit) {
        const QRect cell = cellRect(bit);
        if (!dirty.intersects(cell))
            return;
        const bool set = bitIsSet(bit);
        const QRect inside = cell.adjusted(1, 1, -1, -1);
        const QColor& ink = set ? colours.setInk : colours.clearInk;
        painter.fillRect(cell, bit == cursor ? colors.color(group, QPalette::Text) : colours.frame);
        painter.fillRect(inside, set ? colours.setFill : colours.clearFill);
        // A selected bit keeps its fill under a hatching, so that a
        // selected 0 never looks like a set 1; its digit stays clear of it.
        if (isSelected(bit)) {
            painter.fillRect(inside, QBrush(colours.selection, Qt::BDiagPattern));
            const QSize digit(fDigitWidth + 2, fontMetrics().ascent());
            painter.fillRect(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, digit, inside),
                set ? colours.setFill : colours.clearFill);
        }
        painter.setPen(ink);
        painter.drawText(inside, Qt::AlignCenter, digits[set]);
        // The cursor: a strong frame and a bar under the digit, as in a terminal.
        if (bit == cursor)
            painter.fillRect(
                QRect(inside.left(), inside.bottom() + 1 - bar, inside.width(), bar), ink);
    };
    for (int bit = fWidth - 1; bit >= 0; --bit) {
        if (bit != cursor)
            paintCell(bit);
    }
    // Last, as its frame shares a pixel with each neighbour.
    if (cursor >= 0)
        paintCell(cursor);

    // The run as one marked stretch, its gaps included: a frame two pixels
    // thick, on the cells' own frame and the pixel outside it.
    for (const QRect& run : selectionRegion()) {
        const QRect outer = run.adjusted(-1, -1, 1, 1);
        if (!dirty.intersects(outer))
            continue;
        for (const QRect& edge : QRegion(outer) - QRegion(outer.adjusted(2, 2, -2, -2)))
            painter.fillRect(edge, colours.selection);
    }

    painter.setPen(Blend(
        colors.color(group, QPalette::Window), colors.color(group, QPalette::WindowText), 0.8));
    for (int bit = fWidth - 1; bit >= 0; --bit) {
        if (bit % 4 != 3 && bit % kLineBits != 0)
            continue;
        const QRect label = labelRect(bit);
        if (dirty.intersects(label))
            painter.drawText(label, Qt::AlignLeft | Qt::AlignTop, QString::number(bit));
    }

    if (fSigned && fWidth > 0 && dirty.intersects(signMarkRect()))
        painter.fillRect(signMarkRect(), colors.color(group, QPalette::WindowText));

    for (std::size_t index = 0; index < fFields.size(); ++index) {
        const QColor colour = FieldColour(index, colors);
        const QString name = QString::fromStdString(fFields[index].name);
        for (int line = 0; line < lineCount(); ++line) {
            const QRect band = bandRect(index, line);
            if (band.isEmpty() || !dirty.intersects(band))
                continue;
            painter.fillRect(band, colour);
            // A thin edge shows where one band ends and its neighbour starts.
            painter.fillRect(QRect(band.topLeft(), QSize(1, band.height())),
                colors.color(group, QPalette::WindowText));
            painter.fillRect(QRect(band.topRight(), QSize(1, band.height())),
                colors.color(group, QPalette::WindowText));
            painter.setPen(colors.color(group, QPalette::WindowText));
            const QRect text = band.adjusted(3, 0, -3, 0);
            painter.drawText(text, Qt::AlignCenter,
                painter.fontMetrics().elidedText(name, Qt::ElideRight, text.width()));
        }
    }
}

void BitGrid::mousePressEvent(QMouseEvent* event)
{
    const int bit = event->button() == Qt::LeftButton ? bitAt(event->position().toPoint()) : -1;
    if (bit < 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    // A Shift+drag selects the bits it passes, from the one pressed.
    if (event->modifiers() & Qt::ShiftModifier) {
        fSelecting = true;
        fSelectionAnchor = bit;
        selectTo(bit);
        return;
    }
    clearSelection();
    moveCursor(bit);
    if (fReadOnly)
        return;
    // Every bit the drag passes takes the value this first bit takes.
    fDragging = true;
    fDragValue = !bitIsSet(bit);
    fDragLast = bit;
    toggleBit(bit);
}

void BitGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (fSelecting && (event->buttons() & Qt::LeftButton)) {
        const int bit = nearestBit(event->position().toPoint());
        if (bit >= 0 && bit != fSelectionEnd)
            selectTo(bit);
        return;
    }
    if (!fDragging || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const int bit = nearestBit(event->position().toPoint());
    if (bit < 0 || bit == fDragLast)
        return;
    // Bits run in reading order, so the cells a fast move skipped are the
    // bits between the last one reached and this one.
    const UInt128 passed = RangeMask(qMin(bit, fDragLast), qMax(bit, fDragLast));
    fDragLast = bit;
    moveCursor(bit);
    editBits(passed, fDragValue, true);
}

void BitGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        fDragging = fSelecting = false;
    QWidget::mouseReleaseEvent(event);
}

// Left and Right step through the bits in reading order, from one line into
// the next; Home and End go to the ends of the cursor's line, as in a text,
// and with Ctrl to the ends of the grid; Up and Down change lines. Space
// toggles the bit; 0 and 1 set it and step right, so a pattern can be typed.
bool BitGrid::handleKey(const QKeyEvent* event, bool apply)
{
    if (fWidth == 0)
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool shift = modifiers == Qt::ShiftModifier;
    const int line = lineOf(fCursor);
    const int lastLine = lineCount() - 1;

    int target = -1;
    if ((event->key() == Qt::Key_F10 && shift) || (event->key() == Qt::Key_Menu && plain)) {
        if (apply)
            showContextMenu(mapToGlobal(cellRect(fCursor).bottomLeft()));
        return true;
    }
    if (event->key() == Qt::Key_Escape && plain && fSelectionAnchor >= 0) {
        if (apply)
            clearSelection();
        return true;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        if (plain || shift)
            target = qMin(fCursor + 1, fWidth - 1);
        break;
    case Qt::Key_Right:
        if (plain || shift)
            target = qMax(fCursor - 1, 0);
        break;
    case Qt::Key_Home:
        if (plain || ctrl || shift)
            target = ctrl ? fWidth - 1 : lineHigh(line);
        break;
    case Qt::Key_End:
        if (plain || ctrl || shift)
            target = ctrl ? 0 : lineLow(line);
        break;
    case Qt::Key_Up:
        if (plain && lastLine > 0)
            target = line > 0 ? qMin(fCursor + kLineBits, fWidth - 1) : fCursor;
        break;
    case Qt::Key_Down:
        if (plain && lastLine > 0)
            target = line < lastLine ? fCursor - kLineBits : fCursor;
        break;
    default: break;
    }
    if (target >= 0) {
        if (apply && shift) {
            selectTo(target);
        } else if (apply) {
            clearSelection();
            moveCursor(target);
        }
        return true;
    }

    if (fReadOnly || !isEnabled())
        return false;
    if (event->key() == Qt::Key_Space && plain) {
        if (apply)
            toggleBit(fCursor);
        return true;
    }
    // By the text, so that a layout which needs Shift for digits still works.
    const QString text = event->text();
    if (text.size() != 1 || (text[0] != u'0' && text[0] != u'1')
        || (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    if (apply) {
        const int bit = fCursor;
        moveCursor(qMax(bit - 1, 0));
        editBits(UInt128(1) << bit, text[0] == u'1');
    }
    return true;
}

void BitGrid::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(event, true))
        QWidget::keyPressEvent(event);
}

// From the mouse, the menu names the bit it was opened on unless that bit is
// in the selection; from the keyboard, the selection or the cursor's bit.
void BitGrid::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() != QContextMenuEvent::Keyboard) {
        const int bit = bitAt(event->pos());
        if (bit < 0) {
            event->ignore();
            return;
        }
        moveCursor(bit);
        if (!isSelected(bit))
            setSelection(bit, bit);
        showContextMenu(event->globalPos());
        return;
    }
    showContextMenu(mapToGlobal(cellRect(fCursor).bottomLeft()));
}

void BitGrid::showContextMenu(const QPoint& globalPos)
{
    if (!fNamesBits || fWidth == 0)
        return;
    if (!fMenu) {
        fMenu = new QMenu(this);
        fNameBitsAction = fMenu->addAction(tr("&Name These Bits\u2026"));
        fNameBitsAction->setToolTip(tr("Add a bit field for the selected bits"));
        connect(fNameBitsAction, &QAction::triggered, this, [this] {
            const auto run = selection().value_or(std::pair { fCursor, fCursor });
            emit nameBitsRequested(run.first, run.second);
        });
    }
    fNameBitsAction->setEnabled(!fReadOnly && isEnabled());
    fMenu->popup(globalPos, fNameBitsAction);
    // Ready for Return, from the keyboard as from the mouse.
    fMenu->setActiveAction(fNameBitsAction);
}

void BitGrid::focusInEvent(QFocusEvent* event)
{
    update(cellRect(fCursor));
    QWidget::focusInEvent(event);
}

void BitGrid::focusOutEvent(QFocusEvent* event)
{
    fDragging = fSelecting = false;
    update(cellRect(fCursor));
    QWidget::focusOutEvent(event);
}

void BitGrid::announceBits(UInt128 changed) const
{
    if (!changed || !QAccessible::isActive())
        return;
    const BitGridAccessible* grid = AccessibleOf(this);
    if (!grid)
        return;
    QAccessible::State checked;
    checked.checked = true;
    for (UInt128 rest = changed; rest; rest &= rest - 1) {
        if (QAccessibleInterface* bit = grid->bitInterface(LowestBit(rest))) {
            QAccessibleStateChangeEvent event(bit, checked);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void BitGrid::announceLayout(bool widthChanged, bool signChanged, int oldSignBit) const
{
    if (!QAccessible::isActive())
        return;
    BitGridAccessible* grid = AccessibleOf(this);
    if (!grid)
        return;
    if (widthChanged) {
        QAccessibleEvent event(grid, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    }
    if (signChanged || widthChanged) {
        QAccessibleEvent event(grid, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
        for (const int bit : { oldSignBit, fSigned ? fWidth - 1 : -1 }) {
            if (QAccessibleInterface* sign = grid->bitInterface(bit)) {
                QAccessibleEvent signEvent(sign, QAccessible::DescriptionChanged);
                QAccessible::updateAccessibility(&signEvent);
            }
        }
    }
}

void BitGrid::announceCursor() const
{
    if (!hasFocus() || !QAccessible::isActive())
        return;
    if (const BitGridAccessible* grid = AccessibleOf(this)) {
        if (QAccessibleInterface* bit = grid->bitInterface(fCursor)) {
            QAccessibleEvent event(bit, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    }
}
