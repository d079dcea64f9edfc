// SPDX-License-Identifier: GPL-3.0-or-later
// The mount table as the kernel might write it, or not: the root comes
// first, once, and every other entry once.

#include "platform/mounts.h"
#include "tests/fuzz/fuzz.h"

#include <algorithm>

VELUMBRA_FUZZ_TARGET(text)
{
    std::vector<std::string> mounts = velumbra::browsableMounts(text);
    FUZZ_CHECK(!mounts.empty() && mounts.front() == "/");
    std::sort(mounts.begin(), mounts.end());
    FUZZ_CHECK(std::adjacent_find(mounts.begin(), mounts.end()) == mounts.end());
    (void)velumbra::unescapeMountField(text);
}
