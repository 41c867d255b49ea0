#include "BitFieldPanel.h"

#include "BitGrid.h"
#include "LayoutImport.h"

#include "files/LayoutStore.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

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
    { QT_TRANSLATE_NOOP("BitFieldPanel", "Name of value"),
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

// A header a word a line, so that its column is no wider for it than for
// its values: a narrow window keeps room for the rows.
QString WordALine(QString header)
{
    return header.replace(u' ', u'\n');
}

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string ToUtf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

// The popup's item data for lanes: their size.
constexpr int kLanesRole = Qt::UserRole + 1;

// The readings a field can have, as the reading popup lists them.
enum Reading { eReadUnsigned, eReadSigned, eReadFloat, eReadBfloat16 };

Reading ReadingOf(const BitField& field)
{
    if (FieldReadsFloat(field))
        return field.floatReading == eFieldFloatBfloat16 ? eReadBfloat16 : eReadFloat;
    return field.isSigned ? eReadSigned : eReadUnsigned;
}

// The widest text the decimal cell shows for a float of `bits`.
int FloatCharacters(int bits)
{
    switch (bits) {
    case 16: return 15; // "-1.1754944e-38" of bfloat16, a half's NaNs
    case 32: return 16;
    case 64: return 24;
    default: return 44;
    }
}

const BitField* fieldAt(const ConverterModel& model, int row)
{
    const BitFieldLayout* layout = model.layout();
    if (!layout || row < 0 || std::size_t(row) >= layout->fields.size())
        return nullptr;
    return &layout->fields[std::size_t(row)];
}

// The value-name cell: a list of the field's named values. The value chosen
// goes to the panel, which writes it into the Value row; the cell shows
// what the model then holds.
class NamedValueDelegate : public QStyledItemDelegate {
public:
    using FieldAt = std::function<const BitField*(int row)>;
    using Chosen = std::function<void(int row, UInt64 value)>;

    NamedValueDelegate(
        QObject* parent, FieldAt fieldAt, std::function<UInt128()> valueBits, Chosen chosen)
        : QStyledItemDelegate(parent)
        , fFieldAt(std::move(fieldAt))
        , fValueBits(std::move(valueBits))
        , fChosen(std::move(chosen))
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
        // Only a name the user picked is written as the list closes: left
        // untouched, or with Escape, it writes nothing.
        connect(list, &QComboBox::activated, list, [list] { list->setProperty(kChosen, true); });
        return list;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* list = qobject_cast<QComboBox*>(editor);
        if (!list) {
            QStyledItemDelegate::setEditorData(editor, index);
            return;
        }
        // Open on the name of the value the field holds.
        const BitField* field = fFieldAt(index.row());
        const int at = field
            ? list->findData(QVariant::fromValue(qulonglong(FieldValue(*field, fValueBits()))))
            : -1;
        list->setCurrentIndex(at);
    }
    void setModelData(
        QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* list = qobject_cast<QComboBox*>(editor);
        if (!list) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        // The user's choice, read as it is made.
        if (list->property(kChosen).toBool() && list->currentIndex() >= 0)
            fChosen(index.row(), list->currentData().toULongLong());
    }

protected:
    // Only the named values wrap; every other cell is one line, cut short.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() != BitFieldPanel::eColumnNamedValues)
            option->features &= ~QStyleOptionViewItem::WrapText;
    }

private:
    static constexpr const char* kChosen = "bitlensChosen";
    FieldAt fFieldAt;
    std::function<UInt128()> fValueBits;
    Chosen fChosen;
};

} // namespace

