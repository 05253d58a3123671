#!/usr/bin/env python3
"""The launcher benchmark; see run-launcher-bench.sh. Usage: launcher-bench.py BUILD_DIR"""
import fcntl
import os
import pty
import shutil
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1])
LAUNCHER = os.path.join(BUILD, "launcher/terminal/launcher")
BUSY_POLL = os.path.join(BUILD, "bench/launcher_busy_poll")
RELEASE = os.path.join(BUILD, "tools/release/gamerelease")
PACKAGE_BYTES = 20 * 1024 * 1024
RATE = PACKAGE_BYTES // 10  # about 10 seconds of download
STARTS = 30
TICKS = os.sysconf("SC_CLK_TCK")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def serve(site, rate):
    port = free_port()
    args = [sys.executable, os.path.join(ROOT, "scripts/demo-server.py"), site, str(port)]
    server = subprocess.Popen(args + [str(rate)])
    url = "http://127.0.0.1:%d" % port
    for _ in range(100):
        if subprocess.call(["curl", "-fs", "-o", os.devnull, url + "/"]) == 0:
            return server, url
        time.sleep(0.05)
    server.kill()
    sys.exit("launcher-bench: the update server did not start")


def write(path, text, mode=0o644):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as out:
        out.write(text)
    os.chmod(path, mode)


def installation(work, name, url, game):
    install = os.path.join(work, name)
    write(os.path.join(install, "launcher.ini"),
          "[Config]\nURL1=%s/list.xml\nApp=game.sh\nTextDownload=%%.1f of %%.1f MB\n" % url)
    write(os.path.join(install, "game.sh"), game, 0o755)
    return install


def main_thread_cpu(pid):
    """utime + stime of the process's main thread, in seconds; None once it is gone."""
    try:
        with open("/proc/%d/task/%d/stat" % (pid, pid)) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) / TICKS


def cpu_share(program, install):
    """The main thread's CPU seconds over the wall seconds of one whole update."""
    for name in ("installed_updates", "data"):
        shutil.rmtree(os.path.join(install, name), ignore_errors=True)
        if os.path.exists(os.path.join(install, name)):
            os.remove(os.path.join(install, name))
    # On a terminal 120 columns wide, as a player sees it: the line with its bar is redrawn.
    terminal, screen = pty.openpty()
    fcntl.ioctl(screen, termios.TIOCSWINSZ, struct.pack("HHHH", 30, 120, 0, 0))
    start = time.monotonic()
    launcher = subprocess.Popen([program], cwd=install, stdout=screen)
    os.close(screen)
    shown = []
    reader = threading.Thread(target=drain, args=(terminal, shown))
    reader.start()
    cpu = 0.0
    while launcher.poll() is None:
        sample = main_thread_cpu(launcher.pid)
        if sample is not None:
            cpu, wall = sample, time.monotonic() - start
        time.sleep(0.02)
    reader.join()
    if launcher.returncode != 0 or not os.path.exists(os.path.join(install, "data/big.bin")):
        sys.exit("launcher-bench: %s did not apply the package" % program)
    if b"MB/s" not in b"".join(shown):
        sys.exit("launcher-bench: %s showed no speed on the terminal" % program)
    return cpu / wall, wall


def drain(terminal, shown):
    """Reads what the launcher (and the game after it) write to the terminal until it closes."""
    while True:
        try:
            block = os.read(terminal, 65536)
        except OSError:
            break
        if not block:
            break
        shown.append(block)
    os.close(terminal)


def started_after(command, install):
    """Seconds from starting command to the game's first line."""
    stamp = os.path.join(install, "stamp")
    if os.path.exists(stamp):
        os.remove(stamp)
    start = time.time_ns()
    subprocess.Popen(command, cwd=install, stdout=subprocess.DEVNULL).wait()
    for _ in range(2000):
        if os.path.exists(stamp) and os.path.getsize(stamp):
            with open(stamp) as text:
                return (int(text.read()) - start) / 1e9
        time.sleep(0.001)
    sys.exit("launcher-bench: the game did not start from %s" % command[0])


def main():
    work = tempfile.mkdtemp(prefix="launcher-bench-")
    servers = []
    try:
        # The update: one package of random data, released with the release tool.
        studio, site = os.path.join(work, "studio"), os.path.join(work, "site")
        os.makedirs(os.path.join(studio, "1.0"))
        os.makedirs(site)
        write(os.path.join(studio, "1.1/data/version.txt"), "1.1")
        with open(os.path.join(studio, "1.1/data/big.bin"), "wb") as big:
            big.write(os.urandom(PACKAGE_BYTES))
        slow, slow_url = serve(site, RATE)
        servers.append(slow)
        subprocess.check_call([RELEASE, "package", os.path.join(studio, "1.0"),
                               os.path.join(studio, "1.1"), "--from", "1.0", "--to", "1.1",
                               "--url", slow_url + "/", "--out", site],
                              stdout=subprocess.DEVNULL)
        update = installation(work, "update", slow_url, "#!/bin/sh\n")
        shares = {}
        for name, program in (("waiting", LAUNCHER), ("busy poll", BUSY_POLL)):
            shares[name], wall = cpu_share(program, update)
            print("(a) %-9s main thread %5.2f%% of a core over a %.1f s update"
                  % (name, 100 * shares[name], wall))
        print("(a) main thread CPU share %.2f%% (goal < 1%%), busy poll %.1f%%, ratio %.3f"
              % (100 * shares["waiting"], 100 * shares["busy poll"],
                 shares["waiting"] / shares["busy poll"]))

        # Nothing to update: the list names only 1.0 -> 1.1 and 1.1 is installed.
        fast, fast_url = serve(site, 1 << 40)
        servers.append(fast)
        game = "#!/bin/sh\ndate +%s%N > stamp\n"
        current = installation(work, "current", fast_url, game)
        write(os.path.join(current, "installed_updates"),
              '<?xml version="1.0"?>\n<game>\n   <update>\n      <to>1.1</to>\n   </update>\n</game>\n')
        curl = ["sh", "-c", "curl -fs -o list.xml %s/list.xml && ./game.sh L" % fast_url]
        ours, theirs = [], []
        for _ in range(STARTS):
            ours.append(started_after([LAUNCHER], current))
            theirs.append(started_after(curl, current))
        ours_ms, theirs_ms = 1000 * statistics.median(ours), 1000 * statistics.median(theirs)
        print("(b) start to game, median of %d: launcher %.1f ms, curl then game %.1f ms, "
              "ratio %.2f (goal <= 1.5)" % (STARTS, ours_ms, theirs_ms, ours_ms / theirs_ms))
    finally:
        for server in servers:
            server.kill()
        shutil.rmtree(work, ignore_errors=True)


main()
