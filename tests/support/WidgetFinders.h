#pragma once

// Finding and pressing real widgets in tests.

#include <QAbstractButton>
#include <QLabel>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace halvo::test {

/// Runs pending events (deferred deletes and scheduled refreshes included) a few times.
void settle();

/// Every visible-or-not descendant button whose text equals `text` exactly.
QList<QAbstractButton*> buttonsWithText(const QWidget* root, const QString& text);
/// The one button with that text; fails the test (ADD_FAILURE) and returns nullptr when there is not
/// exactly one.
QAbstractButton* buttonWithText(const QWidget* root, const QString& text);
/// Whether any descendant button has the text.
bool hasButton(const QWidget* root, const QString& text);
/// Clicks the button (as a user would, through QTest) and settles.
void click(QAbstractButton* button);

/// The texts of every descendant label, in tree order.
QStringList labelTexts(const QWidget* root);
/// Whether some descendant label shows exactly the text.
bool hasLabel(const QWidget* root, const QString& text);
/// The first descendant label showing exactly the text, or nullptr.
QLabel* labelWithText(const QWidget* root, const QString& text);
/// Whether some descendant label's text contains the fragment.
bool hasLabelContaining(const QWidget* root, const QString& fragment);

/// The first descendant of type T with that object name, or nullptr.
template <class T> T* findNamed(const QWidget* root, const QString& objectName) {
    return root->findChild<T*>(objectName);
}

} // namespace halvo::test
