// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/webpage.h"
#include "platform/widen_windows.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// shellapi.h needs the types windows.h declares.
#include <shellapi.h>

#include <string>

namespace velumbra {
namespace {

std::wstring programFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    path.resize(length);
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

} // namespace

void SystemWebPageOpener::open(const std::string &address)
{
    const Result<std::wstring> target = widen(address);
    if (!target || target->empty())
        return;
    const std::wstring folder = programFolder();
    // The result is not examined: a missing browser is not the user's problem
    // to be told about here.
    ShellExecuteW(nullptr, L"open", target->c_str(), L"", folder.empty() ? nullptr : folder.c_str(),
                  SW_SHOWNORMAL);
}

} // namespace velumbra
