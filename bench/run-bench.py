#!/usr/bin/env python3
"""NR-QD8K beside two peer servers and the limit of this machine, in one run.

Every server runs from a temporary folder on a free port of 127.0.0.1 and is measured with
nr-load. The figures, their ratios to the limit and the targets are printed and written to
RESULTS.md; a "## Notes" section written there by hand is kept. Exit status 0 also when a
target is missed; 1 when something broke (a server did not start or end cleanly, a reply was
missing or wrong, a CSV log did not hold one row per report).
"""

import argparse
import datetime
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

HERE = Path(__file__).resolve().parent

THROUGHPUT_RUNS = 3  # best of: the machine is shared, and a neighbour only ever slows a run
THROUGHPUT_COUNT = 5_000
CONCURRENT_UNITS = 8
LATENCY_COUNT = 5_000
LATENCY_UNITS = 20
LATENCY_RATE = 500
MEMORY_FIRST = 10_000
MEMORY_TOTAL = 100_000
IDLE_SECONDS = 10.0
SETTLE_SECONDS = 1.0  # the window is still being shown when the socket starts listening
STOP_REPEATS = 50
LISTEN_BOUND = 10.0
EXIT_BOUND = 5.0
# Assumed slowest pace of a working server: bounds each nr-load run.
SLOWEST_RATE = 500
# Below this, a change of resident memory is allocator and page noise, not growth.
RSS_NOISE_KB = 256

TARGET_P99_US = 1000
TARGET_IDLE_CPU = 3.0
TARGET_STOP_US = 5000

# A CSV row as all four servers write it; NR-QD8K's header line opens with 日付 in CP932.
ROW = re.compile(rb"\d{4}/\d\d/\d\d,\d\d:\d\d:\d\d,\d+\.\d+\.\d+\.\d+(,[01]){5}\r")
HEADER = "日付,".encode("cp932")
NOTES_HEADING = "## Notes"

NRQD8K, PYTHON, NODE, LIMIT = "NR-QD8K", "pyserver.py", "nodeserver.js", "nr-limit-server"
SERVERS = (NRQD8K, LIMIT, PYTHON, NODE)  # NR-QD8K first: its start-up meets a quiet TCP table

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


class Broken(Exception):
    """Something that makes the run's figures worthless."""


def free_port():
    with socket.socket() as sock:
        sock.bind(("127.0.0.1", 0))
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

    def __init__(self, name, argv, folder, csv, logs, env=None):
        self.name, self.argv, self.folder, self.csv, self.logs = name, argv, folder, csv, logs
        self.env = env
        self.port = self.output = self.process = None
        self.reports = 0  # sent to this process and answered

    def start(self, port):
        """Seconds from spawn to a listening socket."""
        self.port = port
        self.output = open(self.folder / "output.txt", "wb")
        spawned = time.monotonic()
        try:
            self.process = subprocess.Popen(self.argv, cwd=self.folder, env=self.env,
                                            stdin=subprocess.DEVNULL, stdout=self.output,
                                            stderr=subprocess.STDOUT)
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

    def cpu_seconds(self):
        # utime and stime, counted after the parenthesised name, which may hold spaces.
        stat = Path(f"/proc/{self.process.pid}/stat").read_text()
        fields = stat.rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def check_csv(self):
        """One well-formed row per report answered; none with logging off."""
        data = self.csv.read_bytes() if self.csv.exists() else b""
        lines = data.split(b"\n")
        rows = sum(1 for line in lines[:-1] if ROW.fullmatch(line))
        headers = sum(1 for line in lines[:-1] if line.startswith(HEADER))
        expected = self.reports if self.logs else 0
        if lines[-1] or rows != expected or rows + headers != len(lines) - 1:
            raise Broken(f"{self.name}: the CSV log holds {rows} rows and "
                         f"{len(lines) - 1 - rows - headers} other lines for {expected} reports")


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


