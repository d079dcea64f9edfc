// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/frmabout.h"

#include "about/aboutservices.h"
#include "about/sysinfo.h"
#include "platform/prompter.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace velumbra {
namespace {

const QString kTitle = QStringLiteral("Velumbra");

// The dialog was drawn in twips, fifteen to the pixel.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

QRect twipRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// Sizes in pixels, not points: the layout is fixed in pixels and must not
// grow with the screen's reported resolution. 8.25 pt is 11 px at 96 dpi.
QFont verdana(bool bold, bool underline = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// The buttons were sized for a narrow interface font: a wider one is
// condensed until the caption fits rather than cut off.
void fitCaption(QPushButton *button)
{
    QString text = button->text();
    text.remove(QLatin1Char('&'));
    QFont font = button->font();
    for (int stretch = 100; stretch >= 70; stretch -= 5) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(text) + 8 <= button->width())
            break;
    }
    button->setFont(font);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

QString versionText(int major, int minor, int patch)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(patch);
}

frmAbout::frmAbout(AboutServices &services, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_services(services), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmAbout"));
    // A fixed dialog with a close box only; Qt::Tool keeps it off the task bar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(px(5730), px(3780));
    setWindowIcon(QIcon(QStringLiteral(":/velumbra/velumbra.png")));
    QFont interfaceFont = font();
    interfaceFont.setPixelSize(11);
    setFont(interfaceFont);

    createLabels();
    createSeparator();
    createButtons();
    setAccessibleNames();
    load();
}

frmAbout::~frmAbout() = default;

void frmAbout::createLabels()
{
    picIcon = makeLabel(this, "picIcon", QString(), twipRect(240, 240, 960, 960));
    picIcon->setPixmap(QPixmap(QStringLiteral(":/velumbra/velumbra.png")));

    const QColor darkBlue(0, 0, 192);
    lblTitle = makeLabel(this, "lblTitle", QStringLiteral("Titre de l'application"),
                         twipRect(1050, 240, 3885, 480));
    lblVersion =
        makeLabel(this, "lblVersion", QStringLiteral("Version"), twipRect(1050, 780, 3885, 225));
    lblDescription = makeLabel(
        this, "lblDescription",
        QStringLiteral("Gestionnaire de fonds d'écran (Wall Paper) et convertisseur des formats "
                       "GIF, JPG ou JPEG en BMP"),
        twipRect(1320, 1200, 3885, 690));
    lblDescription->setWordWrap(true);
    for (QLabel *label : {lblTitle, lblVersion, lblDescription}) {
        label->setFont(verdana(true));
        setTextColour(label, darkBlue);
    }

    urlhttp = makeLabel(this, "urlhttp", QString(), twipRect(120, 1920, 2775, 255));
    urlhttp->setFont(verdana(false, true));
    setTextColour(urlhttp, urlhttp->palette().color(QPalette::Highlight));
    urlhttp->setCursor(Qt::PointingHandCursor);
    const QString address = QString::fromStdString(m_services.authorAddress);
    // A long address (a local page) would be cut off at the label's edge.
    urlhttp->setText(
        QFontMetrics(urlhttp->font()).elidedText(address, Qt::ElideMiddle, urlhttp->width()));
    urlhttp->setToolTip(address);
    urlhttp->installEventFilter(this);

    lblDisclaimer =
        makeLabel(this, "lblDisclaimer",
                  QStringLiteral("Ce programme est fourni tel quel, sans aucune garantie. "
                                 "Vous pouvez le copier et le distribuer librement, "
                                 "pourvu qu'il soit transmis en entier et sans modification."),
                  twipRect(0, 2520, 4110, 1185));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setFont(verdana(true));
    setTextColour(lblDisclaimer, QColor(255, 0, 0));
}

void frmAbout::createSeparator()
{
    // An etched groove: a grey line with a white one just below and to the right.
    struct Stroke
    {
        int left, top, right, width;
        QColor colour;
    };
    const Stroke strokes[2] = {{105, 2460, 5654, 2, Qt::white},
                               {90, 2445, 5654, 1, QColor(128, 128, 128)}};
    for (int i = 0; i < 2; ++i) {
        auto *line = new QFrame(this);
        line->setObjectName(QStringLiteral("Line1"));
        line->setProperty("index", i);
        const Stroke &s = strokes[i];
        line->setGeometry(px(s.left), px(s.top), px(s.right) - px(s.left), s.width);
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, s.colour);
        line->setPalette(palette);
        Line1[std::size_t(i)] = line;
    }
}

void frmAbout::createButtons()
{
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipRect(4245, 2625, 1260, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    cmdSysInfo = new QPushButton(QStringLiteral("&Infos système..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(twipRect(4260, 3075, 1245, 345));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    fitCaption(cmdOK);
    fitCaption(cmdSysInfo);
    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();
}

// Labels and buttons are read by their text; a name would hide it. Only the
// picture and the lines, which have none, are named.
void frmAbout::setAccessibleNames()
{
    picIcon->setAccessibleName(QStringLiteral("Icône de Velumbra"));
    for (QFrame *line : Line1)
        line->setAccessibleName(QStringLiteral("Séparateur"));
    urlhttp->setAccessibleDescription(QStringLiteral("Site de l'auteur : ") +
                                      QString::fromStdString(m_services.authorAddress));
    lblDisclaimer->setAccessibleDescription(QStringLiteral("Conditions de distribution"));
    cmdSysInfo->setAccessibleDescription(
        QStringLiteral("Démarre le programme d'informations système"));
}

void frmAbout::load()
{
    setWindowTitle(QStringLiteral("À propos de ") + kTitle);
    lblVersion->setText(
        versionText(VELUMBRA_VERSION_MAJOR, VELUMBRA_VERSION_MINOR, VELUMBRA_VERSION_PATCH));
    lblTitle->setText(kTitle);
}

void frmAbout::StartSysInfo()
{
    const SysInfoSources sources{m_services.registry, m_services.files, m_services.processes,
                                 m_services.programs};
    if (const Result<> started = startSysInfo(sources); !started)
        m_prompter.tell(this, kTitle, QString::fromStdString(started.reason()));
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == urlhttp && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
        urlhttp->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
        m_services.web.open(m_services.authorAddress);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velumbra
