#pragma once

// The system keychain (Secret Service on Linux) through QtKeychain. One item per account under the
// service name, keyed by the account's UUID text, holding the JSON form of the credentials.
// Jobs run one after another; there is no plaintext fallback. Removing reports true when the account has
// no item afterwards, also when it had none before.

#include "storage/CredentialStore.h"

#include <QObject>
#include <QString>

#include <memory>

class KeychainService final : public QObject, public CredentialStore {
    Q_OBJECT
public:
    static inline const QString kServiceName = QStringLiteral("com.halvo.pultorium.macos15");

    explicit KeychainService(QString serviceName = kServiceName, QObject* parent = nullptr);
    ~KeychainService() override;

    void save(const QUuid& accountId, const Credentials& credentials, std::function<void(bool)> done) override;
    void read(const QUuid& accountId, std::function<void(std::optional<Credentials>)> done) override;
    void remove(const QUuid& accountId, std::function<void(bool)> done) override;

private:
    void enqueue(std::function<void()> start);
    void startNext();
    void finishCurrent(std::function<void()> callback);

    struct Private;
    std::unique_ptr<Private> d;
};
