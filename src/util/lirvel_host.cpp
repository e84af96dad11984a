#include "util/lirvel_host.h"

#include <memory>

namespace {

std::unique_ptr<TAppHost> WindowlessHost = std::make_unique<TAppHost>();
TAppHost* CurrentHost = WindowlessHost.get();

} // namespace

int DesignFormValue(TFormValue value)
{
    static constexpr int Design[FormValueCount] = {352, 209, 954, 657, 211, 349, 100, 50, 50, 50, 50, 60};
    return Design[static_cast<int>(value)];
}

TAppHost::TAppHost()
{
    for (int i = 0; i < FormValueCount; ++i)
        FValues[i] = DesignFormValue(static_cast<TFormValue>(i));
}

void TAppHost::SetFormValue(TFormValue value, int pixels) { FValues[static_cast<int>(value)] = pixels; }

int TAppHost::FormValue(TFormValue value) const { return FValues[static_cast<int>(value)]; }

TAppHost& AppHost() { return *CurrentHost; }

void SetAppHost(TAppHost* host)
{
    if (host) {
        CurrentHost = host;
    } else {
        WindowlessHost = std::make_unique<TAppHost>();
        CurrentHost = WindowlessHost.get();
    }
}
