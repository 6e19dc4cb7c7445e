#pragma once

// The built-in demonstration data: three accounts (one of each category, in different regions, without
// credentials) and a snapshot for each that exercises every branch the views draw. Only reserved example
// names and documentation addresses are used.

#include "model/Account.h"

#include <QDateTime>
#include <QList>

namespace halvo::demo {

struct DemoData {
    QList<HalvoAccount> accounts;
    QList<HalvoAccountSnapshot> snapshots; ///< one per account, same order
};

/// The demonstration data, with times relative to `now`.
DemoData build(const QDateTime& now);

} // namespace halvo::demo
