// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

#include <memory>

namespace velumbra {

class DriveSource;

/// Drive1: the drives (mount points on Linux) a person browses. The list
/// follows media being plugged in and out.
class DriveList : public QComboBox
{
    Q_OBJECT
public:
    /// Lists the running system's drives.
    explicit DriveList(QWidget *parent = nullptr);
    DriveList(std::unique_ptr<DriveSource> source, QWidget *parent = nullptr);
    ~DriveList() override;

    /// The current drive's root as the system writes it: "/", "/media/usb", "C:\".
    [[nodiscard]] QString drive() const;

    /// Makes @p drive current; false (and nothing changes) when it is not listed.
    bool setDrive(const QString &drive);

    /// The listed drive holding @p path (the longest root it starts with), or "".
    [[nodiscard]] QString driveOf(const QString &path) const;

    /// Shows @p drive as current without raising driveChanged, for a change
    /// that the folder list could not follow.
    void showDrive(const QString &drive);

Q_SIGNALS:
    /// The current drive changed, by the user or by setDrive().
    void driveChanged(const QString &drive);

private:
    void reload();

    std::unique_ptr<DriveSource> m_source;
    bool m_quiet = false;
};

} // namespace velumbra
