#include "BitFieldPanel.h"

#include "BitGrid.h"
#include "LayoutImport.h"

#include "model/ConverterModel.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A named value chosen in the value-name cell's list, for the panel to write.
constexpr int kChosenValueRole = Qt::UserRole + 1;

// The headers and what each cell says about itself, by Column.
struct ColumnText {
    const char* header;
    const char* toolTip; // %1: the field's name
};
const ColumnText kColumns[BitFieldPanel::eColumnCount] = {
    { QT_TRANSLATE_NOOP("BitFieldPanel", "Name"),
        QT_TRANSLATE_NOOP("BitFieldPanel", "The name of the field %1") },
    { QT_TRANSLATE_NOOP("BitFieldPanel", "Bits"),
        QT_TRANSLATE_NOOP("BitFieldPanel", "The bits of %1, msb:lsb, such as 31:28") },
    { QT_TRANSLATE_NOOP("BitFieldPanel", "Hex"),
        QT_TRANSLATE_NOOP(
            "BitFieldPanel", "%1 in hexadecimal: type a value to set these bits of the Value") },
    { QT_TRANSLATE_NOOP("BitFieldPanel", "Decimal"),
        QT_TRANSLATE_NOOP("BitFieldPanel",
            "%1 in decimal, signed when the field is: type a value to set these bits of the "
            "Value") },
    { QT_TRANSLATE_NOOP("BitFieldPanel", "Value"),
        QT_TRANSLATE_NOOP(
            "BitFieldPanel", "The name of %1's value: choose one to set these bits of the Value") },
    { QT_TRANSLATE_NOOP("BitFieldPanel", "Signed"),
        QT_TRANSLATE_NOOP("BitFieldPanel", "Whether %1 reads as a two's complement number") },
    { QT_TRANSLATE_NOOP("BitFieldPanel", "Description"),
        QT_TRANSLATE_NOOP("BitFieldPanel", "What %1 is for") },
    { QT_TRANSLATE_NOOP("BitFieldPanel", "Named values"),
        QT_TRANSLATE_NOOP(
            "BitFieldPanel", "Names for values of %1, written VALUE = NAME, separated by commas") },
};

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string ToUtf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

QString NamedValuesText(const BitField& field)
{
    QStringList parts;
    for (const NamedValue& named : field.values)
        parts.append(QStringLiteral("%1 = %2").arg(named.value).arg(FromUtf8(named.name)));
    return parts.join(QStringLiteral(", "));
}

// "0 = OFF, 1 = ON, 0x3 = AUTO" as the field's named values, descriptions
// kept for the values that stay; nothing when a part is not VALUE = NAME
// or a value does not fit the field.
std::optional<std::vector<NamedValue>> ReadNamedValues(const BitField& field, const QString& text)
{
    std::vector<NamedValue> values;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        if (part.trimmed().isEmpty())
            continue;
        const qsizetype equals = part.indexOf(u'=');
        if (equals < 0)
            return std::nullopt;
        const QString number = part.left(equals).trimmed();
        const QString name = part.mid(equals + 1).trimmed();
        const bool hex = number.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        const auto value = ReadFieldValue(field, ToUtf8(number), hex ? 16 : 10);
        if (!value || name.isEmpty())
            return std::nullopt;
        NamedValue named { *value, ToUtf8(name), {} };
        for (const NamedValue& old : field.values)
            if (old.value == named.value && old.name == named.name)
                named.description = old.description;
        values.push_back(std::move(named));
    }
    return values;
}

int WidthHolding(int msb)
{
    int width = 8;
    while (width <= msb)
        width *= 2;
    return width;
}

// The value-name cell: a list of the field's named values.
class NamedValueDelegate : public QStyledItemDelegate {
public:
    NamedValueDelegate(QObject* parent, std::function<const BitField*(int)> fieldAt)
        : QStyledItemDelegate(parent)
        , fFieldAt(std::move(fieldAt))
    { }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override
    {
        const BitField* field = fFieldAt(index.row());
        if (index.column() != BitFieldPanel::eColumnValueName || !field)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* list = new QComboBox(parent);
        list->setObjectName(QStringLiteral("bitFieldValueList"));
        list->setAccessibleName(BitFieldPanel::tr("Value of %1").arg(FromUtf8(field->name)));
        for (const NamedValue& named : field->values)
            list->addItem(BitFieldPanel::tr("%1 (%2)").arg(FromUtf8(named.name)).arg(named.value),
                QVariant::fromValue(qulonglong(named.value)));
        return list;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* list = qobject_cast<QComboBox*>(editor);
        if (!list) {
            QStyledItemDelegate::setEditorData(editor, index);
            return;
        }
        const int at
            = list->findText(index.data().toString() + QStringLiteral(" ("), Qt::MatchStartsWith);
        list->setCurrentIndex(std::max(at, 0));
    }
    void setModelData(
        QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* list = qobject_cast<QComboBox*>(editor);
        if (!list) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        if (list->currentIndex() >= 0)
            model->setData(index, list->currentData(), kChosenValueRole);
    }

private:
    std::function<const BitField*(int)> fFieldAt;
};

} // namespace

