// ConverterView: one window showing one document. Each control's action is
// one verb of the document's model; the window then shows what the verb
// reports changed, and never reads back a text it wrote to learn the state.
#ifndef BITLENS_CONVERTERVIEW_H
#define BITLENS_CONVERTERVIEW_H

#include "engine/BaseConverter.h"
#include "engine/MathOperation.h"
#include "engine/Notation.h"
#include "model/ConverterModel.h"

#include <QMainWindow>

#include <array>
#include <bitset>
#include <memory>
#include <optional>

class BitFieldPanel;
class BitGrid;
class EditMenu;
class FlagButton;
class HistoryPanel;
class HistoryStore;
class LayoutStore;
class MagnitudeLabel;
class QAction;
class QButtonGroup;
class QCheckBox;
class QKeySequence;
class QLineEdit;
class QPushButton;
class QRadioButton;
class WarningLabel;
class WindowLayout;
class WindowStateStore;
struct WindowState;

namespace Ui {
class ConverterDocument;
}

// What a window keeps beyond the document: the history, the saved layouts
// and how the window was left. The application makes one of each and hands
// them to every window, so that its windows share them.
struct Stores {
    std::shared_ptr<HistoryStore> history;
    std::shared_ptr<const LayoutStore> layouts;
    // None: the window remembers nothing of itself.
    std::shared_ptr<WindowStateStore> windowState;

    // Stores of their own, at the places the user's files are kept.
    static Stores atDefaultPlaces();
};

class ConverterView : public QMainWindow {
    Q_OBJECT

public:
    // A window with stores of its own.
    explicit ConverterView(QWidget* parent = nullptr);
    explicit ConverterView(Stores stores, QWidget* parent = nullptr);
    ~ConverterView() override;

    // A second launch asks every window of the running instance: a hidden,
    // minimised or covered window comes back and is raised.
    void applicationShouldHandleReopen();

    // Sets a new window to `width` and `endian`, then types `text` into the
    // Value row's `notation` field: what `bitlens TEXT` opens. The field
    // keeps the text as given, and the row reads it as --print does.
    void openWithText(Notation notation, const QString& text, UInt16 width, Endian endian);

    // The document the window shows.
    const ConverterModel& model() const { return fModel; }

    // View › Bit Fields, made when first asked for: never at start-up.
    BitFieldPanel& bitFieldPanel();

    // What the window is now, to be taken up again at the next start.
    WindowState remembered() const;
    // Takes up what a window was left as, before it is first shown: its
    // width, layout, math area and panels, then its place and size on the
    // screen. The document starts there, with nothing of it to undo.
    void takeUp(const WindowState& state);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // One row's controls. The Result row has no swap or shift buttons and
    // no warning: it is computed, never typed into.
    struct Row {
        FieldType type;
        const char* name; // what assistive technology calls the row, untranslated
        std::array<QLineEdit*, eNotationCount> fields; // by Notation
        QCheckBox* signedBox;
        QButtonGroup* endianMatrix;
        QRadioButton* bigEndianRadio;
        QRadioButton* littleEndianRadio;
        QPushButton* swapButton;
        QPushButton* shiftLeftButton;
        QPushButton* shiftRightButton;
        MagnitudeLabel* binaryMagnitude;
        MagnitudeLabel* metricMagnitude;
        BitGrid* bitGrid;
        WarningLabel* overflowWarning;
    };

    void awakeFromNib();
    void bindRows();
    void bindFlags();
    void sizeFields();
    void wireControls();
    void wireRow(const Row& row);
    void wireKeyboard();
    void wireBitFields();
    void wireHistory();
    void reachFromKeyboard(QLineEdit& operandField, const QKeySequence& valueMnemonic);
    void enterStartState();
    void fitValueRowToWidestNumber();

    // Shows what a verb of the model changed.
    void showChanges(const ModelChanges& changes);
    void showRow(const Row& row, const ModelChanges& changes);
    void showWidth();
    void showMathArea();
    void showUndoState();
    void updateFlagToolTips();
    // The layout saved where the model says it is, or as a new file; with
    // none open, the saved file a step `deleted` goes from the store.
    void saveLayout(const std::string& deleted);
    // The history store takes or gives back what the step removed.
    void keepHistory(const ModelChanges& changes);

    // View › Notations: a notation hidden in every row at once, never the
    // last one shown. A hidden field keeps its text and its reading.
    void wireNotations();
    void setNotationShown(Notation notation, bool shown);
    void showNotations(const std::bitset<eNotationCount>& hidden);
    void rememberNotations();

    void openNewWindow();
    void keepOnTop(bool onTop);

    const Row& row(FieldType type) const { return fRows[type - eFieldTypeValue]; }

    std::unique_ptr<Ui::ConverterDocument> ui;
    const Stores fStores;
    // Destroyed before the window's widgets are: deleting the focused field
    // announces a focus change, which must not reach a half-destroyed window.
    std::unique_ptr<EditMenu> fEditMenu;

    ConverterModel fModel;
    std::array<Row, kRowCount> fRows {};
    std::array<FlagButton*, eMathFlagCount> fFlags {};
    std::array<QAction*, eNotationCount> fNotationActions {};
    std::bitset<eNotationCount> fHiddenNotations;

    // Arranges the rows and sizes the window to its screen.
    std::unique_ptr<WindowLayout> fWindowLayout;
    // Enter, Up and Down in the fields, and the History panel; it reads the
    // model, so it goes first.
    std::unique_ptr<HistoryPanel> fHistoryPanel;

    BitFieldPanel* fBitFieldPanel = nullptr; // a child of the window
    // The frame taken up, decorations included, until the window manager's
    // decorations are known and the window's own size can follow from it.
    std::optional<QRect> fTakenUpFrame;
};

#endif
