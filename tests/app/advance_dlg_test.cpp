#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "overclock_fixture.h"
#include "sim/SimPolicies.h"

namespace {

using AdvanceDlgTest = OverclockFixture;

constexpr const char* kLinkLimits = "thermal_policy = 1 16640 21248 23296\n";  // 65, 83, 91 °C

int32_t S32At(const std::vector<uint8_t>& bytes, size_t offset) {
    int32_t value = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

// Point index -> offset of every V/F point control write, from the records the driver received.
std::map<int, int32_t> WrittenPointOffsets(const SimDriver& sim) {
    std::map<int, int32_t> offsets;
    for (const SimJournalEntry& entry : sim.Calls(QueryId::SetVfPointControl)) {
        for (int k = 0; k < 256; ++k) {
            const uint32_t word = static_cast<uint32_t>(S32At(entry.received, 4 + 4 * (k / 32)));
            if ((word >> (k % 32)) & 1) offsets[k] = S32At(entry.received, 68 + 36 * k + 20);
        }
    }
    return offsets;
}

TEST_F(AdvanceDlgTest, ControlsSitAtTheirPlacesWithTheirKindsAndSkins) {
    CAdvanceDlg& dlg = OpenPanel();
    EXPECT_EQ(dlg.Window().templateId, 103);
    EXPECT_TRUE(dlg.Window().childStyle);
    EXPECT_EQ(dlg.Window().backgroundBitmap, 131);
    EXPECT_EQ(dlg.Window().rect.width, 318);
    EXPECT_EQ(dlg.Window().rect.height, 327);

    struct Place {
        int id;
        ControlKind kind;
        Rect rect;
    };
    const Place places[] = {
        {1011, ControlKind::Slider, {11, 15, 215, 15}},  {1009, ControlKind::Edit, {238, 13, 25, 14}},
        {1012, ControlKind::Label, {238, 34, 25, 14}},   {1015, ControlKind::Slider, {11, 62, 215, 15}},
        {1014, ControlKind::Edit, {238, 71, 25, 14}},    {1027, ControlKind::Label, {238, 71, 25, 14}},
        {1029, ControlKind::Label, {270, 72, 15, 14}},   {1013, ControlKind::Slider, {11, 107, 215, 15}},
        {1010, ControlKind::Edit, {238, 116, 25, 14}},   {1016, ControlKind::Slider, {11, 152, 215, 15}},
        {1017, ControlKind::Edit, {238, 161, 25, 14}},   {1018, ControlKind::Slider, {11, 197, 215, 15}},
        {1019, ControlKind::Edit, {238, 206, 25, 14}},   {1020, ControlKind::Slider, {11, 241, 215, 15}},
        {1021, ControlKind::Edit, {238, 251, 25, 14}},   {1028, ControlKind::Label, {238, 251, 25, 14}},
        {1022, ControlKind::Button, {294, 70, 14, 16}},  {1023, ControlKind::Button, {294, 183, 14, 16}},
        {1024, ControlKind::Button, {294, 250, 14, 16}}, {1025, ControlKind::Button, {135, 295, 64, 20}},
        {1026, ControlKind::Button, {210, 295, 64, 20}}, {1030, ControlKind::Button, {20, 295, 70, 20}},
    };
    for (const Place& p : places) {
        const ControlState& s = dlg.Control(p.id);
        EXPECT_EQ(s.kind, p.kind) << p.id;
        EXPECT_EQ(s.rect.left, p.rect.left) << p.id;
        EXPECT_EQ(s.rect.top, p.rect.top) << p.id;
        if (p.kind != ControlKind::Slider) {
            EXPECT_EQ(s.rect, p.rect) << p.id;
        }
    }

    const ControlState& coreEdit = dlg.Control(1009);
    EXPECT_EQ(coreEdit.edit.lookMode, 1);
    EXPECT_EQ(coreEdit.edit.patternBitmap, 154);
    EXPECT_EQ(coreEdit.font.face, "DINPro");
    EXPECT_EQ(coreEdit.font.pointTenths, 85);
    EXPECT_EQ(coreEdit.textColor, Color(0x01FFFF));
    EXPECT_FALSE(coreEdit.edit.digitsOnly);
    EXPECT_TRUE(dlg.Control(1017).edit.digitsOnly);
    EXPECT_EQ(dlg.Control(1027).font.weight, 700);
    EXPECT_EQ(dlg.Control(1027).font.height, 11);
    EXPECT_EQ(dlg.Control(1012).font.weight, 0);
    EXPECT_EQ(dlg.Control(1029).textColor, Color(0xFFFFFF));

    // Sliders: their own channels, except the locked voltage and pixel clock and the core and power
    // sliders, which the one-key start-up switches to the pixel-clock channel.
    const struct {
        int id;
        int channel;
        int thumb;
        bool enabled;
    } sliders[] = {{1011, 152, 142, true}, {1015, 156, 0, false},  {1013, 146, 142, true},
                   {1016, 152, 142, true}, {1018, 150, 142, true}, {1020, 157, 0, false}};
    for (const auto& s : sliders) {
        EXPECT_EQ(dlg.Control(s.id).slider.channelBitmap, s.channel) << s.id;
        EXPECT_EQ(dlg.Control(s.id).slider.thumbBitmap, s.thumb) << s.id;
        EXPECT_EQ(dlg.Control(s.id).slider.enabled, s.enabled) << s.id;
    }
    EXPECT_EQ(dlg.Control(1022).iconNormal, "Lock.ico");
    EXPECT_EQ(dlg.Control(1023).iconNormal, "Lock.ico");
    EXPECT_EQ(dlg.Control(1024).iconHover, "LockH.ico");
    EXPECT_EQ(dlg.Control(1025).iconHover, "Adv_Default_H.ico");
    EXPECT_EQ(dlg.Control(1026).iconNormal, "Adv_Apply.ico");
    EXPECT_EQ(dlg.Control(1030).iconNormal, "Key_OC.ico");
    EXPECT_FALSE(dlg.Control(1030).visible);
    EXPECT_FALSE(dlg.Control(1014).visible);
    EXPECT_TRUE(dlg.Control(1027).visible);
    EXPECT_EQ(dlg.Control(1027).text, "N/A");
    EXPECT_EQ(dlg.Control(1029).text, "mv");
}

TEST_F(AdvanceDlgTest, FillShowsTheDriversValuesInEveryRow) {
    UseMachine(
        MachineText("p0_graphics_delta = 50000 -200000 200000\np0_memory_delta = -120000 -500000 1000000\n"
                    "clocks_boost = 1683500 5005000\npower_policy = 0 50000 100000 120000\n"));
    CAdvanceDlg& dlg = OpenPanel();

    EXPECT_EQ(dlg.coreMhz, 50);
    EXPECT_EQ(dlg.Control(1009).text, "50");
    // The driver's boost clock already carries the offset: 1683.5 + 50 MHz, rounded half up.
    EXPECT_EQ(dlg.boostMhz, 1734);
    EXPECT_EQ(dlg.Control(1012).text, "1784");
    EXPECT_EQ(dlg.Control(1010).text, "-120");
    EXPECT_EQ(dlg.Control(1017).text, "100");
    EXPECT_EQ(dlg.Control(1019).text, "83");
    EXPECT_EQ(dlg.Control(1021).text, "14850");
    EXPECT_EQ(dlg.Control(1011).slider.min, -200);
    EXPECT_EQ(dlg.Control(1011).slider.max, 200);
    EXPECT_EQ(dlg.Control(1013).slider.position, -120);
    EXPECT_EQ(dlg.Control(1016).slider.max, 120);
    EXPECT_EQ(dlg.Control(1018).slider.min, 65);
    EXPECT_EQ(dlg.Control(1020).slider.max, 20000);
    EXPECT_EQ(dlg.voltUnlocked, 0);
}

TEST_F(AdvanceDlgTest, FailedReadingsFillZeros) {
    UseMachine(MachineText("pstates20 = no\npower_policy_valid = no\nthermal_policy_valid = no\n"));
    CAdvanceDlg& dlg = OpenPanel();
    const int32_t values[] = {dlg.coreMhz,  dlg.coreMhzMax,  dlg.memMhzMin, dlg.voltMax,
                              dlg.powerPct, dlg.powerPctMax, dlg.tempC,     dlg.tempCDefault};
    for (int32_t v : values) EXPECT_EQ(v, 0);
    EXPECT_EQ(dlg.Control(1011).slider.max, 0);
}

TEST_F(AdvanceDlgTest, OverVoltageMaximumIsRoundedAndCapsTheWrite) {
    UseMachine(MachineText("over_volt = 0 0 99600\n"));
    CAdvanceDlg& dlg = OpenPanel();
    EXPECT_EQ(dlg.voltMax, 100);
    EXPECT_EQ(dlg.overVoltLimitUv, 99600);

    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1022));
    ASSERT_TRUE(host.TypeText(dlg, 1014, "100"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1014));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1026));

    EXPECT_EQ(Tuning().overVoltUv, 99600);
    EXPECT_EQ(dlg.voltValue, 100);
    EXPECT_EQ(dlg.Control(1014).text, "100");
}

