#pragma once
#include <cstdint>
#include <initializer_list>

#include "gpu/NvTypes.h"

// Makes one driver call per record version, in the caller's order, until one succeeds. The attempt
// sets the version word, calls the driver and does whatever its operation asks after a failure;
// the result is the status of the last attempt.
template <class Attempt>
int32_t CallWithVersions(std::initializer_list<uint32_t> versions, Attempt&& attempt) {
    int32_t status = NvStatus::Error;
    for (uint32_t version : versions) {
        status = attempt(version);
        if (status == NvStatus::Ok) break;
    }
    return status;
}
