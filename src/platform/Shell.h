#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace platform {

// What the shell is asked to open: web and mail addresses as they are ("MailTo:" in any case),
// anything else as a local file or folder, relative names against the current folder.
QUrl shellTargetUrl(const QString& target);

// Opens a file with its associated program, a web address in the browser, a "mailto:" address
// in the mail program. False when nothing could be started; callers may ignore it.
bool shellOpen(const QString& target);

// Why shellOpen() could not open a target, as far as can be told afterwards: the first thing found
// in the way.
enum class ShellOpenFailure {
    NoSuchFile, // a local file or folder that does not exist
    NoOpener,   // no program to hand targets to (on X11 and Wayland: xdg-open, of xdg-utils)
    Refused,    // the desktop would not open it, and does not say why
};
ShellOpenFailure shellOpenFailure(const QString& target);

// The platform's default alert sound.
void beep();

// Test seams: while set, the hook runs instead of the real action. Each setter returns the
// previous hook; an empty function restores the real behaviour.
using ShellOpenHook = std::function<bool(const QString& target)>;
ShellOpenHook setShellOpenHook(ShellOpenHook hook);

using BeepHook = std::function<void()>;
BeepHook setBeepHook(BeepHook hook);

} // namespace platform
