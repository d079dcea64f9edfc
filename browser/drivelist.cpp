// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/drivelist.h"

#include "platform/drives.h"

#include <QSignalBlocker>

namespace velumbra {

DriveList::DriveList(QWidget *parent) : DriveList(createDriveSource(), parent) {}

DriveList::DriveList(std::unique_ptr<DriveSource> source, QWidget *parent)
    : QComboBox(parent), m_source(std::move(source))
{
    connect(m_source.get(), &DriveSource::changed, this, &DriveList::reload);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!m_quiet)
            Q_EMIT driveChanged(drive());
    });
    reload();
}

DriveList::~DriveList() = default;

QString DriveList::drive() const
{
    return currentText();
}

bool DriveList::setDrive(const QString &drive)
{
    const int i = findText(drive, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (i < 0)
        return false;
    setCurrentIndex(i);
    return true;
}

QString DriveList::driveOf(const QString &path) const
{
    QString best;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemText(i);
        const bool holds =
            path == root || (path.startsWith(root) &&
                             (root.endsWith(QLatin1Char('/')) || root.endsWith(QLatin1Char('\\')) ||
                              path.at(root.size()) == QLatin1Char('/') ||
                              path.at(root.size()) == QLatin1Char('\\')));
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

void DriveList::showDrive(const QString &drive)
{
    m_quiet = true;
    setDrive(drive);
    m_quiet = false;
}

void DriveList::reload()
{
    const QString current = drive();
    const QStringList drives = m_source->drives();
    QStringList shown;
    for (int i = 0; i < count(); ++i)
        shown.push_back(itemText(i));
    if (drives == shown)
        return;
    m_quiet = true;
    clear();
    addItems(drives);
    const int kept = findText(current, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    setCurrentIndex(kept >= 0 ? kept : 0);
    m_quiet = false;
    // The drive in use was unplugged: move to one that can still be read.
    if (kept < 0 && !current.isEmpty() && count() > 0)
        Q_EMIT driveChanged(drive());
}

} // namespace velumbra
