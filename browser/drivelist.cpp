#include "drivelist.h"

#include <QDir>

namespace velumbra {

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    const QFileInfoList drives = QDir::drives();
    for (const QFileInfo &d : drives)
        addItem(QDir::toNativeSeparators(d.absoluteFilePath()));
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int) { Q_EMIT driveChanged(drive()); });
}

QString DriveList::drive() const
{
    return currentText();
}

bool DriveList::setDrive(const QString &drive)
{
    const int i = findText(drive, Qt::MatchFixedString);
    if (i < 0)
        return false;
    setCurrentIndex(i);
    return true;
}

} // namespace velumbra