BitFieldPanel::BitFieldPanel(QMainWindow& window, const ConverterModel& model, BitGrid& valueGrid,
    WriteValue writeValue, QAction& exportAction, LayoutStore store)
    : QDockWidget(tr("Bit Fields"), &window)
    , fModel(model)
    , fValueGrid(valueGrid)
    , fWriteValue(std::move(writeValue))
    , fExportAction(exportAction)
    , fStore(std::move(store))
{
    setObjectName(QStringLiteral("bitFieldPanel"));
    setAccessibleName(tr("Bit fields"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    build();
    window.addDockWidget(Qt::RightDockWidgetArea, this);
    // Shown by showAndFocus, which makes room for it in the window.
    hide();
    listLayouts();
    showLayout();
}

// An open editor commits what it holds when its widget goes: no longer an edit.
BitFieldPanel::~BitFieldPanel()
{
    disconnect(fTable, nullptr, this, nullptr);
}

void BitFieldPanel::build()
{
    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);

    auto* top = new QHBoxLayout;
    auto* popupLabel = new QLabel(tr("Layout:"), content);
    fPopup = new QComboBox(content);
    fPopup->setObjectName(QStringLiteral("bitFieldLayoutPopup"));
    fPopup->setAccessibleName(tr("Bit-field layout"));
    fPopup->setToolTip(tr("The saved layouts; a damaged one is listed and cannot be chosen"));
    fPopup->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    fPopup->setMinimumContentsLength(16);
    popupLabel->setBuddy(fPopup);
    fRenameButton = new QPushButton(tr("Rename\u2026"), content);
    fRenameButton->setObjectName(QStringLiteral("bitFieldRenameButton"));
    fRenameButton->setToolTip(tr("Give the layout another name"));
    top->addWidget(popupLabel);
    top->addWidget(fPopup, 1);
    top->addWidget(fRenameButton);
    column->addLayout(top);

    fTable = new QTableWidget(0, eColumnCount, content);
    fTable->setObjectName(QStringLiteral("bitFieldTable"));
    fTable->setAccessibleName(tr("Bit fields"));
    fTable->setToolTip(tr("One line per field; edit a cell to change the field or its value"));
    QStringList headers;
    for (const ColumnText& text : kColumns)
        headers.append(tr(text.header));
    fTable->setHorizontalHeaderLabels(headers);
    fTable->verticalHeader()->hide();
    fTable->setSelectionBehavior(QAbstractItemView::SelectItems);
    fTable->setSelectionMode(QAbstractItemView::SingleSelection);
    fTable->setTabKeyNavigation(false);
    // Sized when the layout changes (sizeColumns), never per keystroke:
    // measuring every cell for each new value costs milliseconds.
    fTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    fTable->horizontalHeader()->setStretchLastSection(true);
    fTable->setItemDelegate(new NamedValueDelegate(fTable, [this](int row) -> const BitField* {
        if (!fLayout || row < 0 || std::size_t(row) >= fLayout->fields.size())
            return nullptr;
        return &fLayout->fields[std::size_t(row)];
    }));
    column->addWidget(fTable, 1);

    auto* buttons = new QHBoxLayout;
    fAddButton = new QPushButton(tr("Add Field"), content);
    fAddButton->setObjectName(QStringLiteral("bitFieldAddButton"));
    fAddButton->setToolTip(tr("Add a field for the bits selected in the Value's bit grid"));
    fRemoveButton = new QPushButton(tr("Remove Field"), content);
    fRemoveButton->setObjectName(QStringLiteral("bitFieldRemoveButton"));
    fRemoveButton->setToolTip(tr("Remove the field of the current line"));
    buttons->addWidget(fAddButton);
    buttons->addWidget(fRemoveButton);
    buttons->addStretch(1);
    column->addLayout(buttons);

    fMessage = new QLabel(content);
    fMessage->setObjectName(QStringLiteral("bitFieldMessage"));
    fMessage->setWordWrap(true);
    fMessage->setTextFormat(Qt::PlainText);
    fMessage->setAccessibleName(tr("Bit fields message"));
    column->addWidget(fMessage);
    setWidget(content);
    // The table first, then what acts on it.
    setTabOrder(fPopup, fRenameButton);
    setTabOrder(fRenameButton, fTable);
    setTabOrder(fTable, fAddButton);
    setTabOrder(fAddButton, fRemoveButton);

    connect(fPopup, &QComboBox::activated, this, &BitFieldPanel::chooseLayout);
    connect(fRenameButton, &QPushButton::clicked, this, &BitFieldPanel::renameLayout);
    connect(fAddButton, &QPushButton::clicked, this, &BitFieldPanel::addField);
    connect(fRemoveButton, &QPushButton::clicked, this, &BitFieldPanel::removeField);
    connect(fTable, &QTableWidget::itemChanged, this, &BitFieldPanel::cellEdited);
}

LayoutImport& BitFieldPanel::importer()
{
    if (!fImport)
        fImport = new LayoutImport(*parentWidget(), this,
            [this](const LayoutResult& result) { openLayout(result.layout, result.warnings); });
    return *fImport;
}

void BitFieldPanel::importLayout()
{
    importer().chooseFile();
}

void BitFieldPanel::exportLayout()
{
    if (fLayout)
        ExportLayoutInteractively(*parentWidget(), *fLayout);
}

// --- Layouts -------------------------------------------------------------------

void BitFieldPanel::listLayouts()
{
    fPopup->clear();
    fPopup->addItem(tr("No layout"), QString());
    int current = 0;
    for (const StoredLayout& stored : fStore.list()) {
        const int index = fPopup->count();
        fPopup->addItem(
            stored.damaged() ? tr("%1 (damaged)").arg(stored.name) : stored.name, stored.path);
        if (stored.damaged()) {
            fPopup->setItemData(index, stored.damage->text(), Qt::ToolTipRole);
            if (auto* items = qobject_cast<QStandardItemModel*>(fPopup->model()))
                items->item(index)->setEnabled(false);
        } else if (fLayout && stored.path == fPath) {
            current = index;
        }
    }
    // A layout that could not be saved is still the one shown.
    if (fLayout && current == 0) {
        current = fPopup->count();
        fPopup->addItem(tr("%1 (not saved)").arg(FromUtf8(fLayout->name)), fPath);
    }
    fPopup->setCurrentIndex(current);
}

void BitFieldPanel::chooseLayout(int index)
{
    const QString path = fPopup->itemData(index).toString();
    if (index == 0) {
        fLayout.reset();
        fPath.clear();
    } else if (path.isEmpty() || path == fPath) {
        return;
    } else {
        const LayoutResult loaded = fStore.load(path);
        if (!loaded.ok()) {
            listLayouts();
            tell(loaded.error->text());
            return;
        }
        fLayout = loaded.layout;
        fPath = path;
    }
    fNote.clear();
    fSaveProblem.clear();
    showLayout();
    tell({});
}

void BitFieldPanel::renameLayout()
{
    if (!fLayout)
        return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("Rename Layout"), tr("Layout name:"),
        QLineEdit::Normal, FromUtf8(fLayout->name), &ok);
    if (!ok || name.trimmed().isEmpty())
        return;
    fLayout->name = ToUtf8(name.trimmed());
    save();
    listLayouts();
    tell({});
}

