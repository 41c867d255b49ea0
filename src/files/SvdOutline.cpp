#include "SvdOutline.h"

#include "FileSupport.h"
#include "SvdFields.h"

#include <algorithm>

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
            at(index).dims.count = SvdNumber(SvdElementText(fXml)).value_or(0);
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
        QString group;
        while (fXml.readNextStartElement()) {
            if (IsSvdElement(fXml, u"fields"))
                readFieldsPlace(index);
            else if (IsSvdElement(fXml, u"alternateGroup"))
                group = SvdElementText(fXml).trimmed();
            else if (!common(index))
                fXml.skipCurrentElement();
        }
        if (!group.isEmpty())
            at(index).name += QLatin1Char('_') + group;
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

// The registers as the chooser lists them, each array element a register,
// up to a number of steps that grows with the file: a few hundred bytes
// may nest arrays of millions, which are found by name but not listed.
class Lister {
public:
    explicit Lister(SvdFile::Outline& outline)
        : fOut(outline)
        , fBudget(kMinListed + std::size_t(outline.bytes.size()) / 8)
    { }

    void run()
    {
        for (int peripheral : fOut.peripherals) {
            const SvdNode& node = fOut.node(peripheral);
            for (UInt64 e = 0; e < SvdElementCount(node.name, node.dims); ++e) {
                if (!room())
                    return;
                fOut.steps.push_back({ { peripheral, e }, -1 });
                walk(int(fOut.steps.size() - 1), peripheral, 1);
            }
        }
    }

private:
    static constexpr std::size_t kMinListed = 1 << 16;
    SvdFile::Outline& fOut;
    std::size_t fBudget;
    std::size_t fWork = 0; // children looked at, listed or not
    bool fStopped = false;

    bool room()
    {
        if (!fStopped && fOut.steps.size() < fBudget && fWork < 4 * fBudget)
            return true;
        fStopped = true;
        fOut.listedAll = false;
        return false;
    }

    // Whether `node` is one of the scopes the step stands in: derivedFrom
    // can make a cluster its own child.
    bool onPath(int step, int node) const
    {
        for (; step >= 0; step = fOut.steps[std::size_t(step)].parent)
            if (fOut.steps[std::size_t(step)].at.node == node)
                return true;
        return false;
    }

    void walk(int step, int scope, int depth)
    {
        const SvdFile::Outline::Chain chain = fOut.chainOf(scope);
        for (int link = 0; link < chain.size; ++link) {
            for (int child : fOut.node(chain.scopes[link]).children) {
                ++fWork;
                if (!room())
                    return;
                const SvdNode& node = fOut.node(child);
                if (fOut.hidden(chain, link, node.name) || onPath(step, child)
                    || (node.kind == eCluster && depth + 1 >= kMaxPathDepth))
                    continue;
                for (UInt64 e = 0; e < SvdElementCount(node.name, node.dims); ++e) {
                    if (!room())
                        return;
                    fOut.steps.push_back({ { child, e }, step });
                    const int added = int(fOut.steps.size() - 1);
                    if (node.kind == eCluster)
                        walk(added, child, depth + 1);
                    else
                        fOut.listed.push_back(added);
                }
            }
        }
    }
};

// Each scope's children by name, and which of them are arrays; then what
// each node derives from, scopes before what they hold, twice over so that
// a path through a scope later in the file is followed too.
void Connect(SvdFile::Outline& outline)
{
    for (std::size_t i = 0; i < outline.nodes.size(); ++i) {
        SvdNode& node = outline.nodes[i];
        FinishSvdDims(node.dims);
        const std::pair<int, QString> key { node.kind == ePeripheral ? -1 : node.parent,
            node.name };
        if (!outline.byName.contains(key))
            outline.byName.insert(key, int(i));
        if (node.dims.count > 0 && node.name.contains(QLatin1String("%s"))) {
            if (node.kind == ePeripheral)
                outline.peripheralArrays.push_back(int(i));
            else if (node.parent >= 0)
                outline.nodes[std::size_t(node.parent)].arrays.push_back(int(i));
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (int p : outline.peripherals)
            outline.nodes[std::size_t(p)].base = outline.lookUpBase(p);
        for (std::size_t i = 0; i < outline.nodes.size(); ++i)
            if (outline.nodes[i].kind != ePeripheral && (pass == 0 || outline.nodes[i].base < 0))
                outline.nodes[i].base = outline.lookUpBase(int(i));
    }
}

} // namespace

SvdFile::Outline::Chain SvdFile::Outline::chainOf(int scope) const
{
    Chain chain;
    for (int at = scope; at >= 0 && chain.size <= kMaxDerivedHops; at = node(at).base) {
        if (std::find(chain.scopes, chain.scopes + chain.size, at) != chain.scopes + chain.size)
            break;
        chain.scopes[chain.size++] = at;
    }
    return chain;
}

bool SvdFile::Outline::hidden(const Chain& chain, int link, const QString& name) const
{
    for (int before = 0; before < link; ++before)
        if (byName.contains({ chain.scopes[before], name }))
            return true;
    return false;
}

