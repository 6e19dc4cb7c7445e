#pragma once

// One row of the zone's record table: host, type badge, target, TTL and the "Record löschen" button.
// The button is painted here; HalvoButtonRowDelegate reports its press (a press and release on it, or the space
// key on the current row) as `buttonPressed`, which asks for the deletion of that row's record. A press on the
// target opens it in a read-only field, so the user can select and copy it.

#include "ui/HalvoButtonRowDelegate.h"

class DnsRecordListModel;

namespace dnsRecordColumns {
constexpr int kHost = 170;
constexpr int kType = 80;
constexpr int kTTL = 80;
constexpr int kAction = 120;
/// Between two columns (the header row uses the same).
constexpr int kSpacing = 8;
constexpr int kHorizontalInset = 10;
constexpr int kVerticalInset = 6;
/// Between two rows.
constexpr int kRowSpacing = 6;
} // namespace dnsRecordColumns

class DnsRecordDelegate final : public HalvoButtonRowDelegate {
    Q_OBJECT
public:
    struct Cells {
        QRect background;
        QRect host;
        QRect type;
        QRect target;
        QRect ttl;
        QRect action;
    };

    /// The texts a row shows, left to right.
    struct RowTexts {
        QString host;
        QString type;
        QString target;
        QString ttl;
        QString action;
    };

    explicit DnsRecordDelegate(const DnsRecordListModel* model, QObject* parent = nullptr);

    /// The zone's name, which the host cells show.
    void setDomainName(const QString& domain);
    const QString& domainName() const { return m_domain; }

    /// The host cell's text: "@ (domain)" for the apex, otherwise "sub.domain".
    static QString hostText(const QString& subDomain, const QString& domain);
    static QString ttlText(qint64 ttl);

    /// What the row of the index shows; the painting draws exactly these texts.
    RowTexts rowTexts(const QModelIndex& index) const;

    /// The cells of a row drawn in `itemRect`.
    static Cells cells(const QRect& itemRect);
    /// The rect of the row's delete button inside `itemRect`.
    static QRect deleteButtonRect(const QRect& itemRect);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    /// The whole text of a cell that is drawn with "…".
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    QRect buttonRectIn(const QRect& itemRect) const override { return deleteButtonRect(itemRect); }
    /// A press on the target opens it in the read-only field.
    void pressedBesideButton(const QMouseEvent& event, const QStyleOptionViewItem& option,
                             const QModelIndex& index) override;

private:
    const DnsRecordListModel* m_model;
    QString m_domain;
};
