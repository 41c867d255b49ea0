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
// one the scan cannot follow: a DTD (entities may hold anything), <fields>
// within <fields>; the reader then reads the file whole.
std::vector<SvdSpan> ScanSvdFields(const QByteArray& bytes);

// The file with each span replaced by an empty <fields> that names it, and
// as many line breaks as the span held, so that every line number the XML
// reader gives is the file's own.
QByteArray SvdSkeleton(const QByteArray& bytes, const std::vector<SvdSpan>& spans);

// The XML declaration at the start of the file, which tells a span's
// encoding when it is read on its own.
QByteArray XmlDeclaration(const QByteArray& bytes);

#endif
