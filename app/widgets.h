#pragma once

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace velumbra {

/// A label that reports mouse-button releases, used as a small menu button.
class ReleaseLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void released(Qt::MouseButton button, const QPoint &globalPos);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
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
