#pragma once
// The Intel graphics object's TV device: finding it on "\\.\Display1" or "\\.\Display2", and
// rewriting its TV parameters before a 720-line or 1080-line Component mode is set.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

struct ICUIExternal;      // the Intel graphics object's interface
struct TvParameterBlock;  // the Intel TV device's 320-byte parameter block

// The TV device's type in the object's device queries.
constexpr DWORD kTvDeviceType = 4;

// How the backend tells the user something: a message box in the program.
using ShowMessage = std::function<void(const char* text)>;

// The TV device and its parameter blocks exactly as the driver returned them before the last
// update changed them; empty when no update has read them since.
struct TvParametersAsRead {
    DWORD uid = 0;
    std::vector<uint8_t> bytes;
};

// The uid of the first device of the wanted type whose status is not "skipped", on Display1 and
// then Display2. FALSE only without an object or an output; when no device is found the uid stays
// as it was and "Requested Device Not Attached" is shown, and the answer is TRUE.
BOOL FindMonitorUid(ICUIExternal* cui, DWORD wantedType, DWORD* pUid, const ShowMessage& show);

// Reads the TV's parameter block, keeps it in `asRead`, sets its format word and word 0 and
// writes it back; tells the user when there is no TV or the driver refuses the block.
HRESULT UpdateTvParameters(ICUIExternal* cui, DWORD count, TvParameterBlock* pBlock, uint32_t formatWord,
                           TvParametersAsRead& asRead, const ShowMessage& show);

// Writes the kept block back as the driver gave it, and forgets it.
void WriteTvParametersAsRead(ICUIExternal* cui, TvParametersAsRead& asRead);
