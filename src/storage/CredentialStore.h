#pragma once

// The secret credentials of one account and the store that keeps them per account.

#include "model/JsonForm.h"

#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

struct KeychainCredentials {
    QString appSecret;
    QString consumerKey;

    /// Both secrets are present and not empty.
    bool isComplete() const { return !appSecret.isEmpty() && !consumerKey.isEmpty(); }

    bool operator==(const KeychainCredentials&) const = default;
    static constexpr auto fields() {
        using R = KeychainCredentials;
        return std::tuple{HALVO_FIELD(R, appSecret), HALVO_FIELD(R, consumerKey)};
    }
};

/// Where the secret credentials of the accounts live. Every call finishes through its callback on the
/// caller's thread, never inside the call itself; failures end as an empty result or false.
class CredentialStore {
public:
    using Credentials = KeychainCredentials;

    virtual ~CredentialStore() = default;

    /// Replaces the credentials of the account (delete, then add).
    virtual void save(const QUuid& accountId, const Credentials& credentials, std::function<void(bool)> done) = 0;
    virtual void read(const QUuid& accountId, std::function<void(std::optional<Credentials>)> done) = 0;
    virtual void remove(const QUuid& accountId, std::function<void(bool)> done) = 0;
};
