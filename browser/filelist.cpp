// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/filelist.h"

#include "browser/folderreader.h"
#include "browser/u16view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringListModel>

#include <QSet>

#include <algorithm>

namespace velumbra {

/// The names as the file system has them; a byte that is not UTF-8 is shown
/// as a replacement character, and read that way by screen readers.
class NameModel : public QStringListModel
{
public:
    using QStringListModel::QStringListModel;

    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return shownText(QStringListModel::data(index, Qt::EditRole).toString());
        return QStringListModel::data(index, role);
    }
};

FileList::FileList(QWidget *parent) : QListView(parent), m_model(new NameModel(this))
{
    setModel(m_model);
    // Without uniform sizes the view measures every row before it first
    // shows: half a second for a folder of 100,000 pictures.
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(ExtendedSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (m_fromKeyboard)
            Q_EMIT currentFileClicked();
    });
    connect(this, &QAbstractItemView::clicked, this, [this] {
        if (m_leftPressed)
            Q_EMIT currentFileClicked();
    });
}

QString FileList::path() const
{
    return m_path;
}

Result<> FileList::setPath(const QString &path)
{
    const QString clean = normalizedFolder(path);
    if (Result<> readable = checkFolder(clean); !readable)
        return readable;
    if (clean != m_path) {
        // Another folder: nothing of the previous one's selection carries over.
        m_model->setStringList({});
        m_wantedName.clear();
    }
    m_path = clean;
    refresh();
    return Result<>::success();
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

void FileList::showListing(const QString &folder, const QString &pattern, QStringList names)
{
    if (folder != m_path) {
        m_model->setStringList({});
        m_wantedName.clear();
    }
    m_path = folder;
    m_pattern = pattern;
    showNames(std::move(names));
}

void FileList::refresh()
{
    QStringList names;
    if (!m_path.isEmpty())
        names = listFiles(m_path, NamePattern(u16view(m_pattern)));
    showNames(std::move(names));
}

void FileList::showNames(QStringList names)
{
    const QString current = fileName().isEmpty() ? m_wantedName : fileName();
    QStringList selected = selectedNames();
    // A name set while it was not listed is selected as well once it is.
    if (fileName().isEmpty() && selected.isEmpty() && !current.isEmpty())
        selected.push_back(current);
    m_wantedName = current;
    m_model->setStringList(names);
    selectByName(current, selected);
}

void FileList::selectByName(const QString &current, const QStringList &selected)
{
    const QStringList &names = m_model->stringList();
    QItemSelection selection;
    if (!selected.isEmpty()) {
        const QSet<QString> wanted(selected.begin(), selected.end());
        // One range per run of selected rows: a whole folder selected stays one range.
        int first = -1;
        for (int row = 0; row <= names.size(); ++row) {
            const bool in = row < names.size() && wanted.contains(names.at(row));
            if (in && first < 0)
                first = row;
            if (!in && first >= 0) {
                selection.select(m_model->index(first), m_model->index(row - 1));
                first = -1;
            }
        }
    }
    const int currentRow = current.isEmpty() ? -1 : int(names.indexOf(current));
    QItemSelectionModel *sel = selectionModel();
    if (currentRow >= 0) {
        sel->setCurrentIndex(m_model->index(currentRow), QItemSelectionModel::NoUpdate);
        scrollTo(m_model->index(currentRow));
    }
    sel->select(selection, QItemSelectionModel::ClearAndSelect);
}

int FileList::count() const
{
    return m_model->rowCount();
}

QString FileList::entry(int index) const
{
    return m_model->index(index).data(Qt::EditRole).toString();
}

bool FileList::isSelected(int index) const
{
    return selectionModel()->isSelected(m_model->index(index));
}

QStringList FileList::selectedNames() const
{
    QModelIndexList rows = selectionModel()->selectedIndexes();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList names;
    for (const QModelIndex &i : rows)
        names.push_back(i.data(Qt::EditRole).toString());
    return names;
}

QString FileList::fileName() const
{
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? cur.data(Qt::EditRole).toString() : QString();
}

bool FileList::setFileName(const QString &name)
{
    m_wantedName = name;
    const int row = int(m_model->stringList().indexOf(name));
    if (row < 0)
        return false;
    selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
    scrollTo(m_model->index(row));
    return true;
}

void FileList::mousePressEvent(QMouseEvent *event)
{
    // The right button opens the conversion menu for the selection as it
    // stands: it must neither select nor move the current entry.
    m_leftPressed = event->button() == Qt::LeftButton;
    if (!m_leftPressed) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void FileList::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        Q_EMIT rightButtonReleased(event->globalPosition().toPoint());
    m_leftPressed = false;
}

void FileList::keyPressEvent(QKeyEvent *event)
{
    m_fromKeyboard = true;
    QListView::keyPressEvent(event);
    m_fromKeyboard = false;
}

} // namespace velumbra
