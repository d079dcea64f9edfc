#pragma once

#include <QListView>

class QStringListModel;

namespace velumbra {

/// Dir1: the folders from the drive's root down to the current folder, then
/// the current folder's subfolders.
class FolderList : public QListView
{
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    /// The current folder; a drive root ends with the separator, no other folder does.
    [[nodiscard]] QString path() const;

    /// Opens @p path. When it cannot be read the list stays where it was, the
    /// result is false and @p error (if given) holds a French reason.
    bool setPath(const QString &path, QString *error = nullptr);

Q_SIGNALS:
    void pathChanged(const QString &path);
    void rightButtonReleased(const QPoint &globalPos);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QStringListModel *m_model;
    QString m_path;
};

} // namespace velumbra
