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

LayoutResult SvdFile::importRegister(int index) const
{
    if (fOutline->error)
        return Failed(*fOutline->error);
    if (index < 0 || std::size_t(index) >= fOutline->registers.size())
        return Failed(FileError(fOutline->file, 0, LayoutFiles::tr("no such register in the file"),
            eLayoutErrorUnknownRegister));
    return ImportSvdRegister(*fOutline, index);
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
