#include "model/Account.h"

QString rawValue(HalvoRegion region) {
    switch (region) {
    case HalvoRegion::eu:
        return QStringLiteral("Europa (eu.api.halvo.com)");
    case HalvoRegion::ca:
        return QStringLiteral("Kanada (ca.api.halvo.com)");
    case HalvoRegion::us:
        return QStringLiteral("USA (api.us.halvo.com)");
    }
    return {};
}

bool fromRawValue(const QString& text, HalvoRegion& out) {
    for (const HalvoRegion region : kAllRegions) {
        if (rawValue(region) == text) {
            out = region;
            return true;
        }
    }
    return false;
}

QString rawValue(HalvoAccountCategory category) {
    switch (category) {
    case HalvoAccountCategory::main:
        return QStringLiteral("Haupt-Account");
    case HalvoAccountCategory::subAccount:
        return QStringLiteral("Sub-Account / Reseller");
    case HalvoAccountCategory::corporate:
        return QStringLiteral("Corporate / Enterprise");
    }
    return {};
}

bool fromRawValue(const QString& text, HalvoAccountCategory& out) {
    for (const HalvoAccountCategory category : kAllAccountCategories) {
        if (rawValue(category) == text) {
            out = category;
            return true;
        }
    }
    return false;
}

QUrl defaultBaseUrl(HalvoRegion region) {
    switch (region) {
    case HalvoRegion::eu:
        return QUrl(QStringLiteral("https://eu.api.halvo.com/1.0"));
    case HalvoRegion::ca:
        return QUrl(QStringLiteral("https://ca.api.halvo.com/1.0"));
    case HalvoRegion::us:
        return QUrl(QStringLiteral("https://api.us.halvo.com/1.0"));
    }
    return {};
}
