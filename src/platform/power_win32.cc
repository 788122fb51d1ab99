// The power library's calls on Win32: powrprof.dll, loaded by its full
// path in the system folder the first time a run needs it, each function
// looked up (Windows XP has the power schemes, Vista and later the power
// plans, Windows 11 the power modes).
#include <windows.h>

#include <vector>

#include "platform/platform_win32.h"
#include "platform/system_library_win32.h"

namespace {

using PowerEnumerateFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, int,
                                        ULONG, UCHAR*, DWORD*);
using ReadFriendlyNameFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*,
                                          const GUID*, UCHAR*, DWORD*);
using GetActiveSchemeFn = DWORD(WINAPI*)(HKEY, GUID**);
using SetActiveSchemeFn = DWORD(WINAPI*)(HKEY, const GUID*);
using SetModeFn = DWORD(WINAPI*)(const GUID*);
using GetModeFn = DWORD(WINAPI*)(GUID*);
using SchemesProc = BOOLEAN(CALLBACK*)(UINT, DWORD, LPWSTR, DWORD, LPWSTR,
                                       void*, LPARAM);
using EnumPwrSchemesFn = BOOLEAN(WINAPI*)(SchemesProc, LPARAM);
using SetActivePwrSchemeFn = BOOLEAN(WINAPI*)(UINT, void*, void*);
using GetActivePwrSchemeFn = BOOLEAN(WINAPI*)(UINT*);

const int kAccessScheme = 16;  // ACCESS_SCHEME: the plans themselves.

Guid FromGuid(const GUID& guid) {
  Guid result;
  result.data1 = guid.Data1;
  result.data2 = guid.Data2;
  result.data3 = guid.Data3;
  for (int i = 0; i < 8; ++i) result.data4[i] = guid.Data4[i];
  return result;
}

GUID ToGuid(const Guid& guid) {
  GUID result = {};
  result.Data1 = guid.data1;
  result.Data2 = guid.data2;
  result.Data3 = guid.data3;
  for (int i = 0; i < 8; ++i) result.Data4[i] = guid.data4[i];
  return result;
}

/// UTF-16 text in the ANSI code page, as morvask's texts are.
std::string Narrow(const wchar_t* text, int units) {
  const int bytes =
      WideCharToMultiByte(CP_ACP, 0, text, units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string result(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, units, &result[0], bytes, nullptr,
                      nullptr);
  return result;
}

BOOLEAN CALLBACK AddScheme(UINT index, DWORD, LPWSTR name, DWORD, LPWSTR, void*,
                           LPARAM plans) {
  PowerPlan plan;
  plan.number = index;
  if (name) plan.name = Narrow(name, lstrlenW(name));
  reinterpret_cast<std::vector<PowerPlan>*>(plans)->push_back(plan);
  return TRUE;
}

}  // namespace

struct RealPlatform::PowerLibrary {
  SystemLibrary dll{"powrprof.dll"};
  // Windows Vista and later.
  PowerEnumerateFn enumerate = dll.Find<PowerEnumerateFn>("PowerEnumerate");
  ReadFriendlyNameFn read_name =
      dll.Find<ReadFriendlyNameFn>("PowerReadFriendlyName");
  GetActiveSchemeFn get_active =
      dll.Find<GetActiveSchemeFn>("PowerGetActiveScheme");
  SetActiveSchemeFn set_active =
      dll.Find<SetActiveSchemeFn>("PowerSetActiveScheme");
  // Windows 11.
  SetModeFn set_mode[2] = {
      dll.Find<SetModeFn>("PowerSetUserConfiguredDCPowerMode"),
      dll.Find<SetModeFn>("PowerSetUserConfiguredACPowerMode")};
  GetModeFn get_mode[2] = {
      dll.Find<GetModeFn>("PowerGetUserConfiguredDCPowerMode"),
      dll.Find<GetModeFn>("PowerGetUserConfiguredACPowerMode")};
  // Windows XP.
  EnumPwrSchemesFn enum_schemes = dll.Find<EnumPwrSchemesFn>("EnumPwrSchemes");
  SetActivePwrSchemeFn set_scheme =
      dll.Find<SetActivePwrSchemeFn>("SetActivePwrScheme");
  GetActivePwrSchemeFn get_scheme =
      dll.Find<GetActivePwrSchemeFn>("GetActivePwrScheme");

