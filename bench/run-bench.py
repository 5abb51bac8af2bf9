#!/usr/bin/env python3
"""NR-QD8K beside two peer servers and the limit of this machine, in one run.

Every server runs from a temporary folder on a free port of 127.0.0.1 and is measured with
nr-load. NR-QD8K runs twice: as nr-serve, the server without a window, its printed trace going
to /dev/null, and with its window on an Xvfb display under openbox, which this script starts;
each takes turns with a limit server of its own, and for the window the UI thread's wake-ups per
report are counted from outside (the main thread's context switches in /proc). With its
window, it also serves 100 units each from an address of its own, its unit list closed and
open by turns (opened with xdotool, as an operator opens it). The figures, their ratios to the
limit and the targets are printed and written to RESULTS.md as its "after" section (or, with --section before, its "before" section); the other
section and everything from "## Notes" on, written by hand, are kept, and the table of targets
compares the two. Exit status 0 also when a target is missed; 1 when something broke (a server
did not start or end cleanly, a reply was wrong, or missing where every reply must come, a CSV
log did not hold one row per report).
"""

import argparse
import datetime
import fcntl
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import mqtt_bench

HERE = Path(__file__).resolve().parent

THROUGHPUT_RUNS = 3  # best of: the machine is shared, and a neighbour only ever slows a run
THROUGHPUT_COUNT = 5_000
CONCURRENT_UNITS = 8
LATENCY_COUNT = 5_000
LATENCY_UNITS = 20
LATENCY_RATE = 500
BURST_UNITS = 100
BURST_RUNS = 3  # the slowest reply of all of them counts
SILENT_UNITS = 8
SILENT_HELD = 5
SILENT_SECONDS = 10.0  # bounds the run when a silent connection holds the server up
MEMORY_FIRST = 10_000
MEMORY_TOTAL = 100_000
IDLE_SECONDS = 10.0
LIST_UNITS = 100  # each from an address of its own, while the unit list shows them
LIST_FIRST_ADDRESS = "127.0.0.2"
SETTLE_SECONDS = 1.0  # the window is still being shown when the socket starts listening
STOP_REPEATS = 50
STOP_HELD = 100  # silent connections held open while the stop is asked for
STOP_HELD_REPEATS = 10
LISTEN_BOUND = 10.0
EXIT_BOUND = 5.0
# Assumed slowest pace of a working server: bounds each nr-load run.
SLOWEST_RATE = 500
# Below this, a change of resident memory is allocator and page noise, not growth.
RSS_NOISE_KB = 256

TARGET_SEQ_OF_LIMIT = 0.85
TARGET_WINDOW_OF_LIMIT = 0.85
TARGET_SERVE_OF_LIMIT = 0.90
TARGET_WAKES_PER_REPORT = 0.05
TARGET_LIST_OF_CLOSED = 0.9  # the list open against closed: no fall beyond the run's noise
TARGET_P99_US = 1000
TARGET_BURST_MAX_US = 100_000
TARGET_SILENT_P99_US = 2000
TARGET_IDLE_CPU = 0.5
TARGET_STOP_US = 5000
SLOW_US = 1_000_000  # what nr-load counts in over_1s
HELD_SECONDS = 5.0  # how long the log is held while units report
WAITING_BOUND = 15.0  # the waiting rows are in the log by then, once it is free
MQTT_UNITS = (1, CONCURRENT_UNITS)  # the full-load runs with publishing off and on

# A CSV row as all four servers write it; NR-QD8K's header line opens with 日付 in CP932.
ROW = re.compile(rb"\d{4}/\d\d/\d\d,\d\d:\d\d:\d\d,\d+\.\d+\.\d+\.\d+(,[01]){5}\r")
HEADER = "日付,".encode("cp932")
NOTES_HEADING = "## Notes"
SECTIONS = ("after", "before")
# Each section carries its figures, so that a later run can compare with it.
FIGURES_COMMENT = re.compile(r"<!-- figures (.*?) -->")

SERVE, PYTHON, NODE, LIMIT = "nr-serve", "pyserver.py", "nodeserver.js", "nr-limit-server"
WINDOW = "NR-QD8K, window"
# Older sections measured the window offscreen under this name, where nr-serve stands now.
OFFSCREEN = "NR-QD8K"
# Each of NR-QD8K's two runs takes turns with a limit server of its own.
BESIDE = {SERVE: "nr-limit-server, beside nr-serve", WINDOW: "nr-limit-server, beside the window"}
# nr-serve first: its start-up meets a quiet TCP table.
SERVERS = (SERVE, WINDOW, LIMIT, PYTHON, NODE)

# Main table: key, heading, whether more is better.
COLUMNS = (
    ("seq_on", "1 unit, log on (rep/s)", True),
    ("seq_off", "1 unit, log off (rep/s)", True),
    ("conc_on", f"{CONCURRENT_UNITS} units, log on (rep/s)", True),
    ("conc_off", f"{CONCURRENT_UNITS} units, log off (rep/s)", True),
    ("p50", "p50 (µs)", False),
    ("p90", "p90 (µs)", False),
    ("p99", "p99 (µs)", False),
    ("max", "max (µs)", False),
)

