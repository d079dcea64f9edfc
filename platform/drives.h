// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

namespace velumbra {

/// The drives a person browses: the mount points of disks, shares and
/// removable media on Linux, the drive letters on Windows.
class DriveSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// The drives' roots as the system writes them ("/", "/media/usb", "C:\"),
    /// the system's root first. Never empty.
    [[nodiscard]] virtual QStringList drives() const = 0;

Q_SIGNALS:
    /// Media were plugged in or out, or a file system mounted or unmounted:
    /// drives() may now answer differently.
    void changed();
};

/// The running system's drives, watched for changes.
[[nodiscard]] std::unique_ptr<DriveSource> createDriveSource();

} // namespace velumbra
