#include "LayoutFile.h"

#include "BitlensLayoutFile.h"
#include "CHeaderFile.h"
#include "FileSupport.h"
#include "SvdFile.h"
#include "WavedromFile.h"

#include <QFile>
#include <QFileInfo>

LayoutFormat DetectLayoutFormat(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return eLayoutFormatSvd;
    // Blanks and comments say nothing: a diagram may open with a // line as
    // a header does.
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < bytes.size()) {
        const char c = bytes[at];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++at;
        } else if (bytes.mid(at, 2) == "//") {
            const qsizetype end = bytes.indexOf('\n', at);
            at = end < 0 ? bytes.size() : end;
        } else if (bytes.mid(at, 2) == "/*") {
            const qsizetype end = bytes.indexOf("*/", at + 2);
            at = end < 0 ? bytes.size() : end + 2;
        } else {
            break;
        }
    }
    const char first = at < bytes.size() ? bytes[at] : '\0';
    if (first == '<')
        return eLayoutFormatSvd;
    if (first == '[')
        return eLayoutFormatWavedrom;
    if (first == '{')
        return IsBitlensLayoutFile(bytes) ? eLayoutFormatBitlens : eLayoutFormatWavedrom;
    return eLayoutFormatCHeader;
}

LayoutResult ImportLayout(
    const QByteArray& bytes, const QString& fileName, const QString& svdRegister)
{
    switch (DetectLayoutFormat(bytes)) {
    case eLayoutFormatBitlens: return ImportBitlensLayout(bytes, fileName);
    case eLayoutFormatWavedrom: return ImportWavedrom(bytes, fileName);
    case eLayoutFormatSvd: return SvdFile::read(bytes, fileName).importRegister(svdRegister);
    case eLayoutFormatCHeader: break;
    }
    return ImportCHeader(bytes, fileName);
}

LayoutFileBytes ReadLayoutFileBytes(const QString& path, qint64 limit)
{
    LayoutFileBytes read;
    const QFileInfo info(path);
    if (!info.exists()) {
        read.error = FileError(path, 0, LayoutFiles::tr("no such file"));
        return read;
    }
    if (!info.isFile()) {
        read.error = FileError(path, 0, LayoutFiles::tr("not a file"));
        return read;
    }
    if ((read.error = CheckFileSize(info.size(), limit, path)))
        return read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = FileError(path, 0, file.errorString());
        return read;
    }
    // Read no more than the limit, should the file grow meanwhile.
    read.bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        read.error = FileError(path, 0, file.errorString());
    else
        read.error = CheckFileSize(read.bytes.size(), limit, path);
    if (read.error)
        read.bytes.clear();
    return read;
}

LayoutResult ReadLayoutFile(const QString& path, const QString& svdRegister)
{
    const LayoutFileBytes read = ReadLayoutFileBytes(path);
    if (read.error)
        return Failed(*read.error);
    return ImportLayout(read.bytes, path, svdRegister);
}
