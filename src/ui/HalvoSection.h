#pragma once

// The skeleton the four section views share. A section lists the records of the active snapshot that match
// the search text in its sidebar and shows one of them in the detail column: the record the user chose when
// it is listed, else the first listed one (the choice itself is kept). The detail offers tabs that depend on
// the record; the chosen tab when offered, else the first one.
//
// The section owns the frame, the list model and the refresh scheduler and handles the user's row and tab
// clicks; the view supplies what differs (records, search, tabs) and draws the detail through `drawDetail`.
// Everything is derived again on each refresh; the selected id and the chosen tab live in the view's state.

#include "model/Records.h"
#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/HalvoRecordListModel.h"
#include "ui/HalvoRefreshScheduler.h"
#include "ui/HalvoSectionFrame.h"

#include <QBoxLayout>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QAbstractItemDelegate;

/// The tab type of a section whose detail has no tab bar.
enum class HalvoNoTab { none };

template <class Record, class Tab = HalvoNoTab> class HalvoSection final {
public:
    static constexpr bool hasTabs = !std::is_same_v<Tab, HalvoNoTab>;

    struct Spec {
        HalvoSectionFrame::Config frame;
        /// The sidebar header before the count, e.g. "Domains" for "Domains (3)".
        QString sidebarTitle;
        std::function<QString(const Record&)> idOf;
        /// The section's records of a snapshot, in shown order.
        std::function<QList<Record>(const HalvoAccountSnapshot&)> recordsOf;
        /// The texts of a record that the search looks into (a record matches when one of them holds the
        /// search text). Their search keys are folded once per record and kept across key presses.
        std::function<QStringList(const Record&)> searchTexts;
        /// Whether the list highlights the first row while the detail falls back to it; otherwise only the
        /// user's own choice is highlighted.
        bool highlightFallback = false;
        /// The tabs the record offers, in bar order (only with tabs).
        std::function<QList<Tab>(const Record&)> tabsOf;
        /// The button of the offered tab at the index (only with tabs).
        std::function<HalvoSectionFrame::TabSpec(Tab, int)> tabButton;
        /// Draws the header and content for the shown record and tab; called on every refresh that shows one.
        std::function<void(const Record&, Tab)> drawDetail;
        /// Called on every refresh, after the detail or the placeholder, with the record shown (if any).
        std::function<void(const std::optional<Record>&)> afterRefresh;
    };

    /// Builds the frame into `owner` (which it fills) and refreshes once. `selectedId` and `activeTab` are
    /// the view's state; they outlive the section.
    HalvoSection(AppStateStore& store, QWidget& owner, Spec spec, std::optional<QString>& selectedId,
                 Tab* activeTab = nullptr)
        : m_store(store)
        , m_spec(std::move(spec))
        , m_selectedId(selectedId)
        , m_activeTab(activeTab) {
        m_frame = new HalvoSectionFrame(m_spec.frame, &owner);
        auto* layout = new QVBoxLayout(&owner);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_frame);
        m_model = new HalvoRecordListModel<Record>(m_spec.idOf, &owner);

        QObject::connect(m_frame, &HalvoSectionFrame::rowSelected, &owner, [this](int row) {
            if (row < 0 || row >= m_model->rowCount())
                return;
            m_selectedId = m_spec.idOf(m_model->itemAt(row));
            schedule();
        });
        if constexpr (hasTabs) {
            QObject::connect(m_frame, &HalvoSectionFrame::tabClicked, &owner, [this](int index) {
                if (index < 0 || index >= m_offeredTabs.size())
                    return;
                *m_activeTab = m_offeredTabs.at(index);
                schedule();
            });
        }
        m_scheduler = new HalvoRefreshScheduler(&m_store, &owner, [this] { refresh(); });
    }

    /// Sets the list's row delegate (parented to the owner by the caller).
    void setDelegate(QAbstractItemDelegate* delegate) { m_frame->setListModel(m_model, delegate); }

    HalvoSectionFrame* frame() const { return m_frame; }
    HalvoRecordListModel<Record>& model() const { return *m_model; }

    /// Asks for one refresh on the next turn of the event loop.
    void schedule() { m_scheduler->schedule(); }
    /// Refreshes at once (first show and tests that changed the view's state directly).
    void refreshNow() {
        m_scheduler->schedule();
        m_scheduler->flush();
    }

    /// The snapshot's records that match the store's search text (as typed), in snapshot order.
    QList<Record> listed() const {
        const QList<Record> records = m_spec.recordsOf(m_store.activeSnapshot());
        const std::optional<QList<qsizetype>> rows = matchingRows(records);
        if (!rows)
            return records;
        QList<Record> result;
        result.reserve(rows->size());
        for (const qsizetype row : *rows)
            result.append(records.at(row));
        return result;
    }

    /// The chosen record when it is listed, else the first listed one, else none. Never written back.
    std::optional<Record> shown() const { return shownAmong(listed()); }

    /// The chosen tab when the record offers it, else the first offered tab. Never written back.
    Tab tabFor(const Record& record) const {
        if constexpr (hasTabs) {
            const QList<Tab> tabs = m_spec.tabsOf(record);
            return tabs.contains(*m_activeTab) ? *m_activeTab : tabs.first();
        } else {
            return Tab{};
        }
    }

    /// The tab the detail shows, none while the placeholder is shown.
    std::optional<Tab> drawnTab() const { return m_drawnTab; }