BitFieldPanel::BitFieldPanel(QMainWindow& window, ConverterModel& model, BitGrid& valueGrid,
    ShowChanges showChanges, std::shared_ptr<const LayoutStore> store)
    : QDockWidget(tr("Bit Fields"), &window)
    , fModel(model)
    , fValueGrid(valueGrid)
    , fShowChanges(std::move(showChanges))
    , fStore(std::move(store))
{
    setObjectName(QStringLiteral("bitFieldPanel"));
    setAccessibleName(tr("Bit fields"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    build();
    hide();
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
    fPopup->setMinimumContentsLength(6);
    popupLabel->setBuddy(fPopup);
    fRenameButton = new QPushButton(tr("Rename\u2026"), content);
    fRenameButton->setObjectName(QStringLiteral("bitFieldRenameButton"));
    fRenameButton->setToolTip(tr("Give the layout another name"));
    fDeleteButton = new QPushButton(tr("Delete"), content);
    fDeleteButton->setObjectName(QStringLiteral("bitFieldDeleteButton"));
    fDeleteButton->setToolTip(tr("Close the layout and delete it from the saved layouts; Undo "
                                 "brings it back"));
    top->addWidget(popupLabel);
    top->addWidget(fPopup, 1);
    top->addWidget(fRenameButton);
    top->addWidget(fDeleteButton);
    column->addLayout(top);

    fTable = new QTableWidget(0, eColumnCount, content);
    fTable->setObjectName(QStringLiteral("bitFieldTable"));
    fTable->setAccessibleName(tr("Bit fields"));
    fTable->setToolTip(tr("One line per field; edit a cell to change the field or its value"));
    QStringList headers;
    for (const ColumnText& text : kColumns)
        headers.append(
            &text == &kColumns[eColumnValueName] ? WordALine(tr(text.header)) : tr(text.header));
    fTable->setHorizontalHeaderLabels(headers);
    fTable->verticalHeader()->hide();
    fTable->setSelectionBehavior(QAbstractItemView::SelectItems);
    fTable->setSelectionMode(QAbstractItemView::SingleSelection);
    fTable->setTabKeyNavigation(false);
    // Sized when the layout changes (sizeColumns), never per keystroke:
    // measuring every cell for each new value costs milliseconds.
    fTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    fTable->horizontalHeader()->setStretchLastSection(true);
    // Long descriptions are cut short, told whole in their tooltips; the
    // named values wrap in the last column, which takes the room left.
    fTable->setWordWrap(true);
    fTable->setTextElideMode(Qt::ElideRight);
    fTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(fTable->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column == eColumnNamedValues)
            fTable->resizeRowsToContents();
    });
    fTable->setItemDelegate(new NamedValueDelegate(
        fTable, [this](int row) { return fieldAt(fModel, row); },
        [this] { return fModel.wideBits(eFieldTypeValue); },
        [this](int row, UInt64 value) { valueChosen(row, value); }));
    column->addWidget(fTable, 1);

    auto* buttons = new QHBoxLayout;
    fAddButton = new QPushButton(tr("Add Field"), content);
    fAddButton->setObjectName(QStringLiteral("bitFieldAddButton"));
    fAddButton->setToolTip(tr("Add a field for the bits selected in the Value's bit grid"));
    fRemoveButton = new QPushButton(tr("Remove Field"), content);
    fRemoveButton->setObjectName(QStringLiteral("bitFieldRemoveButton"));
    fRemoveButton->setToolTip(tr("Remove the field of the current line"));
    auto* readingLabel = new QLabel(tr("Read as:"), content);
    fReading = new QComboBox(content);
    fReading->setObjectName(QStringLiteral("bitFieldReadingPopup"));
    fReading->setAccessibleName(tr("Reading"));
    fReading->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    readingLabel->setBuddy(fReading);
    buttons->addWidget(fAddButton);
    buttons->addWidget(fRemoveButton);
    buttons->addStretch(1);
    buttons->addWidget(readingLabel);
    buttons->addWidget(fReading);
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
    setTabOrder(fRenameButton, fDeleteButton);
    setTabOrder(fDeleteButton, fTable);
    setTabOrder(fTable, fAddButton);
    setTabOrder(fAddButton, fRemoveButton);
    setTabOrder(fRemoveButton, fReading);

    connect(fPopup, &QComboBox::activated, this, &BitFieldPanel::chooseLayout);
    connect(fRenameButton, &QPushButton::clicked, this, &BitFieldPanel::renameLayout);
    connect(fDeleteButton, &QPushButton::clicked, this, &BitFieldPanel::deleteLayout);
    connect(fAddButton, &QPushButton::clicked, this, &BitFieldPanel::addField);
    connect(fRemoveButton, &QPushButton::clicked, this, &BitFieldPanel::removeField);
    connect(fTable, &QTableWidget::itemChanged, this, &BitFieldPanel::cellEdited);
    connect(fReading, &QComboBox::activated, this, &BitFieldPanel::chooseReading);
    connect(fTable, &QTableWidget::currentCellChanged, this, &BitFieldPanel::showReading);
}

