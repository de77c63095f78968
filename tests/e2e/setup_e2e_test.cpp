// velunar --setup in a real X server: the sound setup dialog holds start-up back while it is
// open, Return plays the show with its choices, Escape or closing the window ends with status 0.
#include "e2e/x_session.h"

namespace {

class SetupRun : public WindowRun {
protected:
    // Waits until the log holds `text`; false after `limit`.
    bool LogShows(const std::string& text, std::chrono::seconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            if (Log().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }
    bool Running() { return waitpid(pid_, nullptr, WNOHANG) == 0; }
};

// Start-up's first log lines come from the texture manager, right after the renderer.
constexpr const char* kStartUpLine = "CTextureManager::";

TEST_F(SetupRun, TheShowWaitsForTheDialogAndReturnStartsIt) {
    Start({"-win", "--setup", "-debug"});
    const std::string id = FindWindow();
    ASSERT_FALSE(id.empty()) << "no window with the demo's class appeared" << LogSoFar();
    // The dialog is up: nothing of start-up has run, however long it stays open.
    std::this_thread::sleep_for(2s);
    ASSERT_TRUE(Running());
    EXPECT_NE(Log().find("CLogger::CLogger : Starting debug session"), std::string::npos);
    EXPECT_EQ(Log().find(kStartUpLine), std::string::npos) << Log();

    Press(id, "Return");
    ASSERT_TRUE(LogShows(kStartUpLine, 30s)) << Log();
    // The defaults of the library as the dialog showed them: 44100 Hz, Direct Sound, the first driver.
    EXPECT_NE(Log().find("RunSoundSetup : 44100 Hz, output 2, driver 0 \"Default device\""), std::string::npos)
        << Log();
    const auto status = EscapeUntilExit(id, 60s);
    pid_ = -1;
    ASSERT_TRUE(status.has_value()) << "still running after Escape" << LogSoFar();
    EXPECT_EQ(*status, 0);
}

TEST_F(SetupRun, EscapeEndsWithStatusZeroBeforeStartUp) {
    Start({"-win", "--setup", "-debug"});
    const std::string id = FindWindow();
    ASSERT_FALSE(id.empty()) << "no window with the demo's class appeared" << LogSoFar();
    std::this_thread::sleep_for(500ms);
    Press(id, "Escape");
    const auto status = WaitFor(pid_, 30s);
    pid_ = -1;
    ASSERT_TRUE(status.has_value()) << "still running after Escape" << LogSoFar();
    EXPECT_EQ(*status, 0);
    EXPECT_NE(Log().find("RunSoundSetup : Cancelled"), std::string::npos) << Log();
    EXPECT_EQ(Log().find(kStartUpLine), std::string::npos) << Log();
    EXPECT_NE(Log().find("CLogger::~CLogger : Ending debug session"), std::string::npos) << Log();
}

TEST_F(SetupRun, ClosingTheWindowIsCancelAndTheLogGoesWithoutDebug) {
    Start({"-win", "--setup"});
    ASSERT_FALSE(FindWindow().empty());
    std::this_thread::sleep_for(500ms);
    // A termination signal closes the window as its close box does.
    kill(pid_, SIGTERM);
    const auto status = WaitFor(pid_, 30s);
    pid_ = -1;
    ASSERT_TRUE(status.has_value()) << "still running after the close";
    EXPECT_EQ(*status, 0);
    EXPECT_FALSE(fs::exists(dir_ / "debug.txt"));
}

}  // namespace
