// The real programs as processes on loopback: varnex (offscreen, throw-away
// settings and data folders) polling a real varnex-unit.
#include <gtest/gtest.h>

#include <functional>

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr int kStartMs = 10000;

QString Program(const char* path) {
    return QString::fromUtf8(path);
}

// Runs a short-lived program to its end; its standard output.
QString RunToEnd(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(kStartMs)) << program.toStdString();
    *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Reads lines from `process` until one matches or the deadline passes.
QStringList ReadLinesUntil(QProcess& process, const std::function<bool(const QStringList&)>& done,
                           int timeoutMs) {
    QStringList lines;
    const QDeadlineTimer deadline(timeoutMs);
    while (!done(lines) && !deadline.hasExpired()) {
        if (!process.canReadLine() && !process.waitForReadyRead(100)) {
            continue;
        }
        while (process.canReadLine()) {
            lines << QString::fromUtf8(process.readLine()).trimmed();
        }
    }
    return lines;
}

void EndProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

TEST(VarnexProgram, HelpAndVersionAnswerWithoutAWindow) {
    int exitCode = -1;
    const QString help = RunToEnd(Program(VARNEX_PROGRAM), {"--help"}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(help.startsWith("Usage: varnex [STATION-IP]")) << help.toStdString();
    const QString version = RunToEnd(Program(VARNEX_PROGRAM), {"--version"}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(version, "varnex 1.8.6\n");
}

TEST(VarnexProgram, PollsARealUnitOnLoopback) {
    QTemporaryDir config;
    QTemporaryDir data;
    ASSERT_TRUE(config.isValid() && data.isValid());
    const QString database = data.path() + "/Korvath/VNXv1/VNXv1.MDB";
    ASSERT_TRUE(QDir().mkpath(data.path() + "/Korvath/VNXv1"));
    int exitCode = -1;
    RunToEnd(Program(VARNEX_DEMO_STATION_PROGRAM), {database, "127.0.0.1", "tamble", "Simulator"},
             &exitCode);
    ASSERT_EQ(exitCode, 0);

    QProcess unit;
    unit.start(Program(VARNEX_UNIT_PROGRAM), {"--address", "127.0.0.1", "--port", "0"});
    const QRegularExpression listening(R"(^varnex-unit listening on 127\.0\.0\.1:(\d+)$)");
    const QStringList first = ReadLinesUntil(
        unit, [&](const QStringList& lines) { return !lines.isEmpty(); }, kStartMs);
    ASSERT_FALSE(first.isEmpty());
    const QRegularExpressionMatch match = listening.match(first.front());
    ASSERT_TRUE(match.hasMatch()) << first.front().toStdString();

    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", config.path());
    environment.insert("XDG_DATA_HOME", data.path());
    environment.insert("VARNEX_UNIT_PORT", match.captured(1));
    client.setProcessEnvironment(environment);
    client.start(Program(VARNEX_PROGRAM), {"127.0.0.1"});
    ASSERT_TRUE(client.waitForStarted(kStartMs));

    // The START request and at least two poll ticks, each answered.
    const auto statusRequests = [](const QStringList& lines) {
        return lines.filter("\"1\"").size();
    };
    const QStringList log = ReadLinesUntil(
        unit, [&](const QStringList& lines) { return statusRequests(lines) >= 3; }, 15000);
    EXPECT_GE(statusRequests(log), 3) << log.join('\n').toStdString();
    for (const QString& line : log.filter("\"1\"")) {
        EXPECT_TRUE(line.contains("from 127.0.0.1:")) << line.toStdString();
    }
    EXPECT_EQ(client.state(), QProcess::Running);

    EndProcess(client);
    unit.closeWriteChannel();  // end of input ends the unit
    EXPECT_TRUE(unit.waitForFinished(5000));
    EXPECT_EQ(unit.exitCode(), 0);
    EndProcess(unit);
}

}  // namespace