TEST_F(AdvanceDlgTest, NonZeroOverVoltageFromTheDriverUnlocksTheVoltage) {
    UseMachine(MachineText("over_volt = 25400 0 100000\n"));
    CAdvanceDlg& dlg = OpenPanel();
    EXPECT_EQ(dlg.voltValue, 25);
    EXPECT_EQ(dlg.voltUnlocked, 1);
    EXPECT_TRUE(dlg.Control(1014).visible);
    EXPECT_FALSE(dlg.Control(1027).visible);
    EXPECT_EQ(dlg.Control(1015).slider.channelBitmap, 144);
    EXPECT_EQ(dlg.Control(1022).iconNormal, "UnLock.ico");
}

TEST_F(AdvanceDlgTest, ApplyWritesInOrderAndShowsWhatTheDriverHolds) {
    CAdvanceDlg& dlg = OpenPanel();
    ASSERT_TRUE(host.DragSlider(dlg, 1011, 120));
    const int core = dlg.Control(1011).slider.position;  // the nearest position a pixel shows
    ASSERT_NEAR(core, 120, 1);
    EXPECT_EQ(dlg.Control(1009).text, std::to_string(core));
    ASSERT_TRUE(host.TypeText(dlg, 1010, "300"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1010));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1026));

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "\r\n这些设置可能会造成系统不稳定，确认继续？");
    // Clock offsets, power target, temperature target, priority; display and voltage stay locked.
    EXPECT_EQ(Writes(),
              (std::vector<uint32_t>{QueryId::SetPstates20, QueryId::SetPowerPolicyStatus,
                                     QueryId::SetThermalPolicyStatus, QueryId::SetThermalPolicyStatus}));
    EXPECT_EQ(Tuning().graphicsOffsetKhz, core * 1000);
    EXPECT_EQ(Tuning().memoryOffsetKhz, 300000);
    EXPECT_EQ(Card().state.Get<SimPolicies>().thermal[0].flags & 1, 1);
    EXPECT_EQ(dlg.Control(1012).text, std::to_string(core + dlg.boostMhz));

    // A value the driver refuses reads back as what it kept.
    ASSERT_TRUE(host.TypeText(dlg, 1017, "119"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1017));
    sim->FailAlways(QueryId::SetPowerPolicyStatus, NvStatus::Error);
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1026));
    EXPECT_EQ(dlg.powerPct, 100);
    EXPECT_EQ(dlg.Control(1017).text, "100");
}

