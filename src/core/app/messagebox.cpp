#include "app/messagebox.h"

namespace {
MessageBoxService *g_service = nullptr;
}

MessageBoxService *CurrentMessageBoxService()
{
    return g_service;
}

void SetMessageBoxService(MessageBoxService *service)
{
    g_service = service;
}
