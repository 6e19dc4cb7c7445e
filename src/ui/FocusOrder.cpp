#include "ui/FocusOrder.h"

#include <QScrollArea>
#include <QWidget>

namespace halvo::ui {

bool takesTabFocus(const QWidget* widget) {
    return widget && widget->isVisible() && widget->isEnabled() && !widget->focusProxy() &&
           (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

QList<QWidget*> tabStops(QWidget* root) {
    QList<QWidget*> stops;
    if (!root)
        return stops;
    // The chain is a ring through the whole window; walk it once from the root.
    QWidget* widget = root;
    do {
        if ((widget == root || root->isAncestorOf(widget)) && takesTabFocus(widget))
            stops.append(widget);
        widget = widget->nextInFocusChain();
    } while (widget && widget != root);
    return stops;
}

bool moveFocusAlong(const QList<QWidget*>& order, QWidget* current, bool forward) {
    if (!current || order.isEmpty())
        return false;
    qsizetype position = order.indexOf(current);
    if (position < 0) {
        for (qsizetype i = 0; i < order.size(); ++i) {
            if (order[i]->isAncestorOf(current)) {
                position = i;
                break;
            }
        }
    }
    if (position < 0)
        return false;
    const qsizetype count = order.size();
    const qsizetype target = forward ? (position + 1) % count : (position - 1 + count) % count;
    QWidget* next = order[target];
    next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    // Scrolled into view in every scroll area around it, as Qt does only within one area.
    for (QWidget* parent = next->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(parent);
            area && area->widget() && area->widget()->isAncestorOf(next))
            area->ensureWidgetVisible(next);
    }
    return true;
}

} // namespace halvo::ui
