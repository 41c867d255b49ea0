// ConverterView: one window, wired to three numbers. The Value row and the
// Operand row are typed into; the Result row combines them while the math
// area is open.
#ifndef BITLENS_CONVERTERVIEW_H
#define BITLENS_CONVERTERVIEW_H

#include "BaseConverter.h"
#include "Notation.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPoint;
class QRadioButton;

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
    // One row's number, byte order and controls; the fields by Notation.
    struct Row {
        FieldType type;
        BaseConverter* number;
        Endian* endian;
        std::array<QLineEdit*, eNotationCount> fields;
        QCheckBox* signedBox;
        QButtonGroup* endianMatrix;
        QRadioButton* bigEndianRadio;
        QRadioButton* littleEndianRadio;
        QLabel* binaryMagnitude;
        QLabel* metricMagnitude;
    };

    void awakeFromNib();
    void wireControls();

    void userEdited(QLineEdit* textField);
    void textDidChange(QLineEdit* textField);
    void updateFieldsWithNewNumbers(QLineEdit* textField);
    void doTheMath();
    void mathDisclosured();
    void setSigned(QCheckBox* sender);
    void recalc();
    void shiftRight(QAbstractButton* sender);
    void shiftLeft(QAbstractButton* sender);
    void shift(bool left, BaseConverter& number);
    void widthChanged();
    void updateMagnitudes();
    void endianSwitched(QButtonGroup* sender);
    void swapEndian(QAbstractButton* sender);
    void openNewWindow();

    void describeFields();
    void wireEditMenu();
    void numberWindow();
    QLineEdit* focusedField() const;
    void updateEditActions();
    void loadMenuIcons();
    void copyAsLiteral(const QLineEdit* textField);
    void showFieldMenu(QLineEdit* textField, const QPoint& position);
    void about();

    Row& row(FieldType type);
    const Row* rowOf(const QLineEdit* textField) const;
    void writeFields(const Row& row, const QLineEdit* except);
    void writeField(const Row& row, Notation notation);
    void rereadDecimal(FieldType type);
    void selectWidth(UInt16 width);

    std::unique_ptr<Ui::ConverterDocument> ui;

    BaseConverter fCurrentValue {};
    BaseConverter fOperandValue {};
    BaseConverter fResultValue {};
    Endian fCurrentEndian = eBigEndian;
    Endian fOperandEndian = eBigEndian;
    Endian fResultEndian = eBigEndian;
    bool mathEnabled = false;
    // 1 for a window titled plainly, n for "Bitlens — n".
    int fWindowNumber = 1;
    bool fMenuIconsLoaded = false;

    // The field the user is typing in, while that keystroke is handled:
    // nothing may rewrite it, not even a width change the keystroke causes.
    QLineEdit* fFieldBeingEdited = nullptr;

    std::array<Row, 3> fRows {};

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
