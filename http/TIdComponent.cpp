#include "http/TIdComponent.h"

#include "http/TIdStack.h"
#include "runtime/Events.h"

TIdComponent::TIdComponent(TComponent* owner) : TIdBaseComponent(owner)
{
    TIdStack::IncUsage();
}

TIdComponent::~TIdComponent()
{
    TIdStack::DecUsage();
}

std::string TIdComponent::StatusText(TIdStatus status, const std::string& argument)
{
    switch (status) {
    case hsResolving: return "Resolving hostname " + argument + ".";
    case hsConnecting: return "Connecting to " + argument + ".";
    case hsConnected: return "Connected.";
    case hsDisconnecting: return "Disconnecting.";
    case hsDisconnected: return "Disconnected.";
    case hsStatusText: return argument;
    }
    return argument;
}

void TIdComponent::DoStatus(TIdStatus status, const std::string& argument)
{
    if (OnStatus)
        OnStatus(this, status, StatusText(status, argument));
}

void TIdComponent::BeginWork(TWorkMode mode, std::int64_t size)
{
    WorkInfo& info = work_[mode];
    if (++info.level > 1)
        return;
    info.position = 0;
    RaiseEvent(OnWorkBegin, this, mode, size);
}

void TIdComponent::DoWork(TWorkMode mode, std::int64_t count)
{
    WorkInfo& info = work_[mode];
    if (info.level == 0)
        return;
    info.position += count;
    RaiseEvent(OnWork, this, mode, info.position);
}

void TIdComponent::EndWork(TWorkMode mode)
{
    WorkInfo& info = work_[mode];
    if (info.level == 0 || --info.level > 0)
        return;
    RaiseEvent(OnWorkEnd, this, mode);
}
