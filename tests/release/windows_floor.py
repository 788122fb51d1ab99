"""The oldest Windows that morvask supports: Windows XP SP3, 32- and 64-bit
editions, and every later one.

A fact list, not a test of the code: each function below is exported by
that DLL on Windows XP SP3. An import outside the list may be missing
there, and a missing import stops the program before it starts; so before
a new import is added here, check that XP SP3 has it. The loader of XP
refuses an executable whose subsystem version is above 5.1.
"""

SUBSYSTEM_VERSION = (5, 1)

IMPORTS = {
    "advapi32.dll": {
        "AccessCheck", "ConvertSidToStringSidA",
        "ConvertStringSecurityDescriptorToSecurityDescriptorA", "DuplicateToken",
        "EqualSid", "GetAce", "GetFileSecurityA", "GetSecurityDescriptorDacl",
        "GetSecurityDescriptorOwner", "GetSidSubAuthority",
        "GetSidSubAuthorityCount", "GetTokenInformation", "LookupAccountSidA",
        "MapGenericMask", "OpenProcessToken", "RegCloseKey", "RegOpenKeyExA",
        "RegQueryValueExA",
    },
    "kernel32.dll": {
        "CloseHandle", "CreateFileA", "CreateMutexA", "CreateProcessA",
        "CreateSemaphoreW", "DeleteCriticalSection", "EnterCriticalSection",
        "ExitProcess", "FreeLibrary", "GetCommandLineA", "GetCurrentProcess",
        "GetCurrentProcessId", "GetCurrentThreadId", "GetEnvironmentVariableA",
        "GetExitCodeProcess", "GetFileAttributesA", "GetFileInformationByHandle", "GetFileSize",
        "GetFileType", "GetLastError", "GetLocalTime", "GetLongPathNameA", "GetLongPathNameW",
        "GetModuleFileNameA", "GetModuleFileNameW", "GetModuleHandleA", "GetModuleHandleW",
        "GetPrivateProfileStringA", "GetProcAddress", "GetShortPathNameW", "GetStartupInfoA",
        "GetStdHandle", "GetSystemDirectoryA", "GetSystemPowerStatus",
        "GetTickCount", "InitializeCriticalSection", "IsDBCSLeadByte",
        "LCMapStringW", "LeaveCriticalSection", "LoadLibraryA",
        "LoadLibraryExA", "LoadLibraryW", "LocalFree", "MoveFileExA",
        "MultiByteToWideChar", "OpenMutexA", "OpenProcess",
        "ProcessIdToSessionId", "ReleaseMutex", "ReleaseSemaphore",
        "SearchPathA", "SetEnvironmentVariableA", "lstrlenW",
        "SetLastError", "SetUnhandledExceptionFilter",
        "Sleep", "TlsAlloc", "TlsFree", "TlsGetValue", "TlsSetValue",
        "VirtualProtect", "VirtualQuery", "WTSGetActiveConsoleSessionId",
        "WideCharToMultiByte",
        "WaitForSingleObject", "WriteFile", "WritePrivateProfileStringA",
        "FindCloseChangeNotification", "FindFirstChangeNotificationA",
        "FindNextChangeNotification", "GetVersionExA",
    },
    "gdi32.dll": {
        "CreateFontIndirectA", "GetObjectA", "GetStockObject", "SelectObject",
        "SetBkMode", "SetTextColor",
    },
    # XP's own C runtime (msvcrt.dll 7.0), which mingw-w64 links against.
    "msvcrt.dll": {
        "__getmainargs", "__initenv", "__p__acmdln", "__p__commode",
        "__p__fmode", "__set_app_type", "__setusermatherr", "_amsg_exit",
        "_cexit", "_close", "_errno", "_initterm", "_iob", "_onexit", "_read",
        "abort", "calloc", "exit", "fprintf", "free", "fwrite", "malloc",
        "memchr", "memcmp", "memcpy", "memmove", "memset", "realloc",
        "signal", "strcmp", "strlen", "strncmp", "vfprintf",
    },
    "user32.dll": {
        "CreateWindowExA", "DefWindowProcA", "DestroyWindow",
        "DispatchMessageA", "FindWindowA", "GetMessageA",
        "GetWindowLongA", "GetWindowThreadProcessId", "KillTimer",
        "MessageBoxA", "PostMessageA", "PostQuitMessage", "RegisterClassA",
        "SetTimer", "SetWindowLongA",
        # The notice; the monitor calls and SetLayeredWindowAttributes are
        # from Windows 2000.
        "BeginPaint", "DrawTextA", "EndPaint", "FindWindowExA",
        "GetClientRect", "GetDC", "GetForegroundWindow", "GetMonitorInfoA",
        "GetWindowTextA", "InvalidateRect", "MonitorFromPoint",
        "MonitorFromWindow", "MsgWaitForMultipleObjects", "PeekMessageA",
        "RegisterWindowMessageA", "ReleaseDC", "SendMessageTimeoutA",
        "SetLayeredWindowAttributes", "SetWindowPos", "SetWindowTextA",
        "ShowWindow", "SystemParametersInfoA", "UpdateWindow",
        # Hotkeys.
        "GetAsyncKeyState", "RegisterHotKey", "UnregisterHotKey",
    },
}