void BitFieldPanel::openLayout(
    const BitFieldLayout& layout, const std::vector<LayoutFileError>& warnings)
{
    fLayout = layout;
    fPath.clear();
    fSaveProblem.clear();
    fNote.clear();
    if (!warnings.empty())
        fNote = tr("Lines of the file left out: %1; the first: %2")
                    .arg(warnings.size())
                    .arg(warnings.front().text());
    save();
    listLayouts();
    showLayout();
    showAndFocus();
    tell({});
}

void BitFieldPanel::nameBits(int msb, int lsb)
{
    if (!fLayout) {
        fLayout = BitFieldLayout {};
        fLayout->name = ToUtf8(tr("Untitled"));
        fPath.clear();
    }
    BitField field;
    field.msb = std::max(msb, lsb);
    field.lsb = std::min(msb, lsb);
    field.name = ToUtf8(field.msb == field.lsb
            ? QStringLiteral("BIT%1").arg(field.lsb)
            : QStringLiteral("BITS%1_%2").arg(field.msb).arg(field.lsb));
    fLayout->fields.push_back(field);
    if (fLayout->width != 0 && field.msb >= fLayout->width)
        fLayout->width = WidthHolding(field.msb);
    fNote.clear();
    layoutChanged(true);
    showAndFocus();
    const int row = fTable->rowCount() - 1;
    fTable->setCurrentCell(row, eColumnName);
    fTable->editItem(fTable->item(row, eColumnName));
}

