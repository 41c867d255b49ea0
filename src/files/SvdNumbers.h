// Numbers as an SVD file writes them, and the names of an array's elements.
#ifndef BITLENS_SVDNUMBERS_H
#define BITLENS_SVDNUMBERS_H

#include "engine/BaseConverter.h"

#include <QString>
#include <QStringList>

#include <optional>

constexpr int kMaxDim = 4096;

struct SvdDims {
    int count = 0; // 0 when the element is not an array
    UInt64 increment = 0;
    QString index; // dimIndex as written
};

// scaledNonNegativeInteger: [+](0x hex | #binary | decimal)[kMGT].
std::optional<UInt64> SvdNumber(const QString& text);

// An enumerated value: a number, or #1x0 where x is either bit. `care`
// has a 1 for each bit that is given.
struct SvdPattern {
    UInt64 value = 0;
    UInt64 care = ~UInt64(0);
};
std::optional<SvdPattern> SvdValuePattern(const QString& text);

// The names of an array's elements: `name` with %s replaced by each index
// of dimIndex ("0-3", "A-D", "A,B,C") or 0 to count - 1. Not an array, or
// one too long to list, is its name alone.
QStringList SvdArrayNames(const QString& name, const SvdDims& dims);

#endif
