#pragma once

// Runs a helper program in a child process, optionally as the unprivileged
// user nobody, and collects what it printed; sayToTest() is the helper's
// side of that.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#if QT_CONFIG(process)
#include <QProcess>
#include <QProcessEnvironment>
#endif
#include <QStandardPaths>
#include <QStringList>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tekkora::testing {

// In a helper program: one line for the test, flushed at once so that it
// reaches the test even if the helper is killed after it.
inline void sayToTest(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

struct HelperOutput {
    bool finished = false;
    int exitCode = -1;
    QStringList lines;
    QString errors;

    QStringList withPrefix(const QString &prefix) const
    {
        QStringList found;
        for (const QString &line : lines)
            if (line.startsWith(prefix))
                found << line.mid(prefix.size());
        return found;
    }
};

class HelperProcess {
public:
    // workDir: a directory of the test's own in which a copy of the helper
    // program and what it needs are placed where an unprivileged user can
    // reach them.
    HelperProcess(const QString &workDir, const QString &program) : workDir_(workDir), program_(program) {}

    static bool runningAsRoot()
    {
#ifdef Q_OS_UNIX
        return ::geteuid() == 0;
#else
        return false;
#endif
    }

    // As root, setpriv drops to nobody; an ordinary user is refused by the
    // permission bits alone.
    static bool canRunUnprivileged()
    {
        return !runningAsRoot() || !QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty();
    }

    bool prepare()
    {
        QDir work(workDir_);
        if (!work.mkpath(QStringLiteral("bin")) || !work.mkpath(QStringLiteral("home")))
            return false;
        helper_ = work.filePath(QStringLiteral("bin/") + QFileInfo(program_).fileName());
        if (!QFile::copy(program_, helper_))
            return false;
        const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                              | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        return QFile::setPermissions(workDir_, everyone) && QFile::setPermissions(work.filePath("bin"), everyone)
               && QFile::setPermissions(helper_, everyone)
               && QFile::setPermissions(work.filePath("home"), everyone | QFile::WriteGroup | QFile::WriteOther)
               && copySuppressions();
    }

#if QT_CONFIG(process) // not in the browser's build
    HelperOutput run(const QStringList &arguments, bool unprivileged)
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        if (unprivileged && runningAsRoot())
            process.start(QStandardPaths::findExecutable(QStringLiteral("setpriv")),
                          QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                      QStringLiteral("--clear-groups"), helper_}
                              + arguments);
        else
            process.start(helper_, arguments);
        HelperOutput output;
        output.finished = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
        output.exitCode = process.exitCode();
        output.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        output.errors = QString::fromUtf8(process.readAllStandardError());
        return output;
    }

    QString helperPath() const { return helper_; }

    QProcessEnvironment environment()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString home = QDir(workDir_).filePath(QStringLiteral("home"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const QString suppressions = suppressionsCopy();
        if (QFile::exists(suppressions)) {
            QStringList options = env.value(QStringLiteral("LSAN_OPTIONS")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
            for (QString &option : options)
                if (option.startsWith(QLatin1String("suppressions=")))
                    option = QStringLiteral("suppressions=") + suppressions;
            env.insert(QStringLiteral("LSAN_OPTIONS"), options.join(QLatin1Char(':')));
        }
        return env;
    }
#endif

private:
    QString suppressionsCopy() const { return QDir(workDir_).filePath(QStringLiteral("lsan.supp")); }

    // The leak checker's suppressions may lie where nobody cannot read them:
    // the child gets a copy of its own.
    bool copySuppressions() const
    {
        for (const QString &option : qEnvironmentVariable("LSAN_OPTIONS").split(QLatin1Char(':'))) {
            if (!option.startsWith(QLatin1String("suppressions=")))
                continue;
            const QString copy = suppressionsCopy();
            return (QFile::exists(copy) || QFile::copy(option.mid(int(qstrlen("suppressions="))), copy))
                   && QFile::setPermissions(copy, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        }
        return true;
    }

    QString workDir_;
    QString program_;
    QString helper_;
};

} // namespace tekkora::testing
