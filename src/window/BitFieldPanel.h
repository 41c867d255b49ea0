// BitFieldPanel: View › Bit Fields, a side panel holding the current
// bit-field layout of the Value row: one table line per field with its
// value, the saved layouts to choose from, and what the user should know
// (overlapping fields, a layout that could not be saved).
//
// Built on first use, never at start-up. It keeps the layout, not the
// number: a value cell's edit goes to the window, which runs the model's
// verb and calls showValue() as it shows the changes. Every edit of the
// layout itself is saved at once (LayoutStore::save, atomically).
#ifndef BITLENS_BITFIELDPANEL_H
#define BITLENS_BITFIELDPANEL_H

#include "files/LayoutFile.h"
#include "files/LayoutStore.h"
#include "model/BitFieldLayout.h"

#include <QDockWidget>

#include <functional>
#include <optional>

class BitGrid;
class ConverterModel;
class LayoutImport;
class QAction;
class QComboBox;
class QLabel;
class QMainWindow;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

class BitFieldPanel : public QDockWidget {
    Q_OBJECT

public:
    // The table's columns, in order.
    enum Column {
        eColumnName,
        eColumnBits,
        eColumnHexadecimal,
        eColumnDecimal,
        eColumnValueName,
        eColumnSigned,
        eColumnDescription,
        eColumnNamedValues,
        eColumnCount
    };

    using WriteValue = std::function<void(const BitField& field, UInt64 value)>;

    // Docked at the window's right. `writeValue` runs the model's verb for
    // a value cell; `exportAction` is enabled while there is a layout.
    BitFieldPanel(QMainWindow& window, const ConverterModel& model, BitGrid& valueGrid,
        WriteValue writeValue, QAction& exportAction, LayoutStore store = LayoutStore());
    ~BitFieldPanel() override;

    // The Value row changed: the value cells follow. Rewrites only the
    // rows whose fields' values changed, unless `everyRow`.
    void showValue(bool everyRow = false);
    // "Name these bits…": a field for bits msb..lsb added to the current
    // layout (a new "Untitled" one when there is none), the panel shown and
    // the new field's name ready to edit.
    void nameBits(int msb, int lsb);
    // Makes `layout` the current one and saves it as a new layout; what
    // the importer left out is told in the panel's message line.
    void openLayout(
        const BitFieldLayout& layout, const std::vector<LayoutFileError>& warnings = {});
    // Shows the panel with its table focused.
    void showAndFocus();
    // File › Import Layout… and File › Export Layout….
    void importLayout();
    void exportLayout();
    LayoutImport& importer();

    const std::optional<BitFieldLayout>& layout() const { return fLayout; }
    const QString& layoutPath() const { return fPath; }
    QTableWidget* table() const { return fTable; }
    QComboBox* layoutPopup() const { return fPopup; }
    QString message() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void build();
    void listLayouts();
    void chooseLayout(int index);
    void renameLayout();
    void addField();
    void removeField();

    // The whole table from the layout: a new layout, a field added or gone.
    void showLayout();
    void fillRow(int row);
    void sizeColumns();
    void showBands();
    void cellEdited(QTableWidgetItem* item);
    bool editField(int row, int column, const QString& text, QString& problem);
    void writeValue(int row, const QString& text, int base);
    // After an edit of the layout: saved, shown, told.
    void layoutChanged(bool rowsChanged);
    void save();
    void tell(const QString& message);
    // The window grows by the panel's width as it is docked, as far as the
    // screen allows, and gives that back when it is closed.
    void makeRoom();
    void giveRoomBack();

    const ConverterModel& fModel;
    BitGrid& fValueGrid;
    WriteValue fWriteValue;
    QAction& fExportAction;
    LayoutStore fStore;

    std::optional<BitFieldLayout> fLayout;
    QString fPath; // where the layout is saved; empty until it is
    QString fSaveProblem;
    QString fNote; // what an import left out, until the next edit
    std::vector<std::optional<UInt64>> fShownValues; // by row, as the value cells show them

    QComboBox* fPopup = nullptr;
    QTableWidget* fTable = nullptr;
    QPushButton* fAddButton = nullptr;
    QPushButton* fRemoveButton = nullptr;
    QPushButton* fRenameButton = nullptr;
    QLabel* fMessage = nullptr;
    LayoutImport* fImport = nullptr;
    // Set while the panel writes cells itself, whose changes are no edits.
    bool fShowing = false;
    int fGrownBy = 0;
};

#endif
