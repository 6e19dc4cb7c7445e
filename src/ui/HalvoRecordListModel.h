#pragma once

// A list model over value records with an identity, showing a list or chosen rows of it. A new list is
// compared with the shown one: when the identities are the same in the same order it reports only the rows
// whose value changed, so a refresh costs what changed; otherwise it resets. Delegates read the record
// through `RecordRole`.

#include <QAbstractListModel>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

template <class T> class HalvoRecordListModel : public QAbstractListModel {
public:
    using IdOf = std::function<QString(const T&)>;
    static constexpr int IdRole = Qt::UserRole + 1;
    /// The row's record itself, for the delegates.
    static constexpr int RecordRole = Qt::UserRole + 2;

    explicit HalvoRecordListModel(IdOf idOf, QObject* parent = nullptr)
        : QAbstractListModel(parent)
        , m_idOf(std::move(idOf)) {}

    void setItems(const QList<T>& items) { setRows(items, std::nullopt); }

    /// Shows the given rows of `source` in that order, or all of it without `rows`. The source is kept shared,
    /// never copied record by record, so a search over a long list costs its matching, not copies.
    void setRows(const QList<T>& source, std::optional<QList<qsizetype>> rows) {
        const bool sameSource = source.isSharedWith(m_source);
        if (sameSource && rows == m_rows)
            return;
        const qsizetype count = rows ? rows->size() : source.size();
        // Another choice of rows of the same records: the identities differ, nothing to compare.
        bool sameIds = !sameSource && count == rowCount();
        for (qsizetype i = 0; sameIds && i < count; ++i)
            sameIds = m_idOf(recordIn(source, rows, i)) == m_idOf(itemAt(int(i)));
        if (!sameIds) {
            beginResetModel();
            m_source = source;
            m_rows = std::move(rows);
            endResetModel();
            return;
        }
        const QList<T> oldSource = m_source;
        const std::optional<QList<qsizetype>> oldRows = m_rows;
        m_source = source;
        m_rows = std::move(rows);
        qsizetype first = -1;
        for (qsizetype i = 0; i <= count; ++i) {
            const bool changed = i < count && !(itemAt(int(i)) == recordIn(oldSource, oldRows, i));
            if (changed && first < 0)
                first = i;
            if (!changed && first >= 0) {
                Q_EMIT dataChanged(index(int(first)), index(int(i - 1)));
                first = -1;
            }
        }
    }

    /// What assistive technology reads as the description of a row (e.g. the action of its painted button);
    /// none when not set.
    void setAccessibleDescription(std::function<QString(const T&)> describe) { m_describe = std::move(describe); }

    /// The shown records, in row order.
    QList<T> items() const {
        if (!m_rows)
            return m_source;
        QList<T> result;
        result.reserve(m_rows->size());
        for (const qsizetype row : *m_rows)
            result.append(m_source.at(row));
        return result;
    }
    const T& itemAt(int row) const { return recordIn(m_source, m_rows, row); }
    /// The row of the record with the identity, or -1.
    int rowOf(const QString& id) const {
        const int count = rowCount();
        for (int i = 0; i < count; ++i) {
            if (m_idOf(itemAt(i)) == id)
                return i;
        }
        return -1;
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_rows ? m_rows->size() : m_source.size());
    }

    /// Lets the view open an editor on a row (delegates that show a row's texts in read-only fields for
    /// selecting need it); the records themselves never change through the model.
    void setEditable(bool editable) { m_editable = editable; }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        const Qt::ItemFlags base = QAbstractListModel::flags(index);
        return m_editable && index.isValid() ? base | Qt::ItemIsEditable : base;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        if (role == Qt::DisplayRole || role == IdRole || role == Qt::AccessibleTextRole)
            return m_idOf(itemAt(index.row()));
        if (role == RecordRole)
            return QVariant::fromValue(itemAt(index.row()));
        if (role == Qt::AccessibleDescriptionRole && m_describe)
            return m_describe(itemAt(index.row()));
        return {};
    }

private:
    static const T& recordIn(const QList<T>& source, const std::optional<QList<qsizetype>>& rows, qsizetype row) {
        return source.at(rows ? rows->at(row) : row);
    }

    IdOf m_idOf;
    std::function<QString(const T&)> m_describe;
    QList<T> m_source;
    /// The shown rows of the source; all of them when absent.
    std::optional<QList<qsizetype>> m_rows;
    bool m_editable = false;
};
