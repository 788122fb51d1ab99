"""Prepares the private Wine prefix once before the system tests, and stops
its server after them.

  wine_prefix.py prepare   create the prefix (if missing), select the null
                           graphics driver, start a persistent wineserver
  wine_prefix.py stop      stop the wineserver
"""
import subprocess
import sys

import harness


def prepare():
    env = harness.wine_env()
    prefix = harness.prefix_dir()
    if not (prefix / "system.reg").exists():
        subprocess.run(["wineboot", "--init"], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=240)
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=240)
    # A persistent server keeps every later start fast. It fails harmlessly
    # when a server of this prefix is running already.
    subprocess.run(["wineserver", "-p"], env=env, timeout=60)
    subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\Drivers",
                    "/v", "Graphics", "/d", "null", "/f"], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=120)
    print("wine prefix ready:", prefix)


def stop():
    subprocess.run(["wineserver", "-k"], env=harness.wine_env(), timeout=60)


if __name__ == "__main__":
    {"prepare": prepare, "stop": stop}[sys.argv[1]]()