# UI thread wake-ups per report, the window alone: key, heading.
WAKE_COLUMNS = (
    ("wakes_seq_on", "1 unit, log on"),
    ("wakes_seq_off", "1 unit, log off"),
    ("wakes_conc_on", f"{CONCURRENT_UNITS} units, log on"),
    ("wakes_conc_off", f"{CONCURRENT_UNITS} units, log off"),
)

# Side-by-side table, logging on: key, heading, whether more is better.
SIDE_COLUMNS = (
    ("burst_max", f"{BURST_UNITS} at once: slowest (µs)", False),
    ("burst_slow", f"{BURST_UNITS} at once: over 1 s", False),
    ("burst_missing", f"{BURST_UNITS} at once: missing", False),
    ("silent_rate", f"{SILENT_UNITS} units, {SILENT_HELD} silent: rep/s", True),
    ("silent_p99", f"{SILENT_UNITS} units, {SILENT_HELD} silent: p99 (µs)", False),
    ("silent_max", f"{SILENT_UNITS} units, {SILENT_HELD} silent: max (µs)", False),
    ("silent_missing", f"{SILENT_UNITS} units, {SILENT_HELD} silent: missing", False),
)


class Broken(Exception):
    """Something that makes the run's figures worthless."""


def free_port():
    """Free on every address, as the servers bind it: a unit that reported from another
    loopback address (--from) may still hold the port there for a while, closing."""
    with socket.socket() as sock:
        sock.bind(("", 0))
        return sock.getsockname()[1]


def is_listening(port):
    # Read from the kernel's table: a test connect would be a unit that sends nothing.
    entry = re.compile(rf":{port:04X} [0-9A-F]+:[0-9A-F]{{4}} 0A ")
    return any(entry.search(Path(table).read_text())
               for table in ("/proc/net/tcp", "/proc/net/tcp6"))


def machine_line(text, prefix):
    """The key=value line a tool prints for scripts, as numbers."""
    for line in reversed(text.splitlines()):
        if line.startswith(prefix):
            return {key: float(value) for key, value in
                    (field.split("=", 1) for field in line.split())}
    raise Broken(f"no '{prefix}' line in: {text.strip()[-300:]}")


class Server:
    """One server process under test, run from a folder of its own."""

    def __init__(self, name, argv, folder, csv, logs, env=None, quiet=False):
        self.name, self.argv, self.folder, self.csv, self.logs = name, argv, folder, csv, logs
        self.env, self.quiet = env, quiet
        self.port = self.output = self.process = None
        self.reports = 0  # sent to this process and answered
        self.unanswered = 0  # sent and given up on: the server may still have logged them

    def start(self, port):
        """Seconds from spawn to a listening socket."""
        self.port = port
        self.output = open(self.folder / "output.txt", "wb")
        spawned = time.monotonic()
        try:
            stdout = subprocess.DEVNULL if self.quiet else self.output
            self.process = subprocess.Popen(self.argv, cwd=self.folder, env=self.env,
                                            stdin=subprocess.DEVNULL, stdout=stdout,
                                            stderr=self.output)
        except OSError as error:
            raise Broken(f"{self.name} cannot be run: {error}")
        while not is_listening(port):
            if self.process.poll() is not None:
                raise Broken(f"{self.name} ended at start-up: {self.tail()}")
            if time.monotonic() - spawned > LISTEN_BOUND:
                raise Broken(f"{self.name} did not listen within {LISTEN_BOUND:.0f} s")
            time.sleep(0.001)
        return time.monotonic() - spawned

    def stop(self):
        """SIGTERM, SIGKILL if it lingers; its exit status, None when it had to be killed."""
        if self.process is None:
            return None
        try:
            if self.process.poll() is None:
                self.process.terminate()
                self.process.wait(EXIT_BOUND)
            return self.process.returncode
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            return None
        finally:
            self.output.close()

    def tail(self):
        self.output.flush()
        return (self.folder / "output.txt").read_text(errors="replace")[-500:].strip()

    def rss_kb(self):
        status = Path(f"/proc/{self.process.pid}/status").read_text()
        return int(re.search(r"^VmRSS:\s+(\d+) kB", status, re.M).group(1))

    def ui_switches(self):
        """How often the main thread, the UI thread, has been switched out: each wake-up ends
        in one."""
        pid = self.process.pid
        status = Path(f"/proc/{pid}/task/{pid}/status").read_text()
        return sum(int(n) for n in
                   re.findall(r"^(?:non)?voluntary_ctxt_switches:\s+(\d+)", status, re.M))

    def cpu_seconds(self):
        # utime and stime, counted after the parenthesised name, which may hold spaces.
        stat = Path(f"/proc/{self.process.pid}/stat").read_text()
        fields = stat.rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def check_csv(self):
        """One well-formed row per report answered, and at most one per report given up on;
        none with logging off."""
        data = self.csv.read_bytes() if self.csv.exists() else b""
        lines = data.split(b"\n")
        rows = sum(1 for line in lines[:-1] if ROW.fullmatch(line))
        headers = sum(1 for line in lines[:-1] if line.startswith(HEADER))
        least = self.reports if self.logs else 0
        most = least + self.unanswered if self.logs else 0
        if lines[-1] or not least <= rows <= most or rows + headers != len(lines) - 1:
            raise Broken(f"{self.name}: the CSV log holds {rows} rows and "
                         f"{len(lines) - 1 - rows - headers} other lines for {least} reports "
                         f"answered and {self.unanswered} given up on")
        return rows


