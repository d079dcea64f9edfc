#include "app/widgets.h"

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

void ReleaseButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool over = rect().contains(event->position().toPoint());
    const Qt::MouseButton button = event->button();
    QPushButton::mouseReleaseEvent(event);
    Q_EMIT released(button, over);
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
