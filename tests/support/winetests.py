"""What the Python tests of the Windows build share: the environment that
runs a build folder's programs under its Wine prefix, and checks that gather
their failures and end the test with them."""
import os, subprocess, sys

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
failures = []


def check(what, got, wanted):
    if got != wanted:
        failures.append(f"{what}:\n  got    {got!r}\n  wanted {wanted!r}")


def wine_env(build):
    script = f'. "{TOP}/scripts/wine-env.sh" && corvane_wine_prepare "{build}" >&2 && env -0'
    out = subprocess.run(["bash", "-c", script], check=True, stdout=subprocess.PIPE, timeout=240).stdout
    return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)


def finish():
    """Ends the test: its failures, and exit code 1 when there are any."""
    if failures:
        print("\n".join(failures))
    sys.exit(1 if failures else 0)
