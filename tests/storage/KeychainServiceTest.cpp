// The keychain tests talk to a real Secret Service: scripts/test.sh runs every test inside a private D-Bus
// session with an unlocked gnome-keyring and marks it with HALVO_KEYRING_SESSION. Outside that session
// they are skipped, since they would touch (or wait for) the user's own keyring.

#include "storage/KeychainService.h"

#include "storage/SQLiteCacheEngine.h"
#include "store/DemoData.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <qt6keychain/keychain.h>

#include <gtest/gtest.h>
#include <optional>

namespace {

using Credentials = KeychainCredentials;

/// Lets the event loop run until `done` holds or the time is up.
template <class Predicate> bool waitFor(Predicate done, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

bool save(KeychainService& keychain, const QUuid& id, const Credentials& credentials) {
    std::optional<bool> result;
    keychain.save(id, credentials, [&](bool ok) { result = ok; });
    EXPECT_TRUE(waitFor([&] { return result.has_value(); }));
    return result.value_or(false);
}

std::optional<Credentials> read(KeychainService& keychain, const QUuid& id) {
    std::optional<std::optional<Credentials>> result;
    keychain.read(id, [&](std::optional<Credentials> c) { result = std::move(c); });
    EXPECT_TRUE(waitFor([&] { return result.has_value(); }));
    return result.value_or(std::nullopt);
}

bool remove(KeychainService& keychain, const QUuid& id) {
    std::optional<bool> result;
    keychain.remove(id, [&](bool ok) { result = ok; });
    EXPECT_TRUE(waitFor([&] { return result.has_value(); }));
    return result.value_or(false);
}

class Keychain : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("HALVO_KEYRING_SESSION"))
            GTEST_SKIP() << "needs the private keyring session of scripts/test.sh";
    }
    void TearDown() override {
        for (const QUuid& id : m_used)
            remove(m_keychain, id);
    }
    QUuid newAccount() {
        m_used.append(QUuid::createUuid());
        return m_used.last();
    }

    KeychainService m_keychain;
    QList<QUuid> m_used;
};

TEST_F(Keychain, SavesReadsOverwritesAndDeletesTheCredentialsOfAnAccount) {
    const QUuid id = newAccount();
    const Credentials first{QStringLiteral("AS-geheim-1"), QStringLiteral("CK-verbraucher-1")};
    const Credentials second{QStringLiteral("AS \"geheim\" \\ 2 \u00e4"), QStringLiteral("CK-2")};

    EXPECT_FALSE(read(m_keychain, id).has_value());
    ASSERT_TRUE(save(m_keychain, id, first));
    EXPECT_EQ(read(m_keychain, id), first);
    ASSERT_TRUE(save(m_keychain, id, second));
    EXPECT_EQ(read(m_keychain, id), second);
    EXPECT_TRUE(remove(m_keychain, id));
    EXPECT_FALSE(read(m_keychain, id).has_value());
    EXPECT_TRUE(remove(m_keychain, id)) << "an account without an item has none afterwards either";
    EXPECT_FALSE(read(m_keychain, id).has_value());
}

TEST_F(Keychain, KeepsOneItemPerAccountUnderTheServiceName) {
    const QUuid a = newAccount();
    const QUuid b = newAccount();
    ASSERT_TRUE(save(m_keychain, a, {QStringLiteral("AS-a"), QStringLiteral("CK-a")}));
    ASSERT_TRUE(save(m_keychain, b, {QStringLiteral("AS-b"), QStringLiteral("CK-b")}));
    EXPECT_EQ(read(m_keychain, a), (Credentials{QStringLiteral("AS-a"), QStringLiteral("CK-a")}));
    EXPECT_TRUE(remove(m_keychain, b));
    EXPECT_TRUE(read(m_keychain, a).has_value());

    // Another service name is another keychain.
    KeychainService other(QStringLiteral("com.halvo.pultorium.tests.other"));
    EXPECT_FALSE(read(other, a).has_value());
    EXPECT_EQ(KeychainService::kServiceName, QStringLiteral("com.halvo.pultorium.macos15"));
}

/// Stores a raw text under the service and the account's key, past the service's own encoding.
bool writeRaw(const QUuid& id, const QString& text) {
    auto* job = new QKeychain::WritePasswordJob(KeychainService::kServiceName);
    job->setKey(id.toString(QUuid::WithoutBraces));
    job->setTextData(text);
    std::optional<bool> ok;
    QObject::connect(job, &QKeychain::Job::finished, job,
                     [&](QKeychain::Job* ended) { ok = ended->error() == QKeychain::NoError; });
    job->start();
    EXPECT_TRUE(waitFor([&] { return ok.has_value(); }));
    return ok.value_or(false);
}

TEST_F(Keychain, StoresTheJsonFormUnderTheAccountsUuidAndReadsNothingElse) {
    const QUuid id = newAccount();
    ASSERT_TRUE(writeRaw(id, QStringLiteral("{\"appSecret\":\"AS-raw\",\"consumerKey\":\"CK-raw\",\"x\":1}")));
    EXPECT_EQ(read(m_keychain, id), (Credentials{QStringLiteral("AS-raw"), QStringLiteral("CK-raw")}));
    for (const char* broken :
         {"AS-raw", "{\"appSecret\":\"AS-raw\"}", "{\"appSecret\":1,\"consumerKey\":\"CK\"}", ""}) {
        ASSERT_TRUE(writeRaw(id, QString::fromUtf8(broken)));
        EXPECT_FALSE(read(m_keychain, id).has_value()) << broken;
    }
}

