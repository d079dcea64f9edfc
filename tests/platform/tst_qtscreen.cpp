// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qtscreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

// Runs with QT_SCALE_FACTOR=2: Qt then reports half the pixels in logical
// units, and the wallpaper's size must still come out in physical pixels.
class TestQtScreen : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reportsPhysicalPixelsOnAScaledScreen()
    {
        const QScreen *screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->devicePixelRatio(), 2.0);
        const auto size = velumbra::QtScreen().primarySize().value();
        QCOMPARE(QSize(size.width, size.height), screen->size() * 2);
    }
};

QTEST_MAIN(TestQtScreen)
#include "tst_qtscreen.moc"
