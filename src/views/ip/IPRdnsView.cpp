#include "views/ip/IPRdnsView.h"

#include "store/AppStateStore.h"

IPRdnsView::IPRdnsView(AppStateStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
{
}
