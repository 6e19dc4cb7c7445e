#pragma once

// The sheet that shows a domain's zone as a master file and copies it. What closing and copying mean is
// the owner's: it connects the two buttons.

#include "model/Records.h"

#include <QDialog>
#include <QString>

class HalvoActionButton;
class QLabel;
class QPlainTextEdit;

class ZoneFileExportSheet final : public QDialog {
    Q_OBJECT
public:
    explicit ZoneFileExportSheet(const HalvoDomain& domain, QWidget* parent = nullptr);

    /// Shows this domain's zone; the text is replaced only when it changed.
    void showDomain(const HalvoDomain& domain);
    QString domainName() const { return m_domainName; }
    /// The zone text as shown.
    QString zoneText() const { return m_zoneText; }

    HalvoActionButton* closeButton() const { return m_closeButton; }
    HalvoActionButton* copyButton() const { return m_copyButton; }
    QPlainTextEdit* textArea() const { return m_text; }

private:
    QString m_domainName;
    QString m_zoneText;
    QLabel* m_title = nullptr;
    QPlainTextEdit* m_text = nullptr;
    HalvoActionButton* m_closeButton = nullptr;
    HalvoActionButton* m_copyButton = nullptr;
};
