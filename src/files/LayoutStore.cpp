#include "LayoutStore.h"

#include "BitlensLayoutFile.h"
#include "FileSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

bool Taken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// A file name from a layout's name: letters, digits, '.', '-' and '_' only,
// not hidden, not too long.
QString FileStem(const std::string& name)
{
    QString stem;
    for (QChar c : FromUtf8(name)) {
        const char16_t u = c.unicode();
        const bool keep = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
            || u == '.' || u == '-' || u == '_';
        stem += keep ? c : QLatin1Char('_');
    }
    while (stem.startsWith(QLatin1Char('.')))
        stem.remove(0, 1);
    stem.truncate(64);
    return stem.isEmpty() ? QStringLiteral("layout") : stem;
}

} // namespace

LayoutStore::LayoutStore(QString directory)
    : fDirectory(std::move(directory))
{ }

QString LayoutStore::defaultDirectory()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QLatin1String("/.local/share");
    return data + QLatin1String("/bitlens/layouts");
}

std::vector<StoredLayout> LayoutStore::list() const
{
    std::vector<StoredLayout> layouts;
    const QFileInfoList files
        = QDir(fDirectory)
              .entryInfoList({ QStringLiteral("*.json") }, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& file : files) {
        if (file.fileName().startsWith(QLatin1Char('.')))
            continue;
        StoredLayout stored;
        stored.path = file.filePath();
        const LayoutResult read = load(stored.path);
        stored.name = read.ok() ? FromUtf8(read.layout.name) : file.fileName();
        stored.damage = read.error;
        layouts.push_back(std::move(stored));
    }
    std::stable_sort(
        layouts.begin(), layouts.end(), [](const StoredLayout& a, const StoredLayout& b) {
            return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
        });
    return layouts;
}

LayoutResult LayoutStore::load(const QString& path) const
{
    const LayoutFileBytes read = ReadLayoutFileBytes(path, kMaxJsonLayoutFileSize);
    if (read.error)
        return Failed(*read.error);
    return ImportBitlensLayout(read.bytes, path);
}

QString LayoutStore::freshPath(const BitFieldLayout& layout) const
{
    const QString stem = QDir(fDirectory).filePath(FileStem(layout.name));
    QString path = stem + QLatin1String(".json");
    for (int n = 2; Taken(path); ++n)
        path = QStringLiteral("%1-%2.json").arg(stem).arg(n);
    return path;
}

LayoutSave LayoutStore::save(const BitFieldLayout& layout, const QString& path) const
{
    LayoutSave saved;
    const QString name = FromUtf8(layout.name);
    if (auto unsound = FirstProblem(layout, name, [](int) { return 0; })) {
        saved.error = unsound;
        return saved;
    }
    if (!QDir().mkpath(fDirectory)) {
        saved.error = FileError(fDirectory, 0, LayoutFiles::tr("the folder cannot be made"));
        return saved;
    }
    saved.path = path;
    if (path.isEmpty() || (Taken(path) && !load(path).ok()))
        saved.path = freshPath(layout);

    QSaveFile file(saved.path);
    const QByteArray bytes = ExportBitlensLayout(layout);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        saved.error = FileError(saved.path, 0, file.errorString());
    return saved;
}

std::optional<LayoutFileError> LayoutStore::remove(const QString& path) const
{
    const QFileInfo file(path);
    const bool ours = file.suffix() == QLatin1String("json")
        && QFileInfo(file.absolutePath()) == QFileInfo(fDirectory);
    if (!ours)
        return FileError(path, 0, LayoutFiles::tr("not a saved layout"));
    if (!Taken(path))
        return std::nullopt;
    QFile gone(path);
    if (!gone.remove())
        return FileError(path, 0, gone.errorString());
    return std::nullopt;
}
