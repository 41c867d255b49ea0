// An SVD file's outline: its peripherals, clusters and registers as they are
// written, what each derives from and where its <fields> are. Arrays stay
// one node each, whatever their dim: a register is reached by its path of
// elements, found by name or taken from the listing, and nothing is held
// per element beyond what the listing keeps. Fields are read by the import,
// from where the outline says.
#ifndef BITLENS_SVDOUTLINE_H
#define BITLENS_SVDOUTLINE_H

#include "SvdFile.h"
#include "SvdNumbers.h"
#include "SvdScan.h"

#include <QHash>

#include <utility>

constexpr int kMaxClusterDepth = 32; // as written in the file
constexpr int kMaxDerivedHops = 16;
// A register's path, peripheral included, with the scopes that derivedFrom
// brings in: deeper ones are not listed or found.
constexpr int kMaxPathDepth = 64;

enum SvdNodeKind { ePeripheral, eCluster, eRegister };

struct SvdNode {
    SvdNodeKind kind = eRegister;
    // As written, %s included; a register of an alternateGroup is named
    // NAME_GROUP, as the headers made from the file name it.
    QString name;
    QString derivedFrom;
    QString description;
    int size = 0; // its own <size>; 0 when it has none
    int line = 0;
    SvdDims dims;
    int parent = -1;
    int base = -1; // what derivedFrom names; -1 when nothing
    std::vector<int> children; // clusters and registers as written
    std::vector<int> arrays; // those of them that are arrays
    // A register's <fields>: where the XML reader met it in the original
    // bytes, or the span the scan skipped; both -1 when it has none.
    qint64 fieldsOffset = -1;
    int span = -1;
};

// One element of a node: a peripheral, cluster or register, and which of
// its elements when it is an array (0 when not).
struct SvdElement {
    int node = -1;
    UInt64 element = 0;
};
// A register's path from its peripheral down.
using SvdPath = std::vector<SvdElement>;

// The listing is a tree of steps: each a node's element within the step
// before it, so that a listed register costs one step.
struct SvdStep {
    SvdElement at;
    int parent = -1; // the enclosing step; -1 for a peripheral
};

struct SvdFile::Outline {
    QByteArray bytes;
    QString file;
    // What stands before the root element (the XML declaration, a DOCTYPE),
    // which a span read on its own needs for its encoding and entities.
    QByteArray prologue;
    std::vector<SvdSpan> spans;
    std::vector<SvdNode> nodes;
    std::vector<int> peripherals;
    std::vector<int> peripheralArrays;
    int deviceSize = 0;
    // The first child of each name in each scope (-1: the device's
    // peripherals).
    QHash<std::pair<int, QString>, int> byName;
    std::vector<SvdStep> steps;
    std::vector<int> listed; // the steps that are registers, in file order
    bool listedAll = true;
    std::optional<LayoutFileError> error;

    const SvdNode& node(int index) const { return nodes[std::size_t(index)]; }

    // Calls `take(child)` for each child of `scope` in order: its own, then
    // those of what it derives from that it does not redefine by name.
    template <class Take> void forEachChild(int scope, Take take) const;

    // The element of a child of `scope` (-1: a peripheral) that `name`
    // names (SvdFindElement), `except` left out: the first of its exact
    // name or, with `orIgnoringCase`, the only one that matches ignoring
    // case. node -1 when none.
    SvdElement findChild(
        int scope, QStringView name, int except = -1, bool orIgnoringCase = false) const;
    // A register by its qualified name, PERIPHERAL.CLUSTER.REGISTER; empty
    // when there is none.
    SvdPath findRegister(const QString& qualifiedName) const;

    SvdPath pathOf(std::size_t listedIndex) const;
    // What the chooser shows of the register at `path`.
    SvdRegister registerOf(const SvdPath& path) const;

    int ownOrBaseSize(int node) const;
    // What derivedFrom of `node` names: a sibling, a path from its
    // peripheral, or a path from the device.
    int lookUpBase(int node) const;

    // `scope`, then what it derives from and so on, each once.
    struct Chain {
        int scopes[kMaxDerivedHops + 1];
        int size = 0;
    };
    Chain chainOf(int scope) const;
    // Whether a child named `name` of chain.scopes[link] is redefined by a
    // scope before it in the chain.
    bool hidden(const Chain& chain, int link, const QString& name) const;

private:
    SvdElement findExactly(int scope, QStringView name, int except) const;
    SvdElement findIgnoringCase(int scope, QStringView name, int except) const;
    int findPath(int scope, const QStringList& parts) const;
};

template <class Take> void SvdFile::Outline::forEachChild(int scope, Take take) const
{
    if (scope < 0) {
        for (int peripheral : peripherals)
            take(peripheral);
        return;
    }
    const Chain chain = chainOf(scope);
    for (int link = 0; link < chain.size; ++link)
        for (int child : node(chain.scopes[link]).children)
            if (!hidden(chain, link, node(child).name))
                take(child);
}

// The outline of `bytes`, or its error.
void ReadSvdOutline(SvdFile::Outline& outline, const QByteArray& bytes, const QString& fileName);

#endif
