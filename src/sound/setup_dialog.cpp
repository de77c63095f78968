// setup_dialog.cpp - the sound setup dialog's procedure and its template.
// The output combo is subclassed so that a new output type refills the driver list at once: the
// drivers are those of the output chosen.
#include "sound/setup_dialog.h"

#include <iterator>

#include "platform/fsound/fmod.h"

namespace {

struct Entry {
    const char* pszText;
    int nValue;
};

// Output types, in the combo's order; the refill below maps the selection by the same order.
const Entry kOutputs[] = {{"Direct Sound", 2}, {"Windows Multimedia WaveOut", 1}, {"A3D", 3}};

// Software mixers; each entry carries its FMOD mixer value as item data.
const Entry kMixers[] = {
    {"Autodetect", 4},
    {"No Interpolation - Non MMX", 1},
    {"No Interpolation - Pentium MMX", 2},
    {"No Interpolation - P6/P2/P3+ MMX", 3},
    {"Interpolation/Volume Ramping - FPU ", 5},
    {"Interpolation/Volume Ramping - Pentium MMX", 6},
    {"Interpolation/Volume Ramping - P6/P2/P3+ MMX", 7},
};

// The layout, in pixels: the output, driver and mixer lists, the rates, then OK and Cancel.
const DialogItemTemplate kItems[] = {
    {DialogItemKind::GroupBox, -1, "Output", 12, 10, 556, 126},
    {DialogItemKind::Label, -1, "Output type", 26, 38, 116, 20},
    {DialogItemKind::ComboBox, IDC_OUTPUT, "", 150, 34, 404, 24},
    {DialogItemKind::Label, -1, "Driver", 26, 70, 116, 20},
    {DialogItemKind::ComboBox, IDC_DRIVER, "", 150, 66, 404, 24},
    {DialogItemKind::Label, -1, "Software mixer", 26, 102, 116, 20},
    {DialogItemKind::ComboBox, IDC_MIXER, "", 150, 98, 404, 24},
    {DialogItemKind::GroupBox, -1, "Mixing rate", 12, 148, 556, 66},
    {DialogItemKind::RadioButton, IDC_RATE_48000, "48000 Hz", 30, 176, 96, 22, true},
    {DialogItemKind::RadioButton, IDC_RATE_44100, "44100 Hz", 138, 176, 96, 22},
    {DialogItemKind::RadioButton, IDC_RATE_22050, "22050 Hz", 246, 176, 96, 22},
    {DialogItemKind::RadioButton, IDC_RATE_11025, "11025 Hz", 354, 176, 96, 22},
    {DialogItemKind::RadioButton, IDC_RATE_8000, "8000 Hz", 462, 176, 90, 22},
    {DialogItemKind::DefPushButton, IDOK, "OK", 370, 228, 94, 28},
    {DialogItemKind::PushButton, IDCANCEL, "Cancel", 474, 228, 94, 28},
};

const DialogTemplate kTemplate = {"Sound setup", 580, 268, kItems, static_cast<int>(std::size(kItems))};

// What the library reported when the dialog opened, restored by Cancel.
int g_nSavedOutput = 0;
int g_nSavedDriver = 0;
int g_nSavedMixer = 0;
// The caller's output-rate field, written by OK.
int* g_pnOutputRate = nullptr;
WNDPROC g_pfnOutputComboProc = nullptr;

void FillDrivers(HWND hDlg) {
    const int n = FSOUND_GetNumDrivers();
    for (int i = 0; i < n; ++i)
        SendDlgItemMessageA(hDlg, IDC_DRIVER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FSOUND_GetDriverName(i)));
}

// The output combo's subclass: a command from its list means a new output type, whose drivers
// replace the list in the driver combo.
LRESULT CALLBACK OutputComboProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_COMMAND) {
        const LRESULT sel = SendMessageA(hWnd, CB_GETCURSEL, 0, 0);
        FSOUND_SetOutput(sel == 0 ? 2 : sel == 1 ? 1 : 3);
        HWND hDlg = GetParent(hWnd);
        SendDlgItemMessageA(hDlg, IDC_DRIVER, CB_RESETCONTENT, 0, 0);
        FillDrivers(hDlg);
        SendDlgItemMessageA(hDlg, IDC_DRIVER, CB_SETCURSEL, 0, 0);
        UpdateWindow(GetDlgItem(hDlg, IDC_DRIVER));
    }
    return CallWindowProcA(g_pfnOutputComboProc, hWnd, uMsg, wParam, lParam);
}

