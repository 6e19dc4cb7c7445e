#include "views/domains/DomainsView.h"

#include "store/AppStateStore.h"

DomainsView::DomainsView(AppStateStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
{
}
