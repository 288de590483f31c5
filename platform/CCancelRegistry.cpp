#include "platform/CCancelRegistry.h"

#include "platform/ICancelSource.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<ICancelSource*> sources;
};

std::atomic<bool> stopped{false};

Registry& registry() {
    static Registry r;
    return r;
}

} // namespace

void CCancelRegistry::add(ICancelSource* source) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.sources.push_back(source);
}

void CCancelRegistry::remove(ICancelSource* source) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::erase(r.sources, source);
}

bool CCancelRegistry::take() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return std::any_of(r.sources.begin(), r.sources.end(),
                       [](ICancelSource* s) { return s->takeCancel(); });
}

bool CCancelRegistry::hasSources() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return !r.sources.empty();
}

void CCancelRegistry::stopWaits() {
    stopped.store(true, std::memory_order_relaxed);
}

void CCancelRegistry::allowWaits() {
    stopped.store(false, std::memory_order_relaxed);
}

bool CCancelRegistry::waitsStopped() {
    return stopped.load(std::memory_order_relaxed);
}
