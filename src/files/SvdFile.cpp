#include "SvdFile.h"

#include "FileSupport.h"

#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

// A <fields> element of the file that the byte scan skipped: its bytes,
// from '<' to past its end tag, and the line it starts on.
struct Span {
    qsizetype begin;
    qsizetype end;
    int line;
};

struct Dims {
    int count = 0; // 0 when the element is not an array
    UInt64 increment = 0;
    QString index; // dimIndex as written
};

enum NodeKind { ePeripheral, eCluster, eRegister };

struct Node {
    NodeKind kind = eRegister;
    QString name;
    QString derivedFrom;
    QString description;
    int size = 0; // its own <size>; 0 when it has none
    int line = 0;
    Dims dims;
    int parent = -1;
    std::vector<int> children; // clusters and registers as written
    // A register's <fields>: where the XML reader met it in the original
    // bytes, or the span the scan skipped; both -1 when it has none.
    qint64 fieldsOffset = -1;
    int span = -1;
};

constexpr int kMaxClusterDepth = 32;
constexpr int kMaxDerivedHops = 16;
constexpr int kMaxDim = 4096;
constexpr int kMaxDontCareExpansion = 256;

// --- Numbers as SVD writes them --------------------------------------------

// scaledNonNegativeInteger: [+](0x hex | #binary | decimal)[kMGT].
std::optional<UInt64> SvdNumber(const QString& text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('+')))
        t.remove(0, 1);
    UInt64 scale = 1;
    static const QString scales = QStringLiteral("kmgt");
    const bool hex = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    if (!t.isEmpty() && !hex) {
        const int at = int(scales.indexOf(t.back().toLower()));
        if (at >= 0) {
            scale = UInt64(1) << (10 * (at + 1));
            t.chop(1);
        }
    }
    const std::optional<UInt64> value = t.startsWith(QLatin1Char('#'))
        ? ParseUnsigned(QLatin1String("0b") + t.mid(1))
        : ParseUnsigned(t);
    if (!value || *value > ~UInt64(0) / scale)
        return std::nullopt;
    return *value * scale;
}

// An enumerated value: a number, or #1x0 where x is either bit. `care`
// has a 1 for each bit that is given.
struct Pattern {
    UInt64 value = 0;
    UInt64 care = ~UInt64(0);
};

std::optional<Pattern> SvdValuePattern(const QString& text)
{
    const QString t = text.trimmed();
    QStringView bits;
    if (t.startsWith(QLatin1Char('#')))
        bits = QStringView(t).mid(1);
    else if (t.startsWith(QLatin1String("0b"), Qt::CaseInsensitive))
        bits = QStringView(t).mid(2);
    if (bits.isEmpty()) {
        const auto value = SvdNumber(t);
        return value ? std::optional<Pattern>(Pattern { *value }) : std::nullopt;
    }
    if (bits.size() > 64)
        return std::nullopt;
    Pattern pattern;
    pattern.care = 0;
    for (QChar c : bits) {
        pattern.value <<= 1;
        pattern.care <<= 1;
        if (c == u'1' || c == u'0') {
            pattern.value |= c == u'1';
            pattern.care |= 1;
        } else if (c != u'x' && c != u'X') {
            return std::nullopt;
        }
    }
    pattern.care |= ~WidthMask(unsigned(bits.size()));
    return pattern;
}

// The names of an array's elements: `name` with %s replaced by each index
// of dimIndex ("0-3", "A-D", "A,B,C") or 0 to count - 1. Not an array, or
// one too long to list, is its name alone.
QStringList Expand(const QString& name, const Dims& dims)
{
    if (dims.count <= 0 || dims.count > kMaxDim || !name.contains(QLatin1String("%s")))
        return { name };
    QStringList indexes;
    const QString index = dims.index.trimmed();
    const QStringList range = index.split(QLatin1Char('-'));
    if (index.contains(QLatin1Char(','))) {
        for (const QString& part : index.split(QLatin1Char(',')))
            indexes << part.trimmed();
    } else if (range.size() == 2 && range[0].size() == 1 && range[1].size() == 1
        && range[0][0].isLetter()) {
        const int first = range[0][0].unicode(), last = range[1][0].unicode();
        for (int c = first; c <= last && c - first < kMaxDim; ++c)
            indexes << QString(QChar(c));
    } else if (range.size() == 2) {
        bool ok1 = false, ok2 = false;
        const int first = range[0].toInt(&ok1), last = range[1].toInt(&ok2);
        if (ok1 && ok2 && first <= last && last - first < kMaxDim)
            for (int i = first; i <= last; ++i)
                indexes << QString::number(i);
    }
    if (indexes.size() != dims.count) {
        indexes.clear();
        for (int i = 0; i < dims.count; ++i)
            indexes << QString::number(i);
    }
    QStringList names;
    for (const QString& i : indexes)
        names << QString(name).replace(QLatin1String("%s"), i);
    return names;
}

