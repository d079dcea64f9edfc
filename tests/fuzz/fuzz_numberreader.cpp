// SPDX-License-Identifier: GPL-3.0-or-later
// The interval box's reading: never NaN, always brought into its unit's
// range, and written back as a text that reads again the same.

#include "rotation/interval.h"
#include "rotation/numberreader.h"
#include "tests/fuzz/fuzz.h"

#include <cmath>

VELUMBRA_FUZZ_TARGET(text)
{
    FUZZ_CHECK(!std::isnan(velumbra::readNumber(text)));
    for (int unit = 0; unit < 3; ++unit) {
        const velumbra::RotationInterval r = velumbra::computeInterval(text, unit);
        FUZZ_CHECK(r.count >= 1 && r.count <= 59 && std::isfinite(r.days) && r.days > 0);
        const std::string shown = velumbra::formatCount(r.count);
        FUZZ_CHECK(velumbra::formatCount(velumbra::computeInterval(shown, unit).count) == shown);
    }
}
