#pragma once

// A list model over value records with an identity. `setItems` compares the new list with the shown one:
// when the identities are the same in the same order it reports only the rows whose value changed, so a
// refresh costs what changed; otherwise it resets. Delegates read the record through `RecordRole`.

#include <QAbstractListModel>
#include <QList>
#include <QString>

#include <functional>

template <class T> class HalvoRecordListModel : public QAbstractListModel {
public:
    using IdOf = std::function<QString(const T&)>;
    static constexpr int IdRole = Qt::UserRole + 1;
    /// The row's record itself, for the delegates.
    static constexpr int RecordRole = Qt::UserRole + 2;

    explicit HalvoRecordListModel(IdOf idOf, QObject* parent = nullptr)
        : QAbstractListModel(parent)
        , m_idOf(std::move(idOf))
    {
    }

    void setItems(const QList<T>& items)
    {
        if (items.isSharedWith(m_items))
            return;
        bool sameIds = items.size() == m_items.size();
        for (qsizetype i = 0; sameIds && i < items.size(); ++i)
            sameIds = m_idOf(items[i]) == m_idOf(m_items[i]);
        if (!sameIds) {
            beginResetModel();
            m_items = items;
            endResetModel();
            return;
        }
        const QList<T> old = m_items;
        m_items = items;
        qsizetype first = -1;
        for (qsizetype i = 0; i <= items.size(); ++i) {
            const bool changed = i < items.size() && !(items[i] == old[i]);
            if (changed && first < 0)
                first = i;
            if (!changed && first >= 0) {
                Q_EMIT dataChanged(index(int(first)), index(int(i - 1)));
                first = -1;
            }
        }
    }

    const QList<T>& items() const { return m_items; }
    const T& itemAt(int row) const { return m_items.at(row); }
    /// The row of the record with the identity, or -1.
    int rowOf(const QString& id) const
    {
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            if (m_idOf(m_items[i]) == id)
                return int(i);
        }
        return -1;
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_items.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_items.size())
            return {};
        if (role == Qt::DisplayRole || role == IdRole || role == Qt::AccessibleTextRole)
            return m_idOf(m_items[index.row()]);
        if (role == RecordRole)
            return QVariant::fromValue(m_items[index.row()]);
        return {};
    }

private:
    IdOf m_idOf;
    QList<T> m_items;
};