TEST_F(Keychain, CallbacksComeLaterAndJobsRunInTheOrderOfTheCalls) {
    const QUuid id = newAccount();
    const Credentials first{QStringLiteral("AS-1"), QStringLiteral("CK-1")};
    const Credentials second{QStringLiteral("AS-2"), QStringLiteral("CK-2")};
    QStringList events;
    std::optional<Credentials> readBack;
    m_keychain.save(id, first,
                    [&](bool ok) { events << (ok ? QStringLiteral("save1") : QStringLiteral("save1 failed")); });
    m_keychain.save(id, second,
                    [&](bool ok) { events << (ok ? QStringLiteral("save2") : QStringLiteral("save2 failed")); });
    m_keychain.read(id, [&](std::optional<Credentials> c) {
        readBack = c;
        events << QStringLiteral("read");
    });
    m_keychain.remove(id,
                      [&](bool ok) { events << (ok ? QStringLiteral("remove") : QStringLiteral("remove failed")); });
    EXPECT_TRUE(events.isEmpty()) << "no callback inside the call";
    ASSERT_TRUE(waitFor([&] { return events.size() == 4; }));
    EXPECT_EQ(events, (QStringList{QStringLiteral("save1"), QStringLiteral("save2"), QStringLiteral("read"),
                                   QStringLiteral("remove")}));
    EXPECT_EQ(readBack, second);
}

QList<QByteArray> fileContents(const QString& folder) {
    QList<QByteArray> contents;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            contents.append(file.readAll());
    }
    return contents;
}

TEST_F(Keychain, SecretsNeverReachTheCacheFiles) {
    QTemporaryDir dir;
    const auto demo = halvo::demo::build(QDateTime::currentDateTimeUtc());
    HalvoAccount account = demo.accounts.first();
    account.id = newAccount();
    account.appKey = QStringLiteral("AK-oeffentlich-4711");
    HalvoAccountSnapshot snapshot = demo.snapshots.first();
    snapshot.accountId = account.id;
    const Credentials secrets{QStringLiteral("AS-streng-geheim-7f3c9a2e"), QStringLiteral("CK-nur-im-keyring-b41d")};

    SQLiteCacheEngine cache(dir.filePath(QStringLiteral("cache.sqlite3")));
    ASSERT_TRUE(save(m_keychain, account.id, secrets));
    ASSERT_TRUE(cache.saveAccounts({account}));
    cache.saveSnapshot(snapshot);
    cache.flush();
    ASSERT_EQ(read(m_keychain, account.id), secrets);

    // Read while the cache is open, so the write-ahead log still holds the fresh pages.
    const QList<QByteArray> files = fileContents(dir.path());
    ASSERT_GE(files.size(), 2) << "database and its -wal file";
    bool sawAccount = false;
    for (const QByteArray& content : files) {
        sawAccount = sawAccount || content.contains(account.appKey.toUtf8());
        for (const QString& secret : {secrets.appSecret, secrets.consumerKey}) {
            EXPECT_FALSE(content.contains(secret.toUtf8()));
            EXPECT_FALSE(
                content.contains(QByteArray(reinterpret_cast<const char*>(secret.utf16()), secret.size() * 2)));
        }
    }
    EXPECT_TRUE(sawAccount) << "the scan reads the files the account went to";
}

// ---- no Secret Service at all -------------------------------------------------------------------------

const char* const kUnreachableEnv = "HALVO_KEYCHAIN_UNREACHABLE_CHILD";

// Runs only in the child, whose session bus address points nowhere.
TEST(KeychainUnreachable, DISABLED_FailsAtOnceWithoutAPlaintextFallback) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty(kUnreachableEnv));
    KeychainService keychain;
    const QUuid id = QUuid::createUuid();

    std::optional<std::optional<Credentials>> readResult;
    keychain.read(id, [&](std::optional<Credentials> c) { readResult = std::move(c); });
    ASSERT_TRUE(waitFor([&] { return readResult.has_value(); }, 3000)) << "read must not hang";
    EXPECT_FALSE(readResult->has_value());

    std::optional<bool> saved;
    keychain.save(id, {QStringLiteral("AS-x"), QStringLiteral("CK-x")}, [&](bool ok) { saved = ok; });
    ASSERT_TRUE(waitFor([&] { return saved.has_value(); }, 6000)) << "save must not hang";
    EXPECT_FALSE(*saved) << "no keyring, so nothing may claim to have stored the secret";

    // Nor did anything land in a plaintext file of the user's folders.
    for (const auto location : {QStandardPaths::GenericConfigLocation, QStandardPaths::GenericDataLocation,
                                QStandardPaths::AppConfigLocation, QStandardPaths::AppDataLocation}) {
        for (const QByteArray& content : fileContents(QStandardPaths::writableLocation(location)))
            EXPECT_FALSE(content.contains("AS-x"));
    }
}

TEST(KeychainUnreachable, ReadReturnsNothingAndNothingHangs) {
    QTemporaryDir home;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kUnreachableEnv), QStringLiteral("1"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + home.filePath(QStringLiteral("no-bus")));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.remove(QStringLiteral("DISPLAY"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=KeychainUnreachable.DISABLED_FailsAtOnceWithoutAPlaintextFallback")});
    ASSERT_TRUE(child.waitForStarted(10000));
    const bool finished = child.waitForFinished(30000);
    if (!finished)
        child.kill();
    const QString output = QString::fromUtf8(child.readAll());
    ASSERT_TRUE(finished) << "the child hung:\n" << output.toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    for (const QByteArray& content : fileContents(home.path()))
        EXPECT_FALSE(content.contains("AS-x"));
}

} // namespace
