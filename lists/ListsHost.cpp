// The registered main window of the lists.
#include "lists/ListsHost.h"

namespace {
ListsHost* g_host = nullptr;
}

ListsHost* g_ListsHost()
{
    return g_host;
}

void SetListsHost(ListsHost* host)
{
    g_host = host;
}
