// Layout files: what every importer returns, how a file's format is told
// from its content, and one call that reads any of them. QtCore only, so
// that the window and the command line share it.
//
// Every reader here takes the file's bytes and a file name that is used in
// messages only. None of them throws, crashes or reads past the bytes on
// any input; each is safe to call from a worker thread (no shared state).
#ifndef BITLENS_LAYOUTFILE_H
#define BITLENS_LAYOUTFILE_H

#include "model/BitFieldLayout.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

enum LayoutErrorKind {
    eLayoutErrorBadFile, // unreadable, too big, not a layout, or a layout that is not sound
    eLayoutErrorNoRegister, // an SVD file, and no register was named
    eLayoutErrorUnknownRegister, // the named register is not in the SVD file
};

// One problem with a file, for one line of text: "regs.svd:120: field MODE:
// bits 70:68 are past bit 63".
struct LayoutFileError {
    LayoutErrorKind kind = eLayoutErrorBadFile;
    QString file; // the name the caller gave
    int line = 0; // from 1; 0 when the problem is the whole file
    QString message; // without the file and the line

    // "file:line: message", or "file: message" when there is no line.
    QString text() const;
};

// A layout read from a file, or why not. On an error the layout is empty.
// Warnings are lines the importer left out (a mask that is not one run of
// bits, a named value too wide for its field): the layout is sound without
// them, and the user may want to know.
struct LayoutResult {
    BitFieldLayout layout;
    std::optional<LayoutFileError> error;
    std::vector<LayoutFileError> warnings;

    bool ok() const { return !error; }
};

enum LayoutFormat {
    eLayoutFormatBitlens, // the program's own layout file (JSON)
    eLayoutFormatWavedrom, // wavedrom-style bit-field JSON
    eLayoutFormatSvd, // CMSIS-SVD (XML)
    eLayoutFormatCHeader, // C #define lines; anything else is read as one
};

// Files larger than these are refused before they are read: SVD files and C
// headers are read as they stream and vendor SVD files reach about 50 MB;
// the JSON formats are read whole into memory and a layout's JSON is small.
constexpr qint64 kMaxLayoutFileSize = qint64(256) << 20;
constexpr qint64 kMaxJsonLayoutFileSize = qint64(16) << 20;

// The format by content: after an optional byte-order mark and blanks, '['
// is bit-field JSON, '{' is the program's own file when its "format" says
// so and bit-field JSON ({"reg": [...]}) otherwise, '<' (or UTF-16) is an
// SVD file, anything else a C header.
LayoutFormat DetectLayoutFormat(const QByteArray& bytes);

// Any importable file, its format told by DetectLayoutFormat. An SVD file
// needs `svdRegister`, written PERIPHERAL.REGISTER (see SvdFile); without
// one the error is eLayoutErrorNoRegister, and an unknown one gives
// eLayoutErrorUnknownRegister. Other formats ignore `svdRegister`.
LayoutResult ImportLayout(
    const QByteArray& bytes, const QString& fileName, const QString& svdRegister = {});

// A file's bytes, or why they could not be read: missing, unreadable, not a
// regular file, or larger than `limit`. The error names `path`.
struct LayoutFileBytes {
    QByteArray bytes;
    std::optional<LayoutFileError> error;
};
LayoutFileBytes ReadLayoutFileBytes(const QString& path, qint64 limit = kMaxLayoutFileSize);

// ReadLayoutFileBytes, then ImportLayout: what `--layout FILE` does.
LayoutResult ReadLayoutFile(const QString& path, const QString& svdRegister = {});

#endif
