// sky_program_test.cpp — the demo's start-up, frame loop, image check and shutdown, run against
// the recording engine and the scripted window: the exact call sequence and values of start-up,
// the calls of one frame, the printed sun angle, W, mouse look, keys and the exit status.
#include <gmock/gmock.h>

#include "demo_fixture.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

char arg0[] = "game";
char* argv[] = {arg0, nullptr};

class ProgramTest : public DemoTest {
 protected:
  void StartUp() {
    STARTUP(1, argv);
    NameHandles();
    // The ground plane is the entry procedure's local; name it from the log.
    for (const auto& call : recorder::Calls()) {
      if (call.name == "CreatePlane") names_[call.result] = "WATERPLANE";
    }
    startupCalls_ = recorder::Calls().size();
  }
  // Runs the loop as the entry procedure does; returns the number of frames and the exit status.
  std::pair<int, int> RunLoopAndShutdown() {
    int frames = 0;
    bool more = true;
    while (more) {
      more = FRAME();
      ++frames;
    }
    try {
      SHUTDOWN();
    } catch (const fakewindow::ProgramEnded& ended) {
      return {frames, ended.status};
    }
    return {frames, -1};  // not reached: SHUTDOWN always ends the program
  }
  std::vector<std::string> PrintedTexts() const {
    std::vector<std::string> texts;
    for (const auto& call : recorder::Calls()) {
      if (call.name == "DrawText") texts.push_back(std::get<std::string>(call.args[2]));
    }
    return texts;
  }
  std::size_t startupCalls_ = 0;
};

TEST_F(ProgramTest, StartUpBuildsTheSkySceneInOrder) {
  StartUp();
  const std::string in = "ChangeDirectory(\"/opt/sky/bin/data/gfx/\")";
  const std::string out = "ChangeDirectory(\"/opt/sky/bin\")";
  EXPECT_THAT(CallTexts(), ElementsAreArray<std::string>({
                               "StartRuntime(1)",
                               "SCREENRES(1024, 768, 32, 1, 0)",
                               "Graphics3D(1024, 768, 32, 0, 60)",
                               "CreateCamera(0) -> CAMERA",
                               "CreateLight(2, 0) -> LIGHT",
                               "TurnEntity(LIGHT, 90, 0, 0, 0)",
                               "CreateSphere(8, 0) -> SKYSPHERE",
                               in,
                               "LoadTexture(\"test.png\", 1) -> SKYSPHERETEX",
                               "EntityTexture(SKYSPHERE, SKYSPHERETEX, 0, 0)",
                               "LoadTexture(\"stars.png\", 1) -> STARSPHERETEX",
                               "ScaleTexture(STARSPHERETEX, 0.5, 0.5)",
                               "LoadTexture(\"test2.png\", 1) -> DARKSPHERETEX",
                               out,
                               "FlipMesh(SKYSPHERE)",
                               "ScaleEntity(SKYSPHERE, 500, 500, 500, 0)",
                               "CreateSphere(8, 0) -> STARSPHERE",
                               "FlipMesh(STARSPHERE)",
                               "ScaleEntity(STARSPHERE, 501, 501, 501, 0)",
                               "EntityTexture(STARSPHERE, STARSPHERETEX, 0, 0)",
                               "CreateSphere(8, 0) -> DARKSPHERE",
                               "FlipMesh(DARKSPHERE)",
                               "ScaleEntity(DARKSPHERE, 500.5, 500.5, 500.5, 0)",
                               "EntityTexture(DARKSPHERE, DARKSPHERETEX, 0, 0)",
                               in,
                               "LoadSprite(\"sun.png\", 1, 0) -> SUNSPRITE",
                               "EntityBlend(SUNSPRITE, 3)",
                               "ScaleSprite(SUNSPRITE, 7, 7)",
                               "LoadSprite(\"moon.png\", 2, 0) -> MOONSPRITE",
                               "LoadSprite(\"moonmask.png\", 1, 0) -> MOONMASK",
                               "LoadSprite(\"moonhof.png\", 1, 0) -> MOONHOF",
                               "LoadSprite(\"sunhof2.png\", 1, 0) -> MOONHOF2",
                               "LoadSprite(\"sunhof.png\", 1, 0) -> SUNHOF",
                               "LoadSprite(\"sunhof2.png\", 1, 0) -> SUNHOF2",
                               "LoadSprite(\"sunhof2.png\", 1, 0) -> SUNHOF3",
                               "ScaleSprite(SUNHOF, 240, 110)",
                               "ScaleSprite(MOONHOF, 13, 13)",
                               "ScaleSprite(MOONSPRITE, 7, 7)",
                               "ScaleSprite(MOONMASK, 7, 7)",
                               "ScaleSprite(SUNHOF2, 60, 60)",
                               "ScaleSprite(SUNHOF3, 340, 210)",
                               "EntityBlend(SUNHOF, 3)",
                               "ScaleSprite(MOONHOF2, 140, 140)",
                               out,
                               "CreatePivot(0) -> SUNPIVOT",
                               "EntityParent(SUNSPRITE, SUNPIVOT, 1)",
                               "EntityParent(SUNHOF, SUNPIVOT, 1)",
                               "EntityParent(SUNHOF2, SUNPIVOT, 1)",
                               "EntityParent(SUNHOF3, SUNPIVOT, 1)",
                               "EntityParent(LIGHT, SUNPIVOT, 1)",
                               "EntityFX(SUNHOF, 16)",
                               "PositionEntity(SUNSPRITE, 0, 0, 99, 0)",
                               "PositionEntity(MOONHOF, 0, 30, 100, 0)",
                               "PositionEntity(MOONHOF2, 0, 30, 100, 0)",
                               "PositionEntity(MOONSPRITE, 0, 30, 99, 0)",
                               "PositionEntity(MOONMASK, 0, 30, 101, 0)",
                               "PositionEntity(SUNHOF, 0, 0, 100, 0)",
                               "PositionEntity(SUNHOF3, 0, 0, 102, 0)",
                               "PositionEntity(SUNHOF2, 0, 0, 101, 0)",
                               "EntityFX(SUNHOF, 16)",
                               "EntityFX(SUNHOF2, 16)",
                               "EntityFX(SUNHOF3, 16)",
                               "EntityOrder(SUNSPRITE, -2)",
                               "EntityOrder(SUNHOF, -2)",
                               "EntityOrder(SUNHOF2, -2)",
                               "EntityOrder(SUNHOF3, -2)",
                               "EntityOrder(MOONSPRITE, -2)",
                               "EntityOrder(MOONHOF, -1)",
                               "MeshCullRadius(SUNSPRITE, 2000000)",
                               "MeshCullRadius(SUNHOF, 2000000)",
                               "MeshCullRadius(SUNHOF2, 2000000)",
                               "MeshCullRadius(SUNHOF3, 2000000)",
                               "MeshCullRadius(MOONSPRITE, 2000000)",
                               "MeshCullRadius(MOONHOF, 2000000)",
                               "MeshCullRadius(MOONHOF2, 2000000)",
                               "GetScreenSize()",
                               "SetMouseState(512, 384, 0, 0)",
                               "CreatePlane(1, 0) -> WATERPLANE",
                               "EntityOrder(WATERPLANE, -3)",
                               "PositionEntity(WATERPLANE, 0, -10, 0, 0)",
                               in,
                               "LoadTexture(\"clouds.png\", 2) -> CLOUDSTEX",
                               "ScaleTexture(CLOUDSTEX, 0.125, 0.125)",
                               "CreateSprite(0) -> CLOUDS",
                               "EntityTexture(CLOUDS, CLOUDSTEX, 0, 0)",
                               "ScaleSprite(CLOUDS, 5000, 5000)",
                               "SpriteViewMode(CLOUDS, 2)",
                               "PositionEntity(CLOUDS, 0, 200, 0, 0)",
                               "EntityFX(CLOUDS, 17)",
                               "PointEntity(CLOUDS, CAMERA, 0)",
                               "MeshCullRadius(CLOUDS, 2000000)",
                               "EntityOrder(CLOUDS, -1)",
                               out,
                           }));
  EXPECT_EQ(MOUSEX, 512);
  EXPECT_EQ(MOUSEY, 384);
}

