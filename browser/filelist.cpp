#include "filelist.h"

#include <QDir>
#include <QMouseEvent>
#include <QStringListModel>

namespace velumbra {

FileList::FileList(QWidget *parent) : QListView(parent), m_model(new QStringListModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(ExtendedSelection);
}

QString FileList::path() const
{
    return m_path;
}

bool FileList::setPath(const QString &path, QString *error)
{
    if (!QDir(path).isReadable()) {
        if (error)
            *error = QStringLiteral("le dossier est illisible");
        return false;
    }
    m_path = path;
    refresh();
    return true;
}

QString FileList::pattern() const
{
    return m_pattern;
}

void FileList::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    refresh();
}

void FileList::refresh()
{
    const QString current = fileName();
    QDir dir(m_path);
    const QStringList filters = m_pattern.isEmpty() ? QStringList() : m_pattern.split(QLatin1Char(';'));
    m_model->setStringList(dir.entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase));
    if (!current.isEmpty())
        setFileName(current);
}

int FileList::count() const
{
    return m_model->rowCount();
}

QString FileList::entry(int index) const
{
    return m_model->index(index).data().toString();
}

bool FileList::isSelected(int index) const
{
    return selectionModel()->isSelected(m_model->index(index));
}

QString FileList::fileName() const
{
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? cur.data().toString() : QString();
}

bool FileList::setFileName(const QString &name)
{
    const int row = int(m_model->stringList().indexOf(name));
    if (row < 0)
        return false;
    const QSignalBlocker block(this);
    selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
    return true;
}

void FileList::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        Q_EMIT rightButtonReleased(event->globalPosition().toPoint());
}

} // namespace velumbra
