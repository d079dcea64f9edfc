// SPDX-License-Identifier: GPL-3.0-or-later
// How long a wallpaper takes from the call to the picture on the screen, per
// backend, with a 1920 x 1080 JPEG, against the baseline of decoding that
// JPEG and scaling it to the screen (work every backend does somewhere).
//
//   bench_wallpaper [RUNS]           starts the servers and prints the table
//   bench_wallpaper --measure NAME RUNS A B
//                                    (internal) one backend, in its session

#include "platform/wallpaper/wallpaper.h"
#include "platform/wallpaper/x11root.h"
#include "tests/desktop/session.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

using Quadrants = std::array<QRgb, 4>;
const Quadrants kA{qRgb(220, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 220), qRgb(230, 230, 230)};
const Quadrants kB{qRgb(230, 230, 30), qRgb(220, 30, 220), qRgb(30, 220, 220), qRgb(20, 20, 20)};

// A photograph-like JPEG (noise makes the decoder work as on a real picture)
// whose quadrants stay recognisable.
void writePicture(const QString &path, const Quadrants &q)
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    auto *rng = QRandomGenerator::global();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = q[std::size_t((y >= 540 ? 2 : 0) + (x >= 960 ? 1 : 0))];
            const int n = int(rng->bounded(24)) - 12;
            line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                           std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    image.save(path, "JPEG", 90);
}

bool close(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 48 && std::abs(qGreen(a) - qGreen(b)) < 48 &&
           std::abs(qBlue(a) - qBlue(b)) < 48;
}

bool shows(const QImage &shot, const Quadrants &q)
{
    if (shot.isNull())
        return false;
    for (std::size_t i = 0; i < 4; ++i) {
        const int x = (i % 2 ? 3 : 1) * shot.width() / 4 + 7;
        const int y = (i / 2 ? 3 : 1) * shot.height() / 4 + 7;
        if (!close(shot.pixel(x, y), q[i]))
            return false;
    }
    return true;
}

// The four sample points of the X screen, read straight from the server.
QImage xShot(Display *d)
{
    const int w = DisplayWidth(d, 0), h = DisplayHeight(d, 0);
    QImage shot(w, h, QImage::Format_RGB32);
    for (int i = 0; i < 4; ++i) {
        const int x = (i % 2 ? 3 : 1) * w / 4 + 7;
        const int y = (i / 2 ? 3 : 1) * h / 4 + 7;
        XImage *img = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
        shot.setPixel(x, y, QRgb(XGetPixel(img, 0, 0)) | 0xff000000u);
        XDestroyImage(img);
    }
    return shot;
}

