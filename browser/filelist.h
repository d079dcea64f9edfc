// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <QListView>

namespace velumbra {

class NameModel;

/// File1: the files of one folder that match the pattern, sorted ignoring
/// case, with extended selection and one current entry.
class FileList : public QListView
{
    Q_OBJECT
public:
    explicit FileList(QWidget *parent = nullptr);

    [[nodiscard]] QString path() const;
    /// Lists @p path; on failure the list stays and the failure names the
    /// folder and the reason.
    Result<> setPath(const QString &path);

    /// Shows @p names as the listing of @p folder (normalised, checked) under
    /// @p pattern, as setPath() would after reading it.
    void showListing(const QString &folder, const QString &pattern, QStringList names);

    [[nodiscard]] QString pattern() const;
    /// Sets the ";"-separated pattern and reads the folder again.
    void setPattern(const QString &pattern);
    /// Reads the folder again, keeping the current entry and the selection
    /// by name where they are still listed.
    void refresh();

    [[nodiscard]] int count() const;
    [[nodiscard]] QString entry(int index) const;
    [[nodiscard]] bool isSelected(int index) const;
    /// The selected entries' names, in list order.
    [[nodiscard]] QStringList selectedNames() const;

    /// The current entry's name, or "" when there is none.
    [[nodiscard]] QString fileName() const;
    /// Selects the entry called @p name without counting as a click; false
    /// when not listed. The name is remembered until the folder changes, so
    /// that a pattern applied next still selects it.
    bool setFileName(const QString &name);

Q_SIGNALS:
    /// The user made an entry current: a click on it, or a keyboard move.
    void currentFileClicked();
    void rightButtonReleased(const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showNames(QStringList names);
    void selectByName(const QString &current, const QStringList &selected);

    NameModel *m_model;
    QString m_path;
    QString m_pattern;
    QString m_wantedName;
    bool m_fromKeyboard = false;
    bool m_leftPressed = false;
};

} // namespace velumbra
