#include "WindowStateStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::string_view kHeaderStart = "bitlens window state ";
constexpr std::string_view kVersion = "1";
// What this Bitlens writes stays well below this; a larger file is no
// window state of ours.
constexpr qint64 kMaxFileSize = 64 * 1024;
// Coordinates and sizes beyond any desktop's.
constexpr int kMaxCoordinate = 1 << 20;
constexpr int kMaxNameLength = 256;
constexpr std::array<UInt16, 5> kWidths = { 8, 16, 32, 64, 128 };
// By Notation, as the history writes them.
constexpr std::string_view kNotationWords[eNotationCount] = { "binary", "decimal", "hexadecimal",
    "octal", "base36", "text", "ip", "version", "float", "uuid" };

bool SameScreen(const WindowPlacement& a, const WindowPlacement& b)
{
    return a.screen == b.screen && a.screenGeometry == b.screenGeometry;
}

QByteArray Encoded(const QString& text)
{
    return text.toUtf8().toPercentEncoding();
}

QByteArray Number(int value)
{
    return QByteArray::number(value);
}

QByteArray Rect(const QRect& rect)
{
    return Number(rect.x()) + '\t' + Number(rect.y()) + '\t' + Number(rect.width()) + '\t'
        + Number(rect.height());
}

// The fields of one line, read in turn; any field that is not what it
// should be leaves the reader failed.
class Fields {
public:
    explicit Fields(const QByteArray& line)
        : fFields(line.split('\t'))
    { }

    bool failed() const { return fFailed; }
    bool atEnd() const { return fNext >= fFields.size(); }
    // Every field read and none left over.
    bool done() const { return !fFailed && atEnd(); }

    QByteArray word()
    {
        if (atEnd()) {
            fFailed = true;
            return {};
        }
        return fFields[fNext++];
    }
    QString text()
    {
        const QString decoded = QString::fromUtf8(QByteArray::fromPercentEncoding(word()));
        if (decoded.size() > kMaxNameLength)
            fFailed = true;
        return decoded;
    }
    int number(int low, int high)
    {
        bool ok = false;
        const QByteArray digits = word();
        const int value = digits.toInt(&ok);
        if (!ok || value < low || value > high)
            fFailed = true;
        return value;
    }
    QRect rect()
    {
        const int x = number(-kMaxCoordinate, kMaxCoordinate);
        const int y = number(-kMaxCoordinate, kMaxCoordinate);
        const int width = number(1, kMaxCoordinate);
        const int height = number(1, kMaxCoordinate);
        return QRect(x, y, width, height);
    }
    bool choice(const char* yes, const char* no)
    {
        const QByteArray said = word();
        if (said != yes && said != no)
            fFailed = true;
        return said == yes;
    }

private:
    QList<QByteArray> fFields;
    qsizetype fNext = 0;
    bool fFailed = false;
};

// A file name in the layouts folder, and nothing that reaches out of it.
bool IsLayoutFileName(const QString& name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('/'))
        && !name.contains(QChar(u'\0'));
}

} // namespace

void WindowState::place(const WindowPlacement& placement)
{
    placements.erase(std::remove_if(placements.begin(), placements.end(),
                         [&](const WindowPlacement& kept) { return SameScreen(kept, placement); }),
        placements.end());
    placements.insert(placements.begin(), placement);
    if (placements.size() > kMaxPlacements)
        placements.resize(kMaxPlacements);
}

bool WindowState::operator==(const WindowState& other) const
{
    return placements == other.placements && mathOpen == other.mathOpen && panels == other.panels
        && width == other.width && hiddenNotations == other.hiddenNotations
        && layoutFile == other.layoutFile;
}

// --- The text form -------------------------------------------------------------

QByteArray WriteWindowState(const WindowState& state)
{
    QByteArray text = QByteArray(kHeaderStart.data(), qsizetype(kHeaderStart.size()))
        + QByteArray(kVersion.data(), qsizetype(kVersion.size())) + '\n';
    text += QByteArray("math\t") + (state.mathOpen ? "open" : "closed") + '\n';
    text += "width\t" + Number(state.width) + '\n';
    if (!state.hiddenNotations.empty()) {
        text += "hidden";
        for (const Notation notation : state.hiddenNotations)
            text += '\t' + QByteArray(kNotationWords[notation].data());
        text += '\n';
    }
    for (const PanelState& panel : state.panels)
        text += "panel\t" + Encoded(panel.name) + '\t' + (panel.shown ? "shown" : "hidden") + '\t'
            + Number(std::max(0, panel.size.width())) + '\t'
            + Number(std::max(0, panel.size.height())) + (panel.below ? "\tbelow" : "") + '\n';
    if (!state.layoutFile.isEmpty())
        text += "layout\t" + Encoded(state.layoutFile) + '\n';
    for (const WindowPlacement& placement : state.placements)
        text += "placement\t" + Encoded(placement.screen) + '\t' + Rect(placement.screenGeometry)
            + '\t' + Rect(placement.frame) + '\n';
    return text;
}

