// A CMSIS-SVD file: its registers listed for the user to choose one, and
// the chosen register's fields as a layout.
//
// Reading a file takes its outline only (peripherals, clusters, registers,
// their derivedFrom and sizes); a register's fields are read when it is
// imported. The outline skips every <fields> block with a byte scan before
// the XML reader runs, so a 50 MB vendor file is listed in a fraction of
// the time a full XML pass takes (bench/LayoutBench measures it). Files
// the scan cannot follow (UTF-16, namespace prefixes) are read whole, more
// slowly, with the same results. What a file costs grows with its size,
// not with what its arrays multiply: an array is one element of the
// outline whatever its dim, and a register is found by its name without
// listing the others.
//
// What is followed: derivedFrom of a peripheral (its registers, and those
// of the peripheral it derives from that it does not redefine), of a
// cluster, of a register (its fields and size, when it has none of its
// own), of a field and of enumeratedValues (in the same register, or by a
// dotted path); registers inside nested <cluster>s, named by their path;
// <dim> arrays of any size of peripherals, clusters, registers and fields
// (UART[%s] is UART[0] and also UART0, as the headers made from the file
// name it; CH%s; dimIndex lists and ranges); a register of an
// alternateGroup, named NAME_GROUP; a register without fields, read as one
// field as wide as the register; <size> inherited from the register's
// base, its clusters, its peripheral, the peripheral's base and the
// device, 32 when none says. Numbers are read as SVD writes them: decimal,
// 0x hexadecimal, #binary (with x for "either" in enumerated values), a
// k/M/G/T scale.
#ifndef BITLENS_SVDFILE_H
#define BITLENS_SVDFILE_H

#include "LayoutFileTypes.h"

#include <memory>

// One register as the chooser lists it.
struct SvdRegister {
    QString peripheral;
    QString name; // the path within the peripheral: "CR1", "CH[2].CTRL", "TXDATA3"
    QString description;
    int size = 32; // in bits, as inherited; what the imported layout's width holds
    int line = 0; // where it is written (a derived peripheral's: its base's line)

    // PERIPHERAL.REGISTER, as --register takes it.
    QString qualifiedName() const { return peripheral + QLatin1Char('.') + name; }
};

// Whether `filter` picks `entry` in the chooser: every blank-separated word
// of it is in the qualified name (with or without an array's brackets) or
// the description, ignoring case.
bool SvdRegisterMatches(const SvdRegister& entry, const QString& filter);

class SvdFile {
public:
    // A file of no registers, until read() gives one.
    SvdFile();

    // The file's outline. On an error (not XML, not an SVD file, a size
    // that is not a number, a file past kMaxLayoutFileSize) error() says
    // why and no register is listed. Keeps a shared copy of `bytes` (no
    // copy is made) for importRegister.
    static SvdFile read(const QByteArray& bytes, const QString& fileName);

    const std::optional<LayoutFileError>& error() const;

    // The registers in file order, every array element listed: as many as
    // a file of its size may hold (a few hundred bytes can nest arrays of
    // millions). listsEveryRegister() is false when some were not listed;
    // importRegister finds those by name all the same.
    std::size_t registerCount() const;
    SvdRegister registerAt(std::size_t index) const;
    bool listsEveryRegister() const;

    // The fields of registerAt(index) as a layout named by its qualified
    // name, described by its description, as wide as its size (the
    // narrowest of 8, 16, 32, 64 that holds it). Errors name the line: a
    // field without a position or past bit 63 or past the register, a
    // derivedFrom that leads nowhere or round in a circle, a size past 64.
    // Named values that do not fit their field and derivedFrom of
    // enumeratedValues that is not found are left out with a warning.
    LayoutResult importRegister(std::size_t index) const;
    // By PERIPHERAL.REGISTER (PERIPHERAL.CLUSTER.REGISTER inside clusters):
    // its exact name, else the only one that matches ignoring case.
    // eLayoutErrorNoRegister when `qualifiedName` is empty,
    // eLayoutErrorUnknownRegister when no register has that name. Errors
    // name the register as `qualifiedName` does.
    LayoutResult importRegister(const QString& qualifiedName) const;

    struct Outline;

private:
    std::shared_ptr<const Outline> fOutline;
};

#endif
