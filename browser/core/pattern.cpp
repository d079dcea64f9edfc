// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/core/pattern.h"

#include <algorithm>
#include <tuple>

namespace velumbra {

char16_t foldCase(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 0x20) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return char16_t(c + 0x20);
    // Latin Extended-A pairs capitals (even) with small letters (odd), except
    // for the stretch from Ĺ to Ň and from Ź to Ž where the capitals are odd.
    if (c >= 0x100 && c <= 0x137)
        return char16_t(c | 1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? char16_t(c + 1) : c;
    if (c >= 0x14A && c <= 0x177)
        return char16_t(c | 1);
    if (c == 0x178)
        return 0xFF;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return char16_t(c + 0x20);
    if (c >= 0x410 && c <= 0x42F)
        return char16_t(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return char16_t(c + 0x50);
    return c;
}

std::u16string foldName(std::u16string_view name)
{
    std::u16string out(name.size(), u'\0');
    std::transform(name.begin(), name.end(), out.begin(), foldCase);
    return out;
}

namespace {

/// How many code units the character at @p i takes: two for a surrogate
/// pair, so that "?" stands for one character, not half of one.
std::size_t charWidth(std::u16string_view s, std::size_t i)
{
    const bool pair =
        i + 1 < s.size() && (s[i] & 0xFC00) == 0xD800 && (s[i + 1] & 0xFC00) == 0xDC00;
    return pair ? 2 : 1;
}

} // namespace

bool wildcardMatch(std::u16string_view pattern, std::u16string_view name)
{
    // Greedy match that returns to the last "*" on a mismatch: linear in
    // practice, and never exponential whatever the pattern.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::u16string_view::npos;
    std::size_t starN = 0;
    // The pattern's "*" is tested first: a "*" in the name is only a
    // character, and must not use up the wildcard as if it were one.
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == u'?') {
            ++p;
            n += charWidth(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            starN += charWidth(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

NamePattern::NamePattern(std::u16string_view text)
{
    if (text.empty()) {
        m_matchAll = true;
        return;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(u';', start);
        m_folded.push_back(foldName(text.substr(start, end - start)));
        const bool star = m_folded.back().starts_with(u'*');
        const std::u16string_view tail = std::u16string_view(m_folded.back()).substr(star ? 1 : 0);
        m_suffixOnly.push_back(star && tail.find_first_of(u"*?") == std::u16string_view::npos &&
                               (tail.empty() || (tail[0] & 0xFC00) != 0xDC00));
        if (end == std::u16string_view::npos)
            break;
        start = end + 1;
    }
}

bool NamePattern::matches(std::u16string_view name) const
{
    if (m_matchAll)
        return true;
    // Folded once per thread into the same buffer: a folder's names are
    // matched one after the other without an allocation each.
    thread_local std::u16string folded;
    bool isFolded = false;
    for (std::size_t i = 0; i < m_folded.size(); ++i) {
        const std::u16string_view p = m_folded[i];
        if (m_suffixOnly[i]) {
            const std::u16string_view end = p.substr(1);
            if (name.size() >= end.size() &&
                std::equal(end.begin(), end.end(), name.end() - std::ptrdiff_t(end.size()),
                           [](char16_t e, char16_t c) { return e == foldCase(c); }))
                return true;
            continue;
        }
        if (!isFolded) {
            folded.resize(name.size());
            std::transform(name.begin(), name.end(), folded.begin(), foldCase);
            isFolded = true;
        }
        if (wildcardMatch(p, folded))
            return true;
    }
    return false;
}

bool NamePattern::matchesFolded(std::u16string_view foldedName) const
{
    if (m_matchAll)
        return true;
    return std::any_of(m_folded.begin(), m_folded.end(),
                       [&](const std::u16string &p) { return wildcardMatch(p, foldedName); });
}

bool lessIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    // Folding only where the code units differ: long names that share a long
    // beginning are compared at the speed of a plain comparison.
    const std::size_t n = std::min(a.size(), b.size());
    auto ia = a.begin();
    auto ib = b.begin();
    while (true) {
        std::tie(ia, ib) = std::mismatch(ia, a.begin() + std::ptrdiff_t(n), ib);
        if (ia == a.begin() + std::ptrdiff_t(n))
            break;
        const char16_t fa = foldCase(*ia++);
        const char16_t fb = foldCase(*ib++);
        if (fa != fb)
            return fa < fb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

} // namespace velumbra
