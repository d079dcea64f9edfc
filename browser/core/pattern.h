// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velumbra {

/// One character folded to lower case: ASCII, Latin-1, Latin Extended-A,
/// Greek and Cyrillic capitals; every other code unit is returned unchanged.
[[nodiscard]] char16_t foldCase(char16_t c);

/// A name folded character by character with foldCase().
[[nodiscard]] std::u16string foldName(std::u16string_view name);

/// The file pattern of the file list: ";"-separated wildcards ("*" any run,
/// "?" one character), each matched against the whole name ignoring case.
/// The text is taken as typed; an empty text matches every name.
class NamePattern
{
public:
    explicit NamePattern(std::u16string_view text = {});

    [[nodiscard]] bool matches(std::u16string_view name) const;
    /// As matches(), for a name already folded with foldName().
    [[nodiscard]] bool matchesFolded(std::u16string_view foldedName) const;

private:
    std::vector<std::u16string> m_folded;
    // Per alternative: "*" then plain characters, which a look at the end of
    // the name decides without folding the whole name.
    std::vector<bool> m_suffixOnly;
    bool m_matchAll = false;
};

/// Whole-name wildcard match of two already folded strings.
[[nodiscard]] bool wildcardMatch(std::u16string_view pattern, std::u16string_view name);

/// Alphabetical order ignoring case: folded names first, raw names to break
/// ties so that the order is total and stable across runs.
[[nodiscard]] bool lessIgnoringCase(std::u16string_view a, std::u16string_view b);

} // namespace velumbra
