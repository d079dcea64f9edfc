#include "folderlist.h"

#include <QDir>
#include <QMouseEvent>
#include <QStringListModel>

namespace velumbra {

FolderList::FolderList(QWidget *parent) : QListView(parent), m_model(new QStringListModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    m_path = QDir::rootPath();
}

QString FolderList::path() const
{
    return m_path;
}

bool FolderList::setPath(const QString &path, QString *error)
{
    const QDir dir(path);
    if (!dir.exists() || !dir.isReadable()) {
        if (error)
            *error = QStringLiteral("le dossier est introuvable ou illisible");
        return false;
    }
    QString clean = QDir::cleanPath(dir.absolutePath());
    if (clean == m_path)
        return true;
    m_path = clean;
    m_model->setStringList(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    Q_EMIT pathChanged(m_path);
    return true;
}

void FolderList::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        Q_EMIT rightButtonReleased(event->globalPosition().toPoint());
}

} // namespace velumbra
