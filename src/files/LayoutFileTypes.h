// What every layout importer returns: a layout, or the one error that kept
// it out, and the warnings for what was left out of it. QtCore only, so that
// the window and the command line share it.
#ifndef BITLENS_LAYOUTFILETYPES_H
#define BITLENS_LAYOUTFILETYPES_H

#include "model/BitFieldLayout.h"

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

// Files larger than these are refused before they are read: SVD files and C
// headers are read as they stream and vendor SVD files reach about 50 MB;
// the JSON formats are read whole into memory and a layout's JSON is small.
constexpr qint64 kMaxLayoutFileSize = qint64(256) << 20;
constexpr qint64 kMaxJsonLayoutFileSize = qint64(16) << 20;

#endif
