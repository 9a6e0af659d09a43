#include "ui/simulator_process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

namespace hx350::ui {

void endWithParent(pid_t parent) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // A parent that died before the request was made sends no signal: the process was handed to another
    // parent already, and would run on with nobody to end it.
    if (::getppid() != parent) ::_exit(1);
}

SimulatorProcess::~SimulatorProcess() {
    stop();
}

QString SimulatorProcess::besideProgram() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("hx350-sim"));
}

QString SimulatorProcess::start(const QString& program, const QString& mode, int timeout_ms, QString* error) {
    const auto fail = [&](const QString& why) {
        if (error != nullptr) *error = why;
        stop();
        return QString();
    };
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The simulator goes with this program even when it is killed and cannot stop it: the kernel sends it
    // SIGTERM when its parent ends.
    process_.setChildProcessModifier([parent = ::getpid()] { endWithParent(parent); });
    process_.start(program, {QStringLiteral("--mode"), mode});
    if (!process_.waitForStarted(timeout_ms))
        return fail(QStringLiteral("cannot start %1: %2").arg(program, process_.errorString()));
    const QDeadlineTimer deadline(timeout_ms);
    while (!process_.canReadLine()) {
        if (process_.state() != QProcess::Running || deadline.hasExpired() ||
            !process_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
            if (process_.canReadLine()) break;
            return fail(QStringLiteral("%1 did not name its pseudo-terminal").arg(program));
        }
    }
    QString path = QString::fromLocal8Bit(process_.readLine()).trimmed();
    if (path.isEmpty()) return fail(QStringLiteral("%1 did not name its pseudo-terminal").arg(program));
    return path;
}

void SimulatorProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

}  // namespace hx350::ui
