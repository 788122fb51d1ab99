// Sets or removes HKLM\Software\ATI\ACE through the registry API, from a
// process built like morvask (32-bit for the shipped build) and so in the
// registry view that morvask reads.
//
//   regset.exe delete
//   regset.exe set TYPE HEX_DATA      (TYPE in decimal, "-" for no data)
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  const char kKey[] = "Software\\ATI\\ACE";
  if (argc >= 2 && std::strcmp(argv[1], "delete") == 0) {
    LONG r = RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND ? 0 : 1;
  }
  if (argc < 4 || std::strcmp(argv[1], "set") != 0) return 2;
  std::string data;
  for (const char* p = argv[3]; p[0] && p[1] && p[0] != '-'; p += 2) {
    char byte[3] = {p[0], p[1], 0};
    data += static_cast<char>(std::strtoul(byte, nullptr, 16));
  }
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return 1;
  LONG r = RegSetValueExA(key, "Path", 0, std::strtoul(argv[2], nullptr, 10),
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  return r == ERROR_SUCCESS ? 0 : 1;
}
