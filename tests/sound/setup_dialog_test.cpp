// The sound setup dialog's procedure against a recording stand-in for the sound library: what it
// shows for what the library reports, the driver list following the output type, OK and Cancel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_fmod.h"
#include "platform/dialog/dialog_internal.h"
#include "sound/setup_dialog.h"

namespace {

using fake_fmod::SetCalls;
using Strings = std::vector<std::string>;

const int kRadios[] = {IDC_RATE_44100, IDC_RATE_22050, IDC_RATE_11025, IDC_RATE_8000, IDC_RATE_48000};

class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_fmod::Reset();
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "setup dialog test owner";
        RegisterClassExA(&wc);
        owner_ = CreateWindowExA(0, wc.lpszClassName, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
        RegisterSoundSetupTemplate();
    }
    void TearDown() override {
        if (owner_) DestroyWindow(owner_);
    }
    HWND Open() {
        HWND d = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_SOUNDSETUP), owner_, SoundSetupDialogProc,
                                    reinterpret_cast<LPARAM>(&rate_));
        EXPECT_NE(d, nullptr);
        return d;
    }
    static LRESULT Item(HWND d, int id, UINT msg, WPARAM w = 0, LPARAM l = 0) {
        return SendDlgItemMessageA(d, id, msg, w, l);
    }
    static Strings Entries(HWND d, int id) {
        Strings out;
        for (LRESULT i = 0; i < Item(d, id, CB_GETCOUNT); ++i) {
            char buf[128] = {};
            Item(d, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
            out.emplace_back(buf);
        }
        return out;
    }
    static int Selection(HWND d, int id) { return static_cast<int>(Item(d, id, CB_GETCURSEL)); }
    static std::vector<int> CheckedRadios(HWND d) {
        std::vector<int> out;
        for (int id : kRadios)
            if (Item(d, id, BM_GETCHECK) == BST_CHECKED) out.push_back(id);
        return out;
    }
    static void Choose(HWND d, int id, int index) { velunar::dialog::UserChooseEntry(GetDlgItem(d, id), index); }
    static void Click(HWND d, int id) { Item(d, id, BM_CLICK); }
    static const velunar::dialog::Dialog& Record(HWND d) { return *velunar::dialog::FindDialog(d); }

    HWND owner_ = nullptr;
    int rate_ = 12345;
};

TEST_F(SetupDialogTest, ListsHoldTheirEntriesAsTheyStandWithTheirValues) {
    HWND d = Open();
    EXPECT_EQ(Entries(d, IDC_OUTPUT), (Strings{"Direct Sound", "Windows Multimedia WaveOut", "A3D"}));
    EXPECT_EQ(Entries(d, IDC_MIXER),
              (Strings{"Autodetect", "No Interpolation - Non MMX", "No Interpolation - Pentium MMX",
                       "No Interpolation - P6/P2/P3+ MMX", "Interpolation/Volume Ramping - FPU ",
                       "Interpolation/Volume Ramping - Pentium MMX", "Interpolation/Volume Ramping - P6/P2/P3+ MMX"}));
    const int values[] = {4, 1, 2, 3, 5, 6, 7};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(Item(d, IDC_MIXER, CB_GETITEMDATA, i), values[i]) << i;
    EXPECT_EQ(Entries(d, IDC_DRIVER), (Strings{"Primary sound driver", "Speakers", "Headphones"}));
    // Opening touches nothing but the output type, and not the caller's rate.
    EXPECT_EQ(SetCalls(), (Strings{"FSOUND_SetOutput(2)"}));
    EXPECT_EQ(rate_, 12345);
}

TEST_F(SetupDialogTest, OpeningClampsWhatTheLibraryReportsAndShowsIt) {
    struct Case {
        int output, driver, mixer, rate;
        int setOutput, outputSel, driverSel, mixerSel, radio;
    } const cases[] = {
        {0, -1, 8, 44100, 2, 0, 0, 6, IDC_RATE_44100},   // all three out of range
        {4, 2, 7, 48000, 2, 0, 2, 6, IDC_RATE_48000},    // output above A3D
        {1, 1, 5, 22050, 1, 1, 1, 4, IDC_RATE_22050},    // wave-out: its own drivers
        {3, 0, 0, 11025, 3, 2, 0, -1, IDC_RATE_11025},   // mixer 0 has no entry: none selected
        {2, 5, 4, 8000, 2, 0, -1, 0, IDC_RATE_8000},     // no driver 5: none selected
        {2, 0, 1, 32000, 2, 0, 0, 1, IDC_RATE_44100},    // any other rate shows as 44100
    };
    for (const Case& c : cases) {
        fake_fmod::Reset();
        fake_fmod::Get().output = c.output;
        fake_fmod::Get().driver = c.driver;
        fake_fmod::Get().mixer = c.mixer;
        fake_fmod::Get().outputRate = c.rate;
        HWND d = Open();
        const std::string where = "reported " + std::to_string(c.output) + "/" + std::to_string(c.driver) + "/" +
                                  std::to_string(c.mixer) + "/" + std::to_string(c.rate);
        EXPECT_EQ(SetCalls(), (Strings{"FSOUND_SetOutput(" + std::to_string(c.setOutput) + ")"})) << where;
        EXPECT_EQ(Selection(d, IDC_OUTPUT), c.outputSel) << where;
        EXPECT_EQ(Selection(d, IDC_DRIVER), c.driverSel) << where;
        EXPECT_EQ(Selection(d, IDC_MIXER), c.mixerSel) << where;
        EXPECT_EQ(CheckedRadios(d), (std::vector<int>{c.radio})) << where;
        EXPECT_FALSE(Record(d).ended) << where;
        DestroyWindow(d);
    }
}

