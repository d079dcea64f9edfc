// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class QFocusFrame;
class QMenu;

namespace velumbra {

/// A label that reports mouse-button releases, used as a small menu button.
/// Assistive technology sees a menu button whose action presses it.
class ReleaseLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ReleaseLabel(const QString &text, QWidget *parent = nullptr);

    /// Reports a left-button release at the label's bottom-left corner, as a click would.
    void press();

Q_SIGNALS:
    void released(Qt::MouseButton button, const QPoint &globalPos);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

/// A label that reports every mouse-button press and release on it, wherever
/// the release happens.
class PressLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void pressed();
    void released();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

/// A text box that keeps Enter to itself: it reports it and lets it go no
/// further, so that Enter there does not also press the window's default button.
class EnterLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

Q_SIGNALS:
    void entered();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

/// A push button that also reports every mouse-button release over it, after
/// a left release has been turned into its click.
class ReleaseButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

Q_SIGNALS:
    void released(Qt::MouseButton button, bool overButton);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

/// Gives a main window the keys a dialog has of its own: Enter that the
/// focused control leaves unhandled presses the default button, Escape the
/// cancel button.
class DialogKeys : public QObject
{
    Q_OBJECT
public:
    DialogKeys(QPushButton *defaultButton, QPushButton *cancelButton, QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *m_default;
    QPushButton *m_cancel;
};

/// The info line: a status line that assistive technology reads as text and
/// that announces each new text once it is on screen, as a polite live
/// region does.
class InfoLine : public QLabel
{
    Q_OBJECT
public:
    explicit InfoLine(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_shown;
    bool m_painted = false;
};

/// Opens a popup menu from the keyboard, its first item highlighted: a
/// list's menu with the Menu key or Shift+F10 at the list's current entry,
/// or a text box's menu with Alt+Down or F4 under the box, as an editable
/// combo box opens its list.
class MenuKeys : public QObject
{
    Q_OBJECT
public:
    enum class Keys { ContextMenu, DropDown };
    MenuKeys(QWidget *control, QMenu *menu, Keys keys);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    [[nodiscard]] bool opens(const QEvent *event) const;
    [[nodiscard]] QPoint anchor() const;

    QWidget *m_control;
    QMenu *m_menu;
    Keys m_keys;
};

/// A ring around a list while it has the keyboard focus: the style marks
/// only the current entry, unseen when it is also the selected one and
/// missing when there is none.
class FocusRing : public QObject
{
    Q_OBJECT
public:
    explicit FocusRing(QWidget *list);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_list;
    QFocusFrame *m_frame;
};

/// An option button whose caption wraps onto several lines within its width.
class WrappingRadioButton : public QRadioButton
{
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent *event) override;
    [[nodiscard]] bool hitButton(const QPoint &pos) const override;
};

/// The screen outline: a one-pixel rectangle that lets the mouse through.
class OutlineShape : public QWidget
{
    Q_OBJECT
public:
    explicit OutlineShape(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace velumbra
