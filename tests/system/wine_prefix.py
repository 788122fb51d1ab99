"""Prepares the private Wine prefix once before the system tests, and stops
its server after them.

  wine_prefix.py prepare   create the prefix (if missing), select the null
                           graphics driver, start a persistent wineserver
  wine_prefix.py stop      stop the wineserver
"""
import subprocess
import sys

import harness


def wine(*args, check=True, timeout=240):
    # Wine's server and services outlive the command that started them; they
    # must not inherit the caller's output pipes, or whoever reads those
    # (CTest) would wait for them to end.
    return subprocess.run(list(args), env=harness.wine_env(), check=check,
                          timeout=timeout, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def prepare():
    prefix = harness.prefix_dir()
    if not (prefix / "system.reg").exists():
        wine("wineboot", "--init")
        wine("wine", "reg", "add", r"HKCU\Software\Wine\Drivers", "/v",
             "Graphics", "/d", "null", "/f")
        # The desktop process started by the first boot chose its graphics
        # driver before the setting existed; end it so the next one reads it.
        wine("wineserver", "-k", check=False, timeout=60)
        wine("wineserver", "-w", check=False)
    # A persistent server keeps every later start fast. It fails harmlessly
    # when a server of this prefix is running already.
    wine("wineserver", "-p", check=False, timeout=60)
    print("wine prefix ready:", prefix)


def stop():
    wine("wineserver", "-k", check=False, timeout=60)


if __name__ == "__main__":
    {"prepare": prepare, "stop": stop}[sys.argv[1]]()