LayoutImport& BitFieldPanel::importer()
{
    if (!fImport)
        fImport = new LayoutImport(
            *parentWidget(), this, [this](const LayoutResult& result) { openImported(result); });
    return *fImport;
}

void BitFieldPanel::importLayout()
{
    importer().chooseFile();
}

void BitFieldPanel::exportLayout()
{
    if (const BitFieldLayout* layout = fModel.layout())
        ExportLayoutInteractively(*parentWidget(), *layout);
}

// --- Layouts -------------------------------------------------------------------

// The popup is made again only when the saved layouts changed: made again
// while it hands over the user's choice, it would lose the focus.
void BitFieldPanel::listLayouts()
{
    const BitFieldLayout* layout = fModel.layout();
    const QString file = FromUtf8(fModel.layoutFile());
    std::vector<StoredLayout> stored = fStore->list();
    const auto found = std::find_if(stored.begin(), stored.end(),
        [&](const StoredLayout& each) { return !each.damaged() && each.path == file; });
    const int lanes = fModel.lanes();
    const bool unsaved = layout && !lanes && found == stored.end();
    std::vector<int> laneSizes = LaneSizes(fModel.width());
    if (lanes && std::find(laneSizes.begin(), laneSizes.end(), lanes) == laneSizes.end())
        laneSizes.push_back(lanes);
    const auto same = [](const StoredLayout& a, const StoredLayout& b) {
        return a.path == b.path && a.name == b.name && a.damaged() == b.damaged();
    };
    const QSignalBlocker quiet(fPopup);
    if (unsaved || fListedUnsaved || laneSizes != fListedLanes || lanes
        || !std::equal(stored.begin(), stored.end(), fListed.begin(), fListed.end(), same)) {
        fPopup->clear();
        fPopup->addItem(tr("No layout"), QString());
        for (const StoredLayout& each : stored) {
            const int index = fPopup->count();
            fPopup->addItem(
                each.damaged() ? tr("%1 (damaged)").arg(each.name) : each.name, each.path);
            if (each.damaged()) {
                fPopup->setItemData(index, each.damage->text(), Qt::ToolTipRole);
                if (auto* items = qobject_cast<QStandardItemModel*>(fPopup->model()))
                    items->item(index)->setEnabled(false);
            }
        }
        // A layout that could not be saved is still the one shown.
        if (unsaved)
            fPopup->addItem(tr("%1 (not saved)").arg(FromUtf8(layout->name)), file);
        // Generated on choosing, at the width.
        fPopup->insertSeparator(fPopup->count());
        for (int bits : laneSizes) {
            const int width = bits == lanes ? layout->width : fModel.width();
            fPopup->addItem(tr("Lanes: %1 \u00d7 %2").arg(width / bits).arg(bits));
            fPopup->setItemData(fPopup->count() - 1, bits, kLanesRole);
        }
        fListedUnsaved = unsaved;
        fListedLanes = laneSizes;
    }
    int current = !layout ? 0 : unsaved ? int(stored.size()) + 1 : 1 + int(found - stored.begin());
    if (lanes)
        current = fPopup->findData(lanes, kLanesRole);
    fPopup->setCurrentIndex(current);
    fListed = std::move(stored);
}

// The user's choice, read from the item chosen as it is made.
void BitFieldPanel::chooseLayout(int index)
{
    if (index == 0) {
        fShowChanges(fModel.closeLayout());
        return;
    }
    if (const QVariant lanes = fPopup->itemData(index, kLanesRole); lanes.isValid()) {
        fShowChanges(fModel.openLanes(lanes.toInt(), ToUtf8(tr("Lanes: %1 \u00d7 %2"))));
        return;
    }
    const QString path = fPopup->itemData(index).toString();
    if (path.isEmpty())
        return;
    const LayoutResult loaded = fStore->load(path);
    if (!loaded.ok()) {
        listLayouts();
        tell(loaded.error->text());
        return;
    }
    const ModelChanges changes = fModel.openLayout(loaded.layout, ToUtf8(path));
    fShowChanges(changes);
    if (changes.refused != eLayoutEditAccepted) {
        listLayouts();
        tell(refusal(-1, changes, {}));
    }
}