TEST_F(AdvanceDlgTest, ApplyAnsweredNoWritesNothing) {
    CAdvanceDlg& dlg = OpenPanel();
    ASSERT_TRUE(host.DragSlider(dlg, 1011, 60));
    const int core = dlg.coreMhz;
    host.AnswerModal(2);
    ASSERT_TRUE(host.Click(dlg, 1026));
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(dlg.coreMhz, core);
    EXPECT_NE(core, 0);
}

TEST_F(AdvanceDlgTest, CurveModeOffsetsEveryPointAndReadsBackTheHalvedValue) {
    CAdvanceDlg& dlg = OpenPanel(true);
    EXPECT_EQ(dlg.Control(1029).text, "%");
    EXPECT_EQ(dlg.coreMhzMax, 500);
    EXPECT_EQ(dlg.voltMax, 100);
    ASSERT_TRUE(host.TypeText(dlg, 1009, "50"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1009));
    ASSERT_TRUE(host.TypeText(dlg, 1010, "200"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1010));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1022));
    ASSERT_TRUE(host.TypeText(dlg, 1014, "30"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1014));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1026));

    const std::map<int, int32_t> offsets = WrittenPointOffsets(*sim);
    ASSERT_EQ(offsets.size(), 81u);
    for (int k = 0; k < 80; ++k) EXPECT_EQ(offsets.at(k), 100000) << k;
    EXPECT_EQ(offsets.at(80), 200000);
    EXPECT_EQ(Tuning().voltBoostPercent, 30u);
    EXPECT_EQ(sim->CallCount(QueryId::SetPstates20), 0u);
    EXPECT_EQ(dlg.coreMhz, 50);
    EXPECT_EQ(dlg.memMhz, 200);
    EXPECT_EQ(dlg.voltValue, 30);
    EXPECT_EQ(dlg.Control(1009).text, "50");
}

