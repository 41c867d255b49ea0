#include "SvdOutline.h"

#include "FileSupport.h"
#include "SvdFields.h"

#include <algorithm>
#include <functional>

namespace {

class OutlineReader {
public:
    OutlineReader(SvdFile::Outline& outline, bool skeleton)
        : fOut(outline)
        , fSkeleton(skeleton)
    { }

    // False when the skeleton did not hold up and the file must be read
    // whole; otherwise the outline or its error is set.
    bool read(const QByteArray& source)
    {
        fXml.addData(source);
        if (!fXml.readNextStartElement()) {
            fail(fXml.hasError() ? SvdXmlError(fOut.file, fXml)
                                 : FileError(fOut.file, int(fXml.lineNumber()),
                                     LayoutFiles::tr("no XML element in the file")));
        } else if (!IsSvdElement(fXml, u"device")) {
            fail(FileError(fOut.file, int(fXml.lineNumber()),
                LayoutFiles::tr("not an SVD file: the top element is <%1>, not <device>")
                    .arg(fXml.name().toString())));
        } else {
            readDevice();
        }
        if (fBroken)
            return false;
        if (!fOut.error && fXml.hasError())
            fail(SvdXmlError(fOut.file, fXml));
        return !fSkeleton || !fOut.error;
    }

private:
    SvdFile::Outline& fOut;
    bool fSkeleton;
    bool fBroken = false;
    int fNextSpan = 0;
    int fDepth = 0;
    QXmlStreamReader fXml;

    void fail(const LayoutFileError& error)
    {
        if (!fOut.error)
            fOut.error = error;
        fXml.raiseError(error.message);
    }

    int size()
    {
        const int line = int(fXml.lineNumber());
        const QString text = SvdElementText(fXml);
        const auto size = SvdNumber(text);
        if (!size || *size > 1 << 20) {
            fail(FileError(fOut.file, line,
                LayoutFiles::tr("size \"%1\" is not a number of bits").arg(text.trimmed())));
            return 0;
        }
        return int(*size);
    }

    int node(SvdNodeKind kind, int parent)
    {
        SvdNode node;
        node.kind = kind;
        node.parent = parent;
        node.line = int(fXml.lineNumber());
        node.derivedFrom
            = fXml.attributes().value(QLatin1String("derivedFrom")).toString().trimmed();
        fOut.nodes.push_back(std::move(node));
        const int index = int(fOut.nodes.size() - 1);
        if (parent >= 0)
            fOut.nodes[std::size_t(parent)].children.push_back(index);
        return index;
    }
    SvdNode& at(int index) { return fOut.nodes[std::size_t(index)]; }

    // name, description, size and dim, which every kind of node has.
    bool common(int index)
    {
        const QStringView name = fXml.name();
        if (name == u"name")
            at(index).name = SvdElementText(fXml).trimmed();
        else if (name == u"description")
            at(index).description = SvdElementText(fXml).simplified();
        else if (name == u"size")
            at(index).size = size();
        else if (name == u"dim")
            at(index).dims.count
                = int(std::min<UInt64>(SvdNumber(SvdElementText(fXml)).value_or(0), kMaxDim + 1));
        else if (name == u"dimIncrement")
            at(index).dims.increment = SvdNumber(SvdElementText(fXml)).value_or(0);
        else if (name == u"dimIndex")
            at(index).dims.index = SvdElementText(fXml);
        else
            return false;
        return true;
    }

    void readDevice()
    {
        while (fXml.readNextStartElement()) {
            if (IsSvdElement(fXml, u"size")) {
                fOut.deviceSize = size();
            } else if (IsSvdElement(fXml, u"peripherals")) {
                while (fXml.readNextStartElement()) {
                    if (IsSvdElement(fXml, u"peripheral"))
                        readPeripheral();
                    else
                        fXml.skipCurrentElement();
                }
            } else {
                fXml.skipCurrentElement();
            }
        }
    }

    void readPeripheral()
    {
        const int index = node(ePeripheral, -1);
        fOut.peripherals.push_back(index);
        while (fXml.readNextStartElement()) {
            if (IsSvdElement(fXml, u"registers"))
                readScope(index);
            else if (!common(index))
                fXml.skipCurrentElement();
        }
    }

