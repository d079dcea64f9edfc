// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widen_windows.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace velumbra {

Result<std::wstring> widen(const std::string &utf8)
{
    if (utf8.empty())
        return std::wstring();
    // Strict: a name with a byte that is not UTF-8 would otherwise become
    // another name, with U+FFFD in place of that byte.
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()),
                                      nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n <= 0 || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()),
                                      wide.data(), n) != n)
        return Failure{"le texte n'est pas en UTF-8 valide"};
    return wide;
}

} // namespace velumbra
