// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drives.h"

#include <QDir>
#include <QTimer>

namespace velumbra {
namespace {

/// Drive letters, looked at again every two seconds: asking for them is one
/// cheap system call, and no change signal reaches a window-less object.
class DriveLetterSource final : public DriveSource
{
public:
    DriveLetterSource()
    {
        m_last = drives();
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] {
            QStringList now = drives();
            if (now != m_last) {
                m_last = std::move(now);
                Q_EMIT changed();
            }
        });
        timer->start(2000);
    }

    [[nodiscard]] QStringList drives() const override
    {
        QStringList out;
        const QFileInfoList roots = QDir::drives();
        for (const QFileInfo &d : roots)
            out.push_back(QDir::toNativeSeparators(d.absoluteFilePath()));
        if (out.isEmpty())
            out.push_back(QDir::toNativeSeparators(QDir::rootPath()));
        return out;
    }

private:
    QStringList m_last;
};

} // namespace

std::unique_ptr<DriveSource> createDriveSource()
{
    return std::make_unique<DriveLetterSource>();
}

} // namespace velumbra
