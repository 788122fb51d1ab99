// Who may change a file or folder, read from its access list (DACL) and
// owner, without opening it.
#include <windows.h>
// After <windows.h>, which it needs.
#include <sddl.h>

#include <vector>

#include "platform/platform_win32.h"
#include "platform/token_win32.h"

std::vector<BYTE> TokenInfo(HANDLE token, TOKEN_INFORMATION_CLASS which) {
  DWORD size = 0;
  GetTokenInformation(token, which, nullptr, 0, &size);
  std::vector<BYTE> info(size);
  if (size == 0 || !GetTokenInformation(token, which, info.data(), size, &size))
    info.clear();
  return info;
}

std::string SidText(PSID sid) {
  char* text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return std::string();
  std::string result(text);
  LocalFree(text);
  return result;
}

namespace {

// The rights that let an account change what a file holds or, for a
// folder, what lies in it, or take the right to (its access list, its
// owner).
const DWORD kFileWrites = FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC |
                          WRITE_OWNER | DELETE | GENERIC_WRITE | GENERIC_ALL;
const DWORD kFolderWrites = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY |
                            FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER |
                            GENERIC_WRITE | GENERIC_ALL;

const char kAdministrators[] = "S-1-5-32-544";
// Besides this user, the accounts that may change what morvask runs as a
// matter of course: SYSTEM, Administrators, CREATOR OWNER (which stands for
// the owner only in what a folder hands down) and TrustedInstaller.
const char* const kTrusted[] = {
    "S-1-5-18", kAdministrators, "S-1-3-0",
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"};

/// DOMAIN\name as the system names the account, or its SID's text.
std::string AccountName(PSID sid) {
  char name[256];
  char domain[256];
  DWORD name_size = sizeof name;
  DWORD domain_size = sizeof domain;
  SID_NAME_USE use;
  if (!LookupAccountSidA(nullptr, sid, name, &name_size, domain, &domain_size,
                         &use))
    return SidText(sid);
  return domain[0] ? std::string(domain) + "\\" + name : std::string(name);
}

/// The security descriptor's owner and access list; empty when it cannot
/// be read.
std::vector<BYTE> Descriptor(const std::string& path) {
  const SECURITY_INFORMATION wanted =
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  GetFileSecurityA(path.c_str(), wanted, nullptr, 0, &size);
  std::vector<BYTE> descriptor(size);
  if (size == 0 ||
      !GetFileSecurityA(path.c_str(), wanted, descriptor.data(), size, &size))
    descriptor.clear();
  return descriptor;
}

}  // namespace

WriteRights RealPlatform::QueryWriteRights(const std::string& path) {
  WriteRights rights;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  std::vector<BYTE> descriptor = Descriptor(path);
  HANDLE token = nullptr;
  if (attributes == INVALID_FILE_ATTRIBUTES || descriptor.empty() ||
      !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return rights;
  const std::vector<BYTE> user_info = TokenInfo(token, TokenUser);
  const std::vector<BYTE> group_info = TokenInfo(token, TokenGroups);
  CloseHandle(token);
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  PSID owner = nullptr;
  if (user_info.empty() || group_info.empty() ||
      !GetSecurityDescriptorDacl(descriptor.data(), &present, &dacl,
                                 &defaulted) ||
      !GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted))
    return rights;
  PSID user = reinterpret_cast<const TOKEN_USER*>(user_info.data())->User.Sid;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(group_info.data());
  const DWORD writes =
      (attributes & FILE_ATTRIBUTE_DIRECTORY) ? kFolderWrites : kFileWrites;
  rights.others = Answer::kNo;
  rights.own_unelevated = Answer::kNo;

  auto grant = [&](PSID sid, DWORD mask) {
    if (!(mask & writes)) return;
    const std::string text = SidText(sid);
    bool own = EqualSid(sid, user);
    // The groups of this user's programs that are not elevated are taken
    // as this token's, but Administrators. Other groups that elevation
    // adds (Backup Operators, Power Users) count too: over-cautious.
    for (DWORD i = 0; !own && i < groups->GroupCount; ++i)
      own = (groups->Groups[i].Attributes & SE_GROUP_ENABLED) &&
            EqualSid(sid, groups->Groups[i].Sid) && text != kAdministrators;
    if (own) rights.own_unelevated = Answer::kYes;
    if (rights.others == Answer::kYes || EqualSid(sid, user)) return;
    for (const char* trusted : kTrusted)
      if (text == trusted) return;
    rights.others = Answer::kYes;
    rights.other_name = AccountName(sid);
  };

  // The owner may always change the access list.
  if (owner) grant(owner, WRITE_DAC);
  if (!present || !dacl) {
    // No access list: everyone may do everything.
    SID everyone = {
        SID_REVISION, 1, SECURITY_WORLD_SID_AUTHORITY, {SECURITY_WORLD_RID}};
    grant(&everyone, GENERIC_ALL);
    return rights;
  }
  // Only what is allowed to the object itself: an inherit-only entry is
  // for what the folder hands down. Denying entries are not weighed, so an
  // account denied what another entry allows is still named: over-cautious.
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* entry = nullptr;
    if (!GetAce(dacl, i, &entry)) return WriteRights();
    auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    if (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
        !(ace->Header.AceFlags & INHERIT_ONLY_ACE))
      grant(&ace->SidStart, ace->Mask);
  }
  return rights;
}