// A register imported again takes the place of its saved layout, which
// undo brings back; any other import is a new saved layout.
void BitFieldPanel::openImported(const LayoutResult& result)
{
    const QString name = FromUtf8(result.layout.name);
    std::optional<LayoutResult> saved;
    QString path;
    // Compared as bytes: the store's names keep what a QString would drop.
    for (const StoredLayout& each : fStore->list())
        if (!each.damaged() && ToUtf8(each.name) == result.layout.name) {
            if (LayoutResult loaded = fStore->load(each.path); loaded.ok()) {
                saved = std::move(loaded);
                path = each.path;
                break;
            }
        }
    const ModelChanges changes = saved
        ? fModel.replaceSavedLayout(result.layout, ToUtf8(path), saved->layout)
        : fModel.openLayout(result.layout, {});
    fShowChanges(changes);
    if (changes.refused != eLayoutEditAccepted) {
        tell(refusal(-1, changes, {}));
        return;
    }
    fValueGrid.clearSelection();
    QStringList notes;
    if (saved && !(saved->layout == result.layout))
        notes.append(tr("The saved layout %1 was replaced; Undo brings it back.").arg(name));
    if (!result.warnings.empty())
        notes.append(tr("Lines of the file left out: %1; the first: %2")
                         .arg(result.warnings.size())
                         .arg(result.warnings.front().text()));
    fNote = notes.join(u'\n');
    showAndFocus();
    tell({});
}

void BitFieldPanel::renameLayout()
{
    const BitFieldLayout* layout = fModel.layout();
    if (!layout)
        return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("Rename Layout"), tr("Layout name:"),
        QLineEdit::Normal, FromUtf8(layout->name), &ok);
    if (ok)
        fShowChanges(fModel.renameLayout(ToUtf8(name)));
}

void BitFieldPanel::deleteLayout()
{
    const BitFieldLayout* layout = fModel.layout();
    if (!layout)
        return;
    const QString name = FromUtf8(layout->name);
    const ModelChanges changes = fModel.deleteLayout();
    fShowChanges(changes);
    // Said only of a file that went: a layout never saved just closes, and a
    // file the store could not remove is said by its problem.
    if (changes.layout && !changes.layoutDeleted.empty() && fSaveProblem.isEmpty()) {
        fNote = tr("%1 was deleted; Undo brings it back.").arg(name);
        tell({});
    }
}

void BitFieldPanel::nameBits(int msb, int lsb)
{
    const ModelChanges changes = fModel.nameBits(msb, lsb, ToUtf8(tr("Untitled")));
    // The selection was made for the field, which now stands for it.
    if (changes.layout)
        fValueGrid.clearSelection();
    fShowChanges(changes);
    showAndFocus();
    if (!changes.layout)
        return;
    const int row = fTable->rowCount() - 1;
    fTable->setCurrentCell(row, eColumnName);
    fTable->editItem(fTable->item(row, eColumnName));
}

// The user's selection in the grid, as Add Field is clicked.
void BitFieldPanel::addField()
{
    const auto run = fValueGrid.selection().value_or(
        std::pair { fValueGrid.cursorBit(), fValueGrid.cursorBit() });
    nameBits(run.first, run.second);
}

// The line the user is on, as Remove Field is clicked.
void BitFieldPanel::removeField()
{
    const int row = fTable->currentRow();
    if (row < 0)
        return;
    fShowChanges(fModel.removeField(std::size_t(row)));
    if (fTable->rowCount() > 0)
        fTable->setCurrentCell(std::min(row, fTable->rowCount() - 1), eColumnName);
}

void BitFieldPanel::showAndFocus()
{
    show();
    raise();
    // A dialog just closed (the register chooser) leaves the window to get
    // the focus back, which it does not without a window manager.
    window()->activateWindow();
    fTable->setFocus(Qt::ShortcutFocusReason);
    if (fTable->currentRow() < 0 && fTable->rowCount() > 0)
        fTable->setCurrentCell(0, eColumnName);
}

// --- Drawn from the model ------------------------------------------------------

