#pragma once

// Accounts, their regions and categories, the customer profile and the cached snapshot of one account.

#include "model/JsonForm.h"
#include "model/Records.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <array>
#include <optional>

/// The API region of an account. Its raw value is the label shown in the interface and stored in JSON.
enum class HalvoRegion { eu, ca, us };

/// The kind of an account. Its raw value is shown in the interface and stored in JSON.
enum class HalvoAccountCategory { main, subAccount, corporate };

inline constexpr std::array<HalvoRegion, 3> kAllRegions{HalvoRegion::eu, HalvoRegion::ca, HalvoRegion::us};
inline constexpr std::array<HalvoAccountCategory, 3> kAllAccountCategories{
    HalvoAccountCategory::main, HalvoAccountCategory::subAccount, HalvoAccountCategory::corporate};

QString rawValue(HalvoRegion region);
bool fromRawValue(const QString& text, HalvoRegion& out);
QString rawValue(HalvoAccountCategory category);
bool fromRawValue(const QString& text, HalvoAccountCategory& out);

/// The API base address of a region as the provider publishes it (path "/1.0").
QUrl defaultBaseUrl(HalvoRegion region);

struct HalvoAccount {
    QUuid id;
    QString label;
    QString nichandle;
    QString email;
    QString organisation;
    HalvoAccountCategory category = HalvoAccountCategory::main;
    HalvoRegion region = HalvoRegion::eu;
    QString appKey;
    std::optional<QDateTime> lastSyncedAt;

    bool operator==(const HalvoAccount&) const = default;
    static constexpr auto fields() {
        using R = HalvoAccount;
        return std::tuple{HALVO_FIELD(R, id),     HALVO_FIELD(R, label),        HALVO_FIELD(R, nichandle),
                          HALVO_FIELD(R, email),  HALVO_FIELD(R, organisation), HALVO_FIELD(R, category),
                          HALVO_FIELD(R, region), HALVO_FIELD(R, appKey),       HALVO_FIELD(R, lastSyncedAt)};
    }
};

struct HalvoCurrency {
    QString code;
    QString symbol;

    bool operator==(const HalvoCurrency&) const = default;
    static constexpr auto fields() {
        using R = HalvoCurrency;
        return std::tuple{HALVO_FIELD(R, code), HALVO_FIELD(R, symbol)};
    }
};

/// The customer profile returned by GET "/me".
struct HalvoMeResponse {
    using HalvoCurrency = ::HalvoCurrency;

    QString nichandle;
    QString email;
    std::optional<QString> firstname;
    std::optional<QString> name;
    std::optional<QString> organisation;
    std::optional<QString> country;
    std::optional<HalvoCurrency> currency;

    bool operator==(const HalvoMeResponse&) const = default;
    static constexpr auto fields() {
        using R = HalvoMeResponse;
        return std::tuple{HALVO_FIELD(R, nichandle), HALVO_FIELD(R, email),        HALVO_FIELD(R, firstname),
                          HALVO_FIELD(R, name),      HALVO_FIELD(R, organisation), HALVO_FIELD(R, country),
                          HALVO_FIELD(R, currency)};
    }
};

/// The cached state of one account: the unit of the local cache.
struct HalvoAccountSnapshot {
    QUuid accountId;
    QDateTime updatedAt;
    std::optional<HalvoMeResponse> meProfile;
    QList<HalvoDomain> domains;
    QList<HalvoVPS> vpsList;
    QList<HalvoServer> dedicatedServers;
    QList<HalvoIPBlock> ipBlocks;

    bool operator==(const HalvoAccountSnapshot&) const = default;
    static constexpr auto fields() {
        using R = HalvoAccountSnapshot;
        return std::tuple{HALVO_FIELD(R, accountId), HALVO_FIELD(R, updatedAt), HALVO_FIELD(R, meProfile),
                          HALVO_FIELD(R, domains),   HALVO_FIELD(R, vpsList),   HALVO_FIELD(R, dedicatedServers),
                          HALVO_FIELD(R, ipBlocks)};
    }
};
