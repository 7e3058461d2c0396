#!/usr/bin/env python3
"""panelhost.exe's text on a console: a path outside ASCII, printed at a
terminal (wine makes it the program's console, written with WriteConsoleW)
and through a pipe, reads the same, with no character split or garbled.
Usage: console_text.py PANELHOST DLL SCENARIO
PANELHOST may hold an emulator before the program ("tools/wine64-run PREFIX
panelhost.exe").
"""
import os
import pty
import select
import shlex
import shutil
import subprocess
import sys
import tempfile

panelhost, dll, scenario = shlex.split(sys.argv[1]), sys.argv[2], sys.argv[3]
failures = []
# A folder beside the DLL's, so that the path stays relative (as wine reads it).
folder = tempfile.mkdtemp(prefix="Studio Tést – ", dir=os.path.dirname(dll) or ".")
try:
    plugin = os.path.join(os.path.relpath(folder), os.path.basename(dll))
    shutil.copy(dll, plugin)
    args = panelhost + ["run", plugin, "--script", scenario]
    wanted = os.path.basename(folder).encode()
    env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")

    piped = subprocess.run(args, capture_output=True, env=env, timeout=120)
    if wanted not in piped.stdout:
        failures.append(f"through a pipe the path reads: {piped.stdout[:200]!r}")

    pid, fd = pty.fork()
    if pid == 0:
        os.execvpe(args[0], args, env)
    seen = b""
    while True:
        ready, _, _ = select.select([fd], [], [], 120)
        if not ready:
            break
        try:
            chunk = os.read(fd, 65536)
        except OSError:
            break
        if not chunk:
            break
        seen += chunk
    os.waitpid(pid, 0)
    os.close(fd)
    line = next((l for l in seen.split(b"\n") if b"with scenario" in l), b"")
    print(f"at a terminal: {line.decode('utf-8', 'replace').strip()}")
    if wanted not in seen:
        failures.append(f"at a terminal the path reads: {line!r}")
finally:
    shutil.rmtree(folder, ignore_errors=True)

for failure in failures:
    print("FAIL: " + failure)
if not failures:
    print("a path outside ASCII reads the same at a terminal and through a pipe")
sys.exit(1 if failures else 0)
