"""nr-serve publishing every report to Debian's mosquitto on this machine: how soon a report's
message reaches a subscriber, and what publishing costs the serving. Part of run-bench.py."""

import socket
import subprocess
import tempfile
import time
from pathlib import Path

UNITS = 100
RATE = 1000
SECONDS = 10
TOPIC = "bench"
TARGET_P99_MS = 50
TARGET_FALL = 0.10
SUBSCRIBER_READY = 0.5  # the subscriber subscribes before the first report
DRAIN_SECONDS = 10.0  # messages may trail the last reply by this much at most


class Broker:
    """mosquitto on a free port of 127.0.0.1, keeping nothing on disk."""

    def __init__(self, free_port, broken):
        self.port, self.broken = free_port(), broken

    def __enter__(self):
        self.folder = tempfile.TemporaryDirectory(prefix="nr-bench-mqtt.")
        config = Path(self.folder.name, "mosquitto.conf")
        config.write_text(f"listener {self.port} 127.0.0.1\nallow_anonymous true\n"
                          "persistence false\nmax_queued_messages 0\n")
        self.process = subprocess.Popen(["mosquitto", "-c", str(config)],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(500):
            with socket.socket() as probe:
                if probe.connect_ex(("127.0.0.1", self.port)) == 0:
                    return self
            time.sleep(0.01)
        self.__exit__()
        raise self.broken("mosquitto did not listen (apt-get install mosquitto mosquitto-clients)")

    def __exit__(self, *_):
        self.process.terminate()
        self.process.wait()
        self.folder.cleanup()

    def settings(self):
        """The settings lines that make the server publish here."""
        return f"#$MQTTHOST=127.0.0.1\r\n#$MQTTPORT={self.port}\r\n#$MQTTTOPIC={TOPIC}\r\n"


def report(port, unit, state):
    """One report from 127.0.1.<unit>; the wall-clock time its reply was whole."""
    with socket.socket() as sock:
        sock.bind((f"127.0.1.{unit}", 0))
        sock.connect(("127.0.0.1", port))
        sock.sendall(bytes([0x01, state]))
        reply = b""
        while len(reply) < 2:
            piece = sock.recv(2 - len(reply))
            if not piece:
                break
            reply += piece
    return time.time() if reply == bytes([0x01, state]) else None


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))] if ordered else 0.0


def latency(broker, server, broken):
    """RATE reports/s from UNITS units for SECONDS s: the time from each reply to its state
    message at a subscriber. The n-th report of a unit carries n mod 32 and must be its n-th
    message."""
    count = RATE * SECONDS
    out = Path(broker.folder.name, "received.txt")
    with open(out, "w") as received:
        subscriber = subprocess.Popen(
            ["mosquitto_sub", "-h", "127.0.0.1", "-p", str(broker.port), "-q", "1",
             "-t", f"{TOPIC}/units/+/state", "-F", "%U %t %p", "-C", str(count)],
            stdout=received, stderr=subprocess.DEVNULL)
        time.sleep(SUBSCRIBER_READY)
        replied = {unit: [] for unit in range(1, UNITS + 1)}
        start = time.monotonic()
        for n in range(count):
            time.sleep(max(0.0, start + n / RATE - time.monotonic()))
            unit = 1 + n % UNITS
            replied[unit].append(report(server.port, unit, len(replied[unit]) % 32))
        try:
            subscriber.wait(DRAIN_SECONDS)
        except subprocess.TimeoutExpired:
            subscriber.kill()
            subscriber.wait()
    if any(at is None for times in replied.values() for at in times):
        raise broken(f"{server.name}: a reply was wrong or missing")
    server.reports += count
    arrived = {unit: [] for unit in replied}
    for line in out.read_text().splitlines():
        stamp, topic, payload = line.split(" ", 2)
        unit = int(topic.split("/")[2].rsplit(".", 1)[1])
        bits = payload.split('"di":[', 1)[1][:9].split(",")
        arrived[unit].append((float(stamp), sum(int(bit) << i for i, bit in enumerate(bits))))
    delays, matched = [], 0
    for unit, times in replied.items():
        for n, (at, (stamp, state)) in enumerate(zip(times, arrived[unit])):
            if state != n % 32:
                raise broken(f"unit {unit}: message {n} carries {state}, not {n % 32}")
            delays.append((stamp - at) * 1000)
            matched += 1
    return {"mqtt_reports": count, "mqtt_missing": count - matched,
            "mqtt_p50_ms": percentile(delays, 0.50), "mqtt_p99_ms": percentile(delays, 0.99),
            "mqtt_max_ms": max(delays, default=0.0)}


