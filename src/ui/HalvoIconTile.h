#pragma once

#include "ui/Theme.h"

#include <QString>
#include <QWidget>

/// The 58-point rounded tile at the start of a header band: the resource's gradient with its symbol in white.
class HalvoIconTile final : public QWidget {
    Q_OBJECT
public:
    HalvoIconTile(const QString& symbolName, halvo::theme::IconTileKind kind, QWidget* parent = nullptr);
    QString symbolName() const { return m_symbol; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbol;
    halvo::theme::IconTileKind m_kind;
};
