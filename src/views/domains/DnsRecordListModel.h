#pragma once

// The records of one zone as a list model. A change of the zone arrives as a whole new record list; the
// model compares it with the shown one from both ends and reports only the rows in between as inserted,
// removed or changed, so adding or deleting one record of a large zone keeps the view's scroll position,
// its current row and its open editor, and costs what changed.

#include "model/Records.h"

#include <QAbstractListModel>
#include <QList>

class DnsRecordListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setRecords(const QList<HalvoDNSRecord>& records);
    /// Replaces the records as a new list (another zone), closing what the view had open on the old rows.
    void resetRecords(const QList<HalvoDNSRecord>& records);
    /// The zone's name, with which the rows name their host for assistive technology.
    void setDomainName(const QString& domain) { m_domain = domain; }
    const QList<HalvoDNSRecord>& records() const { return m_records; }
    const HalvoDNSRecord& recordAt(int row) const { return m_records.at(row); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    /// Display and edit: the target. Accessible text: host, type and target as the row shows them;
    /// accessible description: the row's button, "Record löschen: " and the host.
    QVariant data(const QModelIndex& index, int role) const override;
    /// Records are editable only so that the target can be opened in a read-only field for selecting.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<HalvoDNSRecord> m_records;
    QString m_domain;
};
