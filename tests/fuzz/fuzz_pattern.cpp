// SPDX-License-Identifier: GPL-3.0-or-later
// The file list's wildcard match against the rule itself, written the
// plainest way: "*" any run of characters, "?" one, anything else itself.

#include "browser/core/pattern.h"
#include "tests/fuzz/fuzz.h"

#include <span>
#include <string>
#include <vector>

namespace {

using Chars = std::span<const std::u16string>;

bool reference(Chars pattern, Chars name)
{
    if (pattern.empty() || pattern[0] == u"*")
        return pattern.empty() ? name.empty()
                               : reference(pattern.subspan(1), name) ||
                                     (!name.empty() && reference(pattern, name.subspan(1)));
    return !name.empty() && (pattern[0] == u"?" || pattern[0] == name[0]) &&
           reference(pattern.subspan(1), name.subspan(1));
}

} // namespace

// The first byte splits the rest into a pattern and a name, each byte one
// character of a small alphabet that holds a character outside the BMP.
VELUMBRA_FUZZ_TARGET(text)
{
    static const std::u16string alphabet[] = {u"a", u"b", u"*", u"?", u".", u"é", u"😀"};
    std::vector<std::u16string> chars[2];
    std::u16string units[2];
    for (std::size_t i = 1; i < text.size(); ++i) {
        const bool name = i > std::size_t(static_cast<unsigned char>(text[0])) % text.size();
        chars[name].push_back(alphabet[static_cast<unsigned char>(text[i]) % 7]);
        units[name] += chars[name].back();
    }
    FUZZ_CHECK(velumbra::wildcardMatch(units[0], units[1]) == reference(chars[0], chars[1]));
}
