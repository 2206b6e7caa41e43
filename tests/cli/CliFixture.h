#pragma once

#include "store/SafeFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace korvane::test {

struct CliRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

inline QByteArray fileBytes(const QString& path)
{
    QByteArray bytes;
    EXPECT_TRUE(SafeFile::read(path, bytes)) << path.toStdString();
    return bytes;
}

/** Every file of a folder, hidden ones too, with its bytes, to tell that a command changed nothing. */
inline std::map<QString, QByteArray> snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        files[name] = fileBytes(folder + '/' + name);
    return files;
}

/** korvane-cli on a data folder, settings and program folder of its own. */
class CliFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        m_data = m_root.filePath(QStringLiteral("Korvane"));
        ASSERT_TRUE(QDir().mkpath(m_data));
    }

    /** Gives a process this test's environment; `inChild` runs in the child before the program starts. */
    void prepare(QProcess& process, const std::function<void()>& inChild = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("KORVANE_PROGRAM_FOLDER"), m_root.filePath(QStringLiteral("program")));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        process.setProcessEnvironment(env);
        if (inChild)
            process.setChildProcessModifier(inChild);
    }

    /** Runs korvane-cli on the test's data folder, feeding it `input`. */
    CliRun cli(const QStringList& args, const QByteArray& input = {},
               const std::function<void()>& inChild = {})
    {
        return bare(QStringList{QStringLiteral("--data"), m_data} + args, input, inChild);
    }

    /** Runs korvane-cli without naming a data folder. */
    CliRun bare(const QStringList& args, const QByteArray& input = {},
                const std::function<void()>& inChild = {})
    {
        QProcess process;
        prepare(process, inChild);
        process.start(QStringLiteral(KORVANE_CLI), args);
        EXPECT_TRUE(process.waitForStarted());
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(120000)) << args.join(' ').toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << args.join(' ').toStdString();
        return CliRun{process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    /** Adds a record from JSON and returns its identifier. */
    QByteArray add(const QString& kind, const QByteArray& json)
    {
        const CliRun run = cli({QStringLiteral("add"), kind}, json);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return run.out.trimmed();
    }

    QString path(const QString& name) const { return m_data + '/' + name; }

    QTemporaryDir m_root;
    QString m_data;
};

} // namespace korvane::test