class Bench:
    def __init__(self, build, peers, root, plan):
        self.build, self.peers, self.root, self.plan = build, peers, root, plan
        self.servers = []
        self.csv_rows = {}

    def make(self, kind, logging):
        folder = self.root / f"{kind}-{'on' if logging else 'off'}"
        folder.mkdir()
        port = free_port()
        if kind == NRQD8K:
            exe = folder / "NR-QD8K"
            shutil.copy2(self.build / "NR-QD8K", exe)
            settings = folder / "bench.qd"
            settings.write_bytes(f"#$PORT={port}\r\n#$LOGGING={'ON' if logging else 'OFF'}\r\n"
                                 "#$SERVER=START\r\n".encode("ascii"))
            (folder / "NR-QD8K.ini").write_bytes(str(settings).encode("ascii"))
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=str(folder))
            server = Server(kind, [str(exe)], folder, folder / "NR-QD8K.csv", logging, env)
        else:
            command = {PYTHON: [sys.executable, str(self.peers / PYTHON)],
                       NODE: ["node", str(self.peers / NODE)],
                       LIMIT: [str(self.build / "bench" / LIMIT)]}[kind]
            csv = folder / "log.csv"
            argv = command + [str(port)] + ([str(csv)] if logging else [])
            server = Server(kind, argv, folder, csv, logging)
        self.servers.append(server)
        return server, server.start(port)

    def load(self, server, reports, units, rate=None):
        argv = [str(self.build / "tools" / "nr-load"), "--port", str(server.port),
                "--count", str(reports), "--units", str(units)]
        if rate:
            argv += ["--rate", str(rate)]
        bound = 30 + reports / min(SLOWEST_RATE, rate or SLOWEST_RATE)
        try:
            run = subprocess.run(argv, capture_output=True, text=True, timeout=bound)
        except subprocess.TimeoutExpired:
            raise Broken(f"{server.name}: {reports} reports took over {bound:.0f} s")
        figures = machine_line(run.stdout, "reports=")
        if run.returncode != 0 or figures["ok"] != reports:
            raise Broken(f"{server.name}: of {reports} reports, {figures['missing']:.0f} got no "
                         f"reply and {figures['wrong']:.0f} a wrong one")
        server.reports += reports
        server.check_csv()
        return figures

    def throughput(self, server, units):
        return max(self.load(server, self.plan.throughput, units)["rate"]
                   for _ in range(THROUGHPUT_RUNS))

    def finish(self, server):
        status = server.stop()
        # NR-QD8K closes its window on SIGTERM; the others simply die of it.
        if server.name == NRQD8K and status != 0:
            raise Broken(f"NR-QD8K did not end cleanly on SIGTERM (status {status}): "
                         f"{server.tail()}")
        if server.logs:
            self.csv_rows[server.name] = server.reports

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
            if kind == NRQD8K and logging:
                figures["listen_ms"] = listen * 1000
                figures.update(self.idle_and_memory(server))
            figures[f"seq_{suffix}"] = self.throughput(server, 1)
            figures[f"conc_{suffix}"] = self.throughput(server, CONCURRENT_UNITS)
            if logging:
                latency = self.load(server, self.plan.latency, LATENCY_UNITS, LATENCY_RATE)
                figures.update({key: latency[f"{key}_us"] for key in ("p50", "p90", "p99")})
                figures["max"] = latency["max_us"]
            self.finish(server)
        return figures

    def stop_latency(self):
        argv = [str(self.build / "bench" / "nr-stop-latency"), str(free_port()),
                str(self.plan.stops)]
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


def targets(figures, plan):
    """(met, text) for each target."""
    nr, limit = figures[NRQD8K], figures[LIMIT]["seq_on"]
    seq, peers = nr["seq_on"], max(figures[PYTHON]["seq_on"], figures[NODE]["seq_on"])
    growth = nr["rss_total"] - nr["rss_first"]
    return [
        (seq > peers and seq >= limit / 2,
         f"One sequential unit, logging on: {number(seq)} reports/s; pyserver.py "
         f"{number(figures[PYTHON]['seq_on'])}, nodeserver.js {number(figures[NODE]['seq_on'])}, "
         f"half the limit {number(limit / 2)}."),
        (nr["p99"] <= TARGET_P99_US,
         f"p99 latency at {LATENCY_RATE} reports/s, logging on: {number(nr['p99'])} µs "
         f"(at most {number(TARGET_P99_US)})."),
        (growth <= RSS_NOISE_KB,
         f"Resident memory from {plan.memory_first:,} to {plan.memory_total:,} reports: "
         f"{nr['rss_first']:,} kB to {nr['rss_total']:,} kB, {growth:+,} kB "
         f"(no growth: at most {RSS_NOISE_KB} kB of page noise)."),
        (nr["idle_cpu"] <= TARGET_IDLE_CPU,
         f"Idle CPU: {nr['idle_cpu']:.2f} % of one core (at most {TARGET_IDLE_CPU:.0f} %)."),
        (nr["stop_max"] <= TARGET_STOP_US,
         f"Stop while idle: at most {number(nr['stop_max'])} µs, median "
         f"{number(nr['stop_median'])} µs (within {number(TARGET_STOP_US)})."),
    ]