void OnInitDialog(HWND hDlg, int* pnOutputRate) {
    g_pnOutputRate = pnOutputRate;
    g_nSavedOutput = FSOUND_GetOutput();
    g_nSavedDriver = FSOUND_GetDriver();
    g_nSavedMixer = FSOUND_GetMixer();
    const int nRate = FSOUND_GetOutputRate();
    // Values the lists cannot show are brought into range; Cancel still restores the reported ones.
    const int nMixer = g_nSavedMixer > 7 ? 7 : g_nSavedMixer;
    const int nOutput = g_nSavedOutput < 1 || g_nSavedOutput > 3 ? 2 : g_nSavedOutput;
    const int nDriver = g_nSavedDriver < 0 ? 0 : g_nSavedDriver;
    FSOUND_SetOutput(nOutput);

    for (const Entry& e : kOutputs)
        SendDlgItemMessageA(hDlg, IDC_OUTPUT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.pszText));
    for (int i = 0; i < static_cast<int>(std::size(kOutputs)); ++i)
        if (kOutputs[i].nValue == nOutput) SendDlgItemMessageA(hDlg, IDC_OUTPUT, CB_SETCURSEL, i, 0);
    g_pfnOutputComboProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(GetDlgItem(hDlg, IDC_OUTPUT), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OutputComboProc)));

    for (int i = 0; i < static_cast<int>(std::size(kMixers)); ++i) {
        SendDlgItemMessageA(hDlg, IDC_MIXER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kMixers[i].pszText));
        SendDlgItemMessageA(hDlg, IDC_MIXER, CB_SETITEMDATA, i, kMixers[i].nValue);
    }
    for (int i = 0; i < static_cast<int>(std::size(kMixers)); ++i)
        if (kMixers[i].nValue == nMixer) SendDlgItemMessageA(hDlg, IDC_MIXER, CB_SETCURSEL, i, 0);

    FillDrivers(hDlg);
    if (SendDlgItemMessageA(hDlg, IDC_DRIVER, CB_GETCOUNT, 0, 0) > 0)
        SendDlgItemMessageA(hDlg, IDC_DRIVER, CB_SETCURSEL, nDriver, 0);

    const int nRadio = nRate == 48000   ? IDC_RATE_48000
                       : nRate == 22050 ? IDC_RATE_22050
                       : nRate == 11025 ? IDC_RATE_11025
                       : nRate == 8000  ? IDC_RATE_8000
                                        : IDC_RATE_44100;
    SendDlgItemMessageA(hDlg, nRadio, BM_SETCHECK, BST_CHECKED, 0);
}

void OnOk(HWND hDlg) {
    FSOUND_SetDriver(static_cast<int>(SendDlgItemMessageA(hDlg, IDC_DRIVER, CB_GETCURSEL, 0, 0)));
    struct {
        int nId;
        int nRate;
    } const kRates[] = {{IDC_RATE_48000, 48000}, {IDC_RATE_44100, 44100}, {IDC_RATE_22050, 22050},
                        {IDC_RATE_11025, 11025}, {IDC_RATE_8000, 8000}};
    for (const auto& r : kRates)
        if (SendDlgItemMessageA(hDlg, r.nId, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            if (g_pnOutputRate) *g_pnOutputRate = r.nRate;
            break;
        }
    const LRESULT sel = SendDlgItemMessageA(hDlg, IDC_MIXER, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR) FSOUND_SetMixer(static_cast<int>(SendDlgItemMessageA(hDlg, IDC_MIXER, CB_GETITEMDATA, sel, 0)));
    EndDialog(hDlg, 1);
}

void OnCancel(HWND hDlg) {
    FSOUND_SetOutput(g_nSavedOutput);
    FSOUND_SetDriver(g_nSavedDriver);
    FSOUND_SetMixer(g_nSavedMixer);
    EndDialog(hDlg, 0);
}

}  // namespace

void RegisterSoundSetupTemplate() { RegisterDialogResource(IDD_SOUNDSETUP, &kTemplate); }

INT_PTR CALLBACK SoundSetupDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
        case WM_INITDIALOG:
            OnInitDialog(hDlg, reinterpret_cast<int*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                OnOk(hDlg);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel(hDlg);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

int RunSoundSetupDialog(int* pnOutputRate) {
    RegisterSoundSetupTemplate();
    HWND hOwner = GetForegroundWindow();
    HINSTANCE hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hOwner, GWLP_HINSTANCE));
    return static_cast<int>(DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_SOUNDSETUP), hOwner, SoundSetupDialogProc,
                                            reinterpret_cast<LPARAM>(pnOutputRate)));
}