void BitFieldPanel::addField()
{
    const auto run = fValueGrid.selection().value_or(
        std::pair { fValueGrid.cursorBit(), fValueGrid.cursorBit() });
    nameBits(run.first, run.second);
}

void BitFieldPanel::removeField()
{
    const int row = fTable->currentRow();
    if (!fLayout || row < 0 || std::size_t(row) >= fLayout->fields.size())
        return;
    fLayout->fields.erase(fLayout->fields.begin() + row);
    layoutChanged(true);
    fTable->setCurrentCell(std::min(row, fTable->rowCount() - 1), eColumnName);
}

void BitFieldPanel::showAndFocus()
{
    const bool wasHidden = isHidden();
    show();
    if (wasHidden)
        makeRoom();
    raise();
    // A dialog just closed (the register chooser) leaves the window to get
    // the focus back, which it does not without a window manager.
    window()->activateWindow();
    fTable->setFocus(Qt::ShortcutFocusReason);
    if (fTable->currentRow() < 0 && fTable->rowCount() > 0)
        fTable->setCurrentCell(0, eColumnName);
}

// --- The table -------------------------------------------------------------------

void BitFieldPanel::showLayout()
{
    const int rows = fLayout ? int(fLayout->fields.size()) : 0;
    {
        const QSignalBlocker quiet(fTable);
        fShowing = true;
        fTable->setRowCount(rows);
        for (int row = 0; row < rows; ++row)
            fillRow(row);
        fShowing = false;
    }
    showValue(true);
    sizeColumns();
    showBands();
    fExportAction.setEnabled(fLayout.has_value());
    fRenameButton->setEnabled(fLayout.has_value());
    fRemoveButton->setEnabled(rows > 0);
}

// Everything of the row but its value, items made where missing and
// rewritten in place otherwise: an edit's own item lives on.
void BitFieldPanel::fillRow(int row)
{
    const BitField& field = fLayout->fields[std::size_t(row)];
    const QString name = FromUtf8(field.name);
    const UInt64 overlapping = OverlappingBits(*fLayout);
    for (int column = 0; column < eColumnCount; ++column) {
        QTableWidgetItem* item = fTable->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            fTable->setItem(row, column, item);
        }
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
        if (column == eColumnSigned)
            flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
        if (column == eColumnValueName && field.values.empty())
            flags &= ~Qt::ItemIsEditable;
        item->setFlags(flags);
        const QString tip = tr(kColumns[column].toolTip).arg(name);
        item->setToolTip(tip);
        item->setData(
            Qt::AccessibleDescriptionRole, tr("%1, %2").arg(name, tr(kColumns[column].header)));
    }
    fTable->item(row, eColumnName)->setText(name);
    QTableWidgetItem* bits = fTable->item(row, eColumnBits);
    bits->setText(FromUtf8(FieldBitsText(field)));
    QFont font = fTable->font();
    if (FieldMask(field) & overlapping) {
        // Told in words too, in the tooltip and the message line.
        font.setItalic(true);
        bits->setToolTip(tr("%1 shares bits with another field").arg(name));
    }
    bits->setFont(font);
    fTable->item(row, eColumnSigned)->setCheckState(field.isSigned ? Qt::Checked : Qt::Unchecked);
    fTable->item(row, eColumnSigned)
        ->setData(Qt::AccessibleTextRole, field.isSigned ? tr("signed") : tr("unsigned"));
    fTable->item(row, eColumnDescription)->setText(FromUtf8(field.description));
    fTable->item(row, eColumnNamedValues)->setText(NamedValuesText(field));
}

