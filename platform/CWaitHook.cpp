#include "platform/CWaitHook.h"

#include <utility>

namespace {
std::function<void()>& hookSlot() {
    static std::function<void()> hook;
    return hook;
}
} // namespace

void CWaitHook::set(std::function<void()> hook) {
    hookSlot() = std::move(hook);
}

void CWaitHook::run() {
    if (auto& hook = hookSlot())
        hook();
}
