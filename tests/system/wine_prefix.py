"""Prepares the private Wine prefix once before the system tests, and stops
its server after them.

  wine_prefix.py prepare   check that this build's Wine runs here, create
                           the prefix (anew if the other Wine made it),
                           select the null graphics driver, start a
                           persistent wineserver
  wine_prefix.py stop      stop the wineserver
"""
import shutil
import subprocess
import sys

import harness
import wine_host


def run(command, check=True, timeout=240):
    # Wine's server and services outlive the command that started them; they
    # must not inherit the caller's output pipes, or whoever reads those
    # (CTest) would wait for them to end.
    return subprocess.run(command, env=harness.wine_env(), check=check,
                          timeout=timeout, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def server(*args, check=False, timeout=60):
    return run([str(harness.WINE.server), *args], check=check, timeout=timeout)


def prefix_arch(prefix):
    """"win32" or "win64" as the prefix's registry says, or None."""
    try:
        with open(prefix / "system.reg", encoding="latin-1") as registry:
            for line in registry:
                if line.startswith("#arch="):
                    return line.strip().split("=", 1)[1]
    except FileNotFoundError:
        pass
    return None


def prepare():
    failure = wine_host.try_loader(harness.WINE)
    if failure:
        sys.exit(f"wine: the {harness.WINE.name} build cannot run here: "
                 f"{failure}")
    print(f"wine: {harness.WINE.describe()}")
    prefix = harness.prefix_dir()
    arch = prefix_arch(prefix)
    if arch and arch != harness.WINE.name:
        shutil.rmtree(prefix)  # Made by the other Wine: unusable by this one.
        arch = None
    if arch is None:
        run(harness.wine("wineboot", "--init"))
        run(harness.wine("reg", "add", r"HKCU\Software\Wine\Drivers", "/v",
                         "Graphics", "/d", "null", "/f"))
        # The desktop process started by the first boot chose its graphics
        # driver before the setting existed; end it so the next one reads it.
        server("-k")
        server("-w", timeout=240)
    # A persistent server keeps every later start fast. It fails harmlessly
    # when a server of this prefix is running already.
    server("-p")
    # The first program that touches a window starts Wine's desktop process,
    # which lives as long as the server. Started here, it holds none of a
    # test's pipes (a test reading a program's output to its end would
    # otherwise wait for the desktop too).
    run(harness.wine(harness.tool("post.exe"), "morvask-no-window", 0, 0),
        check=False)
    print("wine prefix ready:", prefix)


def stop():
    server("-k")


if __name__ == "__main__":
    {"prepare": prepare, "stop": stop}[sys.argv[1]]()
