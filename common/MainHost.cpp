#include "common/MainHost.h"

namespace {
MainHost* g_host = nullptr;
}

MainHost* g_MainHost()
{
    return g_host;
}

void SetMainHost(MainHost* host)
{
    g_host = host;
}