    void readScope(int parent)
    {
        while (fXml.readNextStartElement()) {
            if (IsSvdElement(fXml, u"register"))
                readRegister(parent);
            else if (IsSvdElement(fXml, u"cluster"))
                readCluster(parent);
            else
                fXml.skipCurrentElement();
        }
    }

    void readCluster(int parent)
    {
        if (++fDepth > kMaxClusterDepth) {
            fail(FileError(fOut.file, int(fXml.lineNumber()),
                LayoutFiles::tr("clusters nested more than %1 deep").arg(kMaxClusterDepth)));
            return;
        }
        const int index = node(eCluster, parent);
        while (fXml.readNextStartElement()) {
            if (IsSvdElement(fXml, u"register"))
                readRegister(index);
            else if (IsSvdElement(fXml, u"cluster"))
                readCluster(index);
            else if (!common(index))
                fXml.skipCurrentElement();
        }
        --fDepth;
    }

    void readRegister(int parent)
    {
        const int index = node(eRegister, parent);
        while (fXml.readNextStartElement()) {
            if (IsSvdElement(fXml, u"fields"))
                readFieldsPlace(index);
            else if (!common(index))
                fXml.skipCurrentElement();
        }
    }

    // Where the register's fields are, for importRegister to read them.
    void readFieldsPlace(int index)
    {
        if (at(index).fieldsOffset >= 0 || at(index).span >= 0) {
            fXml.skipCurrentElement();
            return;
        }
        if (!fSkeleton) {
            at(index).fieldsOffset = fXml.characterOffset();
            fXml.skipCurrentElement();
            return;
        }
        const QString span = fXml.attributes().value(QLatin1String("bitlens-span")).toString();
        bool ok = false;
        const int number = span.toInt(&ok);
        if (!ok || number < fNextSpan || number >= int(fOut.spans.size())) {
            fBroken = true;
            fXml.raiseError(QStringLiteral("fields the scan did not skip"));
            return;
        }
        at(index).span = number;
        fNextSpan = number + 1;
        fXml.skipCurrentElement();
    }
};

// Each peripheral's and cluster's children, with those of what it derives
// from that it does not redefine by name.
void InheritSvdScopes(SvdFile::Outline& outline)
{
    const std::size_t count = outline.nodes.size();
    // Every scope's own children first, so that base() can search any of
    // them before their inheritance is done.
    outline.effective.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        outline.effective[i] = outline.nodes[i].children;
    std::vector<char> state(count, 0); // 0 to do, 1 under way, 2 done
    std::function<void(int, int)> resolve = [&](int index, int depth) {
        const SvdNode& node = outline.nodes[std::size_t(index)];
        if (state[std::size_t(index)] != 0 || node.kind == eRegister)
            return;
        state[std::size_t(index)] = 1;
        const int base = outline.base(index);
        if (base >= 0 && state[std::size_t(base)] != 1 && depth < kMaxDerivedHops) {
            resolve(base, depth + 1);
            for (int inherited : outline.effective[std::size_t(base)]) {
                const QString& name = outline.nodes[std::size_t(inherited)].name;
                const bool redefined = std::any_of(node.children.begin(), node.children.end(),
                    [&](int own) { return outline.nodes[std::size_t(own)].name == name; });
                if (!redefined)
                    outline.effective[std::size_t(index)].push_back(inherited);
            }
        }
        state[std::size_t(index)] = 2;
    };
    for (std::size_t i = 0; i < count; ++i)
        resolve(int(i), 0);
}

int OwnOrBaseSize(const SvdFile::Outline& outline, int node)
{
    for (int hops = 0; node >= 0 && hops < kMaxDerivedHops; ++hops) {
        if (outline.nodes[std::size_t(node)].size > 0)
            return outline.nodes[std::size_t(node)].size;
        node = outline.base(node);
    }
    return 0;
}

// The registers as the chooser lists them, array elements named.
bool ListSvdRegisters(SvdFile::Outline& outline)
{
    struct Walk {
        SvdFile::Outline& out;
        QString peripheral;
        bool tooMany = false;
        std::size_t visits = 0; // derivedFrom can make a cluster its own child

        void scope(int index, const QStringList& prefixes, int size, int depth)
        {
            if (depth > kMaxClusterDepth || tooMany)
                return;
            if (++visits > SvdFile::kMaxRegisters) {
                tooMany = true;
                return;
            }
            for (int child : out.effective[std::size_t(index)]) {
                const SvdNode& node = out.nodes[std::size_t(child)];
                const QStringList names = SvdArrayNames(node.name, node.dims);
                QStringList paths;
                for (const QString& prefix : prefixes)
                    for (const QString& name : names)
                        paths << prefix + name;
                if (node.kind == eCluster) {
                    QStringList inner;
                    for (const QString& path : paths)
                        inner << path + QLatin1Char('.');
                    const int own = OwnOrBaseSize(out, child);
                    scope(child, inner, own > 0 ? own : size, depth + 1);
                    continue;
                }
                const int own = OwnOrBaseSize(out, child);
                for (const QString& path : paths) {
                    if (out.registers.size() >= SvdFile::kMaxRegisters) {
                        tooMany = true;
                        return;
                    }
                    SvdRegister entry { peripheral, path, node.description, own > 0 ? own : size,
                        node.line };
                    remember(entry.qualifiedName(), int(out.registers.size()));
                    out.registers.push_back(std::move(entry));
                    out.registerNode.push_back(child);
                }
            }
        }
        // The first register of a name is the one a name finds.
        void remember(const QString& name, int index)
        {
            if (!out.byName.contains(name))
                out.byName.insert(name, index);
        }
    };
    Walk walk { outline, QString() };
    for (int p : outline.peripherals) {
        const int own = OwnOrBaseSize(outline, p);
        walk.peripheral = outline.nodes[std::size_t(p)].name;
        walk.scope(p, { QString() },
            own > 0                      ? own
                : outline.deviceSize > 0 ? outline.deviceSize
                                         : 32,
            0);
        if (walk.tooMany) {
            outline.error = FileError(outline.file, 0,
                LayoutFiles::tr("more than %1 registers").arg(SvdFile::kMaxRegisters));
            outline.registers.clear();
            outline.registerNode.clear();
            return false;
        }
    }
    // Descriptions of derived registers come from their bases.
    for (std::size_t i = 0; i < outline.registers.size(); ++i) {
        int node = outline.registerNode[i];
        for (int hops = 0;
             outline.registers[i].description.isEmpty() && node >= 0 && hops < kMaxDerivedHops;
             ++hops) {
            outline.registers[i].description = outline.nodes[std::size_t(node)].description;
            node = outline.base(node);
        }
    }
    return true;
}

} // namespace