TEST_F(AdvanceDlgTest, PowerAndTemperatureMoveTogetherWhileLinked) {
    UseMachine(MachineText(kLinkLimits));
    CAdvanceDlg& dlg = OpenPanel();
    const struct {
        int slider;
        int position;
        const char* power;
        const char* temp;
    } cases[] = {
        {1016, 80, "80", "75"}, {1016, 110, "110", "87"}, {1016, 120, "120", "91"},
        {1016, 50, "50", "65"}, {1018, 75, "77", "75"},   {1018, 87, "110", "87"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(host.DragSlider(dlg, c.slider, c.position)) << c.position;
        EXPECT_EQ(dlg.Control(1017).text, c.power) << c.slider << " " << c.position;
        EXPECT_EQ(dlg.Control(1019).text, c.temp) << c.slider << " " << c.position;
    }
    ASSERT_TRUE(host.TypeText(dlg, 1017, "80"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1017));
    EXPECT_EQ(dlg.tempC, 75);
    EXPECT_EQ(dlg.Control(1018).slider.position, 75);

    ASSERT_TRUE(host.Click(dlg, 1023));
    EXPECT_EQ(dlg.Control(1023).iconNormal, "UnLock.ico");
    ASSERT_TRUE(host.DragSlider(dlg, 1016, 110));
    EXPECT_EQ(dlg.tempC, 75);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(AdvanceDlgTest, LinkMapsAlongBothPiecesAndSurvivesEmptyLimits) {
    CAdvanceDlg& dlg = OpenPanel();
    dlg.powerPctMin = 50, dlg.powerPctDefault = 100, dlg.powerPctMax = 120;
    dlg.tempCMin = 65, dlg.tempCDefault = 83, dlg.tempCMax = 91;
    EXPECT_EQ(dlg.PowerToTemp(80), 75);
    EXPECT_EQ(dlg.PowerToTemp(110), 87);
    EXPECT_EQ(dlg.PowerToTemp(100), 83);
    EXPECT_EQ(dlg.PowerToTemp(500), 91);
    EXPECT_EQ(dlg.PowerToTemp(0), 65);
    EXPECT_EQ(dlg.TempToPower(90), 118);
    EXPECT_EQ(dlg.TempToPower(70), 63);

    // A card whose policies could not be read has every limit 0.
    dlg.powerPctMin = dlg.powerPctDefault = dlg.powerPctMax = 0;
    dlg.tempCMin = dlg.tempCDefault = dlg.tempCMax = 0;
    EXPECT_EQ(dlg.PowerToTemp(0), 0);
    EXPECT_EQ(dlg.TempToPower(0), 0);
    EXPECT_EQ(dlg.PowerToTemp(5), 0);
}

TEST_F(AdvanceDlgTest, EditEntriesAreClampedAndNonNumbersBecomeZero) {
    CAdvanceDlg& dlg = OpenPanel();  // core offset range -200 .. 200 MHz
    const struct {
        const char* typed;
        int value;
        const char* shown;
    } cases[] = {
        {"42", 42, "42"}, {" -17 ", -17, "-17"}, {"-500", -200, "-200"}, {"9999999999", 0, "0"},
        {"abc", 0, "0"},  {"", 0, "0"},          {"12abc", 0, "0"},      {"250", 200, "200"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(host.TypeText(dlg, 1009, c.typed));
        ASSERT_TRUE(host.CommitEdit(dlg, 1009));
        EXPECT_EQ(dlg.coreMhz, c.value) << '"' << c.typed << '"';
        EXPECT_EQ(dlg.Control(1009).text, c.shown) << '"' << c.typed << '"';
        EXPECT_EQ(dlg.Control(1011).slider.position, c.value);
        EXPECT_EQ(dlg.Control(1012).text, std::to_string(c.value + dlg.boostMhz));
    }
    // Power below its range is raised to the minimum (50 %).
    ASSERT_TRUE(host.TypeText(dlg, 1017, "x"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1017));
    EXPECT_EQ(dlg.powerPct, 50);
}

TEST_F(AdvanceDlgTest, VoltageLockAsksBeforeUnlockingAndClearsEveryCardOnLocking) {
    UseMachine(MachineText("over_volt = 0 0 100000\n", 2));
    CAdvanceDlg& dlg = OpenPanel();

    host.AnswerModal(2);
    ASSERT_TRUE(host.Click(dlg, 1022));
    EXPECT_EQ(dlg.voltUnlocked, 0);
    EXPECT_EQ(Messages().back(), "\r\n\r\n 增加电压可能会损坏GPU或者造成系统不稳定。继续？");

    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1022));
    EXPECT_EQ(dlg.voltUnlocked, 1);
    EXPECT_TRUE(dlg.Control(1014).visible);
    EXPECT_FALSE(dlg.Control(1027).visible);
    EXPECT_TRUE(dlg.Control(1015).slider.enabled);
    EXPECT_EQ(dlg.Control(1015).slider.thumbBitmap, 142);
    ASSERT_TRUE(host.DragSlider(dlg, 1015, 40));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1026));
    EXPECT_EQ(Tuning(SelectedCard()).overVoltUv, dlg.voltValue * 1000);
    EXPECT_NE(dlg.voltValue, 0);

    const size_t questions = host.ModalRuns().size();
    sim->ClearJournal();
    ASSERT_TRUE(host.Click(dlg, 1022));
    EXPECT_EQ(host.ModalRuns().size(), questions);
    EXPECT_EQ(dlg.voltUnlocked, 0);
    EXPECT_EQ(dlg.voltValue, 0);
    EXPECT_EQ(dlg.Control(1014).text, "0");
    EXPECT_EQ(dlg.Control(1015).slider.position, 0);
    EXPECT_EQ(dlg.Control(1015).slider.channelBitmap, 156);
    EXPECT_FALSE(dlg.Control(1015).slider.enabled);
    EXPECT_EQ(sim->CallCount(QueryId::SetPstates20), 2u);
    EXPECT_EQ(Tuning(SelectedCard()).overVoltUv, 0);
}

