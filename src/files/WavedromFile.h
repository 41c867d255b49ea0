// Wavedrom bit-field diagrams as wavedrom reads them: JavaScript object
// literals (JSON5: unquoted keys, single quotes, trailing commas, comments),
// a list of fields from the least significant bit up, each {name, bits,
// attr, type}, where an element without a name is a run of unnamed bits
// ({bits: 4}). The list may stand alone or as {reg: [...], config: {bits:
// 32}}. JSON is JSON5 too.
//
// `attr` (a text, a number, or a list of them) carries what the format has
// room for: a text of the form "3: AUTO" (or "0x3 = AUTO") names a value,
// any other text or a number is a line of the description. `type` (a
// colour) is not kept. A name given as a number is that number's digits.
#ifndef BITLENS_WAVEDROMFILE_H
#define BITLENS_WAVEDROMFILE_H

#include "LayoutFileTypes.h"

// A diagram is small; the reader keeps a record for each of its values.
constexpr qint64 kMaxWavedromFileSize = qint64(4) << 20;

// A diagram's fields as a layout named `fileName`'s base name. Its width is
// config.bits, or the bits of every element together, when that is 8, 16,
// 32 or 64. Errors name the element's line: not JSON5, an element that is
// not an object, "bits" missing or not a width from 1 to 64 (each said as
// it is), a field past bit 63, a file past kMaxWavedromFileSize.
LayoutResult ImportWavedrom(const QByteArray& bytes, const QString& fileName);

// The layout as a bare list, padded with unnamed bits up to its width
// (LayoutWidth). A diagram cannot show fields that overlap: those that
// overlap a field already placed, taken from bit 0 up, are left out and
// listed in `leftOut` (indexes into the layout's fields), as are fields
// whose bits are not valid or lie past bit 63, which diagrams read back
// here do not hold; a layout of 128 bits is drawn as its low 64. Signs and value descriptions are
// not kept.
struct WavedromExport {
    QByteArray bytes;
    std::vector<std::size_t> leftOut;
};
WavedromExport ExportWavedrom(const BitFieldLayout& layout);

#endif