void ReadSvdOutline(SvdFile::Outline& outline, const QByteArray& bytes, const QString& fileName)
{
    outline.bytes = bytes;
    outline.file = fileName;
    if (auto tooBig = CheckFileSize(bytes.size(), kMaxLayoutFileSize, fileName)) {
        outline.error = tooBig;
        return;
    }
    outline.spans = ScanSvdFields(bytes);
    bool done = false;
    if (!outline.spans.empty()) {
        outline.declaration = XmlDeclaration(bytes);
        done = OutlineReader(outline, true).read(SvdSkeleton(bytes, outline.spans));
    }
    if (!done) {
        // The scan did not hold up, or the file has an error, whose message
        // and line the full reading gives as the file has them.
        outline = SvdFile::Outline {};
        outline.bytes = bytes;
        outline.file = fileName;
        OutlineReader(outline, false).read(bytes);
    }
    if (!outline.error) {
        InheritSvdScopes(outline);
        std::vector<int> bases(outline.nodes.size(), -1);
        for (std::size_t i = 0; i < bases.size(); ++i)
            if (outline.nodes[i].kind == eRegister)
                bases[i] = outline.lookUpBase(int(i));
        outline.registerBases = std::move(bases);
        ListSvdRegisters(outline);
    }
    if (outline.error) {
        outline.nodes.clear();
        outline.registers.clear();
    }
}
