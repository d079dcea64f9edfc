// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <functional>
#include <memory>
#include <string>

namespace velumbra {

/// One running program per user session. The first start claims the
/// program's name and serves it; a later start hands its request to that
/// one instead of running a second time.
class SingleInstance
{
public:
    virtual ~SingleInstance() = default;

    /// Claims the name for this process. true: this process holds it now,
    /// and later starts' requests arrive through onRequest while the event
    /// loop runs; false: another process holds it.
    [[nodiscard]] virtual Result<bool> claim() = 0;

    /// Hands @p folderOrFile (an absolute path, UTF-8; empty for none) to the
    /// process holding the name, and returns once that process has taken it.
    [[nodiscard]] virtual Result<> forward(const std::string &folderOrFile) = 0;

    /// A later start's request, delivered from the event loop: come
    /// forward, and open @p folderOrFile when it is not empty.
    std::function<void(const std::string &folderOrFile)> onRequest;
};

/// The way this session keeps one instance of the program @p id (a
/// reverse-DNS name): the unique bus name @p id on the session bus where
/// there is one, else a local socket named @p id in XDG_RUNTIME_DIR; on
/// Windows a named pipe for the user. With none of them every start runs
/// on its own. Needs a running QCoreApplication.
[[nodiscard]] std::unique_ptr<SingleInstance> createSingleInstance(const std::string &id);

/// The same over the local socket (named pipe on Windows) @p serverName.
[[nodiscard]] std::unique_ptr<SingleInstance>
createLocalSocketInstance(const std::string &serverName);

/// Every start runs on its own.
[[nodiscard]] std::unique_ptr<SingleInstance> createUnsharedInstance();

} // namespace velumbra