class Plan:
    """How much of each measurement to run: all of it, or a fraction to try the script out."""

    def __init__(self, scale):
        def of(reports):
            return max(100, int(reports * scale))

        self.scale = scale
        self.throughput, self.latency = of(THROUGHPUT_COUNT), of(LATENCY_COUNT)
        self.memory_first, self.memory_total = of(MEMORY_FIRST), of(MEMORY_TOTAL)
        self.idle = IDLE_SECONDS * scale
        self.stops = max(10, int(STOP_REPEATS * scale))
        self.held_stops = max(3, int(STOP_HELD_REPEATS * scale))


class Bench:
    def __init__(self, build, peers, root, plan, display):
        self.build, self.peers, self.root, self.plan = build, peers, root, plan
        self.display = display
        self.servers = []
        self.csv_rows = {}

    def make(self, kind, logging, name=None, extra_settings=""):
        """A server of that kind started, and the seconds it took to listen; name tells it
        from another of its kind. NR-QD8K and nr-serve take extra settings lines too."""
        name = name or kind
        folder = self.root / f"{name}-{'on' if logging else 'off'}"
        folder.mkdir()
        port = free_port()
        if kind in (SERVE, WINDOW):
            program = "nr-serve" if kind == SERVE else "NR-QD8K"
            exe = folder / program
            shutil.copy2(self.build / program, exe)
            settings = folder / "bench.qd"
            settings.write_bytes(f"#$PORT={port}\r\n#$LOGGING={'ON' if logging else 'OFF'}\r\n"
                                 f"#$SERVER=START\r\n{extra_settings}".encode("ascii"))
            (folder / "NR-QD8K.ini").write_bytes(str(settings).encode("ascii"))
            env = dict(os.environ, XDG_RUNTIME_DIR=str(folder))
            if kind == WINDOW:
                env.update(QT_QPA_PLATFORM="xcb", DISPLAY=self.display)
            server = Server(name, [str(exe)], folder, folder / "NR-QD8K.csv", logging, env,
                            quiet=kind == SERVE)
        else:
            command = {PYTHON: [sys.executable, str(self.peers / PYTHON)],
                       NODE: ["node", str(self.peers / NODE)],
                       LIMIT: [str(self.build / "bench" / LIMIT)]}[kind]
            csv = folder / "log.csv"
            argv = command + [str(port)] + ([str(csv)] if logging else [])
            server = Server(name, argv, folder, csv, logging)
        self.servers.append(server)
        return server, server.start(port)

    def load(self, server, reports, units, *extra, rate=None, every_reply=True):
        """nr-load's figures. Without every_reply, replies that never came are a figure too;
        a wrong one always breaks the run."""
        argv = [str(self.build / "tools" / "nr-load"), "--port", str(server.port),
                "--units", str(units), *extra]
        if "--burst" not in extra:
            argv += ["--count", str(reports)]
        if rate:
            argv += ["--rate", str(rate)]
        bound = 30 + reports / min(SLOWEST_RATE, rate or SLOWEST_RATE)
        try:
            run = subprocess.run(argv, capture_output=True, text=True, timeout=bound)
        except subprocess.TimeoutExpired:
            raise Broken(f"{server.name}: {reports} reports took over {bound:.0f} s")
        figures = machine_line(run.stdout, "reports=")
        if figures["wrong"] or (every_reply and (run.returncode != 0 or figures["ok"] != reports)):
            raise Broken(f"{server.name}: of {figures['reports']:.0f} reports, "
                         f"{figures['missing']:.0f} got no reply and {figures['wrong']:.0f} a "
                         f"wrong one: {run.stdout.strip()[-300:]}")
        server.reports += int(figures["ok"])
        server.unanswered += int(figures["missing"])
        server.check_csv()
        return figures

    def burst(self, server):
        """The slowest of BURST_RUNS bursts, and how many replies of them all were slow or
        missing."""
        runs = [self.load(server, BURST_UNITS, BURST_UNITS, "--burst", every_reply=False)
                for _ in range(BURST_RUNS)]
        return {"burst_max": max(run["max_us"] for run in runs),
                "burst_slow": sum(run["over_1s"] for run in runs),
                "burst_missing": sum(run["missing"] for run in runs)}

    def silent(self, server):
        """As fast as the units go while silent connections are held, bounded in time."""
        run = self.load(server, self.plan.throughput, SILENT_UNITS, "--silent", str(SILENT_HELD),
                        "--duration", str(SILENT_SECONDS), every_reply=False)
        return {"silent_ok": run["ok"], "silent_rate": run["rate"], "silent_p99": run["p99_us"],
                "silent_max": run["max_us"], "silent_missing": run["missing"],
                "silent_reopened": run["silent_reopened"]}

    def throughput(self, server, units, beside=None):
        """The best rate, and the UI thread's wake-ups per report over all the runs; with
        beside, also the best rate of that server, its runs taking turns with these."""
        switches, reports = server.ui_switches(), server.reports
        rates, beside_rates = [], []
        for _ in range(THROUGHPUT_RUNS):
            rates.append(self.load(server, self.plan.throughput, units)["rate"])
            if beside:
                beside_rates.append(self.load(beside, self.plan.throughput, units)["rate"])
        wakes = (server.ui_switches() - switches) / (server.reports - reports)
        return max(rates), wakes, max(beside_rates, default=0)

    def unit_list(self, server):
        """LIST_UNITS units, each from its own address, with the unit list closed and open by
        turns: the best rate of each, and the UI thread's wake-ups per report with it open."""
        rates = {False: [], True: []}
        switches = reports = 0
        for _ in range(THROUGHPUT_RUNS):
            for shown in (False, True):
                self.show_unit_list(server, shown)
                before = server.ui_switches(), server.reports
                rates[shown].append(self.load(server, self.plan.throughput, LIST_UNITS,
                                              "--from", LIST_FIRST_ADDRESS)["rate"])
                if shown:
                    switches += server.ui_switches() - before[0]
                    reports += server.reports - before[1]
        self.show_unit_list(server, False)
        return {"list_closed": max(rates[False]), "list_open": max(rates[True]),
                "wakes_list_open": switches / reports}

    def show_unit_list(self, server, shown):
        """As the operator opens it (Shift+F10, U on the main window) or closes it (Escape)."""
        env = dict(os.environ, DISPLAY=self.display)

        def xdotool(*args):
            return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True,
                                  timeout=10).stdout.split()

        def visible():
            return xdotool("search", "--all", "--onlyvisible", "--pid", str(server.process.pid),
                           "--name", "ユニット一覧")

        if bool(visible()) == shown:
            return
        if shown:
            main = xdotool("search", "--all", "--onlyvisible", "--pid", str(server.process.pid),
                           "--name", "^NR-QD8K$")
            xdotool("windowactivate", "--sync", main[0], "key", "shift+F10", "sleep", "0.3",
                    "key", "u")
        else:
            xdotool("windowactivate", "--sync", visible()[0], "key", "Escape")
        deadline = time.monotonic() + LISTEN_BOUND
        while bool(visible()) != shown:
            if time.monotonic() > deadline:
                raise Broken(f"the unit list did not {'open' if shown else 'close'}")
            time.sleep(0.05)

    def finish(self, server):
        status = server.stop()
        # NR-QD8K closes its window on SIGTERM, nr-serve stops; the others simply die of it.
        if server.name in (SERVE, WINDOW) and status != 0:
            raise Broken(f"{server.name} did not end cleanly on SIGTERM (status {status}): "
                         f"{server.tail()}")
        if server.logs:
            self.csv_rows[server.name] = (server.check_csv(), server.reports, server.unanswered)

    def idle_and_memory(self, server):
        time.sleep(SETTLE_SECONDS)
        cpu, start = server.cpu_seconds(), time.monotonic()
        time.sleep(self.plan.idle)
        idle = 100 * (server.cpu_seconds() - cpu) / (time.monotonic() - start)
        figures = {"idle_cpu": idle, "rss_start": server.rss_kb()}
        self.load(server, self.plan.memory_first, 1)
        figures["rss_first"] = server.rss_kb()
        self.load(server, self.plan.memory_total - self.plan.memory_first, 1)
        figures["rss_total"] = server.rss_kb()
        return figures

    def measure(self, kind):
        figures = {}
        for logging in (True, False):
            suffix = "on" if logging else "off"
            server, listen = self.make(kind, logging)
            # Beside NR-QD8K, the limit's runs take turns with its runs: a run the TCP table or
            # a neighbour slows then slows both.
            beside = self.make(LIMIT, logging, BESIDE[kind])[0] if kind in BESIDE else None
            if kind == SERVE and logging:
                figures["listen_ms"] = listen * 1000
                figures.update(self.idle_and_memory(server))
            if kind == WINDOW:
                time.sleep(SETTLE_SECONDS)
            for key, units in (("seq", 1), ("conc", CONCURRENT_UNITS)):
                rate, wakes, beside_rate = self.throughput(server, units, beside)
                figures[f"{key}_{suffix}"] = rate
                if kind == WINDOW:
                    figures[f"wakes_{key}_{suffix}"] = wakes
                if beside:
                    figures[f"limit_{key}_{suffix}"] = beside_rate
            if logging and kind == WINDOW:
                figures.update(self.unit_list(server))
            # With the window: what it costs the serving, nothing else.
            if logging and kind != WINDOW:
                latency = self.load(server, self.plan.latency, LATENCY_UNITS, rate=LATENCY_RATE)
                figures.update({key: latency[f"{key}_us"] for key in ("p50", "p90", "p99")})
                figures["max"] = latency["max_us"]
                # Last: a server that serves one connection at a time is still held up after.
                figures.update(self.burst(server))
                figures.update(self.silent(server))
            self.finish(server)
            if beside:
                self.finish(beside)
        return figures

    def held_log(self):
        """8 units while another program holds nr-serve's log for part of the run, as a
        spreadsheet does: the rate, how slow the replies got, and whether every row reached the
        log once it was free."""
        server, _ = self.make(SERVE, True, f"{SERVE}, log held")
        waiting = server.folder / "NR-QD8K.waiting"
        with open(server.csv, "ab") as held:
            fcntl.lockf(held, fcntl.LOCK_EX)
            run = subprocess.Popen(
                [str(self.build / "tools" / "nr-load"), "--port", str(server.port), "--units",
                 str(CONCURRENT_UNITS), "--duration", str(2 * HELD_SECONDS), "--count",
                 str(10 * self.plan.throughput)], stdout=subprocess.PIPE, text=True)
            time.sleep(HELD_SECONDS)
        stdout, _ = run.communicate(timeout=60 + 2 * HELD_SECONDS)
        figures = machine_line(stdout, "reports=")
        server.reports += int(figures["ok"])
        server.unanswered += int(figures["missing"])
        deadline = time.monotonic() + WAITING_BOUND
        while waiting.exists() and time.monotonic() < deadline:
            time.sleep(0.1)
        self.finish(server)
        return {"held_rate": figures["rate"], "held_p99": figures["p99_us"],
                "held_max": figures["max_us"], "held_missing": figures["missing"],
                "held_rows": server.check_csv(), "held_reports": server.reports}

    def stop_latency(self, repeats, silent):
        argv = [str(self.build / "bench" / "nr-stop-latency"), str(free_port()), str(repeats),
                str(silent)]
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=str(self.root))
        try:
            run = subprocess.run(argv, capture_output=True, text=True, timeout=120, env=env)
        except subprocess.TimeoutExpired:
            raise Broken("nr-stop-latency took over 120 s")
        if run.returncode != 0:
            raise Broken(f"nr-stop-latency failed: {run.stderr.strip()[-300:]}")
        return machine_line(run.stdout, "stops=")

    def stop_all(self):
        for server in self.servers:
            server.stop()


