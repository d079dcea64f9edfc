#pragma once

#include <QListView>

class QStringListModel;

namespace velumbra {

/// File1: the files of one folder that match the pattern, sorted ignoring
/// case, with extended selection and one current entry.
class FileList : public QListView
{
    Q_OBJECT
public:
    explicit FileList(QWidget *parent = nullptr);

    [[nodiscard]] QString path() const;
    /// Lists @p path; on failure the list stays and @p error holds a French reason.
    bool setPath(const QString &path, QString *error = nullptr);

    [[nodiscard]] QString pattern() const;
    /// Sets the ";"-separated pattern and reads the folder again.
    void setPattern(const QString &pattern);
    /// Reads the folder again.
    void refresh();

    [[nodiscard]] int count() const;
    [[nodiscard]] QString entry(int index) const;
    [[nodiscard]] bool isSelected(int index) const;

    /// The current entry's name, or "" when there is none.
    [[nodiscard]] QString fileName() const;
    /// Selects the entry called @p name without counting as a click; false when not listed.
    bool setFileName(const QString &name);

Q_SIGNALS:
    /// The user made another entry current (click or keyboard).
    void currentFileClicked();
    void rightButtonReleased(const QPoint &globalPos);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QStringListModel *m_model;
    QString m_path;
    QString m_pattern;
};

} // namespace velumbra
