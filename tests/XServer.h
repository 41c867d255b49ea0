// An X server of the tests' own (Xvfb), and what a user would see on it,
// read back through its protocol: the program's windows, the messages sent
// to window managers and launchers, the clipboard.
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <vector>

template <class Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;
template <class Reply> Owned<Reply> owned(Reply* reply)
{
    return Owned<Reply>(reply, &std::free);
}

// A top-level window of the program, as the X server has it.
struct XWindow {
    xcb_window_t id;
    uint pid;
    QByteArray startupId;
    QByteArray wmClass; // instance and class, each ended by a zero byte
    bool hasIcon;
};

// A client message sent to the root window, as window managers and
// launchers receive them.
struct RootMessage {
    xcb_atom_t type;
    xcb_window_t window;
    quint32 data32[5];
    QByteArray data8;
};

// An X server of our own on a free display, with a connection that watches
// what windows and messages appear on it.
class XServer {
public:
    ~XServer()
    {
        if (fConnection)
            xcb_disconnect(fConnection);
        for (QProcess* process : { &fWindowManager, &fProcess }) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
        }
    }

    // Starts `program` (Xvfb) with one screen of `size` ("1920x1080"); an
    // empty string, or why it did not start.
    QString start(const QString& program, int timeoutMs, const QString& size = "1024x768")
    {
        fProcess.start(
            program, { "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", size + "x24" });
        const QDeadlineTimer deadline(timeoutMs);
        while (!fProcess.canReadLine() && !deadline.hasExpired())
            fProcess.waitForReadyRead(100);
        fNumber = fProcess.readLine().trimmed();
        if (fNumber.isEmpty())
            return "Xvfb did not start: " + fProcess.readAllStandardError();
        fConnection = xcb_connect(display().constData(), nullptr);
        if (xcb_connection_has_error(fConnection))
            return "cannot connect to " + display();
        fRoot = xcb_setup_roots_iterator(xcb_get_setup(fConnection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(fConnection, fRoot, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(fConnection);
        return {};
    }

    QByteArray display() const { return ":" + fNumber; }

    // Starts a window manager (`program`, openbox) on the server and waits
    // until it manages windows; an empty string, or why it did not start.
    QString startWindowManager(const QString& program, int timeoutMs)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString::fromLatin1(display()));
        fWindowManager.setProcessEnvironment(environment);
        fWindowManager.setStandardOutputFile(QProcess::nullDevice());
        fWindowManager.start(program, {});
        // A window manager announces itself with a window named on the root.
        const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
        const QDeadlineTimer deadline(timeoutMs);
        while (property(fRoot, check).size() != 4) {
            if (deadline.hasExpired() || fWindowManager.state() == QProcess::NotRunning)
                return program + " did not start: " + fWindowManager.readAllStandardError();
            QThread::msleep(20);
        }
        return {};
    }

    xcb_atom_t atom(const char* name) const
    {
        const auto reply = owned(xcb_intern_atom_reply(
            fConnection, xcb_intern_atom(fConnection, 0, uint16_t(qstrlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    // The program's mapped top-level windows, from the bottom of the stack to the top.
    std::vector<XWindow> windows() const
    {
        std::vector<XWindow> found;
        const auto tree
            = owned(xcb_query_tree_reply(fConnection, xcb_query_tree(fConnection, fRoot), nullptr));
        if (!tree)
            return found;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const auto attributes = owned(xcb_get_window_attributes_reply(
                fConnection, xcb_get_window_attributes(fConnection, children[i]), nullptr));
            const QByteArray wmClass = property(children[i], XCB_ATOM_WM_CLASS);
            if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE
                || !wmClass.startsWith(QByteArray("bitlens\0", 8)))
                continue;
            const QByteArray pid = property(children[i], atom("_NET_WM_PID"));
            found.push_back({ children[i],
                pid.size() == 4 ? *reinterpret_cast<const quint32*>(pid.constData()) : 0,
                property(children[i], atom("_NET_STARTUP_ID")), wmClass,
                !property(children[i], atom("_NET_WM_ICON")).isEmpty() });
        }
        return found;
    }

    std::vector<XWindow> windowsOf(const QProcess& process) const
    {
        std::vector<XWindow> of;
        for (const XWindow& window : windows())
            if (window.pid == uint(process.processId()))
                of.push_back(window);
        return of;
    }

    xcb_window_t focus() const
    {
        const auto reply = owned(
            xcb_get_input_focus_reply(fConnection, xcb_get_input_focus(fConnection), nullptr));
        return reply ? reply->focus : xcb_window_t(XCB_NONE);
    }

    // Every client message the root window has had since forgetMessages().
    const std::vector<RootMessage>& messages()
    {
        xcb_flush(fConnection);
        while (xcb_generic_event_t* event = xcb_poll_for_event(fConnection)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE)
                messagesFrom(event);
            else
                std::free(event);
        }
        return fMessages;
    }

    void forgetMessages()
    {
        messages();
        fMessages.clear();
    }

    // The startup notification texts sent in `messages`, put back together.
    std::vector<QByteArray> startupTexts(const std::vector<RootMessage>& messages) const
    {
        const xcb_atom_t begin = atom("_NET_STARTUP_INFO_BEGIN");
        const xcb_atom_t more = atom("_NET_STARTUP_INFO");
        std::vector<QByteArray> texts;
        QByteArray text;
        for (const RootMessage& message : messages) {
            if (message.type == begin)
                text.clear();
            else if (message.type != more)
                continue;
            text += message.data8;
            if (const qsizetype end = text.indexOf('\0'); end >= 0)
                texts.push_back(text.left(end));
        }
        return texts;
    }

    // Where a user who reaches for the keyboard has left the pointer.
    void movePointerTo(int x, int y)
    {
        xcb_warp_pointer(fConnection, XCB_NONE, fRoot, 0, 0, 0, 0, int16_t(x), int16_t(y));
        xcb_flush(fConnection);
    }

    // The text a program has put on the clipboard, as a program pasting it
    // gets it; empty when none is there or none answers within timeoutMs.
    QByteArray clipboardText(int timeoutMs)
    {
        if (fRequestor == XCB_NONE) {
            fRequestor = xcb_generate_id(fConnection);
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_create_window(fConnection, XCB_COPY_FROM_PARENT, fRequestor, fRoot, 0, 0, 1, 1, 0,
                XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
        }
        const xcb_atom_t into = atom("BITLENS_TEST_PASTE");
        xcb_convert_selection(fConnection, fRequestor, atom("CLIPBOARD"), atom("UTF8_STRING"), into,
            XCB_CURRENT_TIME);
        xcb_flush(fConnection);
        const QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            xcb_generic_event_t* event = xcb_poll_for_event(fConnection);
            if (!event) {
                QThread::msleep(5);
                continue;
            }
            const bool answered = (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
            const bool converted = answered
                && reinterpret_cast<xcb_selection_notify_event_t*>(event)->property != XCB_NONE;
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                messagesFrom(event);
                continue;
            }
            std::free(event);
            if (answered)
                return converted ? property(fRequestor, into) : QByteArray();
        }
        return {};
    }

private:
    // Keeps a client message to the root window, and frees the event.
    void messagesFrom(xcb_generic_event_t* event)
    {
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        RootMessage kept { message->type, message->window, {},
            QByteArray(reinterpret_cast<const char*>(message->data.data8), 20) };
        std::copy(std::begin(message->data.data32), std::end(message->data.data32), kept.data32);
        fMessages.push_back(kept);
        std::free(event);
    }

    QByteArray property(xcb_window_t window, xcb_atom_t name) const
    {
        const auto reply = owned(xcb_get_property_reply(fConnection,
            xcb_get_property(fConnection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16),
            nullptr));
        if (!reply)
            return {};
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
            xcb_get_property_value_length(reply.get()));
    }

    QProcess fProcess;
    QProcess fWindowManager;
    QByteArray fNumber;
    xcb_connection_t* fConnection = nullptr;
    xcb_window_t fRoot = XCB_NONE;
    xcb_window_t fRequestor = XCB_NONE;
    std::vector<RootMessage> fMessages;
};