def machine():
    cpu = re.search(r"^model name\s*:\s*(.*)$", Path("/proc/cpuinfo").read_text(), re.M)
    node = subprocess.run(["node", "--version"], capture_output=True, text=True, timeout=10)
    return {
        "uname": subprocess.run(["uname", "-a"], capture_output=True, text=True,
                                timeout=10).stdout.strip(),
        "nproc": len(os.sched_getaffinity(0)),
        "cpu": cpu.group(1) if cpu else "unknown",
        "peers": f"Python {sys.version.split()[0]}, Node.js {node.stdout.strip()}",
    }


def number(value):
    return f"{value:,.0f}"


def targets(figures):
    """(figure, target, value, met) for each target."""
    nr = figures.get(SERVE) or figures[OFFSCREEN]
    limit, node = figures[LIMIT], figures[NODE]
    # The stop is the window's; older sections kept it with the offscreen window.
    stops = figures[WINDOW] if "stop_max" in figures.get(WINDOW, {}) else nr
    growth = nr["rss_total"] - nr["rss_first"]
    burst_ok = nr["burst_slow"] == 0 and nr["burst_missing"] == 0
    return [
        ("1 unit, one report after another, log on",
         f"at least {TARGET_SEQ_OF_LIMIT:.2f} of the limit",
         f"{number(nr['seq_on'])} rep/s, {nr['seq_on'] / limit['seq_on']:.2f} of the limit",
         nr["seq_on"] >= TARGET_SEQ_OF_LIMIT * limit["seq_on"]),
        (f"{CONCURRENT_UNITS} units at once, log on", "ahead of nodeserver.js",
         f"{number(nr['conc_on'])} rep/s, {nr['conc_on'] / node['conc_on']:.2f} of "
         "nodeserver.js", nr["conc_on"] > node["conc_on"]),
        (f"{BURST_UNITS} units at once, {BURST_RUNS} times",
         f"none over 1 s or missing, slowest at most {number(TARGET_BURST_MAX_US / 1000)} ms",
         f"slowest {number(nr['burst_max'] / 1000)} ms, {nr['burst_slow']:.0f} over 1 s, "
         f"{nr['burst_missing']:.0f} missing",
         burst_ok and nr["burst_max"] <= TARGET_BURST_MAX_US),
        (f"{SILENT_UNITS} units, {SILENT_HELD} silent connections held",
         f"p99 at most {number(TARGET_SILENT_P99_US / 1000)} ms, none missing",
         (f"p99 {nr['silent_p99'] / 1000:,.1f} ms" if nr["silent_ok"] else
          f"no reply in {SILENT_SECONDS:.0f} s") + f", {nr['silent_missing']:.0f} missing",
         nr["silent_p99"] <= TARGET_SILENT_P99_US and nr["silent_missing"] == 0),
        (f"p99 at {LATENCY_RATE} reports/s", f"at most {number(TARGET_P99_US)} µs",
         f"{number(nr['p99'])} µs", nr["p99"] <= TARGET_P99_US),
        ("Idle CPU", f"at most {TARGET_IDLE_CPU} % of one core", f"{nr['idle_cpu']:.2f} %",
         nr["idle_cpu"] <= TARGET_IDLE_CPU),
        ("Stop while idle", f"at most {number(TARGET_STOP_US / 1000)} ms",
         f"slowest {stops['stop_max'] / 1000:,.1f} ms", stops["stop_max"] <= TARGET_STOP_US),
        (f"Stop with {STOP_HELD} silent connections held",
         f"at most {number(TARGET_STOP_US / 1000)} ms",
         f"slowest {stops['stop_held_max'] / 1000:,.1f} ms",
         stops["stop_held_max"] <= TARGET_STOP_US),
        ("Resident memory, more reports", f"no growth beyond {RSS_NOISE_KB} kB",
         f"{growth:+,} kB", growth <= RSS_NOISE_KB),
        serve_target(figures.get(SERVE)),
        *window_targets(figures.get(WINDOW)),
        *mqtt_bench.targets(nr, MQTT_UNITS),
    ]


