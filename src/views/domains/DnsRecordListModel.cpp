#include "views/domains/DnsRecordListModel.h"

#include "views/domains/DnsRecordDelegate.h"

#include <algorithm>

namespace {

bool sameText(const QString& a, const QString& b) {
    // A record that came through unchanged shares its texts with the shown one; comparing where they point
    // spares comparing their characters.
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

bool sameRecord(const HalvoDNSRecord& a, const HalvoDNSRecord& b) {
    return a.id == b.id && a.ttl == b.ttl && sameText(a.target, b.target) && sameText(a.subDomain, b.subDomain) &&
           sameText(a.fieldType, b.fieldType) && sameText(a.zone, b.zone);
}

} // namespace

void DnsRecordListModel::setRecords(const QList<HalvoDNSRecord>& records) {
    if (records.isSharedWith(m_records))
        return;
    const qsizetype oldCount = m_records.size();
    const qsizetype newCount = records.size();
    const qsizetype shorter = std::min(oldCount, newCount);

    qsizetype prefix = 0;
    while (prefix < shorter && sameRecord(records.at(prefix), m_records.at(prefix)))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           sameRecord(records.at(newCount - 1 - suffix), m_records.at(oldCount - 1 - suffix)))
        ++suffix;

    // Rows [prefix, oldCount - suffix) were replaced by rows [prefix, newCount - suffix).
    const qsizetype oldMiddle = oldCount - prefix - suffix;
    const qsizetype newMiddle = newCount - prefix - suffix;
    const qsizetype common = std::min(oldMiddle, newMiddle);

    // The changed rows that keep their place are reported after the row count is right.
    const int first = int(prefix + common);
    if (oldMiddle > newMiddle) {
        beginRemoveRows(QModelIndex(), first, int(first + oldMiddle - newMiddle - 1));
        m_records = records;
        endRemoveRows();
    } else if (newMiddle > oldMiddle) {
        beginInsertRows(QModelIndex(), first, int(first + newMiddle - oldMiddle - 1));
        m_records = records;
        endInsertRows();
    } else {
        m_records = records;
    }
    if (common > 0)
        Q_EMIT dataChanged(index(int(prefix)), index(int(prefix + common - 1)));
}

void DnsRecordListModel::resetRecords(const QList<HalvoDNSRecord>& records) {
    beginResetModel();
    m_records = records;
    endResetModel();
}

int DnsRecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_records.size());
}

QVariant DnsRecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_records.size())
        return {};
    const HalvoDNSRecord& record = m_records.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return record.target;
    case Qt::AccessibleTextRole:
        return QString(DnsRecordDelegate::hostText(record.subDomain, m_domain) + QLatin1Char(' ') + record.fieldType +
                       QLatin1Char(' ') + record.target);
    case Qt::AccessibleDescriptionRole:
        return QString(QStringLiteral("Record löschen: ") + DnsRecordDelegate::hostText(record.subDomain, m_domain));
    default:
        return {};
    }
}

Qt::ItemFlags DnsRecordListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsEditable;
}