TEST_F(ProgramTest, UnknownExeDirectoryLooksUnderTheRoot) {
  fakewindow::script().exeDirectory = "";
  StartUp();
  EXPECT_THAT(CallTexts(0, {"ChangeDirectory"}),
              ElementsAre("ChangeDirectory(\"/data/gfx/\")", "ChangeDirectory(\"\")",
                          "ChangeDirectory(\"/data/gfx/\")", "ChangeDirectory(\"\")",
                          "ChangeDirectory(\"/data/gfx/\")", "ChangeDirectory(\"\")"));
}

TEST_F(ProgramTest, OneFrameMakesItsCallsInOrder) {
  StartUp();
  ASSERT_TRUE(FRAME());
  EXPECT_THAT(CallTexts(startupCalls_), ElementsAreArray<std::string>({
                                            "CameraRange(CAMERA, 1, 1e+10)",
                                            "SleepMilliseconds(1)",
                                            "GetMouseState()",
                                            "IsKeyDown(17)",
                                            "EntityColor(SUNHOF, 255, 255, 83)",
                                            "EntityColor(SUNHOF3, 255, 255, 83)",
                                            "EntityColor(SUNHOF2, 255, 255, 83)",
                                            "EntityAlpha(CLOUDS, 1)",
                                            "EntityAlpha(SKYSPHERE, 1)",
                                            "EntityAlpha(DARKSPHERE, 1)",
                                            "EntityColor(SKYSPHERE, 255, 255, 255)",
                                            "EntityAlpha(MOONHOF, 0)",
                                            "EntityAlpha(MOONSPRITE, 0)",
                                            "EntityAlpha(MOONHOF2, 0)",
                                            "EntityAlpha(SUNHOF, 0)",
                                            "EntityAlpha(SUNHOF3, 0)",
                                            "RotateEntity(SUNPIVOT, 90.1999969, 0, 0, 0)",
                                            "UpdateWorld(1)",
                                            "RenderWorld()",
                                            "LockPage()",
                                            "ClearPage()",
                                            "DrawText(10, 10, \"90.2\")",
                                            "UnlockPage()",
                                            "SCREENSYNC()",
                                            "ReadKey()",
                                        }));
}