def serve_target(serve):
    """nr-serve against the limit beside it; not met when a run (an older one) did not measure
    it."""
    heading = f"{CONCURRENT_UNITS} units at once, nr-serve, log on"
    aim = f"at least {TARGET_SERVE_OF_LIMIT:.2f} of the limit beside it"
    if not serve or "limit_conc_on" not in serve:
        return (heading, aim, "not measured", False)
    ratio = serve["conc_on"] / serve["limit_conc_on"]
    return (heading, aim, f"{ratio:.2f} of the limit", ratio >= TARGET_SERVE_OF_LIMIT)


def window_targets(window):
    """The window's targets; not met when a run (an older one) did not measure it."""
    heading = f"{CONCURRENT_UNITS} units at once with the window, log on and off"
    aim = f"at least {TARGET_WINDOW_OF_LIMIT:.2f} of the limit beside it"
    wakes_heading = f"UI thread wake-ups per report, {CONCURRENT_UNITS} units, with the window"
    wakes_aim = f"at most {TARGET_WAKES_PER_REPORT}"
    list_heading = f"{LIST_UNITS} units with the unit list open, log on"
    list_aim = f"at least {TARGET_LIST_OF_CLOSED:.2f} of the list closed"
    list_row = (list_heading, list_aim, "not measured", False)
    if not window or "limit_conc_on" not in window:
        return [(heading, aim, "not measured", False), (wakes_heading, wakes_aim,
                                                        "not measured", False),
                list_row]
    ratios = [window[key] / window[f"limit_{key}"] for key in ("conc_on", "conc_off")]
    wakes = [window[key] for key in ("wakes_conc_on", "wakes_conc_off")]
    if "list_open" in window:
        list_ratio = window["list_open"] / window["list_closed"]
        list_row = (list_heading, list_aim,
                    f"{number(window['list_open'])} rep/s, {list_ratio:.2f} of closed",
                    list_ratio >= TARGET_LIST_OF_CLOSED)
    return [
        (heading, aim, f"{ratios[0]:.2f} and {ratios[1]:.2f} of the limit",
         min(ratios) >= TARGET_WINDOW_OF_LIMIT),
        (wakes_heading, wakes_aim, f"{wakes[0]:.3f} log on, {wakes[1]:.3f} log off",
         max(wakes) <= TARGET_WAKES_PER_REPORT),
        list_row,
    ]


