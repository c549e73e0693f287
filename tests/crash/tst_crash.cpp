#include "AppFolder.h"
#include "DataList.h"
#include "DatabaseMaker.h"
#include "ListState.h"
#include "Module1.h"
#include "Shopper.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "frmCartstock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {
// The kill comes within this long after the program has started; the driver does an
// action every few milliseconds.
constexpr int LatestKillMs = 200;

quint32 numberFromEnvironment(const char* name, quint32 fallback)
{
    bool ok = false;
    const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}
} // namespace

class TestCrash : public QObject {
    Q_OBJECT
    QTemporaryDir m_templateFolder;

    QString sample() const { return m_templateFolder.filePath(QStringLiteral("Cartstock.mdb")); }

    // The program started again on the file shows the main window, no message, and what
    // the file holds.
    QString restartProblem(const QString& folder, const ListState& file)
    {
        TestSession session;
        AppFolder::setPath(folder);
        if (!Module1::Main() || !frmCartstock::loaded() || !frmCartstock::loaded()->isVisible())
            return QStringLiteral("the program does not start on the file: ") + TestSession::messages().join(u' ');
        frmCartstock& w = *frmCartstock::loaded();
        if (UserMoves::listShown(w) != file.selected || UserMoves::entriesShown(w.lstCat) != file.categories ||
            UserMoves::catalogueShown(w.lvwItems) != UserMoves::catalogueAsShown(file.cartstock))
            return QStringLiteral("the restarted program does not show what the file holds");
        return session.problems();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_templateFolder.isValid());
        DatabaseMaker::create(sample(), DatabaseMaker::Content::Sample);
    }

    // The driver is killed at a random moment, in or between actions; the file must hold
    // every action the windows had shown as done, and the action under way either whole,
    // not at all, or (adding ticked items) up to one of its rows.
    void killedAtAnyMomentTheFileKeepsWhatWasShownAsSaved()
    {
        const quint32 seed = numberFromEnvironment("CARTLIST_CRASH_SEED", QRandomGenerator::system()->generate());
        const int trials = int(numberFromEnvironment("CARTLIST_CRASH_TRIALS", 50));
        qInfo("%d trials with seed %u (CARTLIST_CRASH_SEED=%u repeats the choices)", trials, seed, seed);
        QRandomGenerator random(seed);
        QStringList failures;
        int acknowledged = 0, between = 0, notBegun = 0, partly = 0, done = 0;

        for (int trial = 1; trial <= trials; ++trial) {
            const quint32 trialSeed = random.generate();
            const int killAfter = int(random.bounded(LatestKillMs));
            const QString context =
                QStringLiteral("trial %1 (driver seed %2, kill after %3 ms)").arg(trial).arg(trialSeed).arg(killAfter);
            QTemporaryDir folder;
            const QString file = folder.filePath(QStringLiteral("Cartstock.mdb"));
            const QString side = folder.filePath(QStringLiteral("side.jsonl"));
            QVERIFY(QFile::copy(sample(), file));

            QProcess driver;
            driver.start(QStringLiteral(CARTLIST_CRASH_DRIVER),
                         {folder.path(), side, QString::number(trialSeed), QStringLiteral("-platform"),
                          QStringLiteral("offscreen")});
            QVERIFY2(driver.waitForStarted(), qPrintable(driver.errorString()));
            // The clock starts once the program is up and the first record is written.
            QFileInfo written(side);
            written.setCaching(false);
            const QDeadlineTimer startLimit(60000);
            while (written.size() == 0 && !startLimit.hasExpired() && !driver.waitForFinished(1)) {
            }
            if (written.size() == 0 || driver.waitForFinished(killAfter)) {
                failures << context + QStringLiteral(": the driver stopped by itself or did not start: ") +
                                QString::fromLocal8Bit(driver.readAllStandardError());
                driver.kill();
                driver.waitForFinished();
                continue;
            }
            ::kill(pid_t(driver.processId()), SIGKILL);
            driver.waitForFinished();

            QFile record(side);
            QVERIFY(record.open(QIODevice::ReadOnly));
            const Shopper::Record last = Shopper::lastAcknowledged(record.readAll());
            QVERIFY2(last.sequence >= 0, qPrintable(context + QStringLiteral(": nothing acknowledged")));
            acknowledged += last.sequence;
            try {
                const ListState now = ListState::read(file);
                QString why;
                const Intent running = last.running.value_or(Intent::none(QStringLiteral("nothing")));
                switch (running.judge(last.state, now, &why)) {
                case Intent::Verdict::Wrong:
                    failures << QStringLiteral("%1: after %2 acknowledged actions, %3")
                                    .arg(context)
                                    .arg(last.sequence)
                                    .arg(why);
                    continue;
                case Intent::Verdict::NotBegun:
                    ++(last.running ? notBegun : between);
                    break;
                case Intent::Verdict::Partly:
                    ++partly;
                    break;
                case Intent::Verdict::Done:
                    ++(last.running ? done : between);
                    break;
                }
                if (const QString problem = restartProblem(folder.path(), now); !problem.isEmpty())
                    failures << context + QStringLiteral(": ") + problem;
            } catch (const std::exception& e) {
                failures << context + QStringLiteral(": ") + QString::fromUtf8(e.what());
            }
        }
        qInfo("%d trials, %d actions acknowledged, %lld with a loss or a fault; killed between actions %d times, "
              "during one %d times "
              "(not begun in the file %d, partly %d, done %d)",
              trials, acknowledged, qsizetype(failures.size()), between, notBegun + partly + done, notBegun, partly,
              done);
        QVERIFY2(failures.isEmpty(), qPrintable(QStringLiteral("seed %1:\n").arg(seed) + failures.join(u'\n')));
    }
};

QTEST_MAIN(TestCrash)
#include "tst_crash.moc"
