// Steering the cosmos screen of the started program: the pointer's caption and clicks, the
// keys and pan buttons, the menu's return to the Sun, the command link's view commands, the
// planet window, the satellites window across a restart and the surface designer driven
// through its command paths.
#include "MainWindowFixture.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Text.h"
#include "shell/CommLink.h"
#include "sky/CosmosInput.h"
#include "sky/CosmosTools.h"
#include "sky/SkyData.h"
#include "sky/StarInfo.h"

namespace qor::shell {
namespace {

class CosmosSteeringTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form1->SwitchScreen('S');
    }
    SkyData& Sky() { return *program->Find<SkyData>(); }
    CosmosSky& Cosmos() { return *Sky().CosmosView; }
    CosmosBodies& Bodies() { return Sky().Cosmos; }
    CosmosView& View() { return Cosmos().view; }
    void Command(const std::string& line) { form1->Link->ExecMsgCommand(line); }
    // Counts the redraws and what the answer file held at the first one.
    void WatchRedraws() {
        auto draw = program->Svc.Screens['S'].Draw;
        program->Svc.Screens['S'].Draw = [this, draw] {
            if (redraws++ == 0) duringRun = SendLines();
            draw();
        };
    }
    int redraws = 0;
    std::vector<std::string> duringRun;
};

TEST_F(CosmosSteeringTest, ThePointerNamesAPlanetAndAClickCentresOnIt) {
    Bodies().CosmosScale(1) = 4;
    program->Tech->RefreshAll();
    const SatFrame& mars = View().SatFrames[4];
    ASSERT_NE(mars.Magnitude, 999);
    form1->PaintBoxMouseMove(0, mars.ScreenX + 1, mars.ScreenY);
    EXPECT_TRUE(View().CosmosHoverText.starts_with(Cp("Марс "))) << View().CosmosHoverText;
    EXPECT_NE(program->s.StatusText.find("   m "), std::string::npos);
    // the caption is drawn by the picture, in aqua above the planet
    const QImage& img = program->BufBitmap->image();
    int aqua = 0;
    for (int y = mars.ScreenY - 18; y < mars.ScreenY - 4; ++y)
        for (int x = mars.ScreenX; x < mars.ScreenX + 60; ++x)
            // aqua, allowing for the smoothing of the letters' edges
            aqua += img.valid(x, y) && qRed(img.pixel(x, y)) < 80 &&
                    qGreen(img.pixel(x, y)) > 170 && qBlue(img.pixel(x, y)) > 170;
    EXPECT_GT(aqua, 10);
    // moving away clears it
    form1->PaintBoxMouseMove(0, 5, img.height() - 5);
    EXPECT_TRUE(View().CosmosHoverText.empty());
    // a click makes Mars the centre
    form1->PaintBoxMouseUp(MouseButton::Left, 0, mars.ScreenX, mars.ScreenY);
    EXPECT_EQ(Bodies().CosmosMode, 5);
    EXPECT_EQ(program->s.ChartName, Cp("Марс"));
    // the Sun's mark in Mars's view opens the planet window on a right click
    const ModeBody& sun = View().ModeBodies[1];
    if (sun.shown) {
        form1->PaintBoxMouseUp(MouseButton::Right, 0, int(sun.x), int(sun.y));
        auto* pln = dynamic_cast<TPlnForm*>(Screen().FindForm("PlnForm"));
        ASSERT_NE(pln, nullptr);
        EXPECT_EQ(pln->Caption(), Cp("Солнце"));
        EXPECT_NE(pln->Values[31]->Caption().find(':'), std::string::npos); // sunrise
    }
    // the menu's "To the Sun"
    form1->RunItem("N_Return");
    EXPECT_EQ(Bodies().CosmosMode, 1);
    EXPECT_FALSE(Visible("PlnForm"));
}

