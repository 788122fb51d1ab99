"""What a Windows executable imports, and which DLLs it may import."""
import subprocess

# The KnownDLLs of Windows Vista and later: Windows loads these from the
# system folder alone, whatever lies beside the program. morvask imports
# only these; any other DLL, looked for in the program's folder first, where
# a less privileged account may plant one, is loaded at run time by its full
# path in the system folder (src/platform/system_library_win32.h).
# The most a shipped executable may weigh: a guard against what bloats a
# static build by accident (the C++ name demangler alone is 75 KiB, see
# src/platform/terminate_win32.cc), with room for what morvask does: 256
# KiB until it came to select power plans and modes, start programs, show
# its own notice and report its hotkeys.
MAX_EXECUTABLE_BYTES = 320 * 1024

KNOWN_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll",
              "gdi32.dll"}


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


def only_known_dlls(dlls):
    return bool(dlls) and {d.lower() for d in dlls} <= KNOWN_DLLS