def table(columns, figures, cell):
    lines = ["| Server | " + " | ".join(heading for _, heading, _ in columns) + " |",
             "|---|" + "---:|" * len(columns)]
    for kind in SERVERS:
        # The window's run measures throughput alone.
        cells = (cell(kind, key) if key in figures[kind] else "–" for key, _, _ in columns)
        lines.append(f"| {kind} | " + " | ".join(cells) + " |")
    return lines


def section(name, figures, plan, about, started, finished, load_before, load_after, csv_rows,
            args):
    """One run's section of RESULTS.md, its figures kept in a comment for later runs."""
    nr = figures[SERVE]
    limit = figures[LIMIT]
    window = figures[WINDOW]
    held = (f"| Same, with {STOP_HELD} silent connections held, median of "
            f"{window['held_stops']:.0f} | {number(window['stop_held_median'])} µs |\n"
            f"| Same, slowest | {number(window['stop_held_max'])} µs |")
    lines = [
        f"## {name.capitalize()}: {started:%Y-%m-%d %H:%M %Z}",
        "",
        f"<!-- figures {json.dumps(figures, sort_keys=True)} -->",
        "",
        f"Written by `bench/run-bench.py --section {name}` with the programs of `{args.build}`"
        f"{f' ({args.label})' if args.label else ''}; "
        f"the run took {(finished - started).total_seconds():.0f} s.",
        *([f"**A trial at {plan.scale:g} of the counts: not for comparison.**"]
          if plan.scale != 1 else []),
        "",
        "### Machine",
        "",
        f"- `uname -a`: `{about['uname']}`",
        f"- `nproc`: {about['nproc']}",
        f"- CPU: {about['cpu']}",
        f"- Load average (1, 5, 15 min) before and after: {load_before}; {load_after}",
        f"- Peers run on {about['peers']}",
        "",
        "### Reports and latency",
        "",
        f"Reports/s: the best of {THROUGHPUT_RUNS} runs of {plan.throughput:,} reports. "
        f"Latency: {plan.latency:,} reports at {LATENCY_RATE} reports/s from "
        f"{LATENCY_UNITS} units, logging on, from the start of the connect to the whole reply. "
        f"{SERVE} is the server without a window, its printed trace going to /dev/null; "
        f"{WINDOW} shows its window on an Xvfb display under openbox and is measured for "
        "throughput alone.",
        "",
        *table(COLUMNS, figures, lambda kind, key: number(figures[kind][key])),
        "",
        "Ratio to the limit (reports/s: higher is better; latency: lower is better):",
        "",
        *table(COLUMNS, figures, lambda kind, key: f"{figures[kind][key] / limit[key]:.2f}"),
        "",
        "### Side by side",
        "",
        f"Logging on. {BURST_UNITS} at once: {BURST_RUNS} bursts of {BURST_UNITS} units that "
        "each connect and send at the same instant, once each (as after a power dip); the "
        f"slowest reply of all and how many took over 1 s or never came. {SILENT_HELD} silent: "
        f"{SILENT_UNITS} units report as fast as they go, at most {plan.throughput:,} reports "
        f"in {SILENT_SECONDS:.0f} s, while {SILENT_HELD} connections that never send are held "
        "open (one the server closes is opened again at once).",
        "",
        *table(SIDE_COLUMNS, figures, lambda kind, key: number(figures[kind][key])),
        "",
        "### NR-QD8K alone",
        "",
        "| Figure | Value |",
        "|---|---:|",
        f"| {SERVE}: spawn to a listening socket | {nr['listen_ms']:.1f} ms |",
        f"| {SERVE}: idle CPU over {plan.idle:.0f} s of waiting | {nr['idle_cpu']:.2f} % of one "
        "core |",
        f"| {SERVE}: resident memory after start-up | {nr['rss_start']:,} kB |",
        f"| {SERVE}: resident memory after {plan.memory_first:,} reports | {nr['rss_first']:,} kB |",
        f"| {SERVE}: resident memory after {plan.memory_total:,} reports | {nr['rss_total']:,} kB |",
        f"| Window: stop request to stopped look while idle, median of {window['stops']:.0f} "
        f"| {number(window['stop_median'])} µs |",
        f"| Same, slowest | {number(window['stop_max'])} µs |",
        held,
        "",
        *(line for kind in (SERVE, WINDOW) for line in beside_table(kind, figures[kind])),
        *unit_list_lines(window),
        "UI thread wake-ups per report (the main thread's voluntary and involuntary context "
        "switches over all the throughput runs, per report):",
        "",
        "| Run | " + " | ".join(heading for _, heading in WAKE_COLUMNS) + " |",
        "|---|" + "---:|" * len(WAKE_COLUMNS),
        f"| {WINDOW} | " + " | ".join(f"{window[key]:.3f}" for key, _ in WAKE_COLUMNS) + " |",
        "",
        "### The log held",
        "",
        f"{CONCURRENT_UNITS} units report for {2 * HELD_SECONDS:.0f} s while another program "
        f"holds {SERVE}'s log for the first {HELD_SECONDS:.0f} s (a record lock, as office "
        "programs take it): the rows wait in the home folder and follow once the log is free.",
        "",
        "| Rate (rep/s) | p99 (µs) | max (µs) | Missing replies | Rows in the log / reports answered |",
        "|---:|---:|---:|---:|---:|",
        f"| {number(nr['held_rate'])} | {number(nr['held_p99'])} | {number(nr['held_max'])} | "
        f"{nr['held_missing']:.0f} | {nr['held_rows']:,} / {nr['held_reports']:,} |",
        "",
        *(mqtt_bench.section(nr, MQTT_UNITS, THROUGHPUT_RUNS, plan.throughput)
          if "mqtt_p99_ms" in nr else []),
        "### CSV logs",
        "",
        "Checked after every logging-on run: one well-formed row per report answered, at most "
        "one per report given up on (NR-QD8K adds its header line); no rows with logging off.",
        "",
        *(f"- {kind}: {rows:,} rows for {answered:,} reports answered and {unanswered:,} given "
          "up on" for kind, (rows, answered, unanswered) in csv_rows.items()),
        "",
    ]
    return "\n".join(lines)