TEST_F(CosmosSteeringTest, KeysAndPanButtonsTurnAndZoomTheView) {
    Bodies().ModeAngleZ(1) = 1;
    Bodies().ModeAngleX(1) = 1;
    int key = vk::Numpad0 + 4;
    form1->FormKeyDown(key, 0);
    EXPECT_NEAR(Bodies().ModeAngleZ(1), 1 + 0.1 * kDegToRad, 1e-12);
    key = vk::Numpad0 + 8;
    form1->FormKeyDown(key, ssCtrl);
    EXPECT_NEAR(Bodies().ModeAngleX(1), 1 - kDegToRad, 1e-12);
    program->Svc.Screens['S'].Pan("LeftPan");
    EXPECT_NEAR(Bodies().ModeAngleZ(1), 1 + 1.1 * kDegToRad, 1e-12);
    const double scale = Bodies().CosmosScale(1);
    program->Svc.Screens['S'].Pan("PanIn");
    EXPECT_NEAR(Bodies().CosmosScale(1), scale * 0.9999 / 1.01, 1e-9);
    key = 'Q'; // with Alt it is not a menu key: the view turns 10°
    form1->FormKeyDown(key, ssAlt);
    EXPECT_NEAR(Bodies().ModeAngleZ(1), 1 + 11.1 * kDegToRad, 1e-9);
}

TEST_F(CosmosSteeringTest, SetOrbitPosThroughTheCommandLink) {
    WatchRedraws();
    Command("SetOrbitPos;6;0:05;1:25;-0,5");
    EXPECT_EQ(Bodies().CosmosMode, 6);
    EXPECT_DOUBLE_EQ(Bodies().CosmosScale(6), 0.05);
    EXPECT_DOUBLE_EQ(Bodies().ModeAngleX(6), 1.25);
    EXPECT_DOUBLE_EQ(Bodies().ModeAngleZ(6), -0.5);
    EXPECT_EQ(redraws, 1);
    EXPECT_TRUE(SendLines().empty());
    Command("SetOrbitPos;23;1;0;0");
    const std::vector<std::string> answer = SendLines();
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_TRUE(answer[0].starts_with("Error;")) << answer[0];
    EXPECT_EQ(Bodies().CosmosMode, 6);
    EXPECT_EQ(redraws, 1);
}

TEST_F(CosmosSteeringTest, RunOrbitPosWaitsAndEmptiesTheAnswerFile) {
    Bodies().CosmosMode = 1;
    Bodies().ModeAngleX(1) = 0;
    WatchRedraws();
    Command("RunOrbitPos;Q;0:01;5");
    EXPECT_EQ(redraws, 5);
    EXPECT_EQ(duringRun, std::vector<std::string>{"Wait"});
    EXPECT_TRUE(SendLines().empty());
    EXPECT_NEAR(Bodies().ModeAngleX(1), 0.05, 1e-12);
    // a count of 0 redraws nothing and still leaves the file empty
    Command("RunOrbitPos;Q;0:01;0");
    EXPECT_EQ(redraws, 5);
    EXPECT_TRUE(SendLines().empty());
    for (const char* bad : {"RunOrbitPos;Q;0:01;10001", "RunOrbitPos;D;1;-3"}) {
        ASSERT_TRUE(SaveFileAtomic(dir.path() / "msg" / "send.tmp", "").ok());
        Command(bad);
        const std::vector<std::string> answer = SendLines();
        ASSERT_EQ(answer.size(), 1u) << bad;
        EXPECT_TRUE(answer[0].starts_with("Error;")) << answer[0];
    }
    EXPECT_EQ(redraws, 5);
    EXPECT_NEAR(Bodies().ModeAngleX(1), 0.05, 1e-12);
}

TEST_F(CosmosSteeringTest, SatellitesWindowKeepsPhoebesSwitchThroughARestart) {
    Bodies().CosmosMode = 7;
    ASSERT_TRUE(form1->RunItem("N_Orbites"));
    auto* sat = dynamic_cast<TSatData*>(Screen().FindForm("SatData"));
    ASSERT_NE(sat, nullptr);
    EXPECT_EQ(sat->DrawGrid->RowCount(), 19);
    EXPECT_EQ(sat->Caption(), Cp("Сатурн - спутники"));
    sat->SetAllOrbits(true);
    sat->DrawGrid->SetRow(18); // Phoebe
    sat->PopupMenuPopup();
    EXPECT_TRUE(sat->N2->Checked());
    EXPECT_NE(sat->N1->Caption().find(Cp("Феба")), std::string::npos);
    sat->N2Click();
    EXPECT_EQ(Bodies().OrbitFlags[7][18], 0);
    EXPECT_EQ(Bodies().OrbitFlags[7][17], 1);
    sat->Close();
    Start();
    form1->SwitchScreen('S');
    Bodies().CosmosMode = 7;
    ASSERT_TRUE(form1->RunItem("N_Orbites"));
    EXPECT_EQ(Bodies().OrbitFlags[7][18], 0);
    EXPECT_EQ(Bodies().OrbitFlags[7][17], 1);
    // the star view has no satellites
    Screen().FindForm("SatData")->Close();
    Bodies().CosmosMode = -1;
    ShowSatellites(Cosmos());
    EXPECT_EQ(dynamic_cast<TSatData*>(Screen().FindForm("SatData"))->DrawGrid->RowCount(), 1);
}

