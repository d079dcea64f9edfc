// SPDX-License-Identifier: GPL-3.0-or-later
#include "rotation/rotation.h"

#include "platform/clock.h"

#include <cmath>

namespace velumbra {

Rotation::Rotation(const Clock &clock, RandomSource &random) : m_clock(clock), m_random(random) {}

bool Rotation::tick(RotationView &view, double intervalDays)
{
    std::int64_t drawn = 0;
    for (;;) {
        const std::int64_t n = view.fileCount();
        if (n <= 0)
            return false; // nothing to draw from: the tick changes nothing
        drawn = std::int64_t(std::floor(m_random.next() * double(n)));
        if (drawn >= n) // a draw of 1.0 from a faulty source must not leave the list
            drawn = n - 1;
        // With one file the draw can only repeat; it is taken rather than
        // drawing for ever.
        if (n == 1 || drawn != m_dernierIndex.value_or(0))
            break;
        // The same index as last time: draw again, letting the window breathe
        // in between (a mode chosen meanwhile stops the timer, not this tick).
        view.processPendingEvents();
        if (view.isEnding())
            return false;
    }
    m_dernierIndex = drawn;

    if (m_clock.now() < m_prochainChangement)
        return false;

    const std::string path = view.filePath(drawn);
    view.showCurrentFile(path);
    view.setWallpaperUntilLogoff(path);
    m_prochainChangement = m_clock.now() + intervalDays;
    return true;
}

} // namespace velumbra
