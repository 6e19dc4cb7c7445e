#pragma once

#include <QWidget>

class AppStateStore;

class DedicatedServersView final : public QWidget {
    Q_OBJECT
public:
    explicit DedicatedServersView(AppStateStore& store, QWidget* parent = nullptr);

private:
    AppStateStore& m_store;
};