TEST_F(AdvanceDlgTest, LockingTheVoltageReachesTheSecondCardToo) {
    UseMachine(MachineText("over_volt = 30000 0 100000\n", 2));
    CAdvanceDlg& dlg = OpenPanel();
    ASSERT_EQ(dlg.voltUnlocked, 1);
    ASSERT_EQ(Tuning(1).overVoltUv, 30000);
    ASSERT_TRUE(host.Click(dlg, 1022));
    EXPECT_EQ(Tuning(0).overVoltUv, 0);
    EXPECT_EQ(Tuning(1).overVoltUv, 0);
}

TEST_F(AdvanceDlgTest, LockingInCurveModeAlsoTakesTheBoostOffEveryCard) {
    UseMachine(MachineText("", 2));
    CAdvanceDlg& dlg = OpenPanel(true);
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1022));
    ASSERT_TRUE(host.TypeText(dlg, 1014, "30"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1014));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1026));
    ASSERT_EQ(Tuning(SelectedCard()).voltBoostPercent, 30u);
    Tuning(1 - SelectedCard()).voltBoostPercent = 20;

    ASSERT_TRUE(host.Click(dlg, 1022));
    EXPECT_EQ(Tuning(0).voltBoostPercent, 0u);
    EXPECT_EQ(Tuning(1).voltBoostPercent, 0u);
    EXPECT_EQ(dlg.voltValue, 0);
}

TEST_F(AdvanceDlgTest, DisplayLockGuardsThePixelClock) {
    CAdvanceDlg& dlg = OpenPanel();
    ASSERT_TRUE(host.Click(dlg, 1024));
    EXPECT_TRUE(dlg.Control(1021).visible);
    EXPECT_FALSE(dlg.Control(1028).visible);
    EXPECT_EQ(dlg.Control(1020).slider.channelBitmap, 152);
    EXPECT_EQ(dlg.Control(1024).iconNormal, "UnLock.ico");
    ASSERT_TRUE(host.TypeText(dlg, 1021, "14000"));
    ASSERT_TRUE(host.CommitEdit(dlg, 1021));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1026));
    EXPECT_EQ(sim->CallCount(QueryId::TryCustomDisplay), 1u);
    EXPECT_EQ(dlg.pixelClk, 14000);

    // Default restores the monitor's own pixel clock, never a zero one, and locks the display.
    sim->ClearJournal();
    ASSERT_TRUE(host.Click(dlg, 1025));
    EXPECT_EQ(sim->CallCount(QueryId::TryCustomDisplay), 1u);
    EXPECT_EQ(dlg.pixelClk, 14850);
    EXPECT_EQ(dlg.displayUnlocked, 0);
    EXPECT_FALSE(dlg.Control(1021).visible);
}

