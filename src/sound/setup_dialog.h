// setup_dialog.h - the sound setup dialog: output type, driver, software mixer and mixing rate,
// chosen before the sound library is initialised. Its procedure works the library's FSOUND_ set-up
// calls and the caller's output-rate field; its template is resource 2109.
// Depends on: platform/dialog (the Win32-shaped dialog), platform/fsound/fmod.h.
#pragma once

#include "platform/dialog/dialog.h"

// Resource id of the template and the identifiers of its controls.
inline constexpr WORD IDD_SOUNDSETUP = 2109;
inline constexpr int IDC_RATE_44100 = 21000;
inline constexpr int IDC_RATE_22050 = 21001;
inline constexpr int IDC_RATE_11025 = 21002;
inline constexpr int IDC_RATE_8000 = 21003;
inline constexpr int IDC_RATE_48000 = 21005;
inline constexpr int IDC_DRIVER = 21010;
inline constexpr int IDC_MIXER = 21011;
inline constexpr int IDC_OUTPUT = 21012;

// Makes template 2109 known to the dialog layer (idempotent).
void RegisterSoundSetupTemplate();

// The dialog procedure; the creation parameter is the address of the caller's output rate (Hz).
INT_PTR CALLBACK SoundSetupDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally over the foreground window on *pnOutputRate: 1 after OK, 0 after
// Cancel, -1 when it could not be shown.
int RunSoundSetupDialog(int* pnOutputRate);
