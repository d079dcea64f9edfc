// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <QListView>

#include <functional>

namespace velumbra {

class FolderModel;

/// Dir1: the folders from the drive's root down to the current folder, then
/// the current folder's subfolders. A click only highlights a row; a double
/// click, Space or Ctrl+Enter opens it. Plain Enter is left to the window,
/// where it presses the default button.
class FolderList : public QListView
{
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    /// The current folder; a drive root ends with the separator, no other folder does.
    [[nodiscard]] QString path() const;

    /// Opens @p path. When it cannot be read the list stays where it was and
    /// the failure names the folder and the reason.
    Result<> setPath(const QString &path);

    /// Opens @p folder, already normalised, checked and read (its
    /// subfolders, sorted), without reading it again.
    void showListing(const QString &folder, const QStringList &subfolders);

    /// The folder the highlighted row stands for.
    [[nodiscard]] QString highlightedPath() const;

    /// Opens the highlighted row's folder, as a double click does.
    void openHighlighted();

    /// What opens a folder the user chose in the list; setPath() unless set,
    /// so that a window can read the folder once for all its lists.
    void setOpener(std::function<Result<>(const QString &path)> opener);

Q_SIGNALS:
    void pathChanged(const QString &path);
    void rightButtonReleased(const QPoint &globalPos);
    /// The user asked to open a folder that cannot be read; @p message says
    /// which and why, in French.
    void openFailed(const QString &message);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    FolderModel *m_model;
    QString m_path;
    std::function<Result<>(const QString &path)> m_opener;
};

} // namespace velumbra
