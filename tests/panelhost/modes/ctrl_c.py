#!/usr/bin/env python3
"""Ctrl+C and kill in every batch and prompt mode, as a person gives them.

`shell` and `soak` run in a pseudo-terminal, where Ctrl+C is the byte the
terminal turns into SIGINT; each must delete the panel ("RU 7" then "AS"
last) and end with status 130, the soak after its figures so far. `run`
writes into a pipe nobody reads until it waits for it; a kill must still
end it (status 143) with the panel deleted, its last lines there once the
pipe is read. A second Ctrl+C while the deletion hangs (ROGUE_PLUGIN's
slow-destroy) ends the process at once, saying so.
Usage: ctrl_c.py PANELHOST PLUGIN [ROGUE_PLUGIN]
PANELHOST may hold an emulator before the program ("tools/wine64-run PREFIX
panelhost.exe"): under wine, Ctrl+C reaches the program as the console's
Ctrl+C, its status is the low byte of STATUS_CONTROL_C_EXIT (0x3A), and
only the pty cases run (wine has no kill the program could take).
"""
import atexit
import os
import pty
import re
import shlex
import shutil
import select
import signal
import subprocess
import sys
import tempfile
import time

panelhost, plugin = shlex.split(sys.argv[1]), sys.argv[2]
rogue = sys.argv[3] if len(sys.argv) > 3 else None
windows = any("wine" in word for word in panelhost)
stop_status = 0x3A if windows else 130
failures = []


def read_until(fd, wanted, seconds, seen=b""):
    """Reads the pty until `wanted` is in what was read (or it ends)."""
    deadline = time.monotonic() + seconds
    while wanted not in seen and time.monotonic() < deadline:
        ready, _, _ = select.select([fd], [], [], 0.1)
        if ready:
            try:
                chunk = os.read(fd, 65536)
            except OSError:
                break
            if not chunk:
                break
            seen += chunk
    return seen


def in_pty(args, ready, name):
    """Starts `args` in a pty, waits for `ready`, types Ctrl+C, checks the end."""
    pid, fd = pty.fork()
    if pid == 0:
        os.execvp(args[0], args)
    out = read_until(fd, ready, 20)
    if ready not in out:
        failures.append(f"{name}: never printed {ready!r}: {out[-400:]!r}")
    time.sleep(0.3)
    began = time.monotonic()
    os.write(fd, b"\x03")
    out = read_until(fd, b"<- AS", 10, out)
    out = read_until(fd, b"\x00never", 2, out)  # the rest, up to the end
    status = None
    for _ in range(100):
        done, wait_status = os.waitpid(pid, os.WNOHANG)
        if done:
            status = os.waitstatus_to_exitcode(wait_status)
            break
        time.sleep(0.05)
    took = time.monotonic() - began
    if status is None:
        os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)
    os.close(fd)
    # Wine's console adds its own escape sequences (cursor shown, line cleared).
    text = re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", out.decode("utf-8", "replace"))
    lines = [l.strip() for l in text.replace("\r", "").split("\n") if l.strip()]
    commands = [l for l in lines if "<- " in l]
    print(f"figure: Ctrl+C in {name}: ended with status {status} in {took:.2f} s")
    if status != stop_status:
        failures.append(f"{name}: Ctrl+C ended with status {status}, not {stop_status}")
    if len(commands) < 2 or not commands[-2].endswith("<- RU 7") or not commands[-1].endswith("<- AS"):
        failures.append(f"{name}: the last commands were not RU 7 then AS: {lines[-6:]}")
    return lines


in_pty(panelhost + ["shell", plugin], b"panelhost>", "shell")
soak = in_pty(panelhost + ["soak", plugin, "--events", "1000000000"], b"at start:", "soak")
if not any(l.startswith("panelhost soak: stopped after ") for l in soak):
    failures.append(f"soak: no summary of the events so far: {soak[-8:]}")

# A second Ctrl+C while the panel's deletion hangs ends the process at once.
if rogue:
    # The rogue reads its breach from the layout folder's name, and a
    # --layouts folder must be there: it is made, and the shell run beside it.
    scratch = tempfile.mkdtemp()
    atexit.register(shutil.rmtree, scratch, True)
    os.mkdir(os.path.join(scratch, "slow-destroy"))
    pid, fd = pty.fork()
    if pid == 0:
        os.chdir(scratch)
        os.execvp(panelhost[0], panelhost + ["shell", os.path.abspath(rogue), "--layouts", "slow-destroy"])
    out = read_until(fd, b"panelhost>", 20)
    os.write(fd, b"\x03")
    # The second Ctrl+C comes once the deletion has begun (and hangs).
    out = read_until(fd, b"delete the panel", 10, out)
    time.sleep(0.2)
    began = time.monotonic()
    os.write(fd, b"\x03")
    out = read_until(fd, b"\x00never", 3, out)
    # The terminal closes while the process ends: it may not be reapable yet.
    done, wait_status = os.waitpid(pid, os.WNOHANG)
    while not done and time.monotonic() - began < 5:
        time.sleep(0.05)
        done, wait_status = os.waitpid(pid, os.WNOHANG)
    took = time.monotonic() - began
    if not done:
        os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)
        failures.append(f"a second Ctrl+C while the panel's deletion hangs did not end the process: {out[-300:]!r}")
    else:
        status = os.waitstatus_to_exitcode(wait_status)
        print(f"figure: a second Ctrl+C during a deletion that hangs: ended with status {status} in {took:.2f} s")
        if status != stop_status or b"stopped at once by a second Ctrl+C" not in out:
            failures.append(f"a second Ctrl+C: status {status}, output {out[-300:]!r}")
    os.close(fd)

# `run` held up by a pipe nobody reads: a scenario of many takes fills it.
if not windows:
    with tempfile.TemporaryDirectory() as here:
        scenario = os.path.join(here, "many.scenario")
        with open(scenario, "w") as f:
            f.write("press SourceSel 5\nwait 300\n" * 20000)
        run = subprocess.Popen(panelhost + ["run", plugin, "--script", scenario], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
        time.sleep(1.5)
        if run.poll() is not None:
            failures.append(f"run: ended by itself (status {run.returncode}) before its output filled the pipe")
        run.send_signal(signal.SIGTERM)
        began = time.monotonic()
        out, err = run.communicate(timeout=20)
        lines = [l for l in out.decode("utf-8", "replace").split("\n") if "<- " in l]
        print(f"figure: a kill while run waited for an unread pipe: ended with status {run.returncode} "
              f"in {time.monotonic() - began:.2f} s")
        if run.returncode != 143:
            failures.append(f"run: a kill ended it with status {run.returncode}, not 143: {err!r}")
        if len(lines) < 2 or not lines[-2].endswith("<- RU 7") or not lines[-1].endswith("<- AS"):
            failures.append(f"run: the last commands were not RU 7 then AS: {lines[-3:]}")

for failure in failures:
    print("FAIL: " + failure)
if not failures:
    print("Ctrl+C and kill end every mode with the panel deleted")
sys.exit(1 if failures else 0)