TEST_F(ProgramTest, KeysAreReadOnePerFrameAndOnlyEscapeEndsTheLoop) {
  // A letter, a window-manager close request, then Escape: three frames, exit status 0.
  fakewindow::script().keys = {"a",
                               "\xff"
                               "k",
                               "\x1b", "b"};
  StartUp();
  const auto [frames, status] = RunLoopAndShutdown();
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(status, 0);
  EXPECT_THAT(PrintedTexts(), ElementsAre("90.2", "90.40000000000001", "90.60000000000001"));
  auto tail = CallTexts(recorder::Calls().size() - 3);
  EXPECT_THAT(tail, ElementsAre("ReadKey()", "ClearWorld(1, 1, 1)", "EndProgram(0)"));
}

TEST_F(ProgramTest, HoldingWAddsATenthPerFrame) {
  fakewindow::script().wHeld = true;
  fakewindow::script().keys = {"", "", "", "", "", "", "", "", "", "\x1b"};
  StartUp();
  RunLoopAndShutdown();
  const auto printed = PrintedTexts();
  ASSERT_EQ(printed.size(), 10u);
  EXPECT_EQ(printed[0], "90.3");
  EXPECT_NEAR(SUNANGLE, 93.0, 1e-9);  // 0.1 here, 0.2 in UPDATESKY, ten frames
}

TEST_F(ProgramTest, MouseLookTurnsByOneDegreePerPixelAndRecentres) {
  using fakewindow::MouseRead;
  fakewindow::script().mouse = {
      MouseRead{0, 517, 387},  // 5 right, 3 down: yaw -5, pitch -3
      MouseRead{0, 512, 384},  // at the centre: no turn
      MouseRead{1, -1, -1},    // no focus: nothing, not even a recentre
      MouseRead{0, 512, 184},  // 200 up: pitch -3 + 200, unbounded
  };
  fakewindow::script().keys = {"", "", "", "\x1b"};
  StartUp();
  RunLoopAndShutdown();
  EXPECT_THAT(CallTexts(startupCalls_, {"RotateEntity", "SetMouseState", "SleepMilliseconds"}),
              ElementsAre("SleepMilliseconds(1)",  // frame 1
                          "RotateEntity(CAMERA, -3, -5, 0, 0)", "SetMouseState(512, 384, -1, -1)",
                          "SleepMilliseconds(1)", "RotateEntity(SUNPIVOT, 90.1999969, 0, 0, 0)",
                          "SleepMilliseconds(1)",  // frame 2
                          "RotateEntity(SUNPIVOT, 90.4000015, 0, 0, 0)",
                          "SleepMilliseconds(1)",  // frame 3
                          "RotateEntity(SUNPIVOT, 90.5999985, 0, 0, 0)",
                          "SleepMilliseconds(1)",  // frame 4
                          "RotateEntity(CAMERA, 197, -5, 0, 0)", "SetMouseState(512, 384, -1, -1)",
                          "SleepMilliseconds(1)", "RotateEntity(SUNPIVOT, 90.8000031, 0, 0, 0)"));
  EXPECT_EQ(CAMERAPITCH, 197);
  EXPECT_EQ(CAMERAYAW, -5);
}

TEST_F(ProgramTest, MissingImagesEndTheProgramWithOneLineNamingThem) {
  recorder::FailLoadsOf({"sun.png", "sunhof2.png", "clouds.png"});
  StartUp();
  // Every load is still attempted: start-up tests no result.
  EXPECT_EQ(CallTexts(0, {"LoadTexture", "LoadSprite"}).size(), 12u);
  ::testing::internal::CaptureStderr();
  int status = -1;
  try {
    CHECKIMAGES();
  } catch (const fakewindow::ProgramEnded& ended) {
    status = ended.status;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "game: missing or unreadable images in /opt/sky/bin/data/gfx/: sun.png, "
            "sunhof2.png, clouds.png\n");
  EXPECT_EQ(status, 1);
  EXPECT_THAT(CallTexts(startupCalls_), ElementsAre("ClearWorld(1, 1, 1)", "EndProgram(1)"));
}

TEST_F(ProgramTest, AllImagesPresentPassesTheCheckSilently) {
  StartUp();
  ::testing::internal::CaptureStderr();
  CHECKIMAGES();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_THAT(CallTexts(startupCalls_), IsEmpty());
}

}  // namespace
