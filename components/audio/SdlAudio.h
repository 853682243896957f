// SDL's audio subsystem, shared by every part of the program that plays or captures sound
// (the preview player, the editor, the recorder): started once for the whole process and
// never stopped while the program runs, so no component can silence another by closing it.
// Each user opens and closes only its own devices.
#pragma once

#include <QString>

// Starts the audio subsystem on first use; false when it cannot run (no audio driver),
// and then SdlAudioError says why.
bool InitSdlAudio();
QString SdlAudioError();