void BitFieldPanel::showChanges(const ModelChanges& changes)
{
    if (changes.layout) {
        fNote.clear();
        showLayout();
        return;
    }
    if (changes.width)
        listLayouts();
    const BitFieldLayout* layout = fModel.layout();
    const UInt128 changed = changes.changedBits[eFieldTypeValue - eFieldTypeValue];
    if (!layout || changed == 0)
        return;
    // A keystroke rewrites the lines whose fields it changed, no other.
    quietly([&] {
        for (std::size_t row = 0; row < layout->fields.size(); ++row)
            if (FieldMask(layout->fields[row]) & changed)
                fillValues(int(row));
    });
}

void BitFieldPanel::showSaveProblem(const QString& problem)
{
    fSaveProblem = problem;
}

template <class Write> void BitFieldPanel::quietly(Write write)
{
    const QSignalBlocker quiet(fTable);
    write();
}

void BitFieldPanel::showLayout()
{
    const BitFieldLayout* layout = fModel.layout();
    const int rows = layout ? int(layout->fields.size()) : 0;
    quietly([&] {
        fTable->setRowCount(rows);
        for (int row = 0; row < rows; ++row) {
            fillRow(row);
            fillValues(row);
        }
    });
    sizeColumns();
    showBands();
    listLayouts();
    fRenameButton->setEnabled(layout != nullptr);
    fDeleteButton->setEnabled(layout != nullptr);
    fRemoveButton->setEnabled(rows > 0);
    showReading();
    tell({});
}

void BitFieldPanel::showReading()
{
    const BitField* field = fieldAt(fModel, std::max(fTable->currentRow(), 0));
    const int bits = field && FieldBitsValid(*field) ? FieldWidth(*field) : 0;
    const QSignalBlocker quiet(fReading);
    if (bits != fReadingBits) {
        // Made again only for another size, never while it hands over a choice.
        fReading->clear();
        fReading->addItem(tr("Unsigned"), eReadUnsigned);
        fReading->addItem(tr("Signed", "a reading"), eReadSigned);
        if (bits == 16) {
            fReading->addItem(tr("Float (half)"), eReadFloat);
            fReading->addItem(tr("bfloat16"), eReadBfloat16);
        } else if (bits == 32) {
            fReading->addItem(tr("Float (single)"), eReadFloat);
        } else if (bits == 64) {
            fReading->addItem(tr("Float (double)"), eReadFloat);
        } else if (bits == 128) {
            fReading->addItem(tr("Float (quadruple)"), eReadFloat);
        }
        fReadingBits = bits;
    }
    fReading->setEnabled(field != nullptr);
    fReading->setToolTip(fModel.lanes()
            ? tr("How every lane reads in the Decimal column: an integer or a float of its size")
            : tr("How the current line's field reads in the Decimal column: an integer or a "
                 "float of its size"));
    fReading->setCurrentIndex(field ? fReading->findData(ReadingOf(*field)) : 0);
}

// The user's choice, read from the item chosen as it is made.
void BitFieldPanel::chooseReading(int index)
{
    const int row = std::max(fTable->currentRow(), 0);
    if (!fieldAt(fModel, row) || index < 0)
        return;
    const auto reading = Reading(fReading->itemData(index).toInt());
    const bool isSigned = reading == eReadSigned;
    const FieldFloat floatReading = reading == eReadFloat ? eFieldFloatIeee
        : reading == eReadBfloat16                        ? eFieldFloatBfloat16
                                                          : eFieldFloatNone;
    const ModelChanges changes = fModel.lanes()
        ? fModel.readEveryFieldAs(isSigned, floatReading)
        : fModel.readFieldAs(std::size_t(row), isSigned, floatReading);
    fShowChanges(changes);
    edited(row, changes, {});
}

// Everything of the row but its value, items made where missing and
// rewritten in place otherwise: an edit's own item lives on.
void BitFieldPanel::fillRow(int row)
{
    const BitFieldLayout& layout = *fModel.layout();
    const BitField& field = layout.fields[std::size_t(row)];
    const QString name = FromUtf8(field.name);
    const UInt128 overlapping = OverlappingBits(layout);
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
    if (FieldReadsFloat(field))
        fTable->item(row, eColumnDecimal)
            ->setToolTip(
                tr("%1 as a float: type a number to set these bits of the Value").arg(name));
    QTableWidgetItem* description = fTable->item(row, eColumnDescription);
    description->setText(FromUtf8(field.description));
    if (!field.description.empty())
        description->setToolTip(description->toolTip() + u'\n' + description->text());
    fTable->item(row, eColumnNamedValues)->setText(FromUtf8(NamedValuesText(field)));
}