// --- The byte scan ----------------------------------------------------------

bool At(const QByteArray& bytes, qsizetype at, const char* text)
{
    const std::size_t length = std::strlen(text);
    return at + qsizetype(length) <= bytes.size()
        && std::memcmp(bytes.constData() + at, text, length) == 0;
}

bool EndsName(const QByteArray& bytes, qsizetype at)
{
    if (at >= bytes.size())
        return false;
    const char c = bytes[at];
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Past a comment, CDATA section or processing instruction at `at`, or `at`
// itself when none starts there; -1 when it does not end.
qsizetype PastMarkup(const QByteArray& bytes, qsizetype at)
{
    // Most tags are elements: one look at the next byte tells.
    const char next = at + 1 < bytes.size() ? bytes[at + 1] : '\0';
    if (next != '!' && next != '?')
        return at;
    const struct {
        const char* open;
        const char* close;
    } kinds[] = { { "<!--", "-->" }, { "<![CDATA[", "]]>" }, { "<?", "?>" } };
    for (const auto& kind : kinds) {
        if (!At(bytes, at, kind.open))
            continue;
        const qsizetype end = bytes.indexOf(kind.close, at + qsizetype(std::strlen(kind.open)));
        return end < 0 ? -1 : end + qsizetype(std::strlen(kind.close));
    }
    return at;
}

// The <fields> elements, found by bytes alone, so that the XML reader need
// not read what listing the registers does not use. Empty when the file is
// one the scan cannot follow: a DTD (entities may hold anything), <fields>
// within <fields>; the reader then reads the file whole.
std::vector<Span> ScanFields(const QByteArray& bytes)
{
    std::vector<Span> spans;
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    int line = 1;
    qsizetype counted = 0; // the lines before `counted` are in `line`
    qsizetype at = 0;
    while (true) {
        const void* found = std::memchr(data + at, '<', std::size_t(size - at));
        if (!found)
            return spans;
        at = static_cast<const char*>(found) - data;
        const qsizetype past = PastMarkup(bytes, at);
        if (past < 0)
            return spans;
        if (past != at) {
            at = past;
            continue;
        }
        if (At(bytes, at, "<!DOCTYPE"))
            return {};
        if (at + 1 == size || data[at + 1] != 'f' || !At(bytes, at, "<fields")
            || !EndsName(bytes, at + 7)) {
            ++at;
            continue;
        }
        const qsizetype begin = at;
        qsizetype tagEnd = at + 7;
        char quote = 0;
        for (; tagEnd < size && (quote || data[tagEnd] != '>'); ++tagEnd)
            if (data[tagEnd] == '"' || data[tagEnd] == '\'')
                quote = quote == data[tagEnd] ? 0 : quote ? quote : data[tagEnd];
        if (tagEnd == size)
            return spans;
        qsizetype end = -1;
        if (data[tagEnd - 1] == '/') {
            end = tagEnd + 1;
        } else {
            for (qsizetype inner = tagEnd + 1; inner < size;) {
                const void* next = std::memchr(data + inner, '<', std::size_t(size - inner));
                if (!next)
                    return spans;
                inner = static_cast<const char*>(next) - data;
                const qsizetype skipped = PastMarkup(bytes, inner);
                if (skipped < 0)
                    return spans;
                if (skipped != inner) {
                    inner = skipped;
                } else if (inner + 1 < size && data[inner + 1] != '/' && data[inner + 1] != 'f') {
                    ++inner;
                } else if (At(bytes, inner, "</fields") && EndsName(bytes, inner + 8)) {
                    const qsizetype close = bytes.indexOf('>', inner);
                    if (close < 0)
                        return spans;
                    end = close + 1;
                    break;
                } else if (At(bytes, inner, "<fields") && EndsName(bytes, inner + 7)) {
                    return {};
                } else {
                    ++inner;
                }
            }
            if (end < 0)
                return spans;
        }
        line += int(std::count(data + counted, data + begin, '\n'));
        counted = begin;
        spans.push_back({ begin, end, line });
        at = end;
    }
}

// The file with each span replaced by an empty <fields> that names it, and
// as many line breaks as the span held, so that every line number the XML
// reader gives is the file's own.
QByteArray Skeleton(const QByteArray& bytes, const std::vector<Span>& spans)
{
    QByteArray skeleton;
    qsizetype kept = bytes.size();
    for (const Span& span : spans)
        kept -= span.end - span.begin;
    skeleton.reserve(kept + qsizetype(spans.size()) * 40);
    qsizetype at = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const Span& span = spans[i];
        skeleton.append(bytes.constData() + at, span.begin - at);
        skeleton.append("<fields bitlens-span=\"").append(QByteArray::number(qulonglong(i)));
        skeleton.append("\"/>");
        skeleton.append(
            std::count(bytes.constData() + span.begin, bytes.constData() + span.end, '\n'), '\n');
        at = span.end;
    }
    skeleton.append(bytes.constData() + at, bytes.size() - at);
    return skeleton;
}

