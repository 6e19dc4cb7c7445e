#include "ui/FormKeys.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>

namespace halvo::ui {

void submitOnReturn(QLineEdit* field, QAbstractButton* button) {
    if (!field || !button)
        return;
    // The button may be rebuilt or gone by the time Return is pressed.
    QObject::connect(field, &QLineEdit::returnPressed, button, [target = QPointer<QAbstractButton>(button)] {
        if (target && target->isVisible() && target->isEnabled())
            target->click();
    });
}

} // namespace halvo::ui