private:
    /// The rows of `records` that match the search text, none when every record is listed (empty search).
    std::optional<QList<qsizetype>> matchingRows(const QList<Record>& records) const {
        const QString search = m_store.searchText();
        if (search.isEmpty())
            return std::nullopt;
        updateSearchKeys(records);
        const QString searchKey = halvo::searchKey(search);
        QList<qsizetype> rows;
        for (qsizetype i = 0; i < m_searchKeys.size(); ++i) {
            for (const QString& key : m_searchKeys.at(i)) {
                if (halvo::searchKeyContains(key, searchKey)) {
                    rows.append(i);
                    break;
                }
            }
        }
        return rows;
    }

    /// Folds the searched texts of the records that differ from the ones indexed last time at their position.
    void updateSearchKeys(const QList<Record>& records) const {
        if (records.isSharedWith(m_indexedRecords) && m_searchKeys.size() == records.size())
            return;
        QList<QStringList> keys(records.size());
        for (qsizetype i = 0; i < records.size(); ++i) {
            if (i < m_indexedRecords.size() && i < m_searchKeys.size() && records.at(i) == m_indexedRecords.at(i)) {
                keys[i] = m_searchKeys.at(i);
                continue;
            }
            QStringList folded;
            for (const QString& text : m_spec.searchTexts(records.at(i)))
                folded.append(halvo::searchKey(text));
            keys[i] = std::move(folded);
        }
        m_indexedRecords = records;
        m_searchKeys = std::move(keys);
    }

    std::optional<Record> shownAmong(const QList<Record>& records) const {
        if (m_selectedId) {
            for (const Record& record : records) {
                if (m_spec.idOf(record) == *m_selectedId)
                    return record;
            }
        }
        if (records.isEmpty())
            return std::nullopt;
        return records.first();
    }

    void refresh() {
        // The model shows the matching rows of the snapshot's list itself: a key press copies no record.
        const QList<Record> records = m_spec.recordsOf(m_store.activeSnapshot());
        std::optional<QList<qsizetype>> rows = matchingRows(records);
        const qsizetype count = rows ? rows->size() : records.size();
        m_frame->setSidebarTitle(m_spec.sidebarTitle + QStringLiteral(" (") + QString::number(count) +
                                 QLatin1Char(')'));
        m_model->setRows(records, std::move(rows));
        m_frame->setListEmpty(count == 0);

        // The chosen record when it is listed, else the first listed one.
        const int chosenRow = m_selectedId ? m_model->rowOf(*m_selectedId) : -1;
        std::optional<Record> shownRecord;
        if (chosenRow >= 0)
            shownRecord = m_model->itemAt(chosenRow);
        else if (count > 0)
            shownRecord = m_model->itemAt(0);
        int highlighted = chosenRow;
        if (highlighted < 0 && m_spec.highlightFallback && shownRecord)
            highlighted = 0;
        m_frame->setCurrentRow(highlighted);

        if (!shownRecord) {
            m_frame->showPlaceholder();
            m_offeredTabs.clear();
            m_drawnTab.reset();
        } else {
            m_frame->showDetail();
            const Tab tab = tabFor(*shownRecord);
            if constexpr (hasTabs) {
                m_offeredTabs = m_spec.tabsOf(*shownRecord);
                QList<HalvoSectionFrame::TabSpec> buttons;
                for (qsizetype i = 0; i < m_offeredTabs.size(); ++i)
                    buttons.append(m_spec.tabButton(m_offeredTabs.at(i), int(i)));
                m_frame->setTabs(buttons, int(m_offeredTabs.indexOf(tab)));
            }
            m_spec.drawDetail(*shownRecord, tab);
            m_drawnTab = tab;
        }
        if (m_spec.afterRefresh)
            m_spec.afterRefresh(shownRecord);
    }

    AppStateStore& m_store;
    Spec m_spec;
    std::optional<QString>& m_selectedId;
    Tab* m_activeTab = nullptr;
    HalvoSectionFrame* m_frame = nullptr;
    HalvoRecordListModel<Record>* m_model = nullptr;
    HalvoRefreshScheduler* m_scheduler = nullptr;
    /// The records whose search keys `m_searchKeys` holds, one list of keys per record.
    mutable QList<Record> m_indexedRecords;
    mutable QList<QStringList> m_searchKeys;
    QList<Tab> m_offeredTabs;
    std::optional<Tab> m_drawnTab;
};

