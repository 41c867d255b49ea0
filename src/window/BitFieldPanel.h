// BitFieldPanel: View › Bit Fields, a side panel showing the document's
// bit-field layout of the Value row: one table line per field with its
// value, the saved layouts to choose from, and what the user should know
// (overlapping fields, a layout that could not be saved).
//
// Built on first use, never at start-up. It is a view: the layout is the
// model's, every edit of a cell or a button is one verb of the model, and
// the panel is drawn again from what the verb reports. The window saves the
// layout when the model reports it changed.
#ifndef BITLENS_BITFIELDPANEL_H
#define BITLENS_BITFIELDPANEL_H

#include "files/LayoutFile.h"
#include "files/LayoutStore.h"
#include "model/BitFieldLayout.h"
#include "model/ConverterModel.h"

#include <QDockWidget>

#include <functional>
#include <memory>
#include <vector>

class BitGrid;
class LayoutImport;
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

    // Shows what a verb of the model changed, in the whole window.
    using ShowChanges = std::function<void(const ModelChanges& changes)>;

    // Hidden until showAndFocus; the window docks it. `store` lists and
    // loads the saved layouts.
    BitFieldPanel(QMainWindow& window, ConverterModel& model, BitGrid& valueGrid,
        ShowChanges showChanges, std::shared_ptr<const LayoutStore> store);
    ~BitFieldPanel() override;

    // Draws what a verb changed: the layout, or the values of the fields
    // whose bits changed.
    void showChanges(const ModelChanges& changes);
    // Where the layout was last saved, or why it was not: told until the
    // next save.
    void showSaveProblem(const QString& problem);
    // "Name these bits…": the model's verb, then the panel shown with the
    // new field's name ready to edit.
    void nameBits(int msb, int lsb);
    // Shows the panel with its table focused.
    void showAndFocus();
    // File › Import Layout… and File › Export Layout….
    void importLayout();
    void exportLayout();
    LayoutImport& importer();

    QTableWidget* table() const { return fTable; }
    QComboBox* layoutPopup() const { return fPopup; }
    QComboBox* readingPopup() const { return fReading; }
    QString message() const;

    // As wide as the table's columns, so that docking makes room for them.
    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void build();
    void listLayouts();
    void chooseLayout(int index);
    // The reading popup for the current line's field, and the user's choice
    // there: for every lane at once in generated lanes.
    void showReading();
    void chooseReading(int index);
    void openImported(const LayoutResult& result);
    void renameLayout();
    void deleteLayout();
    void addField();
    void removeField();

    // The whole table from the model's layout.
    void showLayout();
    // Every write of the panel's own to its table goes through here, so
    // that itemChanged tells of the user's edits alone.
    template <class Write> void quietly(Write write);
    void fillRow(int row);
    void fillValues(int row);
    void sizeColumns();
    void showBands();
    void cellEdited(QTableWidgetItem* item);
    void valueChosen(int row, UInt64 value);
    // After the user's edit of a row: shown again as the model holds it,
    // and what was refused told.
    void edited(int row, const ModelChanges& changes, const QString& typed);
    QString refusal(int row, const ModelChanges& changes, const QString& typed) const;
    void tell(const QString& message);

    ConverterModel& fModel;
    BitGrid& fValueGrid;
    const ShowChanges fShowChanges;
    const std::shared_ptr<const LayoutStore> fStore;

    QString fSaveProblem;
    // What the popup lists: the saved layouts, and the open one if unsaved.
    std::vector<StoredLayout> fListed;
    bool fListedUnsaved = false;
    std::vector<int> fListedLanes; // the lane sizes the popup offers
    int fReadingBits = -1; // the field size the reading popup lists for
    QString fNote; // what an import left out, until the next edit
    int fNamedValuesWidth = 0; // the named values' widest, unwrapped

    QComboBox* fPopup = nullptr;
    QComboBox* fReading = nullptr;
    QTableWidget* fTable = nullptr;
    QPushButton* fAddButton = nullptr;
    QPushButton* fRemoveButton = nullptr;
    QPushButton* fRenameButton = nullptr;
    QPushButton* fDeleteButton = nullptr;
    QLabel* fMessage = nullptr;
    LayoutImport* fImport = nullptr;
};

#endif
