// ConverterView: one window, wired to three numbers. The Value row and the
// Operand row are typed into; the Result row combines them while the math
// area is open.
#ifndef BITLENS_CONVERTERVIEW_H
#define BITLENS_CONVERTERVIEW_H

#include "engine/BaseConverter.h"
#include "engine/MathOperation.h"
#include "engine/Notation.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class BitGrid;
class EditMenu;
class FlagButton;
class MagnitudeLabel;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QKeySequence;
class QLineEdit;
class QPushButton;
class QRadioButton;
class WarningLabel;
class WindowLayout;

namespace Ui {
class ConverterDocument;
}

// The row a notation field belongs to.
enum FieldType {
    eFieldTypeInvalid = 0,
    eFieldTypeValue = 1,
    eFieldTypeOperand = 2,
    eFieldTypeResult = 3
};

class ConverterView : public QMainWindow {
    Q_OBJECT

public:
    explicit ConverterView(QWidget* parent = nullptr);
    ~ConverterView() override;

    // A second launch asks every window of the running instance: a hidden,
    // minimised or covered window comes back and is raised. Always true, so
    // that the caller goes on to activate one of them with the launch's token.
    bool applicationShouldHandleReopen();

    FieldType textFieldType(const QLineEdit* textField) const;
    Endian selectedEndian(FieldType type) const;
    // The number's size in 1024-based units, or in 1000-based words when
    // `metric`, read in `endian` and with the number's signedness.
    static QString magnitude(bool metric, const BaseConverter& value, Endian endian);

private:
    // One row: its number, its byte order and its controls. A control that
    // is not a notation field is listed in controls() as well, which is how
    // rowOf finds the row from any control of it.
    struct Row {
        FieldType type;
        const char* name; // what assistive technology calls the row, untranslated
        BaseConverter* number;
        Endian* endian;
        std::array<QLineEdit*, eNotationCount> fields; // by Notation
        QCheckBox* signedBox;
        QButtonGroup* endianMatrix;
        QRadioButton* bigEndianRadio;
        QRadioButton* littleEndianRadio;
        // None in the Result row, which is computed, never typed into.
        QPushButton* swapButton;
        QPushButton* shiftLeftButton;
        QPushButton* shiftRightButton;
        MagnitudeLabel* binaryMagnitude;
        MagnitudeLabel* metricMagnitude;
        BitGrid* bitGrid;
        WarningLabel* overflowWarning; // none in the Result row

        std::array<const QObject*, 11> controls() const;
    };

    void awakeFromNib();
    void bindRows();
    void bindFlags();
    void tagPopupItems();
    void sizeFields();
    void wireControls();
    void wireKeyboard();
    void reachFromKeyboard(QLineEdit& operandField, const QKeySequence& valueMnemonic);
    void enterStartState();
    void fitValueRowToWidestNumber();

    void userEdited(QLineEdit* textField);
    void gridEdited(const Row& row, UInt64 bits);
    void textDidChange(QLineEdit* textField);
    void updateFieldsWithNewNumbers(QLineEdit* textField);
    void doTheMath();
    void mathDisclosured();
    void setSigned(QCheckBox* sender);
    void recalc();
    void shiftRight(QAbstractButton* sender);
    void shiftLeft(QAbstractButton* sender);
    void shift(bool left, const Row& row);
    void widthChanged();
    void widthChosen();
    void updateMagnitudes();
    void endianSwitched(QButtonGroup* sender);
    void swapEndian(QAbstractButton* sender);
    void openNewWindow();
    void keepOnTop(bool onTop);
    void updateFlagToolTips();

    const Row& row(FieldType type) const;
    const Row* rowOf(const QObject* control) const;
    static std::optional<Notation> notationOf(const Row& row, const QObject* field);
    QString literal(const QLineEdit& field) const;
    void writeFields(const Row& row, const QLineEdit* except);
    void writeField(const Row& row, Notation notation);
    void showBits(const Row& row);
    // A new edit of the row ends the warning of the last one.
    void startEdit(const Row& row);
    // Warns that the text typed into `field` spelt more than 64 bits, or,
    // with no field, warns of nothing.
    void warnOfText(const Row& row, const QLineEdit* field, Notation notation);
    void rereadDecimal(FieldType type);
    void selectWidth(UInt16 width);

    std::unique_ptr<Ui::ConverterDocument> ui;
    // Destroyed before the window's widgets are: deleting the focused field
    // announces a focus change, which must not reach a half-destroyed window.
    std::unique_ptr<EditMenu> fEditMenu;

    BaseConverter fCurrentValue {};
    BaseConverter fOperandValue {};
    BaseConverter fResultValue {};
    Endian fCurrentEndian = eBigEndian;
    Endian fOperandEndian = eBigEndian;
    Endian fResultEndian = eBigEndian;
    bool mathEnabled = false;

    // The field the user is typing in, while that keystroke is handled:
    // nothing may rewrite it, not even a width change the keystroke causes.
    QLineEdit* fFieldBeingEdited = nullptr;
    // The field whose typed text each row's warning is about: rewriting that
    // text ends the warning.
    std::array<const QLineEdit*, 3> fWarnedFields {};

    std::array<Row, 3> fRows {};
    std::array<FlagButton*, eMathFlagCount> fFlags {};

    // Arranges the rows and sizes the window to its screen.
    std::unique_ptr<WindowLayout> fWindowLayout;

    // What each row's magnitude labels were last written from: their texts
    // follow from it alone, so a row whose reading is unchanged is skipped.
    struct MagnitudeReading {
        UInt64 value;
        UInt16 width;
        bool isSigned;
        bool operator==(const MagnitudeReading& other) const
        {
            return value == other.value && width == other.width && isSigned == other.isSigned;
        }
    };
    std::array<std::optional<MagnitudeReading>, 3> fShownMagnitudes {};

public:
    // Sets a new window to `width` and `endian`, then types `text` into the
    // Value row's `notation` field: what `bitlens TEXT` opens. The field
    // keeps the text as given, and the row reads it as --print does.
    void openWithText(Notation notation, const QString& text, UInt16 width, Endian endian);
};

#endif
