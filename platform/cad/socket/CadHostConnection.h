// Where the user's `cadhost` listens, and how a program reaches it: attach to the running host,
// or start `cadhost` from the program's own folder and wait until it answers.
#pragma once

#include "platform/cad/socket/SocketChannel.h"

#include <memory>

namespace cad {

// The folder of the user's sockets: $XDG_RUNTIME_DIR, else a folder "tesmar-<uid>" under /tmp
// created with mode 0700. Empty when neither is usable (the /tmp folder belongs to someone else
// or is open to others).
QString CadHostRuntimeFolder();

// The socket the user's `cadhost` listens on: $TESMAR_CAD_SOCKET when set (tests give each run its
// own), else "tesmar-cadhost.sock" in CadHostRuntimeFolder().
QString CadHostSocketName();

// Connects to the running host; nullptr when none answers. `socketName` empty: CadHostSocketName().
std::unique_ptr<SocketChannel> AttachToCadHost(const QString& socketName = QString(), int timeoutMs = 1000);

// Attaches to the running host; when none runs, starts `cadhost` found beside the running program
// (QCoreApplication::applicationDirPath(), or `programFolder` when given) as an independent process
// and waits up to `timeoutMs` for it to answer. nullptr when both fail.
std::unique_ptr<SocketChannel> AttachOrStartCadHost(int timeoutMs = 20000,
                                                    const QString& socketName = QString(),
                                                    const QString& programFolder = QString());

}  // namespace cad
