// The program's own layout file: JSON that holds everything of a layout
// (names, bits, descriptions, signs, named values), with a format name and
// a version so that a later Bitlens can tell its files and an older one
// refuses a newer file rather than half-read it:
//
//   { "format": "bitlens-layout", "version": 1, "name": "CTRL", "width": 32,
//     "description": "…",
//     "fields": [ { "name": "MODE", "msb": 31, "lsb": 28, "description": "…",
//                   "signed": false, "reading": "float",
//                   "values": [ { "value": "0x3", "name": "AUTO", "description": "…" } ],
//                   "otherValues": { "name": "RESERVED", "description": "…" } } ] }
//
// "reading" is "integer" (as when it is left out), "float" (IEEE-754 of the
// field's width) or "bfloat16"; an older Bitlens ignores it.
//
// Values are written as hexadecimal strings, since JSON numbers lose bits
// past 2^53; a reader takes a plain number too. Unknown keys are ignored.
#ifndef BITLENS_BITLENSLAYOUTFILE_H
#define BITLENS_BITLENSLAYOUTFILE_H

#include "LayoutFileTypes.h"

constexpr int kLayoutFileVersion = 1;

// The layout as the file holds it, UTF-8. The layout should be sound
// (LayoutProblems empty); whatever it holds is written as it is.
QByteArray ExportBitlensLayout(const BitFieldLayout& layout);

// A layout file, checked: not JSON, not this format, a newer version, a
// value of the wrong type or a layout that is not sound is an error naming
// the line. Files past kMaxJsonLayoutFileSize are refused.
LayoutResult ImportBitlensLayout(const QByteArray& bytes, const QString& fileName);

// Whether `bytes` is JSON whose top object says "format": "bitlens-layout",
// whatever else it holds, or, when it is not JSON (a file cut short),
// opens with a key the program writes first.
bool IsBitlensLayoutFile(const QByteArray& bytes);

#endif
