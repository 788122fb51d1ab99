"""What a Windows executable imports, and which DLLs count as Windows' own."""
import subprocess

# The DLLs every Windows installation has: morvask may import these alone.
WINDOWS_OWN_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll",
                    "wtsapi32.dll"}


def imported_functions(path):
    """{DLL name in lower case: set of function names} from the executable's
    import table."""
    out = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(path)],
                         check=True, capture_output=True, text=True).stdout
    imports, dll = {}, None
    for line in out.splitlines():
        if "DLL Name:" in line:
            dll = imports.setdefault(line.split(":", 1)[1].strip().lower(),
                                     set())
        elif dll is not None and line.startswith("\t") and line.split():
            words = line.split()
            # "\tVMA  HINT  NAME": a function imported by name.
            if len(words) == 3 and words[1].isdigit():
                dll.add(words[2])
        elif not line.strip():
            dll = None
    return imports


def imported_dlls(path):
    """The DLL names in the executable's import table, sorted."""
    return sorted(imported_functions(path))


def only_windows_own(dlls):
    return bool(dlls) and {d.lower() for d in dlls} <= WINDOWS_OWN_DLLS
