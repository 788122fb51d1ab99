"""What a Windows executable imports, and which DLLs count as Windows' own."""
import subprocess

# The DLLs every Windows installation has: morvask may import these alone.
WINDOWS_OWN_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll"}


def imported_dlls(path):
    """The DLL names in the executable's import table, sorted, as written."""
    out = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(path)],
                         check=True, capture_output=True, text=True).stdout
    return sorted({line.split(":", 1)[1].strip()
                   for line in out.splitlines() if "DLL Name:" in line})


def only_windows_own(dlls):
    return bool(dlls) and {d.lower() for d in dlls} <= WINDOWS_OWN_DLLS
