#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;

/// A single-line input bound to a text: it shows the bound text and writes every edit back to it.
/// With `isSecure` it hides the text and offers a reveal switch.
class HalvoFormTextField final : public QWidget {
    Q_OBJECT
public:
    HalvoFormTextField(const QString& placeholder, QString* binding, bool isSecure = false, QWidget* parent = nullptr);

    QLineEdit* lineEdit() const { return m_edit; }
    /// Takes the bound text again (after the state was changed elsewhere, e.g. cleared by an action).
    void reload();

Q_SIGNALS:
    /// After an edit was written to the binding.
    void edited(const QString& text);

private:
    QString* m_binding;
    QLineEdit* m_edit = nullptr;
    bool m_reloading = false;
};
