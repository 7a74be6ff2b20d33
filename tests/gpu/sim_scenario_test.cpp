#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sim/SimScenario.h"

TEST(SimScenario, DefaultScenarioIsTheShippedFileAndASingleModernCard) {
    std::ifstream file(CORALVANE_SOURCE_DIR "/sim/scenarios/default.scn", std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), DefaultScenarioText());

    SimScenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario(DefaultScenarioText(), scenario, error)) << error;
    ASSERT_EQ(scenario.gpus.size(), 1u);
    const SimGpu& gpu = scenario.gpus[0];
    EXPECT_FALSE(gpu.tcc);
    EXPECT_EQ(gpu.vendorId, 0x10DE);
    EXPECT_EQ(gpu.deviceId, 0x1B80);
    EXPECT_EQ(gpu.revision, 0xA1);
    EXPECT_EQ(gpu.frameBufferKb, 8388608u);
    EXPECT_EQ(scenario.displays.size(), 1u);
    EXPECT_EQ(scenario.displays[0].displayId, 0x80061086u);
    EXPECT_EQ(scenario.driverVersion, 41130u);
}

TEST(SimScenario, ReadsDriverFaultsAndTexts) {
    SimScenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario(R"(
; comments with either mark
[driver]
error = -9   wrong record version
reject = NvAPI_I2CWrite 0003002C
reject = 0xE812EB07 0x00020024
fail = NvAPI_Initialize -6
fail = 0x2FDE12C5 -1 3
)",
                              scenario, error))
        << error;
    EXPECT_EQ(scenario.errorTexts[-9], "wrong record version");
    EXPECT_EQ(scenario.rejectedVersions[0xE812EB07].size(), 2u);
    EXPECT_EQ(scenario.failures[0x0150E828].status, -6);
    EXPECT_EQ(scenario.failures[0x0150E828].remaining, -1);
    EXPECT_EQ(scenario.failures[0x2FDE12C5].remaining, 3);
}

TEST(SimScenario, BadLinesAreRejectedWithTheirLineNumberAndLeaveTheScenarioAlone) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"[gpu\n", "line 1: section header without ']'"},
        {"\n[cooler]\n", "line 2: unknown section [cooler]"},
        {"name = x\n", "line 1: key 'name' outside a section"},
        {"[gpu]\nname\n", "line 2: expected 'key = value'"},
        {"[gpu]\ncolour = red\n", "line 2: unknown key 'colour' in [gpu]"},
        {"[gpu]\ncores = many\n", "line 2: cores: bad number 'many'"},
        {"[gpu]\ncores = -1\n", "line 2: cores: bad number '-1'"},
        {"[gpu]\nframebuffer_kb = 4294967296\n", "line 2: framebuffer_kb: bad number '4294967296'"},
        {"[gpu]\ncores = 99999999999999999999999\n", "line 2: cores: bad number '99999999999999999999999'"},
        {"[gpu]\ntcc = maybe\n", "line 2: tcc: bad yes/no value 'maybe'"},
        {"[gpu]\npci = 10DE 1B80\n",
         "line 2: pci: expected four hexadecimal ids: vendor device subvendor subsystem"},
        {"[gpu]\npci = 10DE 1B80 10DE 1119E\n",
         "line 2: pci: expected four hexadecimal ids: vendor device subvendor subsystem"},
        {"[gpu]\nname = 0123456789012345678901234567890123456789012345678901234567890123\n",
         "line 2: name: text longer than 63 characters"},
        {"[display]\ngpu = 0\n", "line 2: gpu: no GPU 0 above this line"},
        {"[driver]\nfail = NvAPI_Nothing -1\n",
         "line 2: fail: expected '<function> <negative status> [number of calls]'"},
        {"[driver]\nfail = NvAPI_Initialize 0\n",
         "line 2: fail: expected '<function> <negative status> [number of calls]'"},
        {"[driver]\nreject = NvAPI_I2CRead\n", "line 2: reject: expected '<function> <version word>'"},
        {"[driver]\nerror = oops\n", "line 2: error: expected '<status> <text>'"},
    };
    for (const auto& c : cases) {
        SimScenario scenario;
        scenario.driverVersion = 7;
        std::string error;
        EXPECT_FALSE(ParseScenario(c.text, scenario, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(scenario.driverVersion, 7u);
        EXPECT_TRUE(scenario.gpus.empty());
    }
}

TEST(SimScenario, SurvivesBinaryJunk) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
    SimScenario scenario;
    std::string error;
    EXPECT_FALSE(ParseScenario(junk, scenario, error));
    EXPECT_FALSE(error.empty());
}

TEST(SimScenario, AMissingFileIsReportedByName) {
    SimScenario scenario;
    std::string error;
    EXPECT_FALSE(LoadScenarioFile("/nonexistent/machine.scn", scenario, error));
    EXPECT_EQ(error, "/nonexistent/machine.scn: cannot open");
}

TEST(SimScenario, AFileIsReadWholeAndAnOversizedOneRefused) {
    const std::string path = testing::TempDir() + "sim_scenario_file.scn";
    {
        std::ofstream out(path, std::ios::binary);
        out << DefaultScenarioText();
    }
    SimScenario scenario;
    std::string error;
    ASSERT_TRUE(LoadScenarioFile(path, scenario, error)) << error;
    EXPECT_EQ(scenario.driverVersion, 41130u);

    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << std::string(4 * 1024 * 1024 + 1, '#');
    }
    EXPECT_FALSE(LoadScenarioFile(path, scenario, error));
    EXPECT_EQ(error, path + ": scenario larger than 4 MB");
    std::remove(path.c_str());
}