QImage grimShot()
{
    QProcess grim;
    grim.start(QStringLiteral("grim"),
               {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
    grim.waitForFinished();
    return QImage::fromData(grim.readAllStandardOutput(), "PPM");
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One backend, inside the session the parent set up: prints one duration in
// milliseconds per line, or "error: ..." and stops.
int measure(const QString &name, int runs, const QString &a, const QString &b)
{
    const auto env = velumbra::DesktopEnvironment::fromProcess();
    const std::map<QString, velumbra::WallpaperBackend> backends{
        {QStringLiteral("x11"), velumbra::WallpaperBackend::X11Root},
        {QStringLiteral("xfce"), velumbra::WallpaperBackend::Xfce},
        {QStringLiteral("kde"), velumbra::WallpaperBackend::Kde},
        {QStringLiteral("gnome"), velumbra::WallpaperBackend::Gnome},
        {QStringLiteral("sway"), velumbra::WallpaperBackend::Sway},
        {QStringLiteral("swaybg"), velumbra::WallpaperBackend::Swaybg},
        {QStringLiteral("lxqt"), velumbra::WallpaperBackend::Lxqt},
        {QStringLiteral("lxde"), velumbra::WallpaperBackend::Lxde}};
    auto setter = velumbra::createWallpaperSetter(backends.at(name), env);
    Display *d = env.display.empty() ? nullptr : XOpenDisplay(env.display.c_str());
    if (name == QLatin1String("gnome")) {
        // GNOME starts in its overview, which dims the wallpaper: leave it
        // once with a first picture before measuring.
        if (!setter->setWallpaper(b.toStdString(), velumbra::WallpaperLifetime::UntilLogoff).ok())
            return 1;
        const QDeadlineTimer deadline(60000);
        while (d && !shows(xShot(d), kB) && !deadline.hasExpired()) {
            QProcess::execute(QStringLiteral("xdotool"),
                              {QStringLiteral("key"), QStringLiteral("Escape")});
            QThread::msleep(100);
        }
    }
    for (int i = 0; i < runs; ++i) {
        const bool useA = i % 2 == 0;
        QElapsedTimer timer;
        timer.start();
        const auto r = setter->setWallpaper((useA ? a : b).toStdString(),
                                            velumbra::WallpaperLifetime::UntilLogoff);
        if (!r.ok()) {
            std::printf("error: %s\n", r.reason().c_str());
            return 1;
        }
        const QDeadlineTimer deadline(30000);
        while (!shows(d ? xShot(d) : grimShot(), useA ? kA : kB)) {
            if (deadline.hasExpired()) {
                std::printf("error: the picture never showed\n");
                return 1;
            }
            QThread::usleep(500);
        }
        std::printf("%.3f\n", double(timer.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }
    if (d)
        XCloseDisplay(d);
    return 0;
}

std::vector<double> runChild(const QProcessEnvironment &env, const QStringList &prefix,
                             const QString &name, int runs, const QString &a, const QString &b,
                             QString &error)
{
    QStringList argv = prefix;
    argv << QCoreApplication::applicationFilePath() << QStringLiteral("--measure") << name
         << QString::number(runs) << a << b;
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(argv.takeFirst(), argv);
    p.waitForFinished(300000);
    std::vector<double> times;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        if (line.startsWith("error:"))
            error = QString::fromUtf8(line);
        else if (!line.isEmpty())
            times.push_back(line.toDouble());
    }
    return times;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 6 && std::strcmp(argv[1], "--measure") == 0)
        return measure(QString::fromLatin1(argv[2]), std::atoi(argv[3]),
                       QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[5]));
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 9;

    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    const QString a = dir.filePath(QStringLiteral("a.jpg"));
    const QString b = dir.filePath(QStringLiteral("b.jpg"));
    writePicture(a, kA);
    writePicture(b, kB);

    std::vector<double> base;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        QImageReader reader(i % 2 ? b : a);
        const QImage img =
            reader.read().scaled(1920, 1080, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        base.push_back(double(t.nsecsElapsed()) / 1e6);
        if (img.isNull())
            return 1;
    }
    const double baseline = median(base);
    std::printf("Baseline: decode the 1920x1080 JPEG and scale it to the screen: %.1f ms (median "
                "of %d)\n\n",
                baseline, runs);
    std::printf("%-8s %12s %10s  %s\n", "backend", "median ms", "ratio", "note");

    const auto report = [&](const char *name, const std::vector<double> &t, const QString &error) {
        if (t.empty())
            std::printf("%-8s %12s %10s  %s\n", name, "-", "-", qPrintable(error));
        else
            std::printf("%-8s %12.1f %9.1fx  median of %zu\n", name, median(t),
                        median(t) / baseline, t.size());
        std::fflush(stdout);
    };
    const auto have = [](const char *program) {
        return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
    };
    QProcessEnvironment base_env = QProcessEnvironment::systemEnvironment();
    base_env.remove(QStringLiteral("WAYLAND_DISPLAY"));

    // X11 root window on Xvfb; XFCE's xfdesktop, KDE's plasmashell, GNOME
    // Shell, pcmanfm-qt and pcmanfm each on an Xvfb of their own, started as
    // the desktop tests start them.
    for (const char *name : {"x11", "xfce", "kde", "gnome", "lxqt", "lxde"}) {
        desktoptest::XSession description = desktoptest::xSession(QString::fromLatin1(name));
        description.screen = {1920, 1080};
        description.poke.clear(); // GNOME's overview is left by the measuring child
        const std::map<std::string, const char *> program{
            {"x11", "Xvfb"},          {"xfce", "xfdesktop"},  {"kde", "plasmashell"},
            {"gnome", "gnome-shell"}, {"lxqt", "pcmanfm-qt"}, {"lxde", "pcmanfm"}};
        if (!have("Xvfb") || !have(program.at(name)) ||
            (std::strcmp(name, "gnome") == 0 && !have("xdotool"))) {
            report(name, {}, QStringLiteral("not installed"));
            continue;
        }
        desktoptest::XDesktop session(description);
        session.login(dir.filePath(QLatin1String(name)), true);
        QString error;
        const auto times = runChild(desktoptest::environment(session.env), {},
                                    QString::fromLatin1(name), runs, a, b, error);
        report(name, times, error);
    }

    // sway, headless; it refuses root, so it and the measuring child run as
    // nobody. swaybg runs on a sway without a background of its own, as on
    // any compositor with layer-shell.
    for (const char *name : {"sway", "swaybg"}) {
        const bool swaybg = std::strcmp(name, "swaybg") == 0;
        if (!have("sway") || !have("grim") || (swaybg && !have("swaybg"))) {
            report(name, {}, QStringLiteral("not installed"));
            continue;
        }
        const QString runtime = dir.filePath(QStringLiteral("runtime-") + QLatin1String(name));
        QDir().mkpath(runtime);
        QStringList script{runtime};
        if (swaybg)
            script << QStringLiteral("bare");
        desktoptest::Server sway(QStringLiteral("sway.sh"), script,
                                 {QStringLiteral("-WAYLAND_DISPLAY")});
        const QStringList where = sway.firstLine().split(u' ');
        QString error = QStringLiteral("sway did not start");
        std::vector<double> times;
        if (where.size() == 2) {
            QProcessEnvironment env = base_env;
            env.remove(QStringLiteral("DISPLAY"));
            env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
            if (!swaybg)
                env.insert(QStringLiteral("SWAYSOCK"), where[0]);
            env.insert(QStringLiteral("WAYLAND_DISPLAY"), where[1]);
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
            const QStringList prefix =
                ::geteuid() == 0
                    ? QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                                  QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")}
                    : QStringList{};
            error.clear();
            times = runChild(env, prefix, QLatin1String(name), runs, a, b, error);
        }
        report(name, times, error);
    }
    return 0;
}
