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

// The platform's default alert sound.
void beep();

// Test seams: while set, the hook runs instead of the real action. Each setter returns the
// previous hook; an empty function restores the real behaviour.
using ShellOpenHook = std::function<bool(const QString& target)>;
ShellOpenHook setShellOpenHook(ShellOpenHook hook);

using BeepHook = std::function<void()>;
BeepHook setBeepHook(BeepHook hook);

} // namespace platform
