#pragma once

#include <QWidget>

class AppStateStore;

class IPRdnsView final : public QWidget {
    Q_OBJECT
public:
    explicit IPRdnsView(AppStateStore& store, QWidget* parent = nullptr);

private:
    AppStateStore& m_store;
};
