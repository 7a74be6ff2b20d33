#include "sim/SimRegistry.h"

#include "sim/SimAreas.h"

const SimRegistry& TheSimRegistry() {
    static const SimRegistry registry = [] {
        SimRegistry built;
        for (auto registerArea : kSimAreas) registerArea(built);
        return built;
    }();
    return registry;
}
