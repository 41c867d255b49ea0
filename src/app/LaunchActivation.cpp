#include "LaunchActivation.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

namespace {

bool OnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool OnX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

enum X11Atom { eStartupIdAtom, eUtf8StringAtom, eActiveWindowAtom, eInfoBeginAtom, eInfoAtom };

// A top-level window on the X server, with what the messages about it need.
struct X11Window {
    xcb_connection_t* connection;
    xcb_window_t window;
    xcb_window_t root;
    xcb_atom_t atoms[5];
};

// Creates the native window if it has none yet, so that it carries the
// launch's id from the moment it maps.
std::optional<X11Window> X11WindowOf(QWidget* widget)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return std::nullopt;
    X11Window x11Window { x11->connection(), xcb_window_t(widget->winId()), XCB_NONE, {} };
    xcb_connection_t* connection = x11Window.connection;

    const char* const names[] = { "_NET_STARTUP_ID", "UTF8_STRING", "_NET_ACTIVE_WINDOW",
        "_NET_STARTUP_INFO_BEGIN", "_NET_STARTUP_INFO" };
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (std::size_t i = 0; i < std::size(names); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(std::strlen(names[i])), names[i]);
    const xcb_get_geometry_cookie_t geometry = xcb_get_geometry(connection, x11Window.window);
    for (std::size_t i = 0; i < std::size(names); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        x11Window.atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    if (xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(connection, geometry, nullptr)) {
        x11Window.root = reply->root;
        std::free(reply);
    }
    const bool allAtoms = std::none_of(std::begin(x11Window.atoms), std::end(x11Window.atoms),
        [](xcb_atom_t atom) { return atom == XCB_ATOM_NONE; });
    if (x11Window.root == XCB_NONE || !allAtoms)
        return std::nullopt;
    return x11Window;
}

// Tells the window manager which launch the window answers, and so the time
// of the user's action that asked for it.
void SetStartupId(const X11Window& x11, const QByteArray& startupId)
{
    xcb_change_property(x11.connection, XCB_PROP_MODE_REPLACE, x11.window,
        x11.atoms[eStartupIdAtom], x11.atoms[eUtf8StringAtom], 8, uint32_t(startupId.size()),
        startupId.constData());
}

void RequestActivation(const X11Window& x11, quint32 time)
{
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = x11.window;
    event.type = x11.atoms[eActiveWindowAtom];
    event.data.data32[0] = 1; // the request comes from an application
    event.data.data32[1] = time;
    event.data.data32[2] = XCB_NONE;
    xcb_send_event(x11.connection, 0, x11.root,
        XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char*>(&event));
}

// A startup-notification value, quoted when it must be.
QByteArray QuotedValue(const QByteArray& value)
{
    if (!value.contains(' ') && !value.contains('"') && !value.contains('\\'))
        return value;
    QByteArray quoted = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// Ends the launcher's busy feedback: the launch has its window. The message
// goes to the root window in pieces of 20 bytes, the first one marked.
void EndStartupFeedback(const X11Window& x11, const QByteArray& startupId)
{
    QByteArray message = "remove: ID=" + QuotedValue(startupId);
    message += '\0';
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = x11.window;
    event.type = x11.atoms[eInfoBeginAtom];
    constexpr qsizetype kPiece = sizeof event.data.data8;
    for (qsizetype offset = 0; offset < message.size(); offset += kPiece) {
        std::memset(event.data.data8, 0, sizeof event.data.data8);
        std::memcpy(event.data.data8, message.constData() + offset,
            std::size_t(std::min(kPiece, message.size() - offset)));
        xcb_send_event(x11.connection, 0, x11.root, XCB_EVENT_MASK_PROPERTY_CHANGE,
            reinterpret_cast<const char*>(&event));
        event.type = x11.atoms[eInfoAtom];
    }
}

std::optional<X11Window> X11WindowForToken(QWidget* window, const QByteArray& token)
{
    return !token.isEmpty() && OnX11() ? X11WindowOf(window) : std::nullopt;
}

// Runs the action once, after the window's first expose has been handled.
class AfterExposed : public QObject {
public:
    AfterExposed(QWindow* window, std::function<void()> action)
        : QObject(window)
        , fAction(std::move(action))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // The window paints as it handles this event; the action comes after.
            QTimer::singleShot(0, watched, std::move(fAction));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> fAction;
};

// Whether a window manager runs on the window's screen: one that follows
// the desktop's conventions names a check window, which names itself, on
// the root window; any window manager owns the screen's WM_Sn selection.
bool WindowManagerRuns(const X11Window& x11)
{
    xcb_connection_t* connection = x11.connection;
    int screen = 0;
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
         it.rem && it.data->root != x11.root; xcb_screen_next(&it))
        ++screen;
    const QByteArray selection = "WM_S" + QByteArray::number(screen);
    const char checkName[] = "_NET_SUPPORTING_WM_CHECK";
    const xcb_intern_atom_cookie_t selectionCookie
        = xcb_intern_atom(connection, 0, uint16_t(selection.size()), selection.constData());
    const xcb_intern_atom_cookie_t checkCookie
        = xcb_intern_atom(connection, 0, uint16_t(std::strlen(checkName)), checkName);
    xcb_atom_t selectionAtom = XCB_ATOM_NONE;
    xcb_atom_t checkAtom = XCB_ATOM_NONE;
    if (xcb_intern_atom_reply_t* reply
        = xcb_intern_atom_reply(connection, selectionCookie, nullptr)) {
        selectionAtom = reply->atom;
        std::free(reply);
    }
    if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, checkCookie, nullptr)) {
        checkAtom = reply->atom;
        std::free(reply);
    }

    bool runs = false;
    if (selectionAtom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, selectionAtom), nullptr);
        runs = owner && owner->owner != XCB_NONE;
        std::free(owner);
    }
    // The check window of a window manager that has gone is gone too, or no
    // longer names itself.
    const auto checkWindowOf = [&](xcb_window_t window) {
        xcb_window_t named = XCB_NONE;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection,
            xcb_get_property(connection, 0, window, checkAtom, XCB_ATOM_WINDOW, 0, 1), nullptr);
        if (reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32
            && xcb_get_property_value_length(reply) == 4)
            std::memcpy(&named, xcb_get_property_value(reply), sizeof named);
        std::free(reply);
        return named;
    };
    if (!runs && checkAtom != XCB_ATOM_NONE) {
        const xcb_window_t check = checkWindowOf(x11.root);
        runs = check != XCB_NONE && checkWindowOf(check) == check;
    }
    return runs;
}

