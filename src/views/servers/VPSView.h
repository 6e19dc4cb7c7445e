#pragma once

#include <QWidget>

class AppStateStore;

class VPSView final : public QWidget {
    Q_OBJECT
public:
    explicit VPSView(AppStateStore& store, QWidget* parent = nullptr);

private:
    AppStateStore& m_store;
};
