#pragma once

// The frame that the four section views share: a sidebar (header with icon and count, empty state, list)
// beside a detail column (placeholder, or header band, numbered tab bar and scrolling content).
//
// The view owns the list model and the delegate, derives everything on each refresh and hands the frame
// what to show. The frame never reports a programmatic change as a user's choice: `rowSelected` and
// `tabClicked` are emitted only for the user's clicks.

#include "ui/Components.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <memory>

class QAbstractItemDelegate;
class QAbstractItemModel;
class QLabel;
class QListView;
class QScrollArea;
class QStackedWidget;

class HalvoSectionFrame final : public QWidget {
    Q_OBJECT
public:
    struct Config {
        QString sidebarIcon;
        halvo::theme::Tint sidebarTint = halvo::theme::Tint::blue;
        int sidebarMinWidth = 265;
        int sidebarMaxWidth = 325;
        QString emptyIcon;
        QString emptyTitle;
        QString emptyText;
        QString placeholderIcon;
        QString placeholderTitle;
        QString placeholderDescription;
    };

    struct TabSpec {
        QString icon;
        QString title; ///< shown verbatim
        bool operator==(const TabSpec&) const = default;
    };

    explicit HalvoSectionFrame(Config config, QWidget* parent = nullptr);

    // ---- sidebar ----
    /// The header text, e.g. "Domains (3)".
    void setSidebarTitle(const QString& text);
    QLabel* sidebarTitleLabel() const;
    /// The list; the view sets its model and delegate on it once.
    QListView* listView() const;
    void setListModel(QAbstractItemModel* model, QAbstractItemDelegate* delegate);
    /// Shows the empty state instead of the list.
    void setListEmpty(bool empty);
    bool isListEmpty() const;
    /// Highlights the row (-1: none) without emitting `rowSelected`.
    void setCurrentRow(int row);

    // ---- detail ----
    /// Shows the placeholder instead of the detail.
    void showPlaceholder();
    /// Shows the detail column.
    void showDetail();
    bool isShowingPlaceholder() const;
    /// Replaces the contents of the header band (16 points between items, 18 inset). The old one is
    /// deleted later, so a button inside it may be the one whose click is being handled.
    void replaceHeader(QWidget* header);
    /// The parent to make a header in (then pass it to `replaceHeader`). A widget made where it is shown has
    /// the style sheet's rules worked out once; one moved there afterwards has them worked out again for its
    /// whole tree.
    QWidget* headerParent() const;
    /// Sets the tab buttons (small action buttons, `primary` for `shownIndex`, `secondary` otherwise).
    /// Buttons are rebuilt only when the tabs change.
    void setTabs(const QList<TabSpec>& tabs, int shownIndex);
    QList<HalvoActionButton*> tabButtons() const;
    /// Replaces the scrolling content (18 points between parts, 22 inset), keeping the scroll position
    /// when `keepScrollPosition` is true. The old content is deleted later.
    void replaceContent(QWidget* content, bool keepScrollPosition = true);
    /// The parent to make a content in (then pass it to `replaceContent`), for the reason `headerParent` gives.
    QWidget* contentParent() const;
    QWidget* content() const;
    /// Scrolls the detail so that `rect` (in the coordinates of `descendant`, a widget inside the content;
    /// its whole rectangle when `rect` is empty) is in view, after laying out what changed. A rectangle
    /// taller than the viewport shows its top.
    void revealInContent(QWidget* descendant, const QRect& rect = QRect());
    QWidget* header() const;
    QScrollArea* contentScrollArea() const;

    /// The widgets that take focus by Tab, in the order the keyboard walks them: the list, the header band,
    /// the tab buttons, the content. Each list is one stop; the scroll areas around them are none.
    QList<QWidget*> focusOrder() const;

Q_SIGNALS:
    /// The user selected a row of the list.
    void rowSelected(int row);
    /// The user pressed the tab button at the index.
    void tabClicked(int index);

public:
    ~HalvoSectionFrame() override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
