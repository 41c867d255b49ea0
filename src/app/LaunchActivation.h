// Bringing a window to the front for a launch of the program. A desktop
// lets a window take the focus from another program's only for the launch
// the user asked for, which it tells by the launch's token: the startup-
// notification id on X11 (DESKTOP_STARTUP_ID), the activation token on
// Wayland (XDG_ACTIVATION_TOKEN).
#ifndef BITLENS_LAUNCHACTIVATION_H
#define BITLENS_LAUNCHACTIVATION_H

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

// Both tokens as the launch found them; read before the application object
// exists, since the toolkit takes DESKTOP_STARTUP_ID out of the environment.
struct LaunchTokens {
    QByteArray startupId;
    QByteArray activationToken;

    static LaunchTokens fromEnvironment();
    // The one the platform the program runs on uses.
    QByteArray forPlatform(const QString& platformName) const;
};

// Shows a new window as the launch carrying `token` asked for it.
void ShowForLaunch(QWidget* window, const QByteArray& token);

// Raises and activates an open window as the launch carrying `token` asked
// for it, even when another program's window covers it.
void RaiseForLaunch(QWidget* window, const QByteArray& token);

// With no window manager on the X11 display, nothing gives a window the
// keyboard focus: once `first` is painted, it takes the focus itself, and
// so does every window shown after it. Nothing changes where a window
// manager runs.
void FocusWithoutWindowManager(QWidget* first);

// Runs `action` once the window is on screen and painted.
void AfterFirstPaint(QWidget* window, std::function<void()> action);

// The time of the user's action that a startup-notification id carries
// ("…_TIME<timestamp>"), 0 when it carries none.
quint32 StartupIdTime(const QByteArray& startupId);

#endif