TEST_F(AdvanceDlgTest, ZeroPixelClockIsNeverSent) {
    // The monitor's timing cannot be read while the page fills, so its pixel clock shows as 0.
    sim->FailAlways(QueryId::GetTiming, NvStatus::Error);
    CAdvanceDlg& dlg = OpenPanel();
    ASSERT_EQ(dlg.pixelClk, 0);
    sim->ClearFailures();
    ASSERT_TRUE(host.Click(dlg, 1024));
    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, 1026));
    ASSERT_TRUE(host.Click(dlg, 1025));
    EXPECT_EQ(sim->CallCount(QueryId::TryCustomDisplay), 0u);
    EXPECT_EQ(dlg.pixelClk, 14850);
}

TEST_F(AdvanceDlgTest, DefaultReturnsToTheCardsDefaultsAndTheStartingLocks) {
    UseMachine(MachineText("over_volt = 20000 0 100000\n"));
    CAdvanceDlg& dlg = OpenPanel();
    ASSERT_TRUE(host.DragSlider(dlg, 1011, 80));
    ASSERT_TRUE(host.Click(dlg, 1023));
    ASSERT_TRUE(host.Click(dlg, 1024));
    ASSERT_TRUE(host.Click(dlg, 1025));

    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 0);
    EXPECT_EQ(Tuning().overVoltUv, 0);
    EXPECT_EQ(Card().state.Get<SimPolicies>().power[0].target, 100000);
    EXPECT_EQ(dlg.coreMhz, 0);
    EXPECT_EQ(dlg.powerPct, 100);
    EXPECT_EQ(dlg.tempC, 83);
    EXPECT_EQ(dlg.voltUnlocked, 0);
    EXPECT_EQ(dlg.linked, 1);
    EXPECT_EQ(dlg.displayUnlocked, 0);
    EXPECT_EQ(dlg.Control(1022).iconNormal, "Lock.ico");
    EXPECT_EQ(dlg.Control(1023).iconNormal, "Lock.ico");
    EXPECT_EQ(dlg.Control(1024).iconNormal, "Lock.ico");
}

TEST_F(AdvanceDlgTest, StoredOneKeyChoiceIsReappliedAndBlocksApplyUntilDefault) {
    ASSERT_EQ(ConfigFile(folder, configName).WriteValue({"Coralvane", "KeyOC", {}, 1}, 10), 0);
    CAdvanceDlg& dlg = OpenPanel(false, 1);

    EXPECT_EQ(dlg.keyOcActive, 1);
    EXPECT_TRUE(dlg.Control(1030).visible);
    EXPECT_EQ(dlg.coreMhz, 91);
    EXPECT_EQ(dlg.powerPct, 120);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 91000);
    EXPECT_EQ(dlg.Control(1026).iconNormal, "Adv_Apply_D.ico");
    EXPECT_EQ(dlg.Control(1026).iconHover, "Adv_Apply_D.ico");
    for (int id : {1011, 1016}) {
        EXPECT_FALSE(dlg.Control(id).slider.enabled);
        EXPECT_EQ(dlg.Control(id).slider.channelBitmap, 157);
        EXPECT_EQ(dlg.Control(id).slider.thumbBitmap, 0);
    }

    ASSERT_TRUE(host.Click(dlg, 1026));
    EXPECT_TRUE(host.ModalRuns().empty());
    EXPECT_TRUE(Writes().empty());

    ASSERT_TRUE(host.Click(dlg, 1025));
    EXPECT_EQ(dlg.keyOcActive, 0);
    EXPECT_EQ(ReadSetting("Coralvane", "KeyOC"), "0");
    EXPECT_EQ(dlg.Control(1026).iconNormal, "Adv_Apply.ico");
    for (int id : {1011, 1016}) {
        EXPECT_TRUE(dlg.Control(id).slider.enabled);
        EXPECT_EQ(dlg.Control(id).slider.channelBitmap, 152);
        EXPECT_EQ(dlg.Control(id).slider.thumbBitmap, 142);
    }
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 0);
}

