// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drives.h"

#include "platform/mounts.h"

#include <QFile>
#include <QSocketNotifier>

namespace velumbra {
namespace {

/// The kernel marks /proc/self/mountinfo with POLLPRI whenever the mount
/// table changes, so the list follows media without polling. (A file-system
/// watch on it never fires: /proc files do not change on disk.)
class MountTableSource final : public DriveSource
{
public:
    MountTableSource()
    {
        m_table.setFileName(QStringLiteral("/proc/self/mountinfo"));
        if (m_table.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            m_notifier = new QSocketNotifier(m_table.handle(), QSocketNotifier::Exception, this);
            connect(m_notifier, &QSocketNotifier::activated, this, &DriveSource::changed);
        }
    }

    [[nodiscard]] QStringList drives() const override
    {
        // Read a fresh copy each time: reading the watched handle to its end
        // is also what re-arms the notification.
        QByteArray text;
        if (m_table.isOpen()) {
            m_table.seek(0);
            text = m_table.readAll();
        }
        QStringList out;
        for (const std::string &m :
             browsableMounts(std::string_view(text.constData(), std::size_t(text.size()))))
            out.push_back(QString::fromStdString(m));
        return out;
    }

private:
    mutable QFile m_table;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace

std::unique_ptr<DriveSource> createDriveSource()
{
    return std::make_unique<MountTableSource>();
}

} // namespace velumbra
