// What the Win32 layer reads of access tokens and SIDs, in more than one
// place: the settings lock's security and who may change a file.
#ifndef MORVASK_PLATFORM_TOKEN_WIN32_H_
#define MORVASK_PLATFORM_TOKEN_WIN32_H_

#include <windows.h>

#include <string>
#include <vector>

/// The token's information of one class; empty when it cannot be had.
std::vector<BYTE> TokenInfo(HANDLE token, TOKEN_INFORMATION_CLASS which);

/// The SID as text ("S-1-5-21-..."), or the empty text.
std::string SidText(PSID sid);

#endif  // MORVASK_PLATFORM_TOKEN_WIN32_H_
