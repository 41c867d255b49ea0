#include "AccessibleInterfaces.h"

#include "BitGrid.h"
#include "FlagButton.h"
#include "MagnitudeLabel.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QVariant>

#include <algorithm>

namespace {

// A screen reader (Orca, over AT-SPI) reads a label by its name alone: a
// label has no text value on the bus, and a description is read out only
// for the focused object, which a label never is. So a magnitude label's
// name carries its magnitude after what it is: "Value binary magnitude:
// 1.500 KB". The name is put together only when asked for.
class MagnitudeAccessible : public QAccessibleWidget {
public:
    explicit MagnitudeAccessible(MagnitudeLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    { }

    QString text(QAccessible::Text t) const override
    {
        const auto* label = static_cast<const MagnitudeLabel*>(widget());
        switch (t) {
        case QAccessible::Name: return label->spokenText();
        case QAccessible::Value: return label->text();
        default: return QAccessibleWidget::text(t);
        }
    }
};

// The toolkit reports a read-only line edit as editable, so a screen reader
// announces a result as a field to type into. This one keeps the role, the
// caret and the text, so the result can still be read and walked character
// by character, and says read-only instead; it offers no editing.
class ReadOnlyFieldAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReadOnlyFieldAccessible(QLineEdit* field)
        : QAccessibleWidget(field, QAccessible::EditableText)
    { }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return field()->displayText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.editable = false;
        state.selectableText = true;
        return state;
    }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && field()->hasSelectedText()) {
            *startOffset = field()->selectionStart();
            *endOffset = *startOffset + field()->selectionLength();
        }
    }
    int selectionCount() const override { return field()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            field()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0)
            field()->setSelection(startOffset, endOffset - startOffset);
    }

    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }

    QString text(int startOffset, int endOffset) const override
    {
        const QString shown = field()->displayText();
        startOffset = std::clamp(startOffset, 0, int(shown.size()));
        endOffset = std::clamp(endOffset, startOffset, int(shown.size()));
        return shown.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(field()->displayText().size()); }

    // In screen coordinates. The caret's rectangle places the text; the
    // field's font, fixed-width, measures the way from the caret to `offset`.
    QRect characterRect(int offset) const override
    {
        const QLineEdit* edit = field();
        const QString shown = edit->displayText();
        if (offset < 0 || offset > shown.size())
            return {};
        const QFontMetrics metrics = edit->fontMetrics();
        const QRect caret = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        // The caret's rectangle reaches as far to either side of the caret.
        const int x = caret.left() + caret.width() / 2
            + metrics.horizontalAdvance(shown.left(offset))
            - metrics.horizontalAdvance(shown.left(edit->cursorPosition()));
        const int width = offset < shown.size() ? metrics.horizontalAdvance(shown.at(offset)) : 0;
        return QRect(edit->mapToGlobal(QPoint(x, caret.top())), QSize(width, caret.height()));
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return field()->cursorPositionAt(field()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        field()->setCursorPosition(endIndex);
        field()->setCursorPosition(startIndex);
    }
    // One font and colour throughout, so no run of attributes.
    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = std::max(offset, characterCount());
        return {};
    }

private:
    QLineEdit* field() const { return static_cast<QLineEdit*>(widget()); }
};

QAccessibleInterface* CreateInterface(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String(BitGrid::staticMetaObject.className()))
        return CreateBitGridAccessible(object);
    if (className == QLatin1String(FlagButton::staticMetaObject.className()))
        return CreateFlagAccessible(object);
    if (className == QLatin1String("MagnitudeLabel"))
        return new MagnitudeAccessible(static_cast<MagnitudeLabel*>(object));
    if (className == QLatin1String("QLineEdit")) {
        auto* field = static_cast<QLineEdit*>(object);
        if (field->isReadOnly())
            return new ReadOnlyFieldAccessible(field);
    }
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces()
{
    static const bool installed = (QAccessible::installFactory(CreateInterface), true);
    Q_UNUSED(installed);
}

void ReportReadOnly(QLineEdit& field)
{
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(&field);
    if (interface && interface->state().editable)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(interface));
}
