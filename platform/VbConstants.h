// Message-box, window-state and unload-mode codes the windows pass around.
#pragma once

// Message box buttons and icons (combined by addition).
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;

// Message box answers.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// Show modes.
inline constexpr int vbModeless = 0;
inline constexpr int vbModal = 1;

// Window states.
inline constexpr int vbNormal = 0;
inline constexpr int vbMinimized = 1;
inline constexpr int vbMaximized = 2;

// Why a window is being unloaded.
inline constexpr int vbFormControlMenu = 0;  // the close box
inline constexpr int vbFormCode = 1;         // Unload from code
inline constexpr int vbAppWindows = 2;
inline constexpr int vbAppTaskManager = 3;
inline constexpr int vbFormMDIForm = 4;
inline constexpr int vbFormOwner = 5;

// Twips per pixel at the geometry boundary.
inline constexpr int kTwipsPerPixel = 15;