def table(figures, cell):
    lines = ["| Server | " + " | ".join(heading for _, heading, _ in COLUMNS) + " |",
             "|---|" + "---:|" * len(COLUMNS)]
    for kind in SERVERS:
        cells = (cell(kind, key) for key, _, _ in COLUMNS)
        lines.append(f"| {kind} | " + " | ".join(cells) + " |")
    return lines


def report(figures, plan, about, started, finished, load_before, load_after, csv_rows):
    nr = figures[NRQD8K]
    limit = figures[LIMIT]
    lines = [
        "# Benchmark results",
        "",
        f"Written by `make bench` (bench/run-bench.py) on {started:%Y-%m-%d %H:%M %Z}; "
        f"the run took {(finished - started).total_seconds():.0f} s.",
        *([f"**A trial at {plan.scale:g} of the counts: not for comparison.**"]
          if plan.scale != 1 else []),
        "",
        "## Machine",
        "",
        f"- `uname -a`: `{about['uname']}`",
        f"- `nproc`: {about['nproc']}",
        f"- CPU: {about['cpu']}",
        f"- Load average (1, 5, 15 min) before and after: {load_before}; {load_after}",
        f"- Peers run on {about['peers']}",
        "",
        "## Reports and latency",
        "",
        f"Reports/s: the best of {THROUGHPUT_RUNS} runs of {plan.throughput:,} reports. "
        f"Latency: {plan.latency:,} reports at {LATENCY_RATE} reports/s from "
        f"{LATENCY_UNITS} units, logging on, from the start of the connect to the whole reply.",
        "",
        *table(figures, lambda kind, key: number(figures[kind][key])),
        "",
        "Ratio to the limit (reports/s: higher is better; latency: lower is better):",
        "",
        *table(figures, lambda kind, key: f"{figures[kind][key] / limit[key]:.2f}"),
        "",
        "## NR-QD8K alone",
        "",
        "| Figure | Value |",
        "|---|---:|",
        f"| Spawn to a listening socket | {nr['listen_ms']:.1f} ms |",
        f"| Idle CPU over {plan.idle:.0f} s of waiting | {nr['idle_cpu']:.2f} % of one core |",
        f"| Resident memory after start-up | {nr['rss_start']:,} kB |",
        f"| Resident memory after {plan.memory_first:,} reports | {nr['rss_first']:,} kB |",
        f"| Resident memory after {plan.memory_total:,} reports | {nr['rss_total']:,} kB |",
        f"| Stop request to stopped look while idle, median of {nr['stops']:.0f} "
        f"| {number(nr['stop_median'])} µs |",
        f"| Same, slowest | {number(nr['stop_max'])} µs |",
        "",
        "## CSV logs",
        "",
        "Checked after every logging-on run: one well-formed row per report answered "
        "(NR-QD8K adds its header line); no rows with logging off.",
        "",
        *(f"- {kind}: {rows:,} rows for {rows:,} reports" for kind, rows in csv_rows.items()),
        "",
        "## Targets",
        "",
        *(f"- {'met' if met else '**not met**'}: {text}" for met, text in targets(figures, plan)),
        "",
    ]
    return "\n".join(lines)


def kept_notes(path):
    """The hand-written Notes section of an earlier RESULTS.md, if any."""
    if not path.exists():
        return ""
    text = path.read_text()
    at = text.find(NOTES_HEADING)
    return text[at:] if at >= 0 else ""


def load_average():
    return " ".join(Path("/proc/loadavg").read_text().split()[:3])


def run(args, root):
    bench = Bench(args.build, args.peers, root, Plan(args.scale))
    try:
        figures = {kind: bench.measure(kind) for kind in SERVERS}
        stops = bench.stop_latency()
    finally:
        bench.stop_all()
    figures[NRQD8K].update(stops=stops["stops"], stop_median=stops["median_us"],
                           stop_max=stops["max_us"])
    return figures, bench.csv_rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", type=Path, default=HERE.parent / "build" / "dev",
                        help="build folder with NR-QD8K, tools/nr-load and bench/")
    parser.add_argument("--peers", type=Path, default=HERE.parent.parent / "shared" / "bench-peers",
                        help="folder with pyserver.py and nodeserver.js")
    parser.add_argument("--out", type=Path, default=HERE / "RESULTS.md")
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
    text = report(figures, Plan(args.scale), machine(), started, finished, load_before,
                  load_average(), csv_rows)
    print(text)
    notes = kept_notes(args.out)
    args.out.write_text(text + ("\n" + notes if notes else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