def beside_table(kind, figures):
    """The run of kind against the limit server whose runs took turns with it."""
    return [
        f"{kind}, its runs taking turns with those of {BESIDE[kind]}, so that both meet the "
        "same machine and the same TCP table:",
        "",
        f"| Figure | {kind} (rep/s) | {BESIDE[kind]} (rep/s) | Ratio |",
        "|---|---:|---:|---:|",
        *(f"| {heading.replace(' (rep/s)', '')} | {number(figures[key])} | "
          f"{number(figures['limit_' + key])} | {figures[key] / figures['limit_' + key]:.2f} |"
          for key, heading, _ in COLUMNS[:4]),
        "",
    ]


def unit_list_lines(window):
    """The window's runs with the unit list closed and open, when this run measured them."""
    if "list_open" not in window:
        return []
    return [
        f"{WINDOW}, {LIST_UNITS} units each from its own address ({LIST_FIRST_ADDRESS} on), "
        "logging on, the unit list closed and open by turns (opened with Shift+F10, U):",
        "",
        "| Unit list | rep/s | Ratio to closed |",
        "|---|---:|---:|",
        f"| closed | {number(window['list_closed'])} | 1.00 |",
        f"| open | {number(window['list_open'])} | "
        f"{window['list_open'] / window['list_closed']:.2f} |",
        "",
        f"UI thread wake-ups per report with the list open: {window['wakes_list_open']:.3f} "
        "(context switches: the list's own work, once a frame, is preempted by the units' "
        "threads too).",
        "",
    ]


