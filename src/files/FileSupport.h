// What the importers and exporters share, not for use outside src/files.
#ifndef BITLENS_FILESUPPORT_H
#define BITLENS_FILESUPPORT_H

#include "LayoutFileTypes.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QString>
#include <QStringDecoder>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The messages' translation context.
class LayoutFiles {
    Q_DECLARE_TR_FUNCTIONS(LayoutFiles)
};

inline std::string ToUtf8(const QString& text)
{
    return text.toUtf8().toStdString();
}
// Keeps a leading U+FEFF, which QString::fromUtf8 would drop: a name that
// starts with one must be written back as it was read.
inline QString FromUtf8(const std::string& text)
{
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decode(QByteArrayView(text.data(), qsizetype(text.size())));
}

inline LayoutFileError FileError(const QString& file, int line, const QString& message,
    LayoutErrorKind kind = eLayoutErrorBadFile)
{
    return LayoutFileError { kind, file, line, message };
}

inline LayoutResult Failed(const LayoutFileError& error)
{
    LayoutResult result;
    result.error = error;
    return result;
}

// "file is 300 MB; layout files are read up to 256 MB", or nothing.
std::optional<LayoutFileError> CheckFileSize(qint64 size, qint64 limit, const QString& file);

// The first of the layout's problems (LayoutProblems, up to `highestBit`)
// as an error, at the line `lineOf` gives for the field's index (-1: the
// layout itself).
std::optional<LayoutFileError> FirstProblem(const BitFieldLayout& layout, const QString& file,
    const std::function<int(int)>& lineOf, int highestBit = kHighestBit);

// "31:28", or "5" for a field of one bit.
QString BitsText(int msb, int lsb);

// The line (from 1) of byte `offset` of `bytes`.
int LineAt(const QByteArray& bytes, qsizetype offset);

// In JSON that QJsonDocument has read without error, the line where the
// value at `path` starts. A step is an object key or, when `key` is empty,
// an array index. Where the path cannot be followed, the line of the last
// value it reached.
struct JsonStep {
    QString key;
    int index = -1;
};
int JsonLine(const QByteArray& json, const std::vector<JsonStep>& path);

// `bytes` read as JSON into `document`, or the error naming the line where
// it stops being JSON. Checks kMaxJsonLayoutFileSize first.
std::optional<LayoutFileError> ReadJson(
    const QByteArray& bytes, const QString& file, QJsonDocument& document);

// An unsigned number written "0x1F", "0b101" or "31" (blanks around it
// allowed), or nothing when it is not one or does not fit 64 bits.
std::optional<UInt64> ParseUnsigned(const QString& text);

#endif