TEST_F(CosmosSteeringTest, SurfaceDesignerThroughItsCommandPaths) {
    Bodies().CosmosMode = 5;
    auto* des = dynamic_cast<qor::TImgDes*>(Screen().FindForm("ImgDes"));
    ASSERT_NE(des, nullptr);
    des->show();
    const int before = des->Regions().LastIndex;
    auto run = [this](const std::string& target, const std::string& value) {
        program->Commands.RunUICommand(target, value);
    };
    run("ImgDes,LEdit", "10");
    run("ImgDes,BEdit", "-20");
    run("ImgDes,REdit", "0,5");
    run("ImgDes,NameEdit", "Test");
    run("ImgDes,ComboBox1", Cp("Кольцо"));
    run("ImgDes,CreateButton", "");
    ASSERT_EQ(des->Regions().LastIndex, before + 1);
    const SurfaceRecord& made = des->Regions().Records[before + 1];
    EXPECT_EQ(made.Lon, 10);
    EXPECT_EQ(made.Lat, -20);
    EXPECT_EQ(made.Radius, 50);
    EXPECT_EQ(made.Shape, 1);
    SurfaceRegions onDisk;
    ASSERT_TRUE(LoadSurfaceRegions(program->s, 5, CosmosModeSlot(5), onDisk));
    EXPECT_EQ(onDisk.LastIndex, before + 1);
    // a value beyond the record's range is refused with a message
    const std::size_t asked = dialogs.asked.size();
    run("ImgDes,LEdit", "400");
    run("ImgDes,ChangeButton", "");
    EXPECT_EQ(dialogs.asked.size(), asked + 1);
    EXPECT_EQ(des->Regions().Records[before + 1].Lon, 10);
    run("ImgDes,LEdit", "-45");
    run("ImgDes,ChangeButton", "");
    EXPECT_EQ(des->Regions().Records[before + 1].Lon, -45);
    run("ImgDes,DeleteButton", "");
    EXPECT_EQ(des->Regions().LastIndex, before);
    // multiplying stops at 256 records
    while (des->Regions().LastIndex + 10 <= 249) run("ImgDes,MultButton", "");
    run("ImgDes,LEdit", "5");
    while (des->Regions().LastIndex < 249) run("ImgDes,CreateButton", "");
    ASSERT_EQ(des->Regions().LastIndex, 249); // 250 records
    run("ImgDes,MultButton", "");
    EXPECT_EQ(des->Regions().LastIndex, 255);
    run("ImgDes,MultButton", "");
    run("ImgDes,CreateButton", "");
    EXPECT_EQ(des->Regions().LastIndex, 255);
    // a save that fails is reported and leaves both files as they were
    const fs::path img = program->s.DataPath(SurfaceImgName(5));
    const fs::path nme = program->s.DataPath(SurfaceNmeName(5));
    const std::string imgBefore = test::TempDir::Read(img), nmeBefore = test::TempDir::Read(nme);
    fs::create_directories(img.string() + ".tmp"); // the temporary file cannot be made
    const std::size_t before2 = dialogs.asked.size();
    run("ImgDes,DeleteButton", "");
    EXPECT_GT(dialogs.asked.size(), before2);
    EXPECT_EQ(test::TempDir::Read(img), imgBefore);
    EXPECT_EQ(test::TempDir::Read(nme), nmeBefore);
}

} // namespace
} // namespace qor::shell
