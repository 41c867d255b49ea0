// Layout files: how a file's format is told from its content, and one call
// that reads any of them, whichever importer it takes.
//
// Every reader here takes the file's bytes and a file name that is used in
// messages only. None of them throws, crashes or reads past the bytes on
// any input; each is safe to call from a worker thread (no shared state).
#ifndef BITLENS_LAYOUTFILE_H
#define BITLENS_LAYOUTFILE_H

#include "LayoutFileTypes.h"

#include <QByteArray>

enum LayoutFormat {
    eLayoutFormatBitlens, // the program's own layout file (JSON)
    eLayoutFormatWavedrom, // a wavedrom bit-field diagram (JSON5)
    eLayoutFormatSvd, // CMSIS-SVD (XML)
    eLayoutFormatCHeader, // C #define lines; anything else is read as one
};

// The format by content: after an optional byte-order mark, blanks and
// comments (// and /* */), '[' is a wavedrom diagram, '{' is the program's
// own file when its "format" says so and a diagram ({reg: [...]})
// otherwise, '<' (or UTF-16) is an SVD file, anything else a C header.
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
