// One running instance per data folder, with real processes of the application on a scratch data folder.

#include "app/SingleInstance.h"

#include "support/QtPrinters.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kProcessTimeoutMs = 20000;

QString appBinary() {
    return QStringLiteral(HALVO_APP_BINARY);
}

/// A scratch home whose data folder the application processes share.
class ScratchHome {
public:
    ScratchHome() {
        EXPECT_TRUE(m_dir.isValid());
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("HOME"), m_dir.path());
        m_env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("halvo_pultorium.instance.info=true"));
    }

    QString dataFolder() const { return m_dir.filePath(QStringLiteral("data/HalvoPultorium")); }

    /// Starts the application; its output is read as it comes.
    std::unique_ptr<QProcess> startApp() const {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(m_env);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(appBinary(), {});
        EXPECT_TRUE(process->waitForStarted(kProcessTimeoutMs)) << appBinary().toStdString();
        return process;
    }

private:
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
};

/// Waits until the process has written the text (keeping everything it wrote in `seen`).
bool waitForOutput(QProcess& process, QByteArray& seen, const QByteArray& text) {
    return QTest::qWaitFor(
               [&] {
                   seen += process.readAll();
                   return seen.contains(text) || process.state() == QProcess::NotRunning;
               },
               kProcessTimeoutMs) &&
           seen.contains(text);
}

bool waitForExit(QProcess& process) {
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kProcessTimeoutMs);
}

void stop(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(kProcessTimeoutMs);
    }
}

/// Every file below the folder with its size, time of change and content digest.
QMap<QString, QString> folderState(const QString& folder) {
    QMap<QString, QString> state;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        const QByteArray digest = file.open(QIODevice::ReadOnly)
                                      ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()
                                      : QByteArray("unreadable");
        const QFileInfo info(path);
        state.insert(path, QString::number(info.size()) + QLatin1Char(' ') +
                               info.lastModified().toString(Qt::ISODateWithMs) + QLatin1Char(' ') +
                               QString::fromLatin1(digest));
    }
    return state;
}

TEST(SingleInstance, ALaterStartHandsOverToTheHolderAndWritesNothing) {
    ScratchHome home;
    // This test process holds the folder, so that nothing else writes there while the application starts.
    SingleInstance holder(home.dataFolder());
    ASSERT_EQ(holder.start(), SingleInstance::Start::first);
    QSignalSpy activations(&holder, &SingleInstance::activationRequested);
    QFile marker(home.dataFolder() + QStringLiteral("/halvo_instant_cache.sqlite3"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.write("the cache of the running instance");
    marker.close();
    const QMap<QString, QString> before = folderState(home.dataFolder());

    std::unique_ptr<QProcess> later = home.startApp();
    ASSERT_TRUE(waitForExit(*later)) << "a later start ends by itself";
    EXPECT_EQ(later->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later->exitCode(), 0) << later->readAll().toStdString();
    EXPECT_EQ(activations.count(), 1) << "the running instance is asked to come to the front";
    EXPECT_EQ(folderState(home.dataFolder()), before) << "the later start wrote nothing";
}

TEST(SingleInstance, TwoApplicationProcessesAndALockLeftByAKilledOne) {
    ScratchHome home;
    std::unique_ptr<QProcess> first = home.startApp();
    QByteArray firstOutput;
    ASSERT_TRUE(waitForOutput(*first, firstOutput, "halvo_pultorium.instance: holds")) << firstOutput.toStdString();

    // A second application start hands over to the first and ends; the first goes on.
    std::unique_ptr<QProcess> second = home.startApp();
    ASSERT_TRUE(waitForExit(*second));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(second->readAll().contains("handed over"));
    EXPECT_TRUE(waitForOutput(*first, firstOutput, "a later start asked for the window")) << firstOutput.toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);

    // Killed without a chance to clean up: its lock file and socket stay behind.
    first->kill();
    ASSERT_TRUE(first->waitForFinished(kProcessTimeoutMs));
    ASSERT_TRUE(QFileInfo::exists(SingleInstance::lockFilePath(home.dataFolder())));

    // The next start takes the folder over and serves later starts in turn.
    std::unique_ptr<QProcess> next = home.startApp();
    QByteArray nextOutput;
    ASSERT_TRUE(waitForOutput(*next, nextOutput, "halvo_pultorium.instance: holds")) << nextOutput.toStdString();
    std::unique_ptr<QProcess> last = home.startApp();
    ASSERT_TRUE(waitForExit(*last));
    EXPECT_EQ(last->exitCode(), 0);
    EXPECT_TRUE(waitForOutput(*next, nextOutput, "a later start asked for the window")) << nextOutput.toStdString();
    EXPECT_EQ(next->state(), QProcess::Running);
    stop(*next);
}

TEST(SingleInstance, BringToFrontRestoresAMinimisedWindow) {
    QMainWindow window;
    window.resize(400, 300);
    window.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMinimized(); }));
    bringToFront(&window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isMinimized(); }));
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

} // namespace