// Each column as wide as its texts, the value columns as wide as the
// widest value each field can hold, so that no keystroke needs a new width.
void BitFieldPanel::sizeColumns()
{
    fTable->resizeColumnsToContents();
    if (!fLayout)
        return;
    const QFontMetrics metrics(fTable->font());
    const int margin
        = 2 * fTable->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, fTable) + 12;
    int hex = 0;
    int decimal = 0;
    int name = 0;
    for (const BitField& field : fLayout->fields) {
        if (!FieldBitsValid(field))
            continue;
        const UInt64 all = FieldMask(field);
        const UInt64 lowest = UInt64(1) << field.msb;
        hex = std::max(hex, metrics.horizontalAdvance(FromUtf8(FieldHexText(field, all))));
        decimal = std::max(decimal,
            metrics.horizontalAdvance(
                FromUtf8(FieldDecimalText(field, field.isSigned ? lowest : all))));
        for (const NamedValue& named : field.values)
            name = std::max(name, metrics.horizontalAdvance(FromUtf8(named.name)));
    }
    const auto atLeast = [&](int column, int width) {
        fTable->setColumnWidth(column, std::max(fTable->columnWidth(column), width + margin));
    };
    atLeast(eColumnHexadecimal, hex);
    atLeast(eColumnDecimal, decimal);
    atLeast(eColumnValueName, name);
}

void BitFieldPanel::showValue(bool everyRow)
{
    if (!fLayout)
        return;
    const UInt64 number = fModel.bits(eFieldTypeValue);
    const bool wasShowing = fShowing;
    fShowing = true;
    fShownValues.resize(fLayout->fields.size());
    for (std::size_t row = 0; row < fLayout->fields.size(); ++row) {
        const BitField& field = fLayout->fields[row];
        // A keystroke rewrites the rows whose fields it changed, no other.
        const UInt64 value = FieldValue(field, number);
        if (!everyRow && fShownValues[row] == value)
            continue;
        fShownValues[row] = value;
        const int at = int(row);
        fTable->item(at, eColumnHexadecimal)->setText(FromUtf8(FieldHexText(field, number)));
        fTable->item(at, eColumnDecimal)->setText(FromUtf8(FieldDecimalText(field, number)));
        const NamedValue* named = NamedValueFor(field, FieldValue(field, number));
        fTable->item(at, eColumnValueName)->setText(named ? FromUtf8(named->name) : QString());
    }
    fShowing = wasShowing;
}

void BitFieldPanel::showBands()
{
    fValueGrid.setFields(!isHidden() && fLayout ? fLayout->fields : std::vector<BitField> {});
}

void BitFieldPanel::cellEdited(QTableWidgetItem* item)
{
    if (fShowing || !fLayout || item->row() >= int(fLayout->fields.size()))
        return;
    const int row = item->row();
    switch (item->column()) {
    case eColumnHexadecimal: writeValue(row, item->text(), 16); return;
    case eColumnDecimal: writeValue(row, item->text(), 10); return;
    case eColumnValueName: {
        const QVariant chosen = item->data(kChosenValueRole);
        if (!chosen.isValid())
            return;
        {
            fShowing = true;
            item->setData(kChosenValueRole, QVariant());
            fShowing = false;
        }
        const BitField field = fLayout->fields[std::size_t(row)];
        fWriteValue(field, chosen.toULongLong());
        showValue(true);
        tell({});
        return;
    }
    default: break;
    }
    const BitField before = fLayout->fields[std::size_t(row)];
    const int widthBefore = fLayout->width;
    QString problem;
    const QString text = item->column() == eColumnSigned
        ? QString(item->checkState() == Qt::Checked ? u'1' : u'0')
        : item->text();
    if (editField(row, item->column(), text, problem)) {
        layoutChanged(item->column() == eColumnBits);
        return;
    }
    fLayout->fields[std::size_t(row)] = before;
    fLayout->width = widthBefore;
    fShowing = true;
    fillRow(row);
    fShowing = false;
    tell(problem);
}

