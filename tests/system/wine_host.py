"""Which Windows build runs under which Wine on this host: the one place
that decides it for the system tests, the demo and the benchmark.

The shipped morvask.exe is the win32 build, and it runs under Debian's
32-bit Wine, which is itself a 32-bit Linux program. Some kernels cannot
run those at all (WSL 1, sandboxed container runtimes, kernels without
IA-32 emulation): there the x86_64 build of the same sources runs under
64-bit Wine instead. Whether the host can run a loader is found out by
starting it, never guessed from the kernel, and only the kernel's refusal
("Exec format error", or the loader killed by a system-call filter) makes
the 64-bit build stand in: a 32-bit Wine that is missing or broken on a
host that could run it is an error that names what to install.

MORVASK_WINE=win32 or MORVASK_WINE=win64 forces a build; a forced build
that cannot run here is an error, never a silent fallback.

  wine_host.py choose       prints the build to use; the line saying which
                            Wine and why goes to standard error
  wine_host.py test-builds  prints the builds whose system tests to run:
                            the chosen one, and the other too when the host
                            runs both and nothing is forced
"""
import errno
import os
import subprocess
import sys
from dataclasses import dataclass
from pathlib import Path

FORCE_VARIABLE = "MORVASK_WINE"
# The Debian package that brings each build's Wine loader.
PACKAGES = {"win32": "wine32:i386", "win64": "wine64"}


@dataclass(frozen=True)
class Build:
    name: str       # The CMake preset and build folder under build/.
    bits: int
    loader: Path    # Called directly: Debian's "wine" script would pick
                    # the 32-bit loader whenever it is installed.
    winearch: str   # WINEARCH of its prefix; None for Wine's default.

    @property
    def server(self):
        """The Wine server of the same word size, beside the loader."""
        return self.loader.parent / f"wineserver{self.bits}"

    def describe(self):
        return (f"{self.name} build of morvask.exe under {self.bits}-bit Wine"
                f" ({self.loader})")

    def env(self):
        """What every Wine command of this build needs in its environment."""
        env = {"WINELOADER": str(self.loader), "WINESERVER": str(self.server)}
        if self.winearch:
            env["WINEARCH"] = self.winearch
        return env


def _loader(variable, default):
    # The loaders' places can be given for a Wine installed elsewhere.
    return Path(os.environ.get(variable, default))


def builds():
    """The two builds, the shipped one first."""
    return [Build("win32", 32, _loader("MORVASK_WINE32_LOADER",
                                       "/usr/lib/wine/wine"), "win32"),
            Build("win64", 64, _loader("MORVASK_WINE64_LOADER",
                                       "/usr/lib/wine/wine64"), None)]


def by_name(name):
    for build in builds():
        if build.name == name:
            return build
    raise KeyError(name)


class LoaderFailure:
    """Why a Wine loader did not run, and whether it was the kernel that
    refused it: only then is a fallback to the other build right."""

    def __init__(self, reason, kernel_refused):
        self.reason = reason
        self.kernel_refused = kernel_refused

    def __str__(self):
        return self.reason


# Kernels without IA-32 emulation refuse a 32-bit program with ENOEXEC
# ("Exec format error"); a sandbox's system-call filter lets it start and
# then kills it with SIGSYS at its first 32-bit system call.
_SIGSYS = 31


def try_loader(build):
    """Starts the build's Wine loader once. Returns None when it ran, or a
    LoaderFailure that says why it did not."""
    try:
        run = subprocess.run([str(build.loader), "--version"],
                             stdin=subprocess.DEVNULL, capture_output=True,
                             timeout=60)
    except OSError as error:
        refused = error.errno == errno.ENOEXEC
        return LoaderFailure(f"{build.loader} does not start: "
                             f"{error.strerror}", refused)
    except subprocess.TimeoutExpired:
        return LoaderFailure(f"{build.loader} --version did not end within "
                             "60 s", False)
    if run.returncode == -_SIGSYS:
        return LoaderFailure(f"{build.loader} was killed by the kernel's "
                             "system-call filter (SIGSYS)", True)
    if run.returncode < 0:
        return LoaderFailure(f"{build.loader} was killed by signal "
                             f"{-run.returncode}", False)
    if run.returncode != 0:
        return LoaderFailure(f"{build.loader} --version exited with "
                             f"{run.returncode}", False)
    return None


def _install_hint(build, failure):
    if failure.kernel_refused:
        return ""
    return (f"; install Debian's {PACKAGES[build.name]} "
            "(bash scripts/install-deps.sh)")


class NoWine(Exception):
    """No build can run here, or the forced one cannot."""


def choose():
    """(build, why) for the system tests, the demo and the benchmark.
    Raises NoWine when the forced build, or every build, cannot run."""
    win32, win64 = builds()
    forced = os.environ.get(FORCE_VARIABLE)
    if forced:
        if forced not in (win32.name, win64.name):
            raise NoWine(f"{FORCE_VARIABLE}={forced}: use win32 or win64")
        build = by_name(forced)
        failure = try_loader(build)
        if failure:
            raise NoWine(f"{FORCE_VARIABLE}={forced} forces the {forced} "
                         f"build, but {failure}{_install_hint(build, failure)}")
        return build, f"{FORCE_VARIABLE}={forced} forces it"
    failure = try_loader(win32)
    if failure is None:
        return win32, "this host runs 32-bit programs"
    if not failure.kernel_refused:
        # The host runs 32-bit programs but this Wine is missing or broken:
        # falling back would silently leave the shipped build untested.
        raise NoWine(f"the win32 build cannot run: {failure}"
                     f"{_install_hint(win32, failure)}, or set "
                     f"{FORCE_VARIABLE}=win64 to test only the 64-bit build")
    fallback = try_loader(win64)
    if fallback:
        raise NoWine(f"no Wine runs here: {failure}; {fallback}"
                     f"{_install_hint(win64, fallback)}")
    return win64, f"this host cannot run 32-bit Wine ({failure})"


def test_builds():
    """[(build, why)] whose system tests the test command runs: the chosen
    build, and on a host that runs both (nothing forced) the other one as
    well, so that neither path goes untested."""
    build, why = choose()
    chosen = [(build, why)]
    if build.name == "win32" and not os.environ.get(FORCE_VARIABLE):
        other = by_name("win64")
        failure = try_loader(other)
        if failure is None:
            chosen.append((other, "this host runs it too"))
        else:
            print(f"wine: no win64 system tests: {failure}", file=sys.stderr)
    return chosen


def main(command):
    try:
        if command == "choose":
            build, why = choose()
            print(f"wine: {build.describe()}: {why}", file=sys.stderr)
            print(build.name)
        elif command == "test-builds":
            for build, why in test_builds():
                print(f"wine: system tests on the {build.describe()}: {why}",
                      file=sys.stderr)
                print(build.name)
        else:
            sys.exit(__doc__)
    except NoWine as error:
        print(f"wine: {error}", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "")