// Asks for the focus for each window as it is shown; the toolkit sets it
// once the window is mapped.
class FocusOnShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            const Qt::WindowType type = widget->windowType();
            if (widget->isWindow() && (type == Qt::Window || type == Qt::Dialog))
                widget->activateWindow();
        }
        return false;
    }
};

// Qt's Wayland plugin hands this to the compositor with the next activation
// and then removes it.
void OfferActivationToken(const QByteArray& token)
{
    if (!token.isEmpty() && OnWayland())
        qputenv("XDG_ACTIVATION_TOKEN", token);
}

} // namespace

LaunchTokens LaunchTokens::fromEnvironment()
{
    return { qgetenv("DESKTOP_STARTUP_ID"), qgetenv("XDG_ACTIVATION_TOKEN") };
}

QByteArray LaunchTokens::forPlatform(const QString& platformName) const
{
    if (platformName.startsWith(QLatin1String("wayland")))
        return activationToken;
    return platformName == QLatin1String("xcb") ? startupId : QByteArray();
}

void ShowForLaunch(QWidget* window, const QByteArray& token)
{
    // A new window asks for the focus as it maps, with the token on Wayland
    // and with the launch's id on X11.
    OfferActivationToken(token);
    const std::optional<X11Window> x11 = X11WindowForToken(window, token);
    if (x11)
        SetStartupId(*x11, token);
    window->show();
    if (!x11)
        return;
    // The toolkit stamps the window with the time of the last event this
    // instance saw, which a window manager that prevents focus stealing
    // may find too old; the launch's own time is not.
    // A window manager acts on an activation request only for a window it has mapped.
    AfterFirstPaint(window, [x11 = *x11, token] {
        if (const quint32 time = StartupIdTime(token))
            RequestActivation(x11, time);
        EndStartupFeedback(x11, token);
        xcb_flush(x11.connection);
    });
}

void RaiseForLaunch(QWidget* window, const QByteArray& token)
{
    OfferActivationToken(token);
    const std::optional<X11Window> x11 = X11WindowForToken(window, token);
    if (x11) {
        SetStartupId(*x11, token);
        // Before the toolkit's own request, which carries the time of the
        // last event this instance saw: a window manager that prevents
        // focus stealing grants only the one with the launch's time.
        if (const quint32 time = StartupIdTime(token))
            RequestActivation(*x11, time);
    }
    window->raise();
    window->activateWindow();
    if (x11) {
        EndStartupFeedback(*x11, token);
        xcb_flush(x11->connection);
    }
}

void FocusWithoutWindowManager(QWidget* first)
{
    if (!OnX11())
        return;
    // Asked after the first paint, so that the window comes no later.
    AfterFirstPaint(first, [first = QPointer<QWidget>(first)] {
        const std::optional<X11Window> x11 = first ? X11WindowOf(first) : std::nullopt;
        if (!x11 || WindowManagerRuns(*x11))
            return;
        qApp->installEventFilter(new FocusOnShow(qApp));
        first->activateWindow();
    });
}

void AfterFirstPaint(QWidget* window, std::function<void()> action)
{
    window->winId();
    new AfterExposed(window->windowHandle(), std::move(action));
}

quint32 StartupIdTime(const QByteArray& startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return 0;
    bool number = false;
    const quint32 time = startupId.mid(at + 5).toUInt(&number);
    return number ? time : 0;
}
