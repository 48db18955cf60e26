#pragma once
// Runs the real quorvane-cli in a throw-away home: its own configuration,
// Documents, temporary and runtime folders.
#include "base/appstate.h"
#include "jobs/jobkinds.h"
#include "jobs/jobslist.h"
#include "platform/folders.h"
#include "support/stopatopen.h"
#include "support/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
    QStringList OutLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

inline std::ostream &operator<<(std::ostream &os, const CliResult &r)
{
    return os << "exit " << r.exitCode << "\n--- stdout\n" << r.out.toStdString() << "--- stderr\n"
              << r.err.toStdString();
}

// A quorvane-cli that runs while the test acts on it.
struct CliProcess {
    QProcess process;
    QByteArray err;

    // Reads standard error until it holds `text`; false when the process
    // ends first (or after minutes, so that a hanging program fails the test).
    bool WaitForErr(const QByteArray &text)
    {
        QElapsedTimer waited;
        waited.start();
        while (!err.contains(text) && waited.elapsed() < 120000) {
            if (process.state() == QProcess::NotRunning) {
                err += process.readAllStandardError();
                return err.contains(text);
            }
            process.waitForReadyRead(100);
            err += process.readAllStandardError();
        }
        return err.contains(text);
    }
    void Signal(int signal) { ::kill(pid_t(process.processId()), signal); }
    // Waits until the process, started with StopAtOpen::Environment, holds
    // itself at the file it watches.
    bool WaitUntilStopped() { return StopAtOpen::WaitUntilStopped(process.processId()); }
    // Waits for the end and collects what the process wrote.
    CliResult Finish()
    {
        if (process.state() != QProcess::NotRunning) {
            EXPECT_TRUE(process.waitForFinished(120000));
        }
        CliResult r;
        r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        r.out = QString::fromUtf8(process.readAllStandardOutput());
        r.err = QString::fromUtf8(err + process.readAllStandardError());
        return r;
    }
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int runs = 0;
        m_home = TestEnv::Root() + QStringLiteral("/c%1").arg(++runs);
        for (const char *sub : {"/config", "/docs", "/tmp", "/rt", "/work"})
            QDir().mkpath(m_home + QLatin1String(sub));
        QFile::setPermissions(m_home + QStringLiteral("/rt"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void TearDown() override { Folders::SetDataFolderOverride(QString()); }

    // A folder below this test's working folder, created.
    QString Dir(const QString &name)
    {
        const QString path = m_home + QStringLiteral("/work/") + name;
        QDir().mkpath(path);
        return path;
    }
    void Write(const QString &path, const QByteArray &data) { TestEnv::WriteFile(path, data); }

    QProcessEnvironment Environment(const QStringList &extra = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DOCUMENTS_DIR"), m_home + QStringLiteral("/docs"));
        env.insert(QStringLiteral("TMPDIR"), m_home + QStringLiteral("/tmp"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home + QStringLiteral("/rt"));
        env.remove(QStringLiteral("QV_SMB_PASSWORD"));
        env.remove(QStringLiteral("QV_ZIP_PASSWORD"));
        for (const QString &kv : extra) {
            const qsizetype eq = kv.indexOf(QLatin1Char('='));
            env.insert(kv.left(eq), kv.mid(eq + 1));
        }
        return env;
    }

    static QString Program() { return TestEnv::BinDir() + QStringLiteral("/quorvane-cli"); }

    CliResult Cli(const QStringList &args, const QStringList &env = {})
    {
        QProcess p;
        p.setProgram(Program());
        p.setArguments(args);
        p.setWorkingDirectory(m_home + QStringLiteral("/work"));
        p.setProcessEnvironment(Environment(env));
        p.start();
        EXPECT_TRUE(p.waitForStarted(10000));
        EXPECT_TRUE(p.waitForFinished(120000)) << args.join(QLatin1Char(' ')).toStdString();
        CliResult r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    // Starts quorvane-cli and returns at once.
    std::unique_ptr<CliProcess> StartCli(const QStringList &args, const QStringList &env = {})
    {
        auto p = std::make_unique<CliProcess>();
        p->process.setProgram(Program());
        p->process.setArguments(args);
        p->process.setWorkingDirectory(m_home + QStringLiteral("/work"));
        p->process.setProcessEnvironment(Environment(env));
        p->process.start();
        EXPECT_TRUE(p->process.waitForStarted(10000));
        return p;
    }

    // The jobs as the program reads them from this test's data folder.
    std::unique_ptr<JobsList> LoadJobs()
    {
        Folders::SetDataFolderOverride(DataFolder());
        auto list = std::make_unique<JobsList>();
        list->LoadJobsListAndJobs();
        return list;
    }
    QString DataFolder() const { return m_home + QStringLiteral("/config/Quorvane"); }

    QString m_home;
};
