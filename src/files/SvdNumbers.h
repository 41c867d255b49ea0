// Numbers as an SVD file writes them, and the names of an array's elements.
#ifndef BITLENS_SVDNUMBERS_H
#define BITLENS_SVDNUMBERS_H

#include "engine/BaseConverter.h"

#include <QString>
#include <QStringList>

#include <optional>

// An array as <dim>, <dimIncrement> and <dimIndex> give it.
struct SvdDims {
    UInt64 count = 0; // 0 when the element is not an array
    UInt64 increment = 0;
    QString index; // dimIndex as written
    // How dimIndex names the elements, once FinishSvdDims has read it: a
    // list ("A,B,C"), a range of letters from `letter` ("A-D") or of numbers
    // from `first` ("3-6"); else the numbers from 0. One that does not hold
    // `count` indexes is not used.
    QStringList list;
    char16_t letter = 0;
    UInt64 first = 0;
};
void FinishSvdDims(SvdDims& dims);

// scaledNonNegativeInteger: [+](0x hex | #binary | decimal)[kMGT].
std::optional<UInt64> SvdNumber(const QString& text);

// An enumerated value: a number, or #1x0 where x is either bit. `care`
// has a 1 for each bit that is given.
struct SvdPattern {
    UInt64 value = 0;
    UInt64 care = ~UInt64(0);
};
std::optional<SvdPattern> SvdValuePattern(const QString& text);

// An element named `name`, an array when it has dims and %s in its name:
// how many elements it stands for (1 when it is no array), the index of
// one of them as dimIndex gives it, and its name with %s replaced.
UInt64 SvdElementCount(const QString& name, const SvdDims& dims);
QString SvdIndexText(const SvdDims& dims, UInt64 element);
QString SvdElementName(const QString& name, const SvdDims& dims, UInt64 element);
// The element that `text` names: the name with an index in place of %s;
// for NAME[%s] also NAMEindex, as the C headers made from SVD files name
// array elements. Nothing when none.
std::optional<UInt64> SvdFindElement(
    const QString& name, const SvdDims& dims, QStringView text, Qt::CaseSensitivity cs);

#endif
