// The simulator started for --simulate goes with the program, even when the program died while the
// simulator was being started.
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <cerrno>

#include "ui/simulator_process.h"

class SimulatorProcessTest : public QObject {
    Q_OBJECT

  private slots:
    void aParentGoneBeforeTheRequestEndsTheChild() {
        // This process adopts the orphan, so it can reap it.
        QCOMPARE(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
        int report[2];
        QCOMPARE(::pipe(report), 0);
        const pid_t parent = ::fork();
        QVERIFY(parent >= 0);
        if (parent == 0) {
            const pid_t me = ::getpid();
            if (::fork() == 0) {
                // The race: the parent dies between the fork and the death-signal request.
                for (int i = 0; i < 5000 && ::getppid() == me; ++i)
                    ::usleep(1000);
                hx350::ui::endWithParent(me);
                const char alive[] = "alive";
                if (::write(report[1], alive, sizeof alive) < 0) ::_exit(3);
                ::_exit(0);
            }
            ::_exit(0);
        }
        ::close(report[1]);
        char got[16] = {};
        ssize_t n;
        do {
            n = ::read(report[0], got, sizeof got);
        } while (n < 0 && errno == EINTR);
        ::close(report[0]);
        while (::waitpid(-1, nullptr, 0) > 0) {
        }
        QCOMPARE(n, ssize_t{0});  // the child ended without going on
    }
};

QTEST_MAIN(SimulatorProcessTest)
#include "simulator_process_test.moc"
