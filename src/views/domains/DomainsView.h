#pragma once

#include <QWidget>

class AppStateStore;

class DomainsView final : public QWidget {
    Q_OBJECT
public:
    explicit DomainsView(AppStateStore& store, QWidget* parent = nullptr);

private:
    AppStateStore& m_store;
};