  bool by_guid() const { return enumerate && get_active && set_active; }
  bool by_number() const { return set_scheme && get_scheme; }

  /// A plan's name as Windows shows it, or the empty text.
  std::string Name(const GUID& guid) const {
    DWORD size = 0;
    if (!read_name ||
        read_name(nullptr, &guid, nullptr, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size < sizeof(wchar_t))
      return std::string();
    std::vector<wchar_t> name(size / sizeof(wchar_t) + 1, L'\0');
    if (read_name(nullptr, &guid, nullptr, nullptr,
                  reinterpret_cast<UCHAR*>(name.data()),
                  &size) != ERROR_SUCCESS)
      return std::string();
    return Narrow(name.data(), lstrlenW(name.data()));
  }
};

void RealPlatform::PowerLibraryDeleter::operator()(
    PowerLibrary* library) const {
  delete library;
}

RealPlatform::PowerLibrary& RealPlatform::Power() {
  if (!power_) power_.reset(new PowerLibrary);
  return *power_;
}

PowerPlanKind RealPlatform::PlanKind() {
  const PowerLibrary& power = Power();
  if (power.by_guid()) return PowerPlanKind::kByGuid;
  if (power.by_number()) return PowerPlanKind::kByNumber;
  return PowerPlanKind::kNone;
}

std::vector<PowerPlan> RealPlatform::PowerPlans() {
  const PowerLibrary& power = Power();
  std::vector<PowerPlan> plans;
  if (power.by_guid()) {
    for (ULONG index = 0;; ++index) {
      GUID guid = {};
      DWORD size = sizeof guid;
      if (power.enumerate(nullptr, nullptr, nullptr, kAccessScheme, index,
                          reinterpret_cast<UCHAR*>(&guid),
                          &size) != ERROR_SUCCESS)
        break;  // ERROR_NO_MORE_ITEMS past the last.
      PowerPlan plan;
      plan.guid = FromGuid(guid);
      plan.name = power.Name(guid);
      plans.push_back(plan);
    }
  } else if (power.by_number() && power.enum_schemes) {
    power.enum_schemes(AddScheme, reinterpret_cast<LPARAM>(&plans));
  }
  return plans;
}

std::optional<PowerPlan> RealPlatform::ActivePowerPlan() {
  const PowerLibrary& power = Power();
  PowerPlan plan;
  if (power.by_guid()) {
    GUID* active = nullptr;
    if (power.get_active(nullptr, &active) != ERROR_SUCCESS || !active)
      return std::nullopt;
    plan.guid = FromGuid(*active);
    LocalFree(active);
    return plan;
  }
  UINT number = 0;
  if (power.by_number() && power.get_scheme(&number)) {
    plan.number = number;
    return plan;
  }
  return std::nullopt;
}

std::uint32_t RealPlatform::SetActivePowerPlan(const PowerPlan& plan) {
  const PowerLibrary& power = Power();
  if (power.by_guid()) {
    const GUID guid = ToGuid(plan.guid);
    return power.set_active(nullptr, &guid);
  }
  if (!power.by_number()) return kErrorCallNotImplemented;
  if (power.set_scheme(plan.number, nullptr, nullptr)) return 0;
  const DWORD error = GetLastError();
  return error ? error : ERROR_GEN_FAILURE;
}

bool RealPlatform::HasPowerModes() {
  const PowerLibrary& power = Power();
  return power.set_mode[0] && power.set_mode[1] && power.get_mode[0] &&
         power.get_mode[1];
}

std::uint32_t RealPlatform::SetPowerMode(bool on_mains, const Guid& mode) {
  if (!HasPowerModes()) return kErrorCallNotImplemented;
  const GUID guid = ToGuid(mode);
  return Power().set_mode[on_mains](&guid);
}

std::optional<Guid> RealPlatform::ConfiguredPowerMode(bool on_mains) {
  if (!HasPowerModes()) return std::nullopt;
  GUID guid = {};
  if (Power().get_mode[on_mains](&guid) != ERROR_SUCCESS) return std::nullopt;
  return FromGuid(guid);
}
