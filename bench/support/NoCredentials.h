#pragma once

// A credential store that holds nothing: no account of a benchmark has credentials, so no action sends a
// request. Answers come on the next turn of the event loop, as the keychain's do.

#include "storage/CredentialStore.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <functional>
#include <optional>

class NoCredentials final : public CredentialStore {
public:
    void save(const QUuid&, const Credentials&, std::function<void(bool)> done) override {
        later(std::move(done), false);
    }
    void read(const QUuid&, std::function<void(std::optional<Credentials>)> done) override {
        later(std::move(done), std::nullopt);
    }
    void remove(const QUuid&, std::function<void(bool)> done) override { later(std::move(done), false); }

private:
    template <class Done, class Value> static void later(Done done, Value value) {
        QMetaObject::invokeMethod(
            qApp, [done = std::move(done), value] { done(value); }, Qt::QueuedConnection);
    }
};
