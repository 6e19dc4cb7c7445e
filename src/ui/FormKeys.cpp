#include "ui/FormKeys.h"

#include "ui/HalvoFormTextField.h"

#include <QAbstractButton>
#include <QLayout>
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

void submitOnReturn(std::initializer_list<HalvoFormTextField*> fields, QAbstractButton* button) {
    for (HalvoFormTextField* field : fields) {
        if (field)
            submitOnReturn(field->lineEdit(), button);
    }
}

void submitOnReturn(QLayout* form, QAbstractButton* button) {
    if (!form)
        return;
    for (int i = 0; i < form->count(); ++i) {
        QLayoutItem* item = form->itemAt(i);
        if (auto* field = qobject_cast<HalvoFormTextField*>(item->widget()))
            submitOnReturn(field->lineEdit(), button);
        else if (QLayout* nested = item->layout())
            submitOnReturn(nested, button);
    }
}

} // namespace halvo::ui