// The XML declaration at the start of the file, which tells a span's
// encoding when it is read on its own.
QByteArray Declaration(const QByteArray& bytes)
{
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    if (!At(bytes, at, "<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>", at);
    return end < 0 ? QByteArray() : bytes.mid(at, end + 2 - at);
}

// --- Fields as written ------------------------------------------------------

struct SvdEnumValue {
    QString name;
    QString description;
    QString value;
    bool isDefault = false;
    int line = 0;
};

struct SvdEnums {
    QString name;
    QString derivedFrom;
    QString usage;
    std::vector<SvdEnumValue> values;
    int line = 0;
};

struct SvdField {
    QString name;
    QString description;
    QString derivedFrom;
    QString bitOffset, bitWidth, lsb, msb, bitRange;
    Dims dims;
    std::vector<SvdEnums> enums;
    int line = 0;

    bool hasPosition() const
    {
        return !bitOffset.isNull() || !lsb.isNull() || !msb.isNull() || !bitRange.isNull();
    }
};

QString ElementText(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::SkipChildElements);
}

bool Named(const QXmlStreamReader& xml, const char16_t* name)
{
    return xml.name() == name;
}

// Reads the <fields> element the reader stands on; lines are shifted by
// `lineOffset` to be the file's.
std::vector<SvdField> ReadFields(QXmlStreamReader& xml, int lineOffset)
{
    std::vector<SvdField> fields;
    const auto line = [&] { return int(xml.lineNumber()) + lineOffset; };
    while (xml.readNextStartElement()) {
        if (!Named(xml, u"field")) {
            xml.skipCurrentElement();
            continue;
        }
        SvdField field;
        field.line = line();
        field.derivedFrom = xml.attributes().value(QLatin1String("derivedFrom")).toString();
        while (xml.readNextStartElement()) {
            const QStringView name = xml.name();
            if (name == u"name")
                field.name = ElementText(xml).trimmed();
            else if (name == u"description")
                field.description = ElementText(xml).simplified();
            else if (name == u"bitOffset")
                field.bitOffset = ElementText(xml);
            else if (name == u"bitWidth")
                field.bitWidth = ElementText(xml);
            else if (name == u"lsb")
                field.lsb = ElementText(xml);
            else if (name == u"msb")
                field.msb = ElementText(xml);
            else if (name == u"bitRange")
                field.bitRange = ElementText(xml);
            else if (name == u"dim")
                field.dims.count
                    = int(std::min<UInt64>(SvdNumber(ElementText(xml)).value_or(0), kMaxDim + 1));
            else if (name == u"dimIncrement")
                field.dims.increment = SvdNumber(ElementText(xml)).value_or(0);
            else if (name == u"dimIndex")
                field.dims.index = ElementText(xml);
            else if (name == u"enumeratedValues") {
                SvdEnums enums;
                enums.line = line();
                enums.derivedFrom = xml.attributes().value(QLatin1String("derivedFrom")).toString();
                while (xml.readNextStartElement()) {
                    if (Named(xml, u"name")) {
                        enums.name = ElementText(xml).trimmed();
                    } else if (Named(xml, u"usage")) {
                        enums.usage = ElementText(xml).trimmed();
                    } else if (Named(xml, u"enumeratedValue")) {
                        SvdEnumValue value;
                        value.line = line();
                        while (xml.readNextStartElement()) {
                            if (Named(xml, u"name"))
                                value.name = ElementText(xml).trimmed();
                            else if (Named(xml, u"description"))
                                value.description = ElementText(xml).simplified();
                            else if (Named(xml, u"value"))
                                value.value = ElementText(xml);
                            else if (Named(xml, u"isDefault"))
                                value.isDefault
                                    = QStringList { QStringLiteral("true"), QStringLiteral("1") }
                                          .contains(ElementText(xml).trimmed());
                            else
                                xml.skipCurrentElement();
                        }
                        if (enums.values.size() < kMaxNamedValues)
                            enums.values.push_back(std::move(value));
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                field.enums.push_back(std::move(enums));
            } else {
                xml.skipCurrentElement();
            }
        }
        if (fields.size() <= kMaxLayoutFields)
            fields.push_back(std::move(field));
    }
    return fields;
}

LayoutFileError XmlError(const QString& file, const QXmlStreamReader& xml, int lineOffset = 0)
{
    return FileError(file, int(xml.lineNumber()) + lineOffset,
        LayoutFiles::tr("not readable XML: %1").arg(xml.errorString()));
}

} // namespace

// --- The outline ------------------------------------------------------------

struct SvdFile::Outline {
    QByteArray bytes;
    QString file;
    QByteArray declaration;
    std::vector<Span> spans;
    std::vector<Node> nodes;
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
            const Node& node = nodes[std::size_t(child)];
            if (child != except && node.dims.count > 0
                && Expand(node.name, node.dims).contains(name))
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
        const Node& n = nodes[std::size_t(node)];
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
            fail(fXml.hasError() ? XmlError(fOut.file, fXml)
                                 : FileError(fOut.file, int(fXml.lineNumber()),
                                     LayoutFiles::tr("no XML element in the file")));
        } else if (!Named(fXml, u"device")) {
            fail(FileError(fOut.file, int(fXml.lineNumber()),
                LayoutFiles::tr("not an SVD file: the top element is <%1>, not <device>")
                    .arg(fXml.name().toString())));
        } else {
            readDevice();
        }
        if (fBroken)
            return false;
        if (!fOut.error && fXml.hasError())
            fail(XmlError(fOut.file, fXml));
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
        const QString text = ElementText(fXml);
        const auto size = SvdNumber(text);
        if (!size || *size > 1 << 20) {
            fail(FileError(fOut.file, line,
                LayoutFiles::tr("size \"%1\" is not a number of bits").arg(text.trimmed())));
            return 0;
        }
        return int(*size);
    }

    int node(NodeKind kind, int parent)
    {
        Node node;
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
    Node& at(int index) { return fOut.nodes[std::size_t(index)]; }

    // name, description, size and dim, which every kind of node has.
    bool common(int index)
    {
        const QStringView name = fXml.name();
        if (name == u"name")
            at(index).name = ElementText(fXml).trimmed();
        else if (name == u"description")
            at(index).description = ElementText(fXml).simplified();
        else if (name == u"size")
            at(index).size = size();
        else if (name == u"dim")
            at(index).dims.count
                = int(std::min<UInt64>(SvdNumber(ElementText(fXml)).value_or(0), kMaxDim + 1));
        else if (name == u"dimIncrement")
            at(index).dims.increment = SvdNumber(ElementText(fXml)).value_or(0);
        else if (name == u"dimIndex")
            at(index).dims.index = ElementText(fXml);
        else
            return false;
        return true;
    }

    void readDevice()
    {
        while (fXml.readNextStartElement()) {
            if (Named(fXml, u"size")) {
                fOut.deviceSize = size();
            } else if (Named(fXml, u"peripherals")) {
                while (fXml.readNextStartElement()) {
                    if (Named(fXml, u"peripheral"))
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
            if (Named(fXml, u"registers"))
                readScope(index);
            else if (!common(index))
                fXml.skipCurrentElement();
        }
    }

    void readScope(int parent)
    {
        while (fXml.readNextStartElement()) {
            if (Named(fXml, u"register"))
                readRegister(parent);
            else if (Named(fXml, u"cluster"))
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
            if (Named(fXml, u"register"))
                readRegister(index);
            else if (Named(fXml, u"cluster"))
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
            if (Named(fXml, u"fields"))
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
void Inherit(SvdFile::Outline& outline)
{
    const std::size_t count = outline.nodes.size();
    // Every scope's own children first, so that base() can search any of
    // them before their inheritance is done.
    outline.effective.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        outline.effective[i] = outline.nodes[i].children;
    std::vector<char> state(count, 0); // 0 to do, 1 under way, 2 done
    std::function<void(int, int)> resolve = [&](int index, int depth) {
        const Node& node = outline.nodes[std::size_t(index)];
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
bool List(SvdFile::Outline& outline)
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
                const Node& node = out.nodes[std::size_t(child)];
                const QStringList names = Expand(node.name, node.dims);
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

SvdFile::SvdFile()
    : fOutline(std::make_shared<Outline>())
{ }

SvdFile SvdFile::read(const QByteArray& bytes, const QString& fileName)
{
    auto outline = std::make_shared<Outline>();
    outline->bytes = bytes;
    outline->file = fileName;
    SvdFile file;
    if (auto tooBig = CheckFileSize(bytes.size(), kMaxLayoutFileSize, fileName)) {
        outline->error = tooBig;
        file.fOutline = outline;
        return file;
    }
    outline->spans = ScanFields(bytes);
    bool done = false;
    if (!outline->spans.empty()) {
        outline->declaration = Declaration(bytes);
        done = OutlineReader(*outline, true).read(Skeleton(bytes, outline->spans));
    }
    if (!done) {
        // The scan did not hold up, or the file has an error, whose message
        // and line the full reading gives as the file has them.
        *outline = Outline {};
        outline->bytes = bytes;
        outline->file = fileName;
        OutlineReader(*outline, false).read(bytes);
    }
    if (!outline->error) {
        Inherit(*outline);
        std::vector<int> bases(outline->nodes.size(), -1);
        for (std::size_t i = 0; i < bases.size(); ++i)
            if (outline->nodes[i].kind == eRegister)
                bases[i] = outline->lookUpBase(int(i));
        outline->registerBases = std::move(bases);
        List(*outline);
    }
    if (outline->error) {
        outline->nodes.clear();
        outline->registers.clear();
    }
    file.fOutline = outline;
    return file;
}

const std::vector<SvdRegister>& SvdFile::registers() const
{
    return fOutline->registers;
}

const std::optional<LayoutFileError>& SvdFile::error() const
{
    return fOutline->error;
}

int SvdFile::find(const QString& qualifiedName) const
{
    const auto exact = fOutline->byName.constFind(qualifiedName);
    if (exact != fOutline->byName.constEnd())
        return exact.value();
    int found = -1;
    for (auto it = fOutline->byName.constBegin(); it != fOutline->byName.constEnd(); ++it) {
        if (it.key().compare(qualifiedName, Qt::CaseInsensitive) != 0)
            continue;
        if (found >= 0 && found != it.value())
            return -1;
        found = it.value();
    }
    return found;
}

bool SvdRegisterMatches(const SvdRegister& entry, const QString& filter)
{
    const QString name = entry.qualifiedName();
    const QStringList words = filter.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::all_of(words.begin(), words.end(), [&](const QString& word) {
        return name.contains(word, Qt::CaseInsensitive)
            || entry.description.contains(word, Qt::CaseInsensitive);
    });
}

// --- Importing a register ---------------------------------------------------

namespace {

// One import: the registers' fields it has read, and what it has to say.
class Import {
public:
    explicit Import(const SvdFile::Outline& outline)
        : fOut(outline)
    { }

    LayoutResult run(int entry);

private:
    const SvdFile::Outline& fOut;
    std::map<int, std::vector<SvdField>> fFields;
    std::vector<LayoutFileError> fWarnings;
    std::optional<LayoutFileError> fError;

    void fail(int line, const QString& message)
    {
        if (!fError)
            fError = FileError(fOut.file, line, message);
    }
    void warn(int line, const QString& message)
    {
        fWarnings.push_back(FileError(fOut.file, line, message));
    }

    const Node& node(int index) const { return fOut.nodes[std::size_t(index)]; }

    // The register whose <fields> `index` uses: itself or what it derives
    // from. -1 with the error set when there is none.
    int fieldsHolder(int index)
    {
        const int start = index;
        for (int hops = 0; hops <= kMaxDerivedHops; ++hops) {
            const Node& n = node(index);
            if (n.span >= 0 || n.fieldsOffset >= 0)
                return index;
            if (n.derivedFrom.isEmpty()) {
                fail(node(start).line,
                    LayoutFiles::tr("register %1 has no fields").arg(node(start).name));
                return -1;
            }
            const int base = fOut.base(index);
            if (base < 0) {
                fail(n.line,
                    LayoutFiles::tr("register %1 derives from %2, which is not in the file")
                        .arg(n.name, n.derivedFrom));
                return -1;
            }
            index = base;
        }
        fail(node(start).line,
            LayoutFiles::tr("register %1: derivedFrom goes round in a circle")
                .arg(node(start).name));
        return -1;
    }

    // The fields written in register `index`, read on first use.
    const std::vector<SvdField>* fields(int index)
    {
        const auto known = fFields.find(index);
        if (known != fFields.end())
            return &known->second;
        const Node& n = node(index);
        QXmlStreamReader xml;
        int lineOffset = 0;
        if (n.span >= 0) {
            const Span& span = fOut.spans[std::size_t(n.span)];
            xml.addData(fOut.declaration + fOut.bytes.mid(span.begin, span.end - span.begin));
            xml.setNamespaceProcessing(false);
            lineOffset = span.line - 1;
            xml.readNextStartElement();
        } else if (n.fieldsOffset >= 0) {
            xml.addData(fOut.bytes);
            while (!xml.atEnd()
                && !(xml.readNext() == QXmlStreamReader::StartElement
                    && xml.characterOffset() == n.fieldsOffset)) { }
        } else {
            return &fFields[index];
        }
        std::vector<SvdField> read = ReadFields(xml, lineOffset);
        if (xml.hasError()) {
            fError = XmlError(fOut.file, xml, lineOffset);
            return nullptr;
        }
        return &(fFields[index] = std::move(read));
    }

    // The register a dotted path starts with, and the rest of the path.
    int registerOfPath(const QString& path, QString& rest) const
    {
        const QStringList parts = path.split(QLatin1Char('.'));
        for (qsizetype n = parts.size() - 1; n >= 2; --n) {
            const auto found = fOut.byName.constFind(parts.mid(0, n).join(QLatin1Char('.')));
            if (found != fOut.byName.constEnd()) {
                rest = parts.mid(n).join(QLatin1Char('.'));
                return fOut.registerNode[std::size_t(found.value())];
            }
        }
        return -1;
    }

    const SvdField* fieldNamed(const std::vector<SvdField>& fields, const QString& name) const
    {
        for (const SvdField& field : fields)
            if (field.name == name)
                return &field;
        return nullptr;
    }

    const SvdField* baseField(const SvdField& field, const std::vector<SvdField>& own);
    const SvdEnums* enumsNamed(const QString& path, const std::vector<SvdField>& own, int line);
    void readValues(const SvdEnums& enums, const QString& fieldName, BitField& field);
    bool position(const SvdField& field, const SvdField* base, int& msb, int& lsb);
};

const SvdField* Import::baseField(const SvdField& field, const std::vector<SvdField>& own)
{
    if (field.derivedFrom.isEmpty())
        return nullptr;
    const SvdField* found = field.derivedFrom.contains(QLatin1Char('.'))
        ? nullptr
        : fieldNamed(own, field.derivedFrom);
    QString rest;
    const int holder = found ? -1 : registerOfPath(field.derivedFrom, rest);
    if (holder >= 0)
        if (const auto* theirs = fields(holder))
            found = fieldNamed(*theirs, rest);
    if (!found || found == &field)
        fail(field.line,
            LayoutFiles::tr("field %1 derives from %2, which is not in the file")
                .arg(field.name, field.derivedFrom));
    return found == &field ? nullptr : found;
}

const SvdEnums* Import::enumsNamed(const QString& path, const std::vector<SvdField>& own, int line)
{
    const auto search = [](const std::vector<SvdField>& fields, const QString& name,
                            const QString& fieldName) -> const SvdEnums* {
        for (const SvdField& field : fields)
            if (fieldName.isEmpty() || field.name == fieldName)
                for (const SvdEnums& enums : field.enums)
                    if (enums.name == name && enums.derivedFrom.isEmpty())
                        return &enums;
        return nullptr;
    };
    const QStringList parts = path.split(QLatin1Char('.'));
    const SvdEnums* found
        = search(own, parts.back(), parts.size() >= 2 ? parts[parts.size() - 2] : QString());
    if (!found && parts.size() >= 2)
        found = search(own, parts.back(), QString());
    QString rest;
    const int holder = found ? -1 : registerOfPath(path, rest);
    if (holder >= 0)
        if (const auto* theirs = fields(holder)) {
            const QStringList inner = rest.split(QLatin1Char('.'));
            found = search(*theirs, inner.back(), inner.size() >= 2 ? inner.front() : QString());
        }
    if (!found)
        warn(line,
            LayoutFiles::tr("enumeratedValues %1 is not in the file; its names are left out")
                .arg(path));
    return found;
}

void Import::readValues(const SvdEnums& enums, const QString& fieldName, BitField& bitField)
{
    for (const SvdEnumValue& value : enums.values) {
        if (value.name.isEmpty()) {
            warn(value.line,
                LayoutFiles::tr("field %1: an enumerated value has no name; left out")
                    .arg(fieldName));
            continue;
        }
        if (value.isDefault) {
            bitField.otherValues = NamedValue { 0, ToUtf8(value.name), ToUtf8(value.description) };
            continue;
        }
        const auto pattern = SvdValuePattern(value.value);
        if (!pattern) {
            warn(value.line,
                LayoutFiles::tr("field %1: value \"%2\" of %3 is not a number; left out")
                    .arg(fieldName, value.value.trimmed(), value.name));
            continue;
        }
        const UInt64 mask = WidthMask(unsigned(FieldWidth(bitField)));
        const UInt64 free = ~pattern->care & mask;
        if ((pattern->value & ~mask) != 0 || (~pattern->care & ~mask) != 0) {
            warn(value.line,
                LayoutFiles::tr("field %1: value %2 of %3 does not fit its %4 bits; left out")
                    .arg(fieldName, value.value.trimmed(), value.name)
                    .arg(FieldWidth(bitField)));
            continue;
        }
        int freeBits = 0;
        for (UInt64 bits = free; bits != 0; bits &= bits - 1)
            ++freeBits;
        if ((1 << std::min(freeBits, 30)) > kMaxDontCareExpansion) {
            warn(value.line,
                LayoutFiles::tr("field %1: value %2 of %3 stands for more than %4 values; left out")
                    .arg(fieldName, value.value.trimmed(), value.name)
                    .arg(kMaxDontCareExpansion));
            continue;
        }
        // Every value the pattern stands for, each of the free bits 0 or 1.
        UInt64 subset = 0;
        do {
            if (bitField.values.size() >= kMaxNamedValues)
                return;
            bitField.values.push_back(
                { pattern->value | subset, ToUtf8(value.name), ToUtf8(value.description) });
            subset = (subset - free) & free;
        } while (subset != 0);
    }
}

bool Import::position(const SvdField& field, const SvdField* base, int& msb, int& lsb)
{
    const SvdField& from = field.hasPosition() || !base ? field : *base;
    const auto number = [&](const QString& text, const char* what) -> std::optional<int> {
        const auto value = SvdNumber(text);
        if (!value || *value > 1000) {
            fail(field.line,
                LayoutFiles::tr("field %1: %2 \"%3\" is not a bit number")
                    .arg(field.name, QLatin1String(what), text.trimmed()));
            return std::nullopt;
        }
        return int(*value);
    };
    if (!from.bitRange.isNull()) {
        const QString range = from.bitRange.trimmed();
        const QStringList parts = range.mid(1, range.size() - 2).split(QLatin1Char(':'));
        if (!range.startsWith(QLatin1Char('[')) || !range.endsWith(QLatin1Char(']'))
            || parts.size() != 2) {
            fail(field.line,
                LayoutFiles::tr("field %1: bitRange \"%2\" is not [msb:lsb]")
                    .arg(field.name, range));
            return false;
        }
        const auto high = number(parts[0], "bitRange");
        const auto low = number(parts[1], "bitRange");
        if (!high || !low)
            return false;
        msb = *high;
        lsb = *low;
    } else if (!from.lsb.isNull() || !from.msb.isNull()) {
        const auto low = number(from.lsb, "lsb");
        const auto high = number(from.msb, "msb");
        if (!high || !low)
            return false;
        msb = *high;
        lsb = *low;
    } else if (!from.bitOffset.isNull()) {
        const auto offset = number(from.bitOffset, "bitOffset");
        const auto width
            = from.bitWidth.isNull() ? std::optional<int>(1) : number(from.bitWidth, "bitWidth");
        if (!offset || !width)
            return false;
        lsb = *offset;
        msb = *offset + *width - 1;
    } else {
        fail(field.line,
            LayoutFiles::tr("field %1 has no bit position (bitOffset, lsb and msb, or bitRange)")
                .arg(field.name));
        return false;
    }
    return true;
}

LayoutResult Import::run(int entry)
{
    const SvdRegister& chosen = fOut.registers[std::size_t(entry)];
    const int registerNode = fOut.registerNode[std::size_t(entry)];
    BitFieldLayout layout;
    layout.name = ToUtf8(chosen.qualifiedName());
    layout.description = ToUtf8(chosen.description);
    if (chosen.size < 1 || chosen.size > 64)
        return Failed(FileError(fOut.file, chosen.line,
            LayoutFiles::tr("register %1 is %2 bits wide; Bitlens holds up to 64")
                .arg(chosen.qualifiedName())
                .arg(chosen.size)));
    for (int width : { 8, 16, 32, 64 })
        if (layout.width == 0 && chosen.size <= width)
            layout.width = width;

    const int holder = fieldsHolder(registerNode);
    const std::vector<SvdField>* written = holder >= 0 ? fields(holder) : nullptr;
    if (!written)
        return Failed(*fError);
    const std::vector<SvdField>& own = *written;

    std::vector<int> lineOfField;
    for (const SvdField& field : own) {
        const SvdField* base = baseField(field, own);
        int msb = 0, lsb = 0;
        if (fError || !position(field, base, msb, lsb))
            return Failed(*fError);
        const SvdField& described = field.description.isEmpty() && base ? *base : field;
        const std::vector<SvdEnums>& enumsList
            = field.enums.empty() && base ? base->enums : field.enums;

        BitField bitField;
        bitField.msb = msb;
        bitField.lsb = lsb;
        bitField.description = ToUtf8(described.description);
        // The values a read shows: enumeratedValues for reading, else the first.
        const SvdEnums* enums = nullptr;
        for (const SvdEnums& candidate : enumsList)
            if (!enums && candidate.usage != u"write")
                enums = &candidate;
        if (!enums && !enumsList.empty())
            enums = &enumsList.front();
        if (enums && !enums->derivedFrom.isEmpty())
            enums = enumsNamed(enums->derivedFrom, own, enums->line);
        if (fError)
            return Failed(*fError);
        if (enums && FieldBitsValid(bitField))
            readValues(*enums, field.name, bitField);

        const QStringList names = Expand(field.name, field.dims);
        for (qsizetype i = 0; i < names.size(); ++i) {
            BitField element = bitField;
            element.name = ToUtf8(names[i]);
            const UInt64 shift = std::min<UInt64>(UInt64(i) * field.dims.increment, 1000);
            element.lsb += int(shift);
            element.msb += int(shift);
            if (layout.fields.size() == kMaxLayoutFields)
                return Failed(FileError(fOut.file, field.line,
                    LayoutFiles::tr("more than %1 fields").arg(kMaxLayoutFields)));
            layout.fields.push_back(std::move(element));
            lineOfField.push_back(field.line);
        }
    }
    if (layout.fields.empty())
        return Failed(FileError(fOut.file, chosen.line,
            LayoutFiles::tr("register %1 has no fields").arg(chosen.qualifiedName())));
    if (auto unsound = FirstProblem(layout, fOut.file,
            [&](int field) { return field < 0 ? chosen.line : lineOfField[std::size_t(field)]; }))
        return Failed(*unsound);
    LayoutResult result;
    result.layout = std::move(layout);
    result.warnings = std::move(fWarnings);
    return result;
}

} // namespace

LayoutResult SvdFile::importRegister(int index) const
{
    if (fOutline->error)
        return Failed(*fOutline->error);
    if (index < 0 || std::size_t(index) >= fOutline->registers.size())
        return Failed(FileError(fOutline->file, 0, LayoutFiles::tr("no such register in the file"),
            eLayoutErrorUnknownRegister));
    return Import(*fOutline).run(index);
}

LayoutResult SvdFile::importRegister(const QString& qualifiedName) const
{
    if (fOutline->error)
        return Failed(*fOutline->error);
    if (qualifiedName.trimmed().isEmpty())
        return Failed(FileError(fOutline->file, 0,
            LayoutFiles::tr("an SVD file holds many registers: name one as PERIPHERAL.REGISTER"),
            eLayoutErrorNoRegister));
    const int index = find(qualifiedName.trimmed());
    if (index < 0)
        return Failed(FileError(fOutline->file, 0,
            LayoutFiles::tr("no register %1 in the file").arg(qualifiedName.trimmed()),
            eLayoutErrorUnknownRegister));
    return importRegister(index);
}
