// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/drives.h"

namespace velumbra {

/// Drives the test lists; plugging is simulated with setDrives().
class FakeDriveSource final : public DriveSource
{
public:
    explicit FakeDriveSource(QStringList list) : m_list(std::move(list)) {}

    [[nodiscard]] QStringList drives() const override { return m_list; }

    void setDrives(QStringList list)
    {
        m_list = std::move(list);
        Q_EMIT changed();
    }

private:
    QStringList m_list;
};

} // namespace velumbra