def comparison(figures_of):
    """The targets against each section's figures, "before" first."""
    names = [name for name in reversed(SECTIONS) if name in figures_of]
    rows = {name: targets(figures_of[name]) for name in names}
    lines = ["| Figure | Target | " + " | ".join(name.capitalize() for name in names) + " |",
             "|---|---|" + "---|" * len(names)]
    for i, (figure, target, _, _) in enumerate(rows[names[0]]):
        cells = []
        for name in names:
            _, _, value, met = rows[name][i]
            cells.append(f"{value} ({'met' if met else '**not met**'})")
        lines.append(f"| {figure} | {target} | " + " | ".join(cells) + " |")
    return lines


def results(sections, notes):
    """RESULTS.md: the targets compared, each run's section, then the kept notes."""
    figures_of = {name: json.loads(FIGURES_COMMENT.search(text).group(1))
                  for name, text in sections.items()}
    lines = [
        "# Benchmark results",
        "",
        "Written by `make bench` (bench/run-bench.py), which fills the \"after\" section; "
        "`--section before` fills the \"before\" one. Each run replaces only its own section "
        "and keeps the notes from \"Notes\" on.",
        "",
        "## Targets",
        "",
        *comparison(figures_of),
        "",
        *(sections[name] for name in SECTIONS if name in sections),
    ]
    return "\n".join(lines) + ("\n" + notes if notes else "")


def kept_sections(path):
    """The run sections and the hand-written notes of an earlier RESULTS.md."""
    text = path.read_text() if path.exists() else ""
    at = text.find(NOTES_HEADING)
    notes, body = (text[at:], text[:at]) if at >= 0 else ("", text)
    sections = {}
    for name in SECTIONS:
        found = re.search(rf"^## {name.capitalize()}: .*?(?=^## |\Z)", body, re.M | re.S)
        if found and FIGURES_COMMENT.search(found.group(0)):
            sections[name] = found.group(0).rstrip("\n") + "\n"
    return sections, notes


def load_average():
    return " ".join(Path("/proc/loadavg").read_text().split()[:3])


class Display:
    """An Xvfb display of its own with openbox on it, for NR-QD8K's real window."""

    def __enter__(self):
        number = next(n for n in range(90, 200) if not Path(f"/tmp/.X{n}-lock").exists())
        self.name = f":{number}"
        self.processes = []
        try:
            self.processes.append(subprocess.Popen(
                ["Xvfb", self.name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            socket_path = Path(f"/tmp/.X11-unix/X{number}")
            for _ in range(500):
                if socket_path.exists():
                    break
                time.sleep(0.01)
            else:
                raise Broken(f"Xvfb {self.name} did not start")
            self.processes.append(subprocess.Popen(
                ["openbox"], env=dict(os.environ, DISPLAY=self.name),
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        except OSError as error:
            self.__exit__()
            raise Broken(f"no display for the window (apt-get install xvfb openbox): {error}")
        time.sleep(SETTLE_SECONDS)
        return self.name

    def __exit__(self, *_):
        for process in reversed(self.processes):
            process.terminate()
            process.wait()


def run(args, root):
    plan = Plan(args.scale)
    with Display() as display:
        return run_on(args, root, plan, display)


def run_on(args, root, plan, display):
    bench = Bench(args.build, args.peers, root, plan, display)
    try:
        figures = {kind: bench.measure(kind) for kind in SERVERS}
        figures[SERVE].update(bench.held_log())
        idle = bench.stop_latency(plan.stops, 0)
        held = bench.stop_latency(plan.held_stops, STOP_HELD)
        figures[SERVE].update(mqtt_bench.measure(bench, SERVE, free_port, Broken, MQTT_UNITS,
                                                 THROUGHPUT_RUNS))
    finally:
        bench.stop_all()
    figures[WINDOW].update(stops=idle["stops"], stop_median=idle["median_us"],
                           stop_max=idle["max_us"], held_stops=held["stops"],
                           stop_held_median=held["median_us"], stop_held_max=held["max_us"])
    return figures, bench.csv_rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", type=Path, default=HERE.parent / "build" / "dev",
                        help="build folder with NR-QD8K, tools/nr-load and bench/")
    parser.add_argument("--peers", type=Path, default=HERE.parent.parent / "shared" / "bench-peers",
                        help="folder with pyserver.py and nodeserver.js")
    parser.add_argument("--out", type=Path, default=HERE / "RESULTS.md")
    parser.add_argument("--section", choices=SECTIONS, default="after",
                        help="the section of RESULTS.md this run fills")
    parser.add_argument("--label", default="",
                        help="what the build holds, for the record (e.g. the commit)")
    parser.add_argument("--scale", type=float, default=1.0,
                        help="fraction of the counts, to try the script out quickly")
    args = parser.parse_args()
    args.build, args.peers = args.build.resolve(), args.peers.resolve()
    # Make's SIGTERM must still reach the servers: unwind through the finally blocks.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))

    started = datetime.datetime.now().astimezone()
    load_before = load_average()
    root = Path(tempfile.mkdtemp(prefix="nr-bench."))
    try:
        figures, csv_rows = run(args, root)
    except (Broken, OSError) as error:
        print(f"run-bench: {error}", file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(root, ignore_errors=True)
    finished = datetime.datetime.now().astimezone()
    sections, notes = kept_sections(args.out)
    sections[args.section] = section(args.section, figures, Plan(args.scale), machine(),
                                     started, finished, load_before, load_average(), csv_rows,
                                     args)
    text = results(sections, notes)
    print(text)
    args.out.write_text(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