WindowStateReading ReadWindowState(const QByteArray& text)
{
    WindowStateReading reading;
    const QList<QByteArray> lines = text.split('\n');
    const QByteArray& header = lines.front();
    const QByteArray start(kHeaderStart.data(), qsizetype(kHeaderStart.size()));
    if (!header.startsWith(start) || header.mid(start.size()) != kVersion.data()) {
        reading.foreign = true;
        reading.problem = header.startsWith(start)
            ? QStringLiteral("written by a newer Bitlens")
            : QStringLiteral("it does not start as a window state does");
        return reading;
    }

    WindowState state;
    QByteArrayList seen;
    for (qsizetype at = 1; at < lines.size(); ++at) {
        if (lines[at].isEmpty())
            continue;
        Fields fields(lines[at]);
        const QByteArray key = fields.word();
        const bool once = key != "panel" && key != "placement";
        bool known = true;
        if (key == "math") {
            state.mathOpen = fields.choice("open", "closed");
        } else if (key == "width") {
            const int width = fields.number(kWidths.front(), kWidths.back());
            if (std::find(kWidths.begin(), kWidths.end(), width) == kWidths.end())
                return { std::nullopt, false,
                    QStringLiteral("line %1: %2 is no width").arg(at + 1).arg(width) };
            state.width = UInt16(width);
        } else if (key == "hidden") {
            while (!fields.atEnd() && !fields.failed()) {
                const QByteArray word = fields.word();
                const auto found = std::find(std::begin(kNotationWords), std::end(kNotationWords),
                    std::string_view(word.constData(), std::size_t(word.size())));
                const auto notation
                    = static_cast<Notation>(std::distance(std::begin(kNotationWords), found));
                if (found == std::end(kNotationWords)
                    || std::count(
                        state.hiddenNotations.begin(), state.hiddenNotations.end(), notation))
                    return { std::nullopt, false,
                        QStringLiteral("line %1: %2 is no notation, or named twice")
                            .arg(at + 1)
                            .arg(QString::fromUtf8(word)) };
                state.hiddenNotations.push_back(notation);
            }
            // At least one notation stays shown.
            if (state.hiddenNotations.size() >= std::size_t(eNotationCount))
                return { std::nullopt, false,
                    QStringLiteral("line %1: every notation hidden").arg(at + 1) };
        } else if (key == "panel") {
            PanelState panel;
            panel.name = fields.text();
            panel.shown = fields.choice("shown", "hidden");
            const int width = fields.number(0, kMaxCoordinate);
            panel.size = QSize(width, fields.number(0, kMaxCoordinate));
            // Written only for a panel under the rows; older files lack it.
            if (!fields.atEnd())
                panel.below = fields.choice("below", "beside");
            state.panels.push_back(panel);
        } else if (key == "layout") {
            state.layoutFile = fields.text();
            if (!IsLayoutFileName(state.layoutFile))
                return { std::nullopt, false,
                    QStringLiteral("line %1: no layout file's name").arg(at + 1) };
        } else if (key == "placement") {
            WindowPlacement placement;
            placement.screen = fields.text();
            placement.screenGeometry = fields.rect();
            placement.frame = fields.rect();
            if (state.placements.size() < WindowState::kMaxPlacements
                && std::none_of(state.placements.begin(), state.placements.end(),
                    [&](const WindowPlacement& kept) { return SameScreen(kept, placement); }))
                state.placements.push_back(placement);
        } else {
            known = false;
        }
        if (!known || !fields.done() || (once && seen.contains(key)))
            return { std::nullopt, false, QStringLiteral("line %1 cannot be read").arg(at + 1) };
        seen.append(key);
    }
    reading.state = std::move(state);
    return reading;
}

// --- The file ------------------------------------------------------------------

WindowStateStore::WindowStateStore(QString path)
    : fPath(std::move(path))
{ }

QString WindowStateStore::defaultPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QLatin1String("/.config");
    return config + QLatin1String("/bitlens/window-state");
}

WindowStateStore::Reading WindowStateStore::read(WindowState& state, QString& problem) const
{
    const QFileInfo info(fPath);
    if (!info.exists() && !info.isSymLink())
        return Reading::eMissing;
    QFile file(fPath);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return Reading::eUnreadable;
    }
    // Plain reads of a few hundred bytes; never more than the limit.
    const QByteArray text = file.read(kMaxFileSize + 1);
    if (text.size() > kMaxFileSize) {
        problem = QStringLiteral("larger than a window state is");
        return Reading::eForeign;
    }
    WindowStateReading reading = ReadWindowState(text);
    if (!reading.state) {
        problem = reading.problem;
        return reading.foreign ? Reading::eForeign : Reading::eDamaged;
    }
    state = std::move(*reading.state);
    return Reading::eSound;
}

