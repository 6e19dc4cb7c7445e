#include "views/servers/DedicatedServersView.h"

#include "store/AppStateStore.h"

DedicatedServersView::DedicatedServersView(AppStateStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
{
}
