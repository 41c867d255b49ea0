// What a window looked like when it was last closed, for the next start to
// open as it was left: $XDG_CONFIG_HOME/bitlens/window-state
// (~/.config/bitlens/window-state when XDG_CONFIG_HOME is unset, empty or
// not absolute), a few hundred bytes of text, one line a setting.
//
// The file is written whole or not at all (QSaveFile: a temporary file
// renamed over the old one), and read before every write, so that it is
// never written over unread. A missing file means the defaults. A damaged
// one means the defaults and one line on standard error, and it is copied
// aside (window-state.damaged) before a new one replaces it. A foreign one
// (another program's, a newer Bitlens's, or too large to be ours) means the
// defaults and one line, and it is never written over.
//
// Beside the store, the two rules of where a window goes: back where it
// was, on a screen that is still there, and cascading from the last one.
#ifndef BITLENS_WINDOWSTATESTORE_H
#define BITLENS_WINDOWSTATESTORE_H

#include "engine/BaseConverter.h"
#include "engine/Notation.h"

#include <QRect>
#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

// A screen as the window system names it, in the desktop's logical pixels.
struct ScreenArea {
    QString name;
    QRect geometry; // the whole screen
    QRect available; // less the desktop's panels and docks
};

// Where the window was on one screen: its frame, decorations included
// (QWidget::frameGeometry).
struct WindowPlacement {
    QString screen;
    QRect screenGeometry; // the screen's as it was then
    QRect frame;

    bool operator==(const WindowPlacement& other) const
    {
        return screen == other.screen && screenGeometry == other.screenGeometry
            && frame == other.frame;
    }
};

// A side panel by its object name ("historyPanel", "bitFieldPanel").
struct PanelState {
    QString name;
    bool shown = false;
    QSize size { 0, 0 }; // none yet: the panel's own
    bool below = false; // docked under the rows rather than beside them

    bool operator==(const PanelState& other) const
    {
        return name == other.name && shown == other.shown && size == other.size
            && below == other.below;
    }
};

struct WindowState {
    // One a screen, by its name and geometry, the latest first.
    std::vector<WindowPlacement> placements;
    bool mathOpen = false;
    std::vector<PanelState> panels;
    UInt16 width = 32;
    std::vector<Notation> hiddenNotations;
    // The saved layout that was open, by its file's name in the layouts
    // folder; empty when none was.
    QString layoutFile;

    // At most this many screens are remembered; the oldest go first.
    static constexpr std::size_t kMaxPlacements = 8;

    // Keeps `placement` as its screen's, first.
    void place(const WindowPlacement& placement);

    bool operator==(const WindowState& other) const;
    bool operator!=(const WindowState& other) const { return !(*this == other); }
};

class WindowStateStore {
public:
    explicit WindowStateStore(QString path = defaultPath());
    static QString defaultPath();
    const QString& path() const { return fPath; }

    // What the file holds; the defaults when it is missing, damaged or
    // foreign (then with one line on standard error).
    WindowState load();

    // Writes `state`, keeping what the file holds for the screens `state`
    // has no placement for, so that windows closed on other screens keep
    // theirs. Says whether it was written: not over a foreign file, nor
    // when the file cannot be read or written (one line then).
    bool save(const WindowState& state);

private:
    enum class Reading { eMissing, eSound, eDamaged, eForeign, eUnreadable };
    Reading read(WindowState& state, QString& problem) const;
    bool keepDamagedAside();
    void warn(const QString& problem);

    QString fPath;
    QString fLastWarning;
};

// The file's text for `state`, and a state read back from a file's text:
// nothing when the text is damaged or foreign, with the line and the
// problem in `problem`.
struct WindowStateReading {
    std::optional<WindowState> state;
    bool foreign = false;
    QString problem;
};
QByteArray WriteWindowState(const WindowState& state);
WindowStateReading ReadWindowState(const QByteArray& text);

// Where a window opens again: its placement on the screen of the same name
// and geometry, else on the screen of the same name, else the latest one
// on the primary screen (`screens[primary]`), at the same place on it. In
// each case within the screen's available area, shrunk to fit: never off
// every screen. Nothing when nothing is saved or there is no screen.
std::optional<QRect> RestoredFrame(const std::vector<WindowPlacement>& saved,
    const std::vector<ScreenArea>& screens, std::size_t primary = 0);

// `frame` moved, and shrunk where it is larger, to lie within `area`.
QRect FitWithin(QRect frame, const QRect& area);

// A new window's frame: the last one's moved by `step`; where that reaches
// past the right or bottom edge of `available`, from its top left corner
// again. Within `available` in any case.
QRect CascadeFrom(const QRect& last, const QRect& available, QPoint step);

#endif