/// A sheet that is open exactly while a state flag is set and a record is shown: `sync` after each change
/// opens it (built by `make` for the record), shows the record in it when the record changed, or closes it.
/// Closing the sheet in any way clears the flag; without a shown record the flag is cleared.
template <class Sheet, class Record> class HalvoFlagSheet final {
public:
    struct Spec {
        /// Builds the sheet for the record, parented to the owner.
        std::function<Sheet*(const Record&)> make;
        /// Shows another record in the open sheet.
        std::function<void(Sheet&, const Record&)> showRecord;
        /// Called after the sheet closed and the flag was cleared.
        std::function<void()> closed;
    };

    HalvoFlagSheet(bool& flag, QObject& owner, Spec spec)
        : m_flag(flag)
        , m_owner(owner)
        , m_spec(std::move(spec)) {}

    Sheet* sheet() const { return m_sheet; }

    void sync(const std::optional<Record>& shown) {
        if (!shown)
            m_flag = false;
        if (!m_flag) {
            if (m_sheet)
                m_sheet->reject();
            return;
        }
        if (!m_sheet) {
            Sheet* sheet = m_spec.make(*shown);
            QObject::connect(sheet, &QDialog::finished, &m_owner, [this, sheet] {
                m_flag = false;
                if (m_sheet == sheet) {
                    m_sheet = nullptr;
                    m_record.reset();
                }
                sheet->deleteLater();
                if (m_spec.closed)
                    m_spec.closed();
            });
            m_sheet = sheet;
            m_record = shown;
            sheet->open();
            return;
        }
        if (m_record != shown) {
            m_spec.showRecord(*m_sheet, *shown);
            m_record = shown;
        }
    }

private:
    bool& m_flag;
    QObject& m_owner;
    Spec m_spec;
    QPointer<Sheet> m_sheet;
    std::optional<Record> m_record;
};
