// An SVD file's outline: its peripherals, clusters and registers, what each
// derives from and where its <fields> are, and the registers as the chooser
// lists them. Fields are read by the import, from where the outline says.
#ifndef BITLENS_SVDOUTLINE_H
#define BITLENS_SVDOUTLINE_H

#include "SvdFile.h"
#include "SvdNumbers.h"
#include "SvdScan.h"

#include <QHash>

constexpr int kMaxClusterDepth = 32;
constexpr int kMaxDerivedHops = 16;

enum SvdNodeKind { ePeripheral, eCluster, eRegister };

struct SvdNode {
    SvdNodeKind kind = eRegister;
    QString name;
    QString derivedFrom;
    QString description;
    int size = 0; // its own <size>; 0 when it has none
    int line = 0;
    SvdDims dims;
    int parent = -1;
    std::vector<int> children; // clusters and registers as written
    // A register's <fields>: where the XML reader met it in the original
    // bytes, or the span the scan skipped; both -1 when it has none.
    qint64 fieldsOffset = -1;
    int span = -1;
};

struct SvdFile::Outline {
    QByteArray bytes;
    QString file;
    QByteArray declaration;
    std::vector<SvdSpan> spans;
    std::vector<SvdNode> nodes;
    std::vector<int> peripherals;
    int deviceSize = 0;
    // Each peripheral's and cluster's children with what it derives.
    std::vector<std::vector<int>> effective;
    std::vector<SvdRegister> registers;
    std::vector<int> registerNode;
    QHash<QString, int> byName; // qualified name, and the name as written for arrays
    std::optional<LayoutFileError> error;

    int peripheralOf(int node) const
    {
        for (int hops = 0; node >= 0 && nodes[std::size_t(node)].kind != ePeripheral && hops < 64;
             ++hops)
            node = nodes[std::size_t(node)].parent;
        return node;
    }
    int findPeripheral(const QString& name) const
    {
        for (int p : peripherals)
            if (nodes[std::size_t(p)].name == name)
                return p;
        return -1;
    }
    // A child of `scope` named `name`, as written or as one of its array
    // elements' names.
    int findChild(int scope, const QString& name, int except = -1) const
    {
        const std::vector<int>& children = effective[std::size_t(scope)];
        for (int child : children)
            if (child != except && nodes[std::size_t(child)].name == name)
                return child;
        for (int child : children) {
            const SvdNode& node = nodes[std::size_t(child)];
            if (child != except && node.dims.count > 0
                && SvdArrayNames(node.name, node.dims).contains(name))
                return child;
        }
        return -1;
    }
    int findPath(int scope, const QStringList& parts) const
    {
        for (const QString& part : parts) {
            if (scope < 0 || nodes[std::size_t(scope)].kind == eRegister)
                return -1;
            scope = findChild(scope, part);
        }
        return scope;
    }
    // What `node`'s derivedFrom names: a sibling, a path from its
    // peripheral, or a path from the device. Registers' are looked up once,
    // when the scopes are complete, as chains of them are followed often.
    std::vector<int> registerBases;
    int base(int node) const
    {
        if (std::size_t(node) < registerBases.size() && nodes[std::size_t(node)].kind == eRegister)
            return registerBases[std::size_t(node)];
        return lookUpBase(node);
    }
    int lookUpBase(int node) const
    {
        const SvdNode& n = nodes[std::size_t(node)];
        if (n.derivedFrom.isEmpty())
            return -1;
        if (n.kind == ePeripheral) {
            const int found = findPeripheral(n.derivedFrom);
            return found == node ? -1 : found;
        }
        const QStringList parts = n.derivedFrom.split(QLatin1Char('.'));
        int found
            = parts.size() == 1 && n.parent >= 0 ? findChild(n.parent, n.derivedFrom, node) : -1;
        if (found < 0)
            found = findPath(peripheralOf(node), parts);
        if (found < 0 && parts.size() > 1)
            found = findPath(findPeripheral(parts.front()), parts.mid(1));
        return found == node || (found >= 0 && nodes[std::size_t(found)].kind != n.kind) ? -1
                                                                                         : found;
    }
};

// The outline of `bytes`, or its error.
void ReadSvdOutline(SvdFile::Outline& outline, const QByteArray& bytes, const QString& fileName);

#endif