def serving(bench, kind, broker, units_list, runs):
    """The best rate of each of units_list, publishing off and on, their runs taking turns."""
    off, _ = bench.make(kind, True, f"{kind}, not publishing")
    on, _ = bench.make(kind, True, f"{kind}, publishing", extra_settings=broker.settings())
    figures = {}
    for units in units_list:
        rates = {"off": [], "on": []}
        for _ in range(runs):
            for name, server in (("off", off), ("on", on)):
                rates[name].append(bench.load(server, bench.plan.throughput, units)["rate"])
        figures[f"mqtt_off_{units}"] = max(rates["off"])
        figures[f"mqtt_on_{units}"] = max(rates["on"])
    bench.finish(off)
    bench.finish(on)
    return figures


def measure(bench, kind, free_port, broken, units_list, runs):
    """Both figures, to go with the server's other figures."""
    with Broker(free_port, broken) as broker:
        server, _ = bench.make(kind, True, f"{kind}, publishing at {RATE} per s",
                               extra_settings=broker.settings())
        figures = latency(broker, server, broken)
        bench.finish(server)
        figures.update(serving(bench, kind, broker, units_list, runs))
    return figures


def targets(nr, units_list):
    """(figure, target, value, met) for the two targets; not met when not measured."""
    heading = f"Publishing to MQTT at {RATE:,} reports/s from {UNITS} units"
    aim = f"none missing, reply to message p99 at most {TARGET_P99_MS} ms"
    full = "Publishing to MQTT at full load, log on"
    fall_aim = f"serving falls at most {TARGET_FALL:.0%} ({' and '.join(map(str, units_list))} units)"
    if "mqtt_p99_ms" not in nr:
        return [(heading, aim, "not measured", False), (full, fall_aim, "not measured", False)]
    falls = [1 - nr[f"mqtt_on_{u}"] / nr[f"mqtt_off_{u}"] for u in units_list]
    return [
        (heading, aim, f"{nr['mqtt_missing']:.0f} missing, p99 {nr['mqtt_p99_ms']:.1f} ms",
         nr["mqtt_missing"] == 0 and nr["mqtt_p99_ms"] <= TARGET_P99_MS),
        (full, fall_aim, "fell " + " and ".join(f"{fall:.1%}" for fall in falls),
         max(falls) <= TARGET_FALL),
    ]


def section(nr, units_list, runs, throughput):
    """The section's lines."""
    return [
        "### Publishing to MQTT",
        "",
        f"nr-serve, logging on, publishing to mosquitto on this machine (topic prefix "
        f"`{TOPIC}`). Latency: {RATE * SECONDS:,} reports at {RATE:,}/s from {UNITS} units "
        f"(127.0.1.1 to 127.0.1.{UNITS}), from the unit's whole reply to the state message at "
        f"mosquitto_sub (QoS 1). Full load: the best of {runs} runs of {throughput:,} reports "
        "each, publishing off and on taking turns.",
        "",
        "| Figure | Value |",
        "|---|---:|",
        f"| Reports, state messages missing | {nr['mqtt_reports']:,.0f}, "
        f"{nr['mqtt_missing']:,.0f} |",
        f"| Reply to message, p50 | {nr['mqtt_p50_ms']:.1f} ms |",
        f"| Reply to message, p99 | {nr['mqtt_p99_ms']:.1f} ms |",
        f"| Reply to message, max | {nr['mqtt_max_ms']:.1f} ms |",
        *(f"| {u} unit{'s' if u > 1 else ''}, publishing off and on (rep/s) | "
          f"{nr[f'mqtt_off_{u}']:,.0f} and {nr[f'mqtt_on_{u}']:,.0f} |" for u in units_list),
        "",
    ]
