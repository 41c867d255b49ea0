// The user's saved layouts: one file each, in the program's own format, in
// $XDG_DATA_HOME/bitlens/layouts/ (~/.local/share/bitlens/layouts/ when
// XDG_DATA_HOME is unset, empty or not absolute).
//
// A file is written whole or not at all (QSaveFile: a temporary file renamed
// over the old one), so a crash or a full disk leaves the old file. A file
// that cannot be read as a layout (damaged, foreign, from a newer Bitlens)
// is listed as damaged, opened nowhere, and never written over: saving to
// it picks a new file instead. Only *.json files are listed; a temporary
// file a crash left behind is not one.
#ifndef BITLENS_LAYOUTSTORE_H
#define BITLENS_LAYOUTSTORE_H

#include "LayoutFile.h"

#include <vector>

struct StoredLayout {
    QString path;
    QString name; // the layout's name; for a damaged file, the file's name
    std::optional<LayoutFileError> damage; // why it cannot be opened; set when damaged

    bool damaged() const { return damage.has_value(); }
};

struct LayoutSave {
    QString path; // where the layout now is
    std::optional<LayoutFileError> error; // set when nothing was written

    bool ok() const { return !error; }
};

class LayoutStore {
public:
    // The store in `directory`, which need not exist until a layout is saved.
    explicit LayoutStore(QString directory = defaultDirectory());
    static QString defaultDirectory();
    const QString& directory() const { return fDirectory; }

    // Every layout file, sound or damaged, sorted by name ignoring case.
    // An unreadable directory lists nothing.
    std::vector<StoredLayout> list() const;

    // The layout in `path`, or why it is damaged.
    LayoutResult load(const QString& path) const;

    // Writes `layout` and returns where it went:
    //  - an empty `path` saves a new layout, to a new file named after it
    //    ("CTRL.json", "CTRL-2.json", ...), never over an existing file;
    //  - a `path` that is missing or holds a sound layout is written over;
    //  - a `path` that holds a damaged file is kept, and the layout goes to
    //    a new file as for an empty path.
    // A layout that is not sound (LayoutProblems) is refused, as is a
    // directory that cannot be made or a write that fails; the old file
    // then stays as it was.
    LayoutSave save(const BitFieldLayout& layout, const QString& path = {}) const;

    // Deletes the saved layout in `path`, a *.json file of this store's
    // own folder, nothing else; returns what went wrong, if anything. A file
    // already gone is no error.
    std::optional<LayoutFileError> remove(const QString& path) const;

private:
    QString fDirectory;

    QString freshPath(const BitFieldLayout& layout) const;
};

#endif
