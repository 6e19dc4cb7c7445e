// A writer killed with SIGKILL at random moments while it saves large snapshots must leave a database that
// passes SQLite's integrity check and still holds one whole snapshot, never an older one than the writer had
// acknowledged. The writer is this test program, started again with only the disabled writer test selected.
// The kills start after the first acknowledged write, however slow the build (a sanitizer) makes writing.

#include "storage/SQLiteCacheEngine.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const char* const kCacheEnv = "HALVO_CRASH_WRITER_CACHE";
const QUuid kAccount{QStringLiteral("0b5e7c1d-2f3a-4b5c-8d6e-7f8091a2b3c4")};
constexpr int kDomains = 4000;

/// Snapshot number `generation`: every part of it carries the number, so a mix of two saves shows.
HalvoAccountSnapshot generationSnapshot(int generation) {
    HalvoAccountSnapshot snapshot;
    snapshot.accountId = kAccount;
    snapshot.updatedAt = QDateTime::fromSecsSinceEpoch(1700000000 + generation, Qt::UTC);
    const QString tag = QString::number(generation);
    for (int i = 0; i < kDomains; ++i) {
        HalvoDomain domain;
        domain.domain = QStringLiteral("kunde-%1.example.com").arg(i);
        domain.whoisOwner = tag;
        domain.transferLockStatus = QStringLiteral("locked");
        domain.lastUpdate = tag;
        for (int r = 0; r < 3; ++r) {
            HalvoDNSRecord record;
            record.id = i * 10 + r;
            record.zone = domain.domain;
            record.fieldType = QStringLiteral("TXT");
            record.target = QStringLiteral("generation=") + tag;
            record.ttl = generation;
            domain.dnsRecords.append(record);
        }
        snapshot.domains.append(domain);
    }
    return snapshot;
}

/// The generation a loaded snapshot was written as, or -1 when its parts disagree.
int generationOf(const HalvoAccountSnapshot& snapshot) {
    const int generation = static_cast<int>(snapshot.updatedAt.toSecsSinceEpoch() - 1700000000);
    return snapshot == generationSnapshot(generation) ? generation : -1;
}

QString integrityCheck(const QString& path) {
    sqlite3* db = nullptr;
    QString result;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    return result;
}

// Runs only in the child: writes until it is killed.
TEST(CacheCrashWriter, DISABLED_WriteUntilKilled) {
    const QString path = qEnvironmentVariable(kCacheEnv);
    ASSERT_FALSE(path.isEmpty());
    SQLiteCacheEngine cache(path);
    ASSERT_TRUE(cache.isOpen());
    cache.saveSnapshot(generationSnapshot(0));
    cache.flush();
    std::puts("ready");
    std::fflush(stdout);
    for (int generation = 1;; ++generation) {
        cache.saveSnapshot(generationSnapshot(generation));
        if (generation % 3 == 0 && cache.flush()) {
            std::printf("written %d\n", generation);
            std::fflush(stdout);
        }
    }
}

TEST(CacheCrash, AWriterKilledAtRandomLeavesASoundDatabaseWithAWholeSnapshot) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cache.sqlite3"));
    QRandomGenerator random(20250614);
    int highest = 0;
    for (int run = 0; run < 30; ++run) {
        QProcess writer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kCacheEnv), path);
        writer.setProcessEnvironment(env);
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--gtest_also_run_disabled_tests"),
                      QStringLiteral("--gtest_filter=CacheCrashWriter.DISABLED_WriteUntilKilled")});
        ASSERT_TRUE(writer.waitForStarted(10000));
        // Up to the first acknowledged write after the start.
        QByteArray output;
        while (!output.contains("written ")) {
            ASSERT_EQ(writer.state(), QProcess::Running) << writer.readAllStandardError().toStdString();
            writer.waitForReadyRead(200);
            output += writer.readAllStandardOutput();
        }
        QThread::msleep(random.bounded(5, 400)); // the random moment of the kill
        writer.kill();                           // SIGKILL: no destructor, no flush
        ASSERT_TRUE(writer.waitForFinished(10000));
        output += writer.readAllStandardOutput();
        // The last generation the writer had on disk, as it said.
        const qsizetype last = output.lastIndexOf("written ");
        const int acknowledged = output.mid(last + 8).split('\n').first().toInt();

        ASSERT_EQ(integrityCheck(path), QStringLiteral("ok")) << "run " << run;
        SQLiteCacheEngine cache(path);
        ASSERT_TRUE(cache.isOpen());
        const auto snapshots = cache.loadSnapshots();
        ASSERT_EQ(snapshots.size(), 1) << "run " << run;
        const int generation = generationOf(snapshots.value(kAccount));
        EXPECT_GE(generation, 0) << "run " << run << ": a snapshot mixed from two saves";
        EXPECT_GE(generation, acknowledged) << "run " << run << ": an acknowledged write was lost";
        highest = std::max(highest, generation);
    }
    RecordProperty("highestGeneration", highest);
    // The kills did land while large snapshots were being written, not only before the first one.
    EXPECT_GT(highest, 0);
}

} // namespace
