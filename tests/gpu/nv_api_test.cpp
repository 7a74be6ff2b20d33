#include <gtest/gtest.h>

#include <map>

#include "gpu/NvApi.h"

namespace {

std::map<uint32_t, int> gLookups;
int32_t gLastPstateArgument = 0;

int32_t NVAPI_CALL FakeGetCurrentPstate(NvPhysicalGpuHandle, uint32_t* pstate) {
    *pstate = 2;
    return ++gLastPstateArgument;
}

void* NVAPI_CALL FakeQueryInterface(uint32_t queryId) {
    ++gLookups[queryId];
    if (queryId == QueryId::GetCurrentPstate) return reinterpret_cast<void*>(&FakeGetCurrentPstate);
    return nullptr;
}

}  // namespace

TEST(NvApi, FetchesEachFunctionOnceAndCallsItWithItsArguments) {
    gLookups.clear();
    gLastPstateArgument = 0;
    NvApi api(&FakeQueryInterface);
    uint32_t pstate = 0;
    EXPECT_EQ(api.GetCurrentPstate(nullptr, &pstate), 1);
    EXPECT_EQ(api.GetCurrentPstate(nullptr, &pstate), 2);
    EXPECT_EQ(pstate, 2u);
    EXPECT_EQ(gLookups[QueryId::GetCurrentPstate], 1);
}

TEST(NvApi, AFunctionTheDriverLacksAnswersNoImplementationAndIsNotAskedForAgain) {
    gLookups.clear();
    NvApi api(&FakeQueryInterface);
    uint32_t kilobytes = 0;
    EXPECT_EQ(api.GetPhysicalFrameBufferSize(nullptr, &kilobytes), NvStatus::NoImplementation);
    EXPECT_EQ(api.GetPhysicalFrameBufferSize(nullptr, &kilobytes), NvStatus::NoImplementation);
    EXPECT_EQ(gLookups[QueryId::GetPhysicalFrameBufferSize], 1);
}

TEST(NvApi, WithoutADriverEveryCallAnswersLibraryNotFound) {
    NvApi api(nullptr);
    EXPECT_FALSE(api.HasDriver());
    EXPECT_EQ(api.Initialize(), NvStatus::LibraryNotFound);
    char text[kNvShortStringMax] = {};
    EXPECT_EQ(api.GetErrorMessage(NvStatus::Error, text), NvStatus::LibraryNotFound);
}
