// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/folderlist.h"

#include "browser/core/paths.h"
#include "browser/folderreader.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include <vector>

namespace velumbra {

class FolderModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    void setRows(std::vector<FolderRow> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        m_current = -1;
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].current)
                m_current = int(i);
        endResetModel();
    }

    [[nodiscard]] int currentRow() const { return m_current; }

    [[nodiscard]] const FolderRow *row(int i) const
    {
        return i >= 0 && std::size_t(i) < m_rows.size() ? &m_rows[std::size_t(i)] : nullptr;
    }

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }

    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override
    {
        const FolderRow *r = row(index.row());
        if (!r)
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return QString::fromStdString(r->label);
        case Qt::ToolTipRole:
            return shownText(fromFileSystem(r->path));
        case Qt::DecorationRole: {
            if (m_openIcon.isNull()) {
                m_openIcon = folderIcon(QStyle::SP_DirOpenIcon, "diropen");
                m_closedIcon = folderIcon(QStyle::SP_DirClosedIcon, "dirclosed");
            }
            return index.row() <= m_current ? m_openIcon : m_closedIcon;
        }
        case Qt::UserRole:
            return r->depth;
        default:
            return {};
        }
    }

private:
    std::vector<FolderRow> m_rows;
    int m_current = -1;
    mutable QIcon m_openIcon;
    mutable QIcon m_closedIcon;

    // The style's folder icons are first searched for in the icon themes on
    // disk, ten milliseconds each at start-up: Qt's own pictures come from
    // memory; the style is asked only when they are missing.
    static QIcon folderIcon(QStyle::StandardPixmap which, const char *builtIn)
    {
        const QString path = QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1-16.png")
                                 .arg(QLatin1String(builtIn));
        if (QFile::exists(path))
            return QIcon(path);
        return QApplication::style()->standardIcon(which);
    }
};

namespace {

/// Indents each row by its depth, so the path reads as a small tree.
class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + kIndent * index.data(Qt::UserRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }

    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.rwidth() += kIndent * index.data(Qt::UserRole).toInt();
        return s;
    }

private:
    static constexpr int kIndent = 8;
};

char separator()
{
    return QDir::separator().toLatin1();
}

} // namespace

FolderList::FolderList(QWidget *parent) : QListView(parent), m_model(new FolderModel(this))
{
    setModel(m_model);
    setItemDelegate(new IndentDelegate(this));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setUniformItemSizes(false);
    (void)setPath(QDir::rootPath());
}

QString FolderList::path() const
{
    return m_path;
}

Result<> FolderList::setPath(const QString &path)
{
    const QString clean = normalizedFolder(path);
    if (Result<> readable = checkFolder(clean); !readable)
        return readable;
    showListing(clean, listSubfolders(clean));
    return Result<>::success();
}

void FolderList::showListing(const QString &folder, const QStringList &subfolders)
{
    // The rows hold the file system's names: a label shows a byte that is
    // not UTF-8 as a replacement character, the path keeps it.
    std::vector<std::string> names;
    names.reserve(std::size_t(subfolders.size()));
    for (const QString &n : subfolders)
        names.push_back(fileSystemPath(n));
    m_model->setRows(folderRows(fileSystemPath(folder), names, separator()));
    const QModelIndex current = m_model->index(m_model->currentRow());
    setCurrentIndex(current);
    scrollTo(current);
    if (folder == m_path)
        return;
    m_path = folder;
    Q_EMIT pathChanged(m_path);
}

QString FolderList::highlightedPath() const
{
    const FolderRow *r = m_model->row(currentIndex().row());
    return r ? fromFileSystem(r->path) : m_path;
}

void FolderList::openHighlighted()
{
    const QString path = highlightedPath();
    if (const Result<> opened = m_opener ? m_opener(path) : setPath(path); !opened)
        Q_EMIT openFailed(QString::fromStdString(opened.reason()));
}

void FolderList::setOpener(std::function<Result<>(const QString &path)> opener)
{
    m_opener = std::move(opener);
}

void FolderList::mousePressEvent(QMouseEvent *event)
{
    // The right button opens the conversion menu for the current folder; it
    // must not move the highlight.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void FolderList::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        Q_EMIT rightButtonReleased(event->globalPosition().toPoint());
}

void FolderList::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex row = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && row.isValid()) {
        setCurrentIndex(row);
        openHighlighted();
        event->accept();
        return;
    }
    event->accept();
}

void FolderList::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (event->key() == Qt::Key_Space || (enter && (event->modifiers() & Qt::ControlModifier))) {
        openHighlighted();
        event->accept();
        return;
    }
    if (enter) {
        // Left to the window: Enter on a list presses the default button.
        event->ignore();
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace velumbra
