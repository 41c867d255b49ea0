// The byte scan of an SVD file: its <fields> elements found by bytes alone,
// so that listing the registers need not read them with the XML reader.
#ifndef BITLENS_SVDSCAN_H
#define BITLENS_SVDSCAN_H

#include <QByteArray>

#include <vector>

// A <fields> element of the file that the byte scan skipped: its bytes,
// from '<' to past its end tag, and the line it starts on.
struct SvdSpan {
    qsizetype begin;
    qsizetype end;
    int line;
};

// The <fields> elements, found by bytes alone, so that the XML reader need
// not read what listing the registers does not use. Empty when the file is
// one the scan cannot follow (<fields> within <fields>, markup that does not
// end); the reader then reads the file whole. A DOCTYPE is passed over: an
// entity it declares that holds a <fields> shows in the skeleton as one the
// scan did not mark, and the file is read whole then too.
std::vector<SvdSpan> ScanSvdFields(const QByteArray& bytes);

// The file with each span replaced by an empty <fields> that names it, and
// as many line breaks as the span held, so that every line number the XML
// reader gives is the file's own.
QByteArray SvdSkeleton(const QByteArray& bytes, const std::vector<SvdSpan>& spans);

// What a span needs before it to be read on its own: the XML declaration,
// which tells its encoding, and the DOCTYPE with the entities it declares,
// on one line.
QByteArray XmlPrologue(const QByteArray& bytes);

#endif
