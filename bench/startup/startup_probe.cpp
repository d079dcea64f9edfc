// SPDX-License-Identifier: GPL-3.0-or-later
// One start of a window, ended by its first paint. "velumbra" starts the real
// main window as the program does; "bare" starts a plain Qt window with the
// same number and kinds of standard controls, the baseline.
#include "app/application.h"
#include "app/frmvlb.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Quits once the window has been painted for the first time.
class FirstPaint : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

std::unique_ptr<QMainWindow> bareWindow()
{
    auto w = std::make_unique<QMainWindow>();
    auto *c = new QWidget;
    c->setFixedSize(594, 645);
    w->setCentralWidget(c);
    w->menuBar()->addMenu(QStringLiteral("&?"))->addAction(QStringLiteral("À &propos"));
    new QPushButton(QStringLiteral("Fermer"), c);
    new QPushButton(QStringLiteral("OK"), c);
    auto *frame = new QGroupBox(QStringLiteral("Votre choix :"), c);
    auto *units = new QGroupBox(QStringLiteral("Unités"), frame);
    for (int i = 0; i < 3; ++i) {
        new QRadioButton(QStringLiteral("Unité"), units);
        new QRadioButton(QStringLiteral("Mode"), frame);
    }
    new QLineEdit(QStringLiteral("5"), frame);
    new QLineEdit(QStringLiteral("*.bmp;*.rle"), c);
    for (int i = 0; i < 5; ++i)
        new QLabel(QStringLiteral("texte"), c);
    new QListView(c);
    new QListView(c);
    new QComboBox(c);
    return w;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 || (std::strcmp(argv[1], "velumbra") && std::strcmp(argv[1], "bare"))) {
        std::fprintf(stderr, "usage: startup_probe velumbra|bare\n");
        return 2;
    }
    const bool real = std::strcmp(argv[1], "velumbra") == 0;
    QApplication app(argc, argv);
    FirstPaint firstPaint;
    if (real) {
        velumbra::installFrenchTranslations();
        velumbra::SystemServices services;
        velumbra::FrmVLB w(services.context());
        w.load();
        w.installEventFilter(&firstPaint);
        w.show();
        return QApplication::exec();
    }
    auto w = bareWindow();
    w->installEventFilter(&firstPaint);
    w->show();
    return QApplication::exec();
}
