#include "SvdFile.h"

#include "FileSupport.h"
#include "SvdImport.h"
#include "SvdOutline.h"

#include <algorithm>

SvdFile::SvdFile()
    : fOutline(std::make_shared<Outline>())
{ }

SvdFile SvdFile::read(const QByteArray& bytes, const QString& fileName)
{
    auto outline = std::make_shared<Outline>();
    ReadSvdOutline(*outline, bytes, fileName);
    SvdFile file;
    file.fOutline = outline;
    return file;
}

const std::optional<LayoutFileError>& SvdFile::error() const
{
    return fOutline->error;
}

std::size_t SvdFile::registerCount() const
{
    return fOutline->listed.size();
}

SvdRegister SvdFile::registerAt(std::size_t index) const
{
    if (index >= fOutline->listed.size())
        return {};
    return fOutline->registerOf(fOutline->pathOf(index));
}

bool SvdFile::listsEveryRegister() const
{
    return fOutline->listedAll;
}

bool SvdRegisterMatches(const SvdRegister& entry, const QString& filter)
{
    const QString name = entry.qualifiedName();
    // UART[0] is found as UART0 too, as it is named in the headers.
    const QString unbracketed = QString(name).remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    const QStringList words = filter.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::all_of(words.begin(), words.end(), [&](const QString& word) {
        return name.contains(word, Qt::CaseInsensitive)
            || unbracketed.contains(word, Qt::CaseInsensitive)
            || entry.description.contains(word, Qt::CaseInsensitive);
    });
}

LayoutResult SvdFile::importRegister(std::size_t index) const
{
    if (fOutline->error)
        return Failed(*fOutline->error);
    if (index >= fOutline->listed.size())
        return Failed(FileError(fOutline->file, 0, LayoutFiles::tr("no such register in the file"),
            eLayoutErrorUnknownRegister));
    const SvdPath path = fOutline->pathOf(index);
    return ImportSvdRegister(*fOutline, path, fOutline->registerOf(path).qualifiedName());
}

LayoutResult SvdFile::importRegister(const QString& qualifiedName) const
{
    if (fOutline->error)
        return Failed(*fOutline->error);
    const QString name = qualifiedName.trimmed();
    if (name.isEmpty())
        return Failed(FileError(fOutline->file, 0,
            LayoutFiles::tr("an SVD file holds many registers: name one as PERIPHERAL.REGISTER"),
            eLayoutErrorNoRegister));
    SvdPath path = fOutline->findRegister(name);
    // A name that itself holds a dot (not a C name, but files have them)
    // splits wrongly above; it is still found as it is listed.
    for (std::size_t i = 0; path.empty() && i < fOutline->listed.size(); ++i) {
        const SvdPath listed = fOutline->pathOf(i);
        const bool dotted = std::any_of(listed.begin(), listed.end(), [&](const SvdElement& at) {
            return fOutline->node(at.node).name.contains(QLatin1Char('.'));
        });
        if (dotted && fOutline->registerOf(listed).qualifiedName() == name)
            path = listed;
    }
    if (path.empty())
        return Failed(FileError(fOutline->file, 0,
            LayoutFiles::tr("no register %1 in the file").arg(name), eLayoutErrorUnknownRegister));
    return ImportSvdRegister(*fOutline, path, name);
}