WindowState WindowStateStore::load()
{
    WindowState state;
    QString problem;
    switch (read(state, problem)) {
    case Reading::eMissing:
    case Reading::eSound: return state;
    case Reading::eDamaged:
        warn(QStringLiteral("the window state file %1 is damaged (%2): the window opens as new, "
                            "and the file is kept as %3 when the state is next saved")
                 .arg(fPath, problem, QFileInfo(fPath).fileName() + QLatin1String(".damaged")));
        break;
    case Reading::eForeign:
        warn(QStringLiteral("%1 is no window state of this Bitlens (%2): the window opens as new, "
                            "and the file is left as it is")
                 .arg(fPath, problem));
        break;
    case Reading::eUnreadable:
        warn(QStringLiteral("the window state file %1 cannot be read (%2): the window opens as "
                            "new, and the file is left as it is")
                 .arg(fPath, problem));
        break;
    }
    return WindowState();
}

bool WindowStateStore::save(const WindowState& state)
{
    WindowState written = state;
    WindowState held;
    QString problem;
    switch (read(held, problem)) {
    case Reading::eMissing: break;
    case Reading::eSound:
        // Latest first: the file's for screens this state has none for.
        for (const WindowPlacement& placement : held.placements)
            if (std::none_of(written.placements.begin(), written.placements.end(),
                    [&](const WindowPlacement& kept) { return SameScreen(kept, placement); }))
                written.placements.push_back(placement);
        if (written.placements.size() > WindowState::kMaxPlacements)
            written.placements.resize(WindowState::kMaxPlacements);
        break;
    case Reading::eDamaged:
        if (!keepDamagedAside())
            return false;
        break;
    case Reading::eForeign:
    case Reading::eUnreadable:
        warn(QStringLiteral("the window state is not saved: %1 is left as it is (%2)")
                 .arg(fPath, problem));
        return false;
    }

    QDir().mkpath(QFileInfo(fPath).absolutePath());
    QSaveFile file(fPath);
    const QByteArray text = WriteWindowState(written);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        warn(QStringLiteral("the window state file %1 cannot be written (%2)")
                 .arg(fPath, file.errorString()));
        return false;
    }
    return true;
}

// Copied, not moved: until the new file is written, the old one stays.
bool WindowStateStore::keepDamagedAside()
{
    for (int n = 1; n <= 100; ++n) {
        QString aside = fPath + QLatin1String(".damaged");
        if (n > 1)
            aside += QLatin1Char('.') + QString::number(n);
        if (QFileInfo(aside).exists() || QFileInfo(aside).isSymLink())
            continue;
        if (QFile::copy(fPath, aside))
            return true;
        break;
    }
    warn(QStringLiteral("the damaged window state file %1 cannot be kept aside: it is left as "
                        "it is, and the window state is not saved")
             .arg(fPath));
    return false;
}

void WindowStateStore::warn(const QString& problem)
{
    if (problem == fLastWarning)
        return;
    fLastWarning = problem;
    qWarning("bitlens: warning: %s", qUtf8Printable(problem));
}

// --- Where a window goes -------------------------------------------------------

QRect FitWithin(QRect frame, const QRect& area)
{
    if (area.isEmpty())
        return area;
    frame.setSize(frame.size().boundedTo(area.size()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
    return frame;
}

std::optional<QRect> RestoredFrame(const std::vector<WindowPlacement>& saved,
    const std::vector<ScreenArea>& screens, std::size_t primary)
{
    if (saved.empty() || screens.empty())
        return std::nullopt;
    const auto on = [](const WindowPlacement& placement, const ScreenArea& screen) {
        // Where it was on its screen, on this one.
        const QRect frame = placement.frame.translated(
            screen.geometry.topLeft() - placement.screenGeometry.topLeft());
        return FitWithin(frame, screen.available);
    };
    for (const WindowPlacement& placement : saved)
        for (const ScreenArea& screen : screens)
            if (screen.name == placement.screen && screen.geometry == placement.screenGeometry)
                return on(placement, screen);
    for (const WindowPlacement& placement : saved)
        for (const ScreenArea& screen : screens)
            if (screen.name == placement.screen)
                return on(placement, screen);
    return on(saved.front(), screens[std::min(primary, screens.size() - 1)]);
}

QRect CascadeFrom(const QRect& last, const QRect& available, QPoint step)
{
    QRect next = last.translated(step);
    if (next.right() > available.right() || next.bottom() > available.bottom())
        next.moveTopLeft(available.topLeft());
    return FitWithin(next, available);
}
