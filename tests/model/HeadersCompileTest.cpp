#include "api/HalvoAPIClient.h"
#include "model/Account.h"
#include "model/Text.h"
#include "storage/KeychainService.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/HalvoRecordListModel.h"
#include "ui/HalvoRefreshScheduler.h"
#include "ui/HalvoSectionFrame.h"

#include <gtest/gtest.h>

TEST(Model, SnapshotRoundTrip) {
    HalvoAccountSnapshot snapshot;
    snapshot.accountId = QUuid::createUuid();
    snapshot.updatedAt = QDateTime::currentDateTimeUtc();
    HalvoDomain domain;
    domain.domain = QStringLiteral("example.com");
    domain.dnsRecords.append(
        {1, QStringLiteral("example.com"), {}, QStringLiteral("A"), QStringLiteral("192.0.2.1"), 3600});
    domain.expiration = QStringLiteral("2027-01-01");
    snapshot.domains.append(domain);
    const auto back = halvo::json::fromJson<HalvoAccountSnapshot>(halvo::json::toJson(snapshot));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->domains, snapshot.domains);
    EXPECT_EQ(back->accountId, snapshot.accountId);
}
