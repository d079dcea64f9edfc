#include "app/widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace velumbra {

void ReleaseLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (rect().contains(event->position().toPoint()))
        Q_EMIT released(event->button(), event->globalPosition().toPoint());
}

void PressLabel::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT pressed();
    QLabel::mousePressEvent(event);
}

void PressLabel::mouseReleaseEvent(QMouseEvent *event)
{
    Q_EMIT released();
    QLabel::mouseReleaseEvent(event);
}

void EnterLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT entered();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ReleaseButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool over = rect().contains(event->position().toPoint());
    const Qt::MouseButton button = event->button();
    QPushButton::mouseReleaseEvent(event);
    Q_EMIT released(button, over);
}

DialogKeys::DialogKeys(QPushButton *defaultButton, QPushButton *cancelButton, QWidget *window)
    : QObject(window), m_default(defaultButton), m_cancel(cancelButton)
{
    window->installEventFilter(this);
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_default->click();
            return true;
        case Qt::Key_Escape:
            m_cancel->click();
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void WrappingRadioButton::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QString caption = opt.text;
    opt.text.clear();
    QStyleOptionButton indicator = opt;
    indicator.rect = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &opt, this);
    indicator.rect.moveTop((height() - indicator.rect.height()) / 2);
    p.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicator);

    QRect textRect = rect();
    textRect.setLeft(indicator.rect.right() + 1 +
                     style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &opt, this));
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    flags |= style()->styleHint(QStyle::SH_UnderlineShortcut, &opt, this) ? Qt::TextShowMnemonic
                                                                          : Qt::TextHideMnemonic;
    p.drawItemText(textRect, flags, palette(), isEnabled(), caption, QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = p.boundingRect(textRect, flags, caption).adjusted(-1, 0, 1, 0);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool WrappingRadioButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

OutlineShape::OutlineShape(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void OutlineShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace velumbra
