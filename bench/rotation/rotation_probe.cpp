// SPDX-License-Identifier: GPL-3.0-or-later
// What the machine pays while a rotation waits: "velumbra SECONDS" starts the
// real window, starts a rotation with a one-hour interval and runs for
// SECONDS; "bare SECONDS" shows a plain Qt window with a one-second timer that
// does nothing, the baseline. "week" runs a simulated week of one-second
// ticks on a fake clock and prints the memory at each day's end.
#include "app/application.h"
#include "app/core/savedstate.h"
#include "app/frmvlb.h"
#include "tests/common/fakecontext.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void makePictures(const QTemporaryDir &dir)
{
    const QRgb colours[] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00};
    for (int i = 0; i < 4; ++i) {
        QImage img(320, 240, QImage::Format_RGB32);
        img.fill(colours[i]);
        img.save(dir.filePath(QStringLiteral("p%1.bmp").arg(i)), "BMP");
    }
}

void restoreRotation(velumbra::FakeSettingsStore &settings, const QTemporaryDir &dir,
                     const char *hours)
{
    settings.values = {{"Init/AUTEUR", std::string(velumbra::kSettingsMarker)},
                       {"Init/Drive", "/"},
                       {"Init/Folder", dir.path().toStdString()},
                       {"Init/Pattern", "*.bmp"},
                       {"Init/Option", "2"},
                       {"Init/Time", hours},
                       {"Init/Unites", "2"}};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: rotation_probe velumbra|bare SECONDS | week\n");
        return 2;
    }
    const std::string mode = argv[1];
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    QApplication app(argc, argv);
    QTemporaryDir dir;
    makePictures(dir);

    if (mode == "bare") {
        QLabel w(QStringLiteral("Velumbra"));
        w.show();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, &w, [] {});
        tick.start(1000);
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
        return QApplication::exec();
    }

    velumbra::FakeContext fake; // settings in memory; the question answered No
    fake.prompter.answers = {velumbra::Answer::No};
    if (mode == "velumbra") {
        velumbra::SystemServices services;
        velumbra::AppContext real = services.context();
        restoreRotation(fake.settings, dir, "1");
        velumbra::FrmVLB w(velumbra::AppContext{fake.settings, real.clock, real.random, real.screen,
                                                fake.prompter, real.wallpaper, real.tray,
                                                real.about});
        w.load();
        w.show();
        w.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
        return QApplication::exec();
    }

    // A week of ticks in a few seconds: the fake clock moves one second a tick.
    restoreRotation(fake.settings, dir, "1");
    fake.clock.days = 46000.0;
    for (int i = 0; i < 1000; ++i)
        fake.random.draws.push_back((i * 37 % 101) / 101.0);
    velumbra::FrmVLB w(fake.context());
    w.load();
    w.show();
    w.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QTimer *timer = w.findChild<QTimer *>(QStringLiteral("Timer1"));
    timer->stop(); // ticked by hand below
    std::printf("day  resident KB  wallpaper changes\n");
    for (int day = 1; day <= 7; ++day) {
        for (int s = 0; s < 86400; ++s) {
            fake.clock.advanceSeconds(1);
            Q_EMIT timer->timeout({});
        }
        QCoreApplication::processEvents();
        std::printf("%3d  %11ld  %zu\n", day, residentKb(), fake.wallpaper.sets.size());
    }
    return 0;
}
