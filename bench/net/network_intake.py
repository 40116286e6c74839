#!/usr/bin/env python3
"""Measures marquill-server's network intake: jobs accepted per second over the raw socket and over IPP
for 100 small plot files, and the time from a job's last byte to the job being listed by the queue.

    bench/net/network_intake.py BUILD_DIR/bin/marquill-server [--jobs 100]

The server runs in a temporary home on loopback ports with the shipped device profile and the File port;
ipptool (cups-ipp-utils) sends the IPP jobs. "Accepted" is the client's view: a raw job once its
connection is closed, an IPP job once Print-Job has answered. "Listed" is the server log's "job found"
line for the job's file, seen by polling the log every 2 ms.
"""

import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

SMALL_PLOT = b"IN;SP1;PU0,0;PD400,0,400,400,0,400,0,0;PU;SP0;"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for(log_path, text, since, timeout=60.0):
    """The time (perf_counter) at which text first shows in the log after byte offset since."""
    deadline = time.perf_counter() + timeout
    while time.perf_counter() < deadline:
        with open(log_path, "rb") as log:
            log.seek(since)
            if text.encode() in log.read():
                return time.perf_counter()
        time.sleep(0.002)
    raise TimeoutError(text)


def log_size(log_path):
    return os.path.getsize(log_path)


def count_in_log(log_path, text):
    with open(log_path, "rb") as log:
        return log.read().count(text.encode())


def send_raw(port, data):
    with socket.create_connection(("127.0.0.1", port)) as client:
        client.sendall(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("server")
    parser.add_argument("--jobs", type=int, default=100)
    arguments = parser.parse_args()
    arguments.server = os.path.abspath(arguments.server)
    bin_dir = os.path.dirname(arguments.server)
    home = tempfile.mkdtemp(prefix="marquill-bench-")
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "config")
    for profile in ("Plotter.INI", "Plotter_Eng.INI"):
        shutil.copy(os.path.join(source, profile), home)
    with open(os.path.join(home, "Server.INI"), "w", encoding="utf-8") as ini:
        ini.write(f"[SYSTEM]\nLanguage=1033\nREMAINMEDIALENGTH=10000000\n[Receive]\nAReceivePath={home}/in\n"
                  "AutoDeleType=0\n")
    ipp_port, raw_port = free_port(), free_port()
    log_path = os.path.join(home, "log.txt")
    environment = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
    with open(log_path, "wb") as log:
        server = subprocess.Popen([arguments.server, "--home", home, "--listen", f"127.0.0.1:{ipp_port}",
                                   "--raw-port", str(raw_port)], stdout=log, stderr=subprocess.STDOUT,
                                  env=environment, cwd=bin_dir)
    try:
        wait_for(log_path, "started:", 0, timeout=20)
        jobs = arguments.jobs

        # Raw socket: one connection per job, back to back.
        start = time.perf_counter()
        for _ in range(jobs):
            send_raw(raw_port, SMALL_PLOT)
        sent = time.perf_counter()
        deadline = time.perf_counter() + 120
        while count_in_log(log_path, "job found: ") < jobs and time.perf_counter() < deadline:
            time.sleep(0.002)
        listed = time.perf_counter()
        print(f"raw socket: {jobs} jobs accepted in {sent - start:.3f} s = {jobs / (sent - start):.0f} jobs/s; "
              f"all listed {listed - start:.3f} s after the first = {jobs / (listed - start):.0f} jobs/s")

        # IPP: one ipptool run sends every Print-Job over one connection, each answered before the next.
        plot = os.path.join(home, "small.plt")
        with open(plot, "wb") as data:
            data.write(SMALL_PLOT)
        uri = f"ipp://127.0.0.1:{ipp_port}/ipp/print"
        requests = os.path.join(home, "jobs.test")
        with open(requests, "w", encoding="utf-8") as test:
            for number in range(jobs):
                test.write("{\n OPERATION Print-Job\n GROUP operation-attributes-tag\n"
                           " ATTR charset attributes-charset utf-8\n"
                           " ATTR naturalLanguage attributes-natural-language en\n ATTR uri printer-uri $uri\n"
                           f" ATTR name requesting-user-name bench\n ATTR name job-name \"ipp-{number}.plt\"\n"
                           " ATTR mimeMediaType document-format application/vnd.hp-HPGL\n"
                           " FILE $filename\n STATUS successful-ok\n}\n")
        start = time.perf_counter()
        subprocess.run(["ipptool", "-t", "-f", plot, uri, requests], check=True, stdout=subprocess.DEVNULL)
        sent = time.perf_counter()
        deadline = time.perf_counter() + 120
        while count_in_log(log_path, "job found: ") < 2 * jobs and time.perf_counter() < deadline:
            time.sleep(0.002)
        listed = time.perf_counter()
        print(f"IPP: {jobs} jobs accepted in {sent - start:.3f} s = {jobs / (sent - start):.0f} jobs/s; "
              f"all listed {listed - start:.3f} s after the first = {jobs / (listed - start):.0f} jobs/s")

        # Last byte to listed, one job at a time on an idle queue.
        for kind in ("raw", "ipp"):
            delays = []
            for number in range(20):
                time.sleep(0.3)
                since = log_size(log_path)
                if kind == "raw":
                    send_raw(raw_port, SMALL_PLOT)
                    done = time.perf_counter()
                else:
                    name = f"latency-{number}.plt"
                    shutil.copy(plot, os.path.join(home, name))
                    subprocess.run(["ipptool", "-d", f"filename={home}/{name}", "-f", os.path.join(home, name),
                                    uri, "print-job.test"], check=True, stdout=subprocess.DEVNULL)
                    done = time.perf_counter()
                delays.append(wait_for(log_path, "job found: ", since) - done)
            delays.sort()
            print(f"{kind}: last byte to listed, 20 jobs: median {delays[10] * 1000:.0f} ms, "
                  f"worst {delays[-1] * 1000:.0f} ms")
    except TimeoutError:
        with open(log_path, encoding="utf-8", errors="replace") as log:
            sys.stderr.write(log.read())
        raise
    finally:
        server.send_signal(signal.SIGTERM)
        server.wait(timeout=30)
        shutil.rmtree(home, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
