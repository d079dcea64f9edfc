// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

namespace velumbra {

/// @p s as the UTF-16 text it holds, without a copy; valid while @p s is unchanged.
inline std::u16string_view u16view(const QString &s)
{
    return {reinterpret_cast<const char16_t *>(s.utf16()), std::size_t(s.size())};
}

} // namespace velumbra
