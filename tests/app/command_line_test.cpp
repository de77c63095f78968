// The two readings of the command line: the substring scan and our own double-dash options.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "core/globals.h"

namespace {

struct Argv {
    explicit Argv(std::initializer_list<const char*> words) {
        store.emplace_back("velunar");
        for (const char* w : words) store.emplace_back(w);
        for (auto& s : store) ptrs.push_back(s.data());
    }
    int argc() const { return static_cast<int>(ptrs.size()); }
    char** argv() { return ptrs.data(); }
    std::vector<std::string> store;
    std::vector<char*> ptrs;
};

struct Switches {
    BYTE debug;
    BYTE full;
};

Switches Scan(const char* line) {
    g_bDebug = 0;
    g_bFullScreen = 1;
    ScanSwitches(line);
    return {g_bDebug, g_bFullScreen};
}

TEST(Switches, SubstringScanWithWinTestedLast) {
    EXPECT_EQ(Scan("").full, 1);
    EXPECT_EQ(Scan("").debug, 0);
    EXPECT_EQ(Scan("-win").full, 0);
    EXPECT_EQ(Scan("-full").full, 1);
    EXPECT_EQ(Scan("-win -full").full, 0);
    EXPECT_EQ(Scan("-full -win").full, 0);
    EXPECT_EQ(Scan("-debug").debug, 1);
    EXPECT_EQ(Scan("-debug").full, 1);
    // Any word that merely contains a switch counts, wherever it stands.
    EXPECT_EQ(Scan("-window").full, 0);
    EXPECT_EQ(Scan("x-debugger").debug, 1);
    EXPECT_EQ(Scan("--shot my-win.png").full, 0);
    EXPECT_EQ(Scan("-WIN").full, 1);
}

TEST(Switches, JoinedLineHoldsEveryArgument) {
    Argv a({"-debug", "--start", "12"});
    EXPECT_EQ(JoinCommandLine(a.argc(), a.argv()), "-debug --start 12");
    Argv none({});
    EXPECT_EQ(JoinCommandLine(none.argc(), none.argv()), "");
}

TEST(Options, OurOwnNeverTripTheSwitches) {
    Argv a({"--help", "--version", "--at", "1", "--shot", "a.png", "--start", "2", "--capture", "v.mp4", "--fps",
            "30", "--setup", "--scale", "auto", "--loop", "--gentle", "--fill"});
    const Switches s = Scan(JoinCommandLine(a.argc(), a.argv()).c_str());
    EXPECT_EQ(s.debug, 0);
    EXPECT_EQ(s.full, 1);
}

TEST(Options, ParsedValues) {
    VelunarOptions o;
    std::string err;
    Argv at({"-win", "--at", "-5", "--shot", "f.png"});
    ASSERT_TRUE(ParseOptions(at.argc(), at.argv(), o, err)) << err;
    EXPECT_TRUE(o.hasAt);
    EXPECT_DOUBLE_EQ(o.at, -5.0);
    EXPECT_EQ(o.shot, "f.png");
    Argv eq({"--start=170", "-debug", "stray"});
    ASSERT_TRUE(ParseOptions(eq.argc(), eq.argv(), o, err)) << err;
    EXPECT_TRUE(o.hasStart);
    EXPECT_DOUBLE_EQ(o.start, 170.0);
    EXPECT_FALSE(o.hasAt);
    EXPECT_FALSE(o.loop || o.gentle || o.fill);
    Argv watch({"--loop", "--gentle", "--capture", "v.mp4"});
    ASSERT_TRUE(ParseOptions(watch.argc(), watch.argv(), o, err)) << err;
    EXPECT_TRUE(o.loop && o.gentle);
    Argv valued({"--gentle=1"});
    EXPECT_FALSE(ParseOptions(valued.argc(), valued.argv(), o, err));
    // --fill only changes what the screen shows: shots and captures take it and keep the picture.
    Argv fill({"--fill", "--at", "3", "--shot", "f.png"});
    ASSERT_TRUE(ParseOptions(fill.argc(), fill.argv(), o, err)) << err;
    EXPECT_TRUE(o.fill);
    Argv fillValued({"--fill=yes"});
    EXPECT_FALSE(ParseOptions(fillValued.argc(), fillValued.argv(), o, err));
    Argv cap({"--capture", "v.mp4", "--fps", "30"});
    ASSERT_TRUE(ParseOptions(cap.argc(), cap.argv(), o, err)) << err;
    EXPECT_EQ(o.capture, "v.mp4");
    EXPECT_EQ(o.fps, 30);
    Argv defaults({"--capture", "v.mp4"});
    ASSERT_TRUE(ParseOptions(defaults.argc(), defaults.argv(), o, err));
    EXPECT_EQ(o.fps, 60);
    Argv setup({"-win", "--setup", "--start", "20"});
    ASSERT_TRUE(ParseOptions(setup.argc(), setup.argv(), o, err)) << err;
    EXPECT_TRUE(o.setup);
    EXPECT_TRUE(o.hasStart);
    EXPECT_DOUBLE_EQ(o.from, -5.0);
    EXPECT_DOUBLE_EQ(o.to, 170.0);
    Argv span({"--capture", "v.mkv", "--from", "10.5", "--to=12", "--crf", "23.5"});
    ASSERT_TRUE(ParseOptions(span.argc(), span.argv(), o, err)) << err;
    EXPECT_DOUBLE_EQ(o.from, 10.5);
    EXPECT_DOUBLE_EQ(o.to, 12.0);
    EXPECT_DOUBLE_EQ(o.crf, 23.5);
    EXPECT_EQ(o.scale, 1);
    Argv scaled({"--capture", "v.mp4", "--scale", "4"});
    ASSERT_TRUE(ParseOptions(scaled.argc(), scaled.argv(), o, err)) << err;
    EXPECT_EQ(o.scale, 4);
    Argv fit({"--scale=auto", "-full"});
    ASSERT_TRUE(ParseOptions(fit.argc(), fit.argv(), o, err)) << err;
    EXPECT_EQ(o.scale, 0);
    // Help wins over anything else on the line.
    Argv help({"--at", "3", "--help"});
    ASSERT_TRUE(ParseOptions(help.argc(), help.argv(), o, err));
    EXPECT_TRUE(o.help);
}

TEST(Options, DoubleDashWordsHoldingASwitchAreThatSwitch) {
    VelunarOptions o;
    std::string err;
    Argv plain({"--win", "--debug", "--fullscreen", "--win=1", "--no-window"});
    ASSERT_TRUE(ParseOptions(plain.argc(), plain.argv(), o, err)) << err;
    Argv shot({"--window", "--at", "3", "--shot", "a.png", "--debug"});
    ASSERT_TRUE(ParseOptions(shot.argc(), shot.argv(), o, err)) << err;
    EXPECT_TRUE(o.hasAt);
    EXPECT_EQ(o.shot, "a.png");
    Argv setup({"--fullscreen", "--setup", "--start=20"});
    ASSERT_TRUE(ParseOptions(setup.argc(), setup.argv(), o, err)) << err;
    EXPECT_TRUE(o.setup);
    EXPECT_DOUBLE_EQ(o.start, 20.0);
    const Switches s = Scan(JoinCommandLine(plain.argc(), plain.argv()).c_str());
    EXPECT_EQ(s.debug, 1);
    EXPECT_EQ(s.full, 0);
    EXPECT_EQ(Scan("--fullscreen").full, 1);
    // The rules between our own options still hold beside them.
    Argv lone({"--win", "--at", "3"});
    EXPECT_FALSE(ParseOptions(lone.argc(), lone.argv(), o, err));
    EXPECT_NE(err.find("go together"), std::string::npos) << err;
    Argv other({"--debug", "--windy"});
    ASSERT_TRUE(ParseOptions(other.argc(), other.argv(), o, err)) << err;
    Argv near({"--debu", "--wi"});
    EXPECT_FALSE(ParseOptions(near.argc(), near.argv(), o, err));
    EXPECT_NE(err.find("unknown option '--debu'"), std::string::npos) << err;
}

TEST(Options, ErrorsNameTheProblem) {
    struct Case {
        std::initializer_list<const char*> words;
        const char* inError;
    };
    const Case cases[] = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--at"}, "--at needs a value"},
        {{"--at", "170.5", "--shot", "a.png"}, "outside"},
        {{"--at", "-5.01", "--shot", "a.png"}, "outside"},
        {{"--start", "1e9"}, "outside"},
        {{"--start", "ten"}, "needs a number"},
        {{"--start", "nan"}, "needs a number"},
        {{"--at", "3"}, "go together"},
        {{"--shot", "a.png"}, "go together"},
        {{"--fps", "30"}, "goes with --capture"},
        {{"--capture", "v.mp4", "--fps", "0"}, "--fps needs"},
        {{"--capture", "v.mp4", "--fps", "2.5"}, "--fps needs"},
        {{"--from", "3"}, "--from goes with --capture"},
        {{"--crf", "20"}, "--crf goes with --capture"},
        {{"--capture", "v.mp4", "--from", "12", "--to", "12"}, "--from must come before --to"},
        {{"--capture", "v.mp4", "--to", "-5"}, "--from must come before --to"},
        {{"--capture", "v.mp4", "--to", "171"}, "outside"},
        {{"--capture", "v.mp4", "--crf", "52"}, "--crf needs"},
        {{"--capture", "v.mp4", "--crf", "high"}, "--crf needs"},
        {{"--capture", "v.mp4", "--start", "3"}, "exclude"},
        {{"--help=yes"}, "takes no value"},
        {{"--at", "3", "--shot", "a.png", "--start", "4"}, "exclude"},
        {{"--setup", "--capture", "v.mp4"}, "--setup goes with a run in a window"},
        {{"--setup", "--at", "3", "--shot", "a.png"}, "--setup goes with a run in a window"},
        {{"--setup=1"}, "takes no value"},
        {{"--scale"}, "--scale needs a value"},
        {{"--scale", "0"}, "--scale needs a factor from 1 to 4, or auto, not '0'"},
        {{"--scale", "5"}, "not '5'"},
        {{"--scale", "x"}, "not 'x'"},
        {{"--scale", "2x"}, "not '2x'"},
        {{"--scale="}, "not ''"},
        {{"--scale", "auto", "--at", "3", "--shot", "a.png"}, "--scale auto fits the picture to a display"},
        {{"--scale", "auto", "--capture", "v.mp4"}, "--scale auto fits the picture to a display"},
    };
    for (const Case& c : cases) {
        Argv a(c.words);
        VelunarOptions o;
        std::string err;
        EXPECT_FALSE(ParseOptions(a.argc(), a.argv(), o, err)) << a.store[1];
        EXPECT_NE(err.find(c.inError), std::string::npos) << err;
    }
}

}  // namespace
