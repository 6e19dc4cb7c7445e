#include "ui/FormKeys.h"

#include "support/WidgetFinders.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(FormKeys, ReturnInTheFieldPressesItsFormsButtonWhileItCanBePressed) {
    QWidget form;
    auto* column = new QVBoxLayout(&form);
    auto* field = new QLineEdit;
    auto* other = new QLineEdit;
    auto* button = new QPushButton(QStringLiteral("Speichern"));
    column->addWidget(field);
    column->addWidget(other);
    column->addWidget(button);
    halvo::ui::submitOnReturn(field, button);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    form.show();
    halvo::test::settle();

    struct Case {
        const char* name;
        Qt::Key key;
        bool enabled;
        bool visible;
        QLineEdit* target;
        int expected;
    };
    const Case cases[] = {
        {"Return", Qt::Key_Return, true, true, field, 1},
        {"Enter", Qt::Key_Enter, true, true, field, 1},
        {"disabled button", Qt::Key_Return, false, true, field, 0},
        {"hidden button", Qt::Key_Return, true, false, field, 0},
        {"another field", Qt::Key_Return, true, true, other, 0},
        {"a letter", Qt::Key_A, true, true, field, 0},
    };
    for (const Case& c : cases) {
        clicks = 0;
        button->setEnabled(c.enabled);
        button->setVisible(c.visible);
        QTest::keyClick(c.target, c.key);
        halvo::test::settle();
        EXPECT_EQ(clicks, c.expected) << c.name;
    }

    // A button that is gone leaves Return harmless.
    delete button;
    QTest::keyClick(field, Qt::Key_Return);
    halvo::test::settle();
}