SvdElement SvdFile::Outline::findExactly(int scope, QStringView name, int except) const
{
    const QString key = name.toString();
    Chain chain;
    if (scope >= 0)
        chain = chainOf(scope);
    else
        chain.scopes[chain.size++] = -1;
    const auto childrenOf = [&](int at) -> const std::vector<int>& {
        return at < 0 ? peripherals : node(at).children;
    };
    for (int link = 0; link < chain.size; ++link) {
        const auto found = byName.constFind({ chain.scopes[link], key });
        if (found == byName.constEnd() || hidden(chain, link, key))
            continue;
        if (found.value() != except)
            return { found.value(), 0 };
        // The first of the name is the one left out: a later one, if any.
        for (int child : childrenOf(chain.scopes[link]))
            if (child != except && node(child).name == key)
                return { child, 0 };
    }
    for (int link = 0; link < chain.size; ++link) {
        const int at = chain.scopes[link];
        for (int array : at < 0 ? peripheralArrays : node(at).arrays) {
            const SvdNode& candidate = node(array);
            if (array == except || hidden(chain, link, candidate.name))
                continue;
            if (const auto element
                = SvdFindElement(candidate.name, candidate.dims, name, Qt::CaseSensitive))
                return { array, *element };
        }
    }
    return {};
}

SvdElement SvdFile::Outline::findIgnoringCase(int scope, QStringView name, int except) const
{
    SvdElement found;
    bool several = false;
    forEachChild(scope, [&](int child) {
        const SvdNode& candidate = node(child);
        const auto element
            = SvdFindElement(candidate.name, candidate.dims, name, Qt::CaseInsensitive);
        if (child == except || !element)
            return;
        several
            = several || (found.node >= 0 && (found.node != child || found.element != *element));
        found = { child, *element };
    });
    return several ? SvdElement {} : found;
}

SvdElement SvdFile::Outline::findChild(
    int scope, QStringView name, int except, bool orIgnoringCase) const
{
    const SvdElement exact = findExactly(scope, name, except);
    return exact.node >= 0 || !orIgnoringCase ? exact : findIgnoringCase(scope, name, except);
}

int SvdFile::Outline::findPath(int scope, const QStringList& parts) const
{
    for (const QString& part : parts) {
        if (scope < 0 || node(scope).kind == eRegister)
            return -1;
        scope = findChild(scope, part).node;
    }
    return scope;
}

int SvdFile::Outline::lookUpBase(int index) const
{
    const SvdNode& n = node(index);
    if (n.derivedFrom.isEmpty())
        return -1;
    int found = -1;
    if (n.kind == ePeripheral) {
        found = findChild(-1, n.derivedFrom, index).node;
    } else {
        const QStringList parts = n.derivedFrom.split(QLatin1Char('.'));
        if (parts.size() == 1 && n.parent >= 0)
            found = findChild(n.parent, n.derivedFrom, index).node;
        int peripheral = n.parent;
        while (peripheral >= 0 && node(peripheral).kind != ePeripheral)
            peripheral = node(peripheral).parent;
        if (found < 0)
            found = findPath(peripheral, parts);
        if (found < 0 && parts.size() > 1)
            found = findPath(findChild(-1, parts.front()).node, parts.mid(1));
    }
    return found == index || (found >= 0 && node(found).kind != n.kind) ? -1 : found;
}

SvdPath SvdFile::Outline::findRegister(const QString& qualifiedName) const
{
    const QStringList parts = qualifiedName.split(QLatin1Char('.'));
    if (parts.size() < 2 || parts.size() > kMaxPathDepth)
        return {};
    SvdPath path;
    int scope = -1;
    for (const QString& part : parts) {
        if (scope >= 0 && node(scope).kind == eRegister)
            return {};
        const SvdElement found = findChild(scope, part, -1, true);
        const bool again = std::any_of(path.begin(), path.end(),
            [&](const SvdElement& step) { return step.node == found.node; });
        if (found.node < 0 || again)
            return {};
        path.push_back(found);
        scope = found.node;
    }
    return node(scope).kind == eRegister ? path : SvdPath {};
}

SvdPath SvdFile::Outline::pathOf(std::size_t listedIndex) const
{
    SvdPath path;
    for (int step = listed[listedIndex]; step >= 0; step = steps[std::size_t(step)].parent)
        path.push_back(steps[std::size_t(step)].at);
    std::reverse(path.begin(), path.end());
    return path;
}

int SvdFile::Outline::ownOrBaseSize(int index) const
{
    for (int hops = 0; index >= 0 && hops <= kMaxDerivedHops; ++hops) {
        if (node(index).size > 0)
            return node(index).size;
        index = node(index).base;
    }
    return 0;
}

SvdRegister SvdFile::Outline::registerOf(const SvdPath& path) const
{
    SvdRegister entry;
    const auto nameOf = [&](const SvdElement& at) {
        return SvdElementName(node(at.node).name, node(at.node).dims, at.element);
    };
    entry.peripheral = nameOf(path.front());
    for (std::size_t i = 1; i < path.size(); ++i)
        entry.name += (i > 1 ? QStringLiteral(".") : QString()) + nameOf(path[i]);
    const SvdElement& last = path.back();
    const SvdNode& reg = node(last.node);
    entry.line = reg.line;
    for (int at = last.node, hops = 0;
         entry.description.isEmpty() && at >= 0 && hops <= kMaxDerivedHops;
         at = node(at).base, ++hops)
        entry.description = node(at).description;
    if (reg.dims.count > 0)
        entry.description.replace(QLatin1String("%s"), SvdIndexText(reg.dims, last.element));
    entry.size = 0;
    for (auto at = path.rbegin(); entry.size == 0 && at != path.rend(); ++at)
        entry.size = ownOrBaseSize(at->node);
    if (entry.size == 0)
        entry.size = deviceSize > 0 ? deviceSize : 32;
    return entry;
}

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
        outline.prologue = XmlPrologue(bytes);
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
        Connect(outline);
        Lister(outline).run();
    }
    if (outline.error) {
        outline.nodes.clear();
        outline.peripherals.clear();
    }
}
