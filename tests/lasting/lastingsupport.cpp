#include "tests/lasting/lastingsupport.h"

#include <QFile>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

void PrintTo(const QString &s, std::ostream *os)
{
    *os << s.toStdString();
}

namespace lastingtest {

const Quadrants kPictureC{QColor(0, 0, 255), QColor(255, 0, 0), QColor(255, 255, 255),
                          QColor(0, 255, 0)};

bool owed(const QString &stateHome, const QString &configHome)
{
    const bool record = QFile::exists(stateHome + QStringLiteral("/velumbra/lasting"));
    const bool entry =
        QFile::exists(configHome + QStringLiteral("/autostart/velumbra-restore.desktop"));
    EXPECT_EQ(record, entry) << "the record and the autostart entry disagree";
    return record;
}

QString lastingCliPath()
{
    return QStringLiteral(LASTING_CLI);
}

QString restorePath()
{
    return QStringLiteral(RESTORE_PROGRAM);
}

RunResult runLasting(const QStringList &args, const QStringList &env)
{
    return wallpapertest::runProgram(lastingCliPath(), args, env);
}

RunResult runRestore(const QStringList &env)
{
    return wallpapertest::runProgram(restorePath(), {}, env);
}

QString outputOf(const QString &program, const QStringList &args, const QStringList &env)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString &kv : env) {
        if (kv.startsWith(u'-'))
            e.remove(kv.mid(1));
        else
            e.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
    }
    p.setProcessEnvironment(e);
    p.start(program, args);
    p.waitForFinished();
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (out.endsWith(u'\n'))
        out.chop(1);
    return out;
}

} // namespace lastingtest
