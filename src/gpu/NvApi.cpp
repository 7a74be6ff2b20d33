#include "gpu/NvApi.h"

void* NvApi::Lookup(uint32_t queryId) {
    if (!queryInterface_) return nullptr;
    auto found = functions_.find(queryId);
    if (found != functions_.end()) return found->second;
    // A function the driver lacks stays null in the cache: asking again would not change the answer.
    void* function = queryInterface_(queryId);
    functions_.emplace(queryId, function);
    return function;
}