TEST_F(SetupDialogTest, ANewOutputTypeRefillsTheDriverListAndSelectsItsFirst) {
    fake_fmod::Get().driver = 2;
    HWND d = Open();
    ASSERT_EQ(Selection(d, IDC_DRIVER), 2);
    Choose(d, IDC_OUTPUT, 2);
    EXPECT_EQ(SetCalls().back(), "FSOUND_SetOutput(3)");
    EXPECT_EQ(Entries(d, IDC_DRIVER), (Strings{"A3D card"}));
    EXPECT_EQ(Selection(d, IDC_DRIVER), 0);
    Choose(d, IDC_OUTPUT, 1);
    EXPECT_EQ(SetCalls().back(), "FSOUND_SetOutput(1)");
    EXPECT_EQ(Entries(d, IDC_DRIVER), (Strings{"Wave mapper", "Wave speakers"}));
    // An output without drivers leaves an empty list with nothing selected.
    fake_fmod::Get().drivers.erase(2);
    Choose(d, IDC_OUTPUT, 0);
    EXPECT_EQ(SetCalls().back(), "FSOUND_SetOutput(2)");
    EXPECT_TRUE(Entries(d, IDC_DRIVER).empty());
    EXPECT_EQ(Selection(d, IDC_DRIVER), -1);
    // Selection changes and other commands are not the dialog's to answer.
    EXPECT_FALSE(Record(d).ended);
    EXPECT_EQ(SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_MIXER, CBN_SELCHANGE), 0), FALSE);
}

TEST_F(SetupDialogTest, OkSetsTheDriverTheRateAndTheMixer) {
    HWND d = Open();
    Choose(d, IDC_DRIVER, 1);
    Click(d, IDC_RATE_11025);
    EXPECT_EQ(CheckedRadios(d), (std::vector<int>{IDC_RATE_11025}));
    Choose(d, IDC_MIXER, 4);
    Click(d, IDOK);
    EXPECT_EQ(SetCalls(), (Strings{"FSOUND_SetOutput(2)", "FSOUND_SetDriver(1)", "FSOUND_SetMixer(5)"}));
    EXPECT_EQ(rate_, 11025);
    EXPECT_TRUE(Record(d).ended);
    EXPECT_EQ(Record(d).result, 1);

    // With several rates checked, the first of 48000, 44100, 22050, 11025, 8000 wins.
    fake_fmod::Reset();
    d = Open();
    Item(d, IDC_RATE_8000, BM_SETCHECK, BST_CHECKED);
    Item(d, IDC_RATE_48000, BM_SETCHECK, BST_CHECKED);
    Item(d, IDC_RATE_22050, BM_SETCHECK, BST_CHECKED);
    Click(d, IDOK);
    EXPECT_EQ(rate_, 48000);
}

TEST_F(SetupDialogTest, OkWithNothingSelectedKeepsTheRateAndTheMixer) {
    fake_fmod::Get().driver = 7;  // no such driver: the list has no selection
    HWND d = Open();
    ASSERT_EQ(Selection(d, IDC_MIXER), -1);
    Item(d, IDC_RATE_44100, BM_SETCHECK, BST_UNCHECKED);
    Click(d, IDOK);
    EXPECT_EQ(SetCalls(), (Strings{"FSOUND_SetOutput(2)", "FSOUND_SetDriver(-1)"}));
    EXPECT_EQ(rate_, 12345);
    EXPECT_EQ(Record(d).result, 1);
}

TEST_F(SetupDialogTest, CancelRestoresWhatTheLibraryReportedOnOpening) {
    fake_fmod::Get().output = -1;
    fake_fmod::Get().driver = -3;
    fake_fmod::Get().mixer = 9;
    HWND d = Open();
    Choose(d, IDC_OUTPUT, 2);
    Choose(d, IDC_MIXER, 1);
    Click(d, IDC_RATE_8000);
    Click(d, IDCANCEL);
    const Strings calls = SetCalls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(Strings(calls.end() - 3, calls.end()),
              (Strings{"FSOUND_SetOutput(-1)", "FSOUND_SetDriver(-3)", "FSOUND_SetMixer(9)"}));
    EXPECT_EQ(rate_, 12345);
    EXPECT_TRUE(Record(d).ended);
    EXPECT_EQ(Record(d).result, 0);
}

}  // namespace
