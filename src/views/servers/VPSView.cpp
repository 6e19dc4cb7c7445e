#include "views/servers/VPSView.h"

#include "store/AppStateStore.h"

VPSView::VPSView(AppStateStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
{
}
