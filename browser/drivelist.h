#pragma once

#include <QComboBox>

namespace velumbra {

/// Drive1: the drives (mount points on Linux) a person browses.
class DriveList : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    /// The current drive: its root, ending with the separator.
    [[nodiscard]] QString drive() const;

    /// Makes @p drive current; false (and nothing changes) when it is not listed.
    bool setDrive(const QString &drive);

Q_SIGNALS:
    /// The current drive changed, by the user or by setDrive().
    void driveChanged(const QString &drive);
};

} // namespace velumbra
