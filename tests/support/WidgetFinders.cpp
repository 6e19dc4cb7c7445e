#include "support/WidgetFinders.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace halvo::test {

void settle() {
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

QList<QAbstractButton*> buttonsWithText(const QWidget* root, const QString& text) {
    QList<QAbstractButton*> result;
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (button->text() == text)
            result.append(button);
    }
    return result;
}

QAbstractButton* buttonWithText(const QWidget* root, const QString& text) {
    const auto buttons = buttonsWithText(root, text);
    if (buttons.size() != 1) {
        ADD_FAILURE() << "expected one button \"" << text.toStdString() << "\", found " << buttons.size();
        return nullptr;
    }
    return buttons.first();
}

bool hasButton(const QWidget* root, const QString& text) {
    return !buttonsWithText(root, text).isEmpty();
}

void click(QAbstractButton* button) {
    if (!button)
        return;
    if (!button->isVisible()) {
        ADD_FAILURE() << "button \"" << button->text().toStdString() << "\" is not visible; show the view first";
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
}

QStringList labelTexts(const QWidget* root) {
    QStringList texts;
    for (const QLabel* label : root->findChildren<QLabel*>())
        texts.append(label->text());
    return texts;
}

bool hasLabel(const QWidget* root, const QString& text) {
    return labelWithText(root, text) != nullptr;
}

QLabel* labelWithText(const QWidget* root, const QString& text) {
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (label->text() == text)
            return label;
    }
    return nullptr;
}

bool hasLabelContaining(const QWidget* root, const QString& fragment) {
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        if (label->text().contains(fragment))
            return true;
    }
    return false;
}

} // namespace halvo::test