void BitFieldPanel::fillValues(int row)
{
    const BitField& field = fModel.layout()->fields[std::size_t(row)];
    const UInt128 number = fModel.wideBits(eFieldTypeValue);
    fTable->item(row, eColumnHexadecimal)->setText(FromUtf8(FieldHexText(field, number)));
    fTable->item(row, eColumnDecimal)->setText(FromUtf8(FieldDecimalText(field, number)));
    const NamedValue* named = NamedValueFor(field, FieldValue(field, number));
    fTable->item(row, eColumnValueName)->setText(named ? FromUtf8(named->name) : QString());
}

// Each column as wide as its texts, the value columns as wide as the
// widest value each field can hold, so that no keystroke needs a new width.
void BitFieldPanel::sizeColumns()
{
    fTable->resizeColumnsToContents();
    fNamedValuesWidth = fTable->columnWidth(eColumnNamedValues);
    // The free texts take no more than their share: the table fits a dock.
    const int character = fTable->fontMetrics().averageCharWidth();
    for (const auto& [column, most] :
        { std::pair { eColumnDescription, 18 }, std::pair { eColumnNamedValues, 24 } })
        fTable->setColumnWidth(column, std::min(fTable->columnWidth(column), most * character));
    fTable->resizeRowsToContents();
    const BitFieldLayout* layout = fModel.layout();
    if (!layout)
        return;
    const QFontMetrics metrics(fTable->font());
    const int margin
        = 2 * fTable->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, fTable) + 12;
    int hex = 0;
    int decimal = 0;
    int name = 0;
    for (const BitField& field : layout->fields) {
        if (!FieldBitsValid(field))
            continue;
        const UInt128 all = FieldMask(field);
        const UInt128 lowest = UInt128(1) << field.msb;
        hex = std::max(hex, metrics.horizontalAdvance(FromUtf8(FieldHexText(field, all))));
        decimal = std::max(decimal,
            FieldReadsFloat(field)
                ? metrics.horizontalAdvance(QString(FloatCharacters(FieldWidth(field)), u'8'))
                : metrics.horizontalAdvance(
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

// The bands stand under the Value's bits while the panel is shown.
void BitFieldPanel::showBands()
{
    const BitFieldLayout* layout = fModel.layout();
    fValueGrid.setFields(!isHidden() && layout ? layout->fields : std::vector<BitField> {});
}

// --- The user's edits ------------------------------------------------------------

// The cell's text or tick, read as the user leaves it.
void BitFieldPanel::cellEdited(QTableWidgetItem* item)
{
    const int row = item->row();
    const auto field = std::size_t(row);
    if (!fieldAt(fModel, row))
        return;
    const QString typed = item->column() == eColumnSigned ? QString() : item->text();
    ModelChanges changes;
    switch (item->column()) {
    case eColumnName: changes = fModel.renameField(field, ToUtf8(typed)); break;
    case eColumnBits: changes = fModel.setFieldBits(field, ToUtf8(typed)); break;
    case eColumnHexadecimal: changes = fModel.typeFieldValue(field, ToUtf8(typed), 16); break;
    case eColumnDecimal: changes = fModel.typeFieldValue(field, ToUtf8(typed), 10); break;
    case eColumnSigned:
        // Lanes share their reading.
        changes = fModel.lanes()
            ? fModel.readEveryFieldAs(item->checkState() == Qt::Checked, eFieldFloatNone)
            : fModel.setFieldSigned(field, item->checkState() == Qt::Checked);
        break;
    case eColumnDescription: changes = fModel.describeField(field, ToUtf8(typed)); break;
    case eColumnNamedValues: changes = fModel.nameFieldValues(field, ToUtf8(typed)); break;
    default: break;
    }
    fShowChanges(changes);
    edited(row, changes, typed);
}

void BitFieldPanel::valueChosen(int row, UInt64 value)
{
    const BitField* field = fieldAt(fModel, row);
    if (!field)
        return;
    const ModelChanges changes = fModel.setFieldValue(BitField(*field), value);
    fShowChanges(changes);
    edited(row, changes, {});
}

void BitFieldPanel::edited(int row, const ModelChanges& changes, const QString& typed)
{
    // The cell shows what the model holds, whatever was typed there: an
    // edit refused, or "10" typed where 10 stood, which the model writes
    // as it writes every value.
    if (fieldAt(fModel, row))
        quietly([&] {
            fillRow(row);
            fillValues(row);
        });
    tell(refusal(row, changes, typed));
}

QString BitFieldPanel::refusal(int row, const ModelChanges& changes, const QString& typed) const
{
    const BitField* field = fieldAt(fModel, row);
    const QString name = field ? FromUtf8(field->name) : QString();
    switch (changes.refused) {
    case eLayoutEditAccepted: return {};
    case eLayoutEditNoName: return tr("A field needs a name.");
    case eLayoutEditBadBits:
        return tr("Bits are written msb:lsb, from 127 down to 0 and at most 64 of them, "
                  "such as 31:28.");
    case eLayoutEditValueTooWide: {
        const bool known = field && changes.refusedValue >= 0
            && std::size_t(changes.refusedValue) < field->values.size();
        return tr("%1's named value %2 does not fit bits %3.")
            .arg(name,
                known ? FromUtf8(field->values[std::size_t(changes.refusedValue)].name) : QString(),
                typed.trimmed());
    }
    case eLayoutEditBadValues:
        return tr("Named values are written VALUE = NAME, separated by commas, each value "
                  "within the field: 0 = OFF, 1 = ON.");
    case eLayoutEditValueNotHeld:
        return tr("%1 (bits %2) cannot hold %3.")
            .arg(name, field ? FromUtf8(FieldBitsText(*field)) : QString(), typed.trimmed());
    case eLayoutEditNoReading: return tr("%1 has no such reading at its size.").arg(name);
    case eLayoutEditNoLayout:
    case eLayoutEditUnsound: break;
    }
    return tr("The layout cannot take this: a field's bits or named values are not sound.");
}

// The message line: what went wrong just now, then what stands.
void BitFieldPanel::tell(const QString& message)
{
    QStringList lines;
    for (const QString& line : { message, fSaveProblem, fNote })
        if (!line.isEmpty())
            lines.append(line);
    if (const BitFieldLayout* layout = fModel.layout()) {
        const auto pairs = OverlappingFields(*layout);
        if (!pairs.empty()) {
            const auto& [first, second] = pairs.front();
            lines.append(tr("%1 and %2 share bits; overlapping fields stand on bands of their "
                            "own under the Value's bits.")
                             .arg(FromUtf8(layout->fields[first].name),
                                 FromUtf8(layout->fields[second].name)));
        }
    }
    fMessage->setText(lines.join(u'\n'));
    fMessage->setVisible(!lines.isEmpty());
}

QString BitFieldPanel::message() const
{
    return fMessage->text();
}

// Every column at its width, the named values' at most 24 characters, and
// room for the vertical scroll bar, the frames and the margins.
QSize BitFieldPanel::sizeHint() const
{
    QSize hint = QDockWidget::sizeHint();
    const QHeaderView* header = fTable->horizontalHeader();
    int columns = 0;
    for (int column = 0; column < eColumnCount; ++column)
        columns += column != eColumnNamedValues
            ? fTable->columnWidth(column)
            : std::max(header->sectionSizeHint(column),
                std::min(fNamedValuesWidth, 24 * fTable->fontMetrics().averageCharWidth()));
    const int frames = 2 * fTable->frameWidth()
        + fTable->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, fTable)
        + 2 * style()->pixelMetric(QStyle::PM_DockWidgetFrameWidth, nullptr, this);
    const QMargins margins = widget()->layout()->contentsMargins();
    hint.setWidth(std::max(hint.width(), columns + frames + margins.left() + margins.right()));
    return hint;
}

void BitFieldPanel::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    showBands();
}

void BitFieldPanel::hideEvent(QHideEvent* event)
{
    QDockWidget::hideEvent(event);
    if (!event->spontaneous())
        fValueGrid.clearSelection();
    showBands();
}