// Applies the edit to the field; false, with what is wrong, when it cannot.
bool BitFieldPanel::editField(int row, int column, const QString& text, QString& problem)
{
    BitField& field = fLayout->fields[std::size_t(row)];
    switch (column) {
    case eColumnName:
        if (text.trimmed().isEmpty()) {
            problem = tr("A field needs a name.");
            return false;
        }
        field.name = ToUtf8(text.trimmed());
        return true;
    case eColumnBits: {
        const auto bits = ReadFieldBits(ToUtf8(text));
        if (!bits) {
            problem = tr("Bits are written msb:lsb, from 63 down to 0, such as 31:28.");
            return false;
        }
        field.msb = bits->first;
        field.lsb = bits->second;
        for (const NamedValue& named : field.values) {
            if (!FieldHolds(field, named.value)) {
                problem = tr("%1's named value %2 does not fit bits %3.")
                              .arg(FromUtf8(field.name), FromUtf8(named.name), text.trimmed());
                return false;
            }
        }
        if (fLayout->width != 0 && field.msb >= fLayout->width)
            fLayout->width = WidthHolding(field.msb);
        return true;
    }
    case eColumnSigned: field.isSigned = text == QLatin1String("1"); return true;
    case eColumnDescription: field.description = ToUtf8(text); return true;
    case eColumnNamedValues: {
        auto values = ReadNamedValues(field, text);
        if (!values) {
            problem = tr("Named values are written VALUE = NAME, separated by commas, each "
                         "value within the field: 0 = OFF, 1 = ON.");
            return false;
        }
        field.values = std::move(*values);
        return true;
    }
    default: return false;
    }
}

void BitFieldPanel::writeValue(int row, const QString& text, int base)
{
    const BitField field = fLayout->fields[std::size_t(row)];
    const auto value = ReadFieldValue(field, ToUtf8(text), base);
    if (!value) {
        showValue(true);
        tell(tr("%1 (bits %2) cannot hold %3.")
                 .arg(FromUtf8(field.name), FromUtf8(FieldBitsText(field)), text.trimmed()));
        return;
    }
    fWriteValue(field, *value);
    // Shown again even when the number did not change: "10" typed into a
    // decimal cell that showed 10 reads back as the model writes it.
    showValue(true);
    tell({});
}

void BitFieldPanel::layoutChanged(bool rowsChanged)
{
    save();
    if (rowsChanged) {
        showLayout();
    } else {
        fShowing = true;
        for (int row = 0; row < fTable->rowCount(); ++row)
            fillRow(row);
        fShowing = false;
        showValue(true);
        sizeColumns();
        showBands();
    }
    tell({});
}

void BitFieldPanel::save()
{
    if (!fLayout)
        return;
    const LayoutSave saved = fStore.save(*fLayout, fPath);
    if (!saved.ok()) {
        fSaveProblem = tr("Not saved: %1").arg(saved.error->text());
        return;
    }
    fSaveProblem.clear();
    if (saved.path != fPath) {
        fPath = saved.path;
        listLayouts();
    }
}

// The message line: what went wrong just now, then what stands.
void BitFieldPanel::tell(const QString& message)
{
    QStringList lines;
    for (const QString& line : { message, fSaveProblem, fNote })
        if (!line.isEmpty())
            lines.append(line);
    if (fLayout) {
        const auto pairs = OverlappingFields(*fLayout);
        if (!pairs.empty()) {
            const auto& [first, second] = pairs.front();
            lines.append(tr("%1 and %2 share bits; overlapping fields stand on bands of their "
                            "own under the Value's bits.")
                             .arg(FromUtf8(fLayout->fields[first].name),
                                 FromUtf8(fLayout->fields[second].name)));
        }
    }
    fMessage->setText(lines.join(u'\n'));
    fMessage->setVisible(!lines.isEmpty());
}

QString BitFieldPanel::message() const
{
    return fMessage->text();
}

void BitFieldPanel::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    showBands();
}

void BitFieldPanel::hideEvent(QHideEvent* event)
{
    QDockWidget::hideEvent(event);
    showBands();
    if (isHidden())
        giveRoomBack();
}

void BitFieldPanel::makeRoom()
{
    auto* window = qobject_cast<QMainWindow*>(parentWidget());
    if (!window || isFloating() || window->isMaximized() || window->isFullScreen()
        || !window->isVisible())
        return;
    const int wanted = std::max(sizeHint().width(), fTable->horizontalHeader()->length() + 40);
    const QRect room = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    fGrownBy = std::clamp(room.width() - frame.width(), 0, wanted);
    window->resize(window->width() + fGrownBy, window->height());
    if (frame.left() + frame.width() + fGrownBy > room.right() + 1)
        window->move(
            std::max(room.left(), room.right() + 1 - frame.width() - fGrownBy), frame.top());
    window->resizeDocks({ this }, { wanted }, Qt::Horizontal);
}

void BitFieldPanel::giveRoomBack()
{
    auto* window = qobject_cast<QMainWindow*>(parentWidget());
    if (!window || fGrownBy == 0)
        return;
    if (!window->isMaximized() && !window->isFullScreen())
        window->resize(window->width() - fGrownBy, window->height());
    fGrownBy = 0;
}
