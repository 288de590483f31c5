#include "platform/CCancelRegistry.h"

#include "platform/ICancelSource.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<ICancelSource*> sources;
};

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
