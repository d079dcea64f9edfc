// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace velumbra {
namespace {

class InfoLineAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit InfoLineAccessible(QWidget *line) : QAccessibleWidget(line, QAccessible::StatusBar) {}

    [[nodiscard]] QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? shown() : QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Read only, without a caret or a selection.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    [[nodiscard]] int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    [[nodiscard]] int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    [[nodiscard]] QString text(int start, int end) const override
    {
        return shown().mid(start, end - start);
    }
    [[nodiscard]] int characterCount() const override { return int(shown().size()); }
    [[nodiscard]] QRect characterRect(int) const override { return {}; }
    [[nodiscard]] int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    [[nodiscard]] QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    [[nodiscard]] QString shown() const { return static_cast<QLabel *>(widget())->text(); }
};

class MenuButtonAccessible : public QAccessibleWidget
{
public:
    explicit MenuButtonAccessible(QWidget *label)
        : QAccessibleWidget(label, QAccessible::ButtonMenu)
    {
    }

    [[nodiscard]] QStringList actionNames() const override
    {
        return {pressAction(), showMenuAction()};
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction() || action == showMenuAction())
            static_cast<ReleaseLabel *>(widget())->press();
    }
};

QAccessibleInterface *accessibleControl(const QString &className, QObject *object)
{
    if (className == QLatin1String("velumbra::InfoLine"))
        return new InfoLineAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("velumbra::ReleaseLabel"))
        return new MenuButtonAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

// Before the first control is asked for its interface, which Qt then keeps.
void installAccessibleControls()
{
    static const bool installed = (QAccessible::installFactory(accessibleControl), true);
    (void)installed;
}

} // namespace

ReleaseLabel::ReleaseLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    installAccessibleControls();
}

void ReleaseLabel::press()
{
    Q_EMIT released(Qt::LeftButton, mapToGlobal(QPoint(0, height())));
}

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

InfoLine::InfoLine(QWidget *parent) : QLabel(parent)
{
    installAccessibleControls();
}

// QLabel tells no one when its text changes; drawing it is when the change
// is sure, and it also makes the two steps of a preview rebuild one
// announcement and keeps a window hidden in the tray silent. What it showed
// first is not news.
void InfoLine::paintEvent(QPaintEvent *event)
{
    if (m_painted && text() != m_shown) {
        QAccessibleTextUpdateEvent update(this, 0, m_shown, text());
        QAccessible::updateAccessibility(&update);
    }
    m_painted = true;
    m_shown = text();
    QLabel::paintEvent(event);
}

MenuKeys::MenuKeys(QWidget *control, QMenu *menu, Keys keys)
    : QObject(control), m_control(control), m_menu(menu), m_keys(keys)
{
    control->installEventFilter(this);
}

bool MenuKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_control || !opens(event))
        return QObject::eventFilter(watched, event);
    m_menu->popup(anchor());
    if (!m_menu->actions().isEmpty())
        m_menu->setActiveAction(m_menu->actions().constFirst());
    event->accept();
    return true;
}

bool MenuKeys::opens(const QEvent *event) const
{
    if (m_keys == Keys::ContextMenu && event->type() == QEvent::ContextMenu)
        return static_cast<const QContextMenuEvent *>(event)->reason() ==
               QContextMenuEvent::Keyboard;
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (m_keys == Keys::ContextMenu)
        return key->key() == Qt::Key_Menu ||
               (key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
    return (key->key() == Qt::Key_Down && mods == Qt::AltModifier) ||
           (key->key() == Qt::Key_F4 && mods == Qt::NoModifier);
}

QPoint MenuKeys::anchor() const
{
    if (const auto *list = qobject_cast<const QAbstractItemView *>(m_control)) {
        const QRect shown = list->viewport()->rect();
        const QRect entry = list->visualRect(list->currentIndex()).intersected(shown);
        return list->viewport()->mapToGlobal(
            entry.isEmpty() ? shown.topLeft() : QPoint(entry.left(), entry.bottom() + 1));
    }
    return m_control->mapToGlobal(QPoint(0, m_control->height()));
}

FocusRing::FocusRing(QWidget *list)
    : QObject(list), m_list(list), m_frame(new QFocusFrame(list->parentWidget()))
{
    // In the colour the style gives the other controls' focus.
    QPalette palette = m_frame->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
    m_frame->setPalette(palette);
    m_frame->hide();
    list->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::FocusIn)
        m_frame->setWidget(m_list);
    else if (watched == m_list && event->type() == QEvent::FocusOut)
        m_frame->setWidget(nullptr);
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