TEST_F(AdvanceDlgTest, CardsWithoutOneKeyHideTheButtonWhateverIsStored) {
    ASSERT_EQ(ConfigFile(folder, configName).WriteValue({"Coralvane", "KeyOC", {}, 1}, 10), 0);
    CAdvanceDlg& dlg = OpenPanel(false, 0);
    EXPECT_FALSE(dlg.Control(1030).visible);
    EXPECT_EQ(dlg.keyOcActive, 0);
    EXPECT_EQ(dlg.keyOcSaved, 1);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 0);
}

TEST_F(AdvanceDlgTest, KeyButtonStoresTheChoiceAndActsOnIt) {
    CAdvanceDlg& dlg = OpenPanel(false, 1);
    ASSERT_EQ(dlg.keyOcActive, 0);

    host.AnswerModal(2);
    ASSERT_TRUE(host.Click(dlg, 1030));
    EXPECT_FALSE(std::filesystem::exists(dir / configName));
    EXPECT_EQ(dlg.keyOcActive, 0);

    host.AnswerModal([&](CDialog& d) {
        host.Click(d, 1232);
        host.Click(d, 1);
    });
    ASSERT_TRUE(host.Click(dlg, 1030));
    EXPECT_EQ(host.ModalRuns().back().templateId, 303);
    EXPECT_EQ(ReadSetting("Coralvane", "KeyOC"), "1");
    EXPECT_EQ(dlg.keyOcActive, 1);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 91000);

    sim->ClearJournal();
    host.AnswerModal([&](CDialog& d) {
        EXPECT_EQ(d.Control(1232).iconNormal, "KeyOC_H.ico");
        host.Click(d, 1232);
        host.Click(d, 1);
    });
    ASSERT_TRUE(host.Click(dlg, 1030));
    EXPECT_EQ(ReadSetting("Coralvane", "KeyOC"), "0");
    EXPECT_EQ(dlg.keyOcActive, 0);
    EXPECT_TRUE(dlg.Control(1011).slider.enabled);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(AdvanceDlgTest, StartProfileAppliesWithoutAskingOrIsRefusedWithoutPower) {
    CAdvanceDlg& dlg = OpenPanel();
    ASSERT_EQ(ConfigFile(folder, configName).WriteRecord(ProfileRecord::WithAllKeys("Start_OC")), 0);
    host.AnswerModal(kIdCancel);
    dlg.ApplyStartOc();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"目标功耗不能为0 ！"}));
    EXPECT_EQ(host.ModalRuns().back().Visible(CMsgDlg::kNoId), true);
    EXPECT_TRUE(Writes().empty());

    ProfileRecord record = ProfileRecord::WithAllKeys("Start_OC");
    record.SetValue("CoreOffset", 70);
    record.SetValue("MemOffset", 400);
    record.SetValue("TempTarget", 88);
    record.SetValue("Power", 110);
    record.SetValue("DisplayClock", 9000);
    ASSERT_EQ(ConfigFile(folder, configName).WriteRecord(record), 0);
    dlg.ApplyStartOc();
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 70000);
    EXPECT_EQ(Tuning().memoryOffsetKhz, 400000);
    EXPECT_EQ(Card().state.Get<SimPolicies>().power[0].target, 110000);
    EXPECT_EQ(Card().state.Get<SimPolicies>().thermal[0].target, 88 * 256);
    EXPECT_EQ(dlg.Control(1019).text, "88");
}

TEST_F(AdvanceDlgTest, ProfileValuesOutsideEveryRangeAreRefusedByTheDriverNotOverflowed) {
    CAdvanceDlg& dlg = OpenPanel();
    dlg.SetTuningValues({INT32_MAX, 0, INT32_MIN, 110, 80, 0});
    EXPECT_EQ(dlg.Control(1009).text, std::to_string(INT32_MAX));
    EXPECT_EQ(dlg.Control(1011).slider.position, 200);
    dlg.ApplyValues();
    EXPECT_EQ(Tuning().graphicsOffsetKhz, 0);
    EXPECT_EQ(dlg.coreMhz, 0);
    EXPECT_EQ(dlg.powerPct, 110);
}

}  // namespace
