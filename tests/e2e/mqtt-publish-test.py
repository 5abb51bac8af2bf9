#!/usr/bin/python3
"""A serving program publishes to Debian's mosquitto, checked by Debian's paho as a subscriber.

Usage: mqtt-publish-test.py PROGRAM [CASE...]: a .exe runs under Wine in the environment given;
NR-QD8K shows its window (offscreen on Linux). The program runs from a folder of its own whose
settings name the broker; units on loopback addresses report to it.
"""

import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
from datetime import datetime
from pathlib import Path

import paho.mqtt.client as mqtt

PROGRAM = Path(sys.argv[1])
WINDOWS, WINDOWED = PROGRAM.suffix == ".exe", PROGRAM.stem == "NR-QD8K"
NAMES = ["扉", "DI2", "DI3", "DI4", "ポンプ"]
TITLE = "ライン1"
REFUSED = "MQTTブローカーがユーザー名かパスワードを受け付けません"
STARTED = []  # killed if they outlive their case
# A zone ahead of UTC, for the program and these checks alike: the offset must show.
os.environ["TZ"] = "JST-9"
time.tzset()


def start(command, **options):
    STARTED.append(subprocess.Popen(command, **options))
    return STARTED[-1]


def free_port():
    with socket.socket() as sock:
        sock.bind(("127.0.0.1", 0))
        return sock.getsockname()[1]


def listening(port):
    with socket.socket() as sock:
        return sock.connect_ex(("127.0.0.1", port)) == 0


def wait_for(condition, seconds, what):
    end = time.monotonic() + seconds
    while not condition():
        assert time.monotonic() < end, f"not within {seconds} s: {what}"
        time.sleep(0.05)


class Broker:
    """mosquitto on a free port, stopped and started again on it; persistent: its sessions
    outlive that."""

    def __init__(self, folder, persistent=False, user=None):
        self.port, self.folder = free_port(), folder
        # As root, mosquitto would run as its own user, who cannot read this folder.
        lines = [f"listener {self.port} 127.0.0.1", "user root", "log_type all",
                 f"persistence {str(persistent).lower()}", f"persistence_location {folder}/"]
        if user:
            subprocess.run(["mosquitto_passwd", "-b", "-c", f"{folder}/passwd", *user], check=True)
            lines += [f"password_file {folder}/passwd", "allow_anonymous false"]
        else:
            lines.append("allow_anonymous true")
        (folder / "mosquitto.conf").write_text("\n".join(lines) + "\n")
        self.start()

    def start(self):
        log = open(self.folder / "mosquitto.log", "a")
        self.process = start(["/usr/sbin/mosquitto", "-c", f"{self.folder}/mosquitto.conf"],
                             stdout=log, stderr=subprocess.STDOUT)
        wait_for(lambda: listening(self.port), 10, "mosquitto listens")

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(10)

    def answered(self):
        """CONNECTs answered (the probes of start send none)."""
        return (self.folder / "mosquitto.log").read_text().count("Sending CONNACK")


class Subscriber:
    """Every message under the filters in arrival order. Topics compare without case: Windows
    may give the computer name in capitals."""

    def __init__(self, broker, filters, persistent=False):
        self.messages, self.lock = [], threading.Lock()
        self.client = mqtt.Client(client_id="checker" if persistent else "",
                                  clean_session=not persistent)
        self.client.on_connect = lambda c, u, f, rc: [c.subscribe(t, qos=1) for t in filters]
        self.client.on_message = lambda c, u, m: self.add(m.topic, m.payload.decode())
        self.client.reconnect_delay_set(1, 1)
        self.client.connect("127.0.0.1", broker.port)
        self.client.loop_start()

    def add(self, topic, payload):
        with self.lock:
            self.messages.append((topic.lower(), payload))

    def payloads(self, topic):
        with self.lock:
            return [p for t, p in self.messages if t == topic.lower()]

    def last(self, topic):
        return (self.payloads(topic) or [None])[-1]


class Program:
    def __init__(self, folder, broker, mqtt_lines):
        self.port = free_port()
        shutil.copy(PROGRAM, folder)
        names = "".join(f"#$DI{i + 1}={name}\r\n" for i, name in enumerate(NAMES))
        settings = (f"#$TITLEBAR={TITLE}\r\n#$PORT={self.port}\r\n{names}#$SERVER=START\r\n"
                    f"#$MQTTHOST=127.0.0.1\r\n#$MQTTPORT={broker.port}\r\n{mqtt_lines}")
        (folder / "line.qd").write_bytes(settings.encode("cp932"))
        (folder / "NR-QD8K.ini").write_bytes(b"line.qd")
        command = [str(folder / PROGRAM.name)]
        # Wine prints in the system's code page, CP932; Linux here in UTF-8.
        environment = dict(os.environ) if WINDOWS else dict(
            os.environ, LANG="C.UTF-8", QT_QPA_PLATFORM="offscreen")
        self.process = start(["wine", *command] if WINDOWS else command, env=environment,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE)
        wait_for(lambda: listening(self.port), 60, "the program listens")

    def report(self, unit, state):
        """From 127.0.0.<unit>; the reply comes at once, broker or not."""
        start = time.monotonic()
        with socket.create_connection(("127.0.0.1", self.port), 5, (f"127.0.0.{unit}", 0)) as sock:
            sock.sendall(bytes([0x01, state]))
            assert sock.recv(2) == bytes([0x01, state])
        assert time.monotonic() - start < 1, "a reply waited for the broker"

    def end(self):
        """As an operator ends it: Ctrl+C, or Escape in its window on Windows. Its stderr."""
        if WINDOWS and WINDOWED:
            window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--classname",
                                     r"^nr-qd8k\.exe$"], capture_output=True, text=True,
                                    timeout=20).stdout.split()[0]
            subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "Escape"], check=True)
        else:
            self.process.send_signal(signal.SIGINT)
        _, err = self.process.communicate(timeout=30)
        assert self.process.returncode == 0
        return err.decode("cp932" if WINDOWS else "utf-8", "replace")


def published_topics_and_payloads(folder):
    """Retained state, inputs, availability, status and discovery with the names intact;
    offline after a clean stop."""
    broker, prefix = Broker(folder / "broker"), "line/1"
    watcher = Subscriber(broker, [f"{prefix}/#"])
    program = Program(folder / "program", broker, f"#$MQTTTOPIC={prefix}\r\n#$MQTTDISCOVERY=ON\r\n")
    wait_for(lambda: watcher.last(f"{prefix}/status") == "online", 20, "status online")
    for unit, state in ((2, 0b10101), (3, 0), (2, 0b10001)):
        program.report(unit, state)
    unit = f"{prefix}/units/127.0.0.2"
    wait_for(lambda: len(watcher.payloads(f"{unit}/state")) == 2, 10, "both states")
    # di3 changed and went back; di2 never changed after the first report.
    assert watcher.payloads(f"{unit}/di3") == ["1", "0"] and watcher.payloads(f"{unit}/di2") == ["0"]

    late = Subscriber(broker, [f"{prefix}/#", "homeassistant/#"])  # what is retained
    config_topic = "homeassistant/binary_sensor/line_1_127_0_0_2/di5/config"
    wait_for(lambda: late.last(config_topic) and late.last(f"{unit}/di5"), 10, "retained")
    state = json.loads(late.last(f"{unit}/state"))
    assert (state["unit"], state["di"], state["names"]) == ("127.0.0.2", [1, 0, 0, 0, 1], NAMES)
    when = datetime.fromisoformat(state["time"])
    assert abs(when.timestamp() - time.time()) < 60 and state["time"].endswith("+09:00"), state
    assert [late.last(f"{unit}/di{i}") for i in range(1, 6)] == ["1", "0", "0", "0", "1"]
    assert late.last(f"{unit}/availability") == "online"
    config = json.loads(late.last(config_topic))
    assert config == {
        "name": "ポンプ", "unique_id": "line_1_127_0_0_2_di5", "state_topic": f"{unit}/di5",
        "payload_on": "1", "payload_off": "0", "availability_mode": "all",
        "availability": [{"topic": f"{prefix}/status"}, {"topic": f"{unit}/availability"}],
        "device": {"identifiers": ["line_1_127_0_0_2"], "name": f"{TITLE} 127.0.0.2"}}, config

    program.end()
    wait_for(lambda: watcher.last(f"{prefix}/status") == "offline", 10, "offline")


def silent_unit_goes_offline(folder):
    """The unit list marks a unit silent after its silent time: its availability goes offline,
    and online again with its next report."""
    broker, prefix = Broker(folder / "broker"), "quiet"
    watcher = Subscriber(broker, [f"{prefix}/units/+/availability"])
    program = Program(folder / "program", broker, f"#$MQTTTOPIC={prefix}\r\n#$SILENTSEC=1\r\n")
    availability = f"{prefix}/units/127.0.0.4/availability"
    program.report(4, 1)
    wait_for(lambda: watcher.payloads(availability) == ["online", "offline"], 10, "offline")
    program.report(4, 1)
    wait_for(lambda: watcher.last(availability) == "online", 10, "online again")
    program.end()


def killed_leaves_the_will(folder):
    """SIGKILL: the broker publishes the will, offline, under the default prefix."""
    broker = Broker(folder / "broker")
    watcher = Subscriber(broker, ["nr-qd8k/#"])
    program = Program(folder / "program", broker, "")
    status = f"nr-qd8k/{socket.gethostname()}/{program.port}/status"
    wait_for(lambda: watcher.last(status) == "online", 20, f"{status} online")
    program.process.kill()
    # At once when the connection closes; Wine may keep a killed program's socket open, and the
    # broker then gives the connection up after one and a half keep-alive times (45 s).
    wait_for(lambda: watcher.last(status) == "offline", 60, f"{status} offline")


def broker_away_loses_nothing(folder):
    """The broker stops for 4 s while units report; once it is back every state arrives, in
    each unit's order (some twice at most: what was not acknowledged is sent again)."""
    broker, prefix = Broker(folder / "broker", persistent=True), "away"
    watcher = Subscriber(broker, [f"{prefix}/units/+/state"], persistent=True)
    program = Program(folder / "program", broker, f"#$MQTTTOPIC={prefix}\r\n")
    sent = {unit: [] for unit in range(2, 7)}
    broker.stop()
    end = time.monotonic() + 4
    while time.monotonic() < end:
        for unit, states in sent.items():
            states.append(len(states) % 32)
            program.report(unit, states[-1])
        time.sleep(0.2)
    broker.start()

    def arrived_in_order(unit):
        got = iter(json.loads(p)["di"] for p in watcher.payloads(f"{prefix}/units/127.0.0.{unit}/state"))
        return all(any(di == [(s >> i) & 1 for i in range(5)] for di in got) for s in sent[unit])

    wait_for(lambda: all(arrived_in_order(unit) for unit in sent), 60, "every state")
    program.end()


def wrong_password_told_once(folder):
    """A refused password: the message once, and the broker asked again only after a rest."""
    broker = Broker(folder / "broker", user=("ope", "right"))
    program = Program(folder / "program", broker, "#$MQTTUSER=ope\r\n#$MQTTPASSWORD=wrong\r\n")
    wait_for(lambda: broker.answered() >= 1, 20, "a try")
    time.sleep(5)
    tries = broker.answered()
    err = program.end()
    assert tries == 1 and err.count(REFUSED) == 1, (tries, err)


CASES = [published_topics_and_payloads, silent_unit_goes_offline, killed_leaves_the_will, broker_away_loses_nothing,
         wrong_password_told_once]

if __name__ == "__main__":
    failed = 0
    for case in [c for c in CASES if c.__name__ in sys.argv[2:]] or CASES:
        with tempfile.TemporaryDirectory() as scratch:
            folder = Path(scratch)
            (folder / "broker").mkdir()
            (folder / "program").mkdir()
            started = time.monotonic()
            try:
                case(folder)
                print(f"ok {case.__name__} ({time.monotonic() - started:.1f} s)")
            except Exception as error:  # every case runs, and each failure is told
                failed += 1
                print(f"FAILED {case.__name__}: {error!r}")
                print((folder / "broker" / "mosquitto.log").read_text()[-3000:])
            finally:
                for process in STARTED:
                    process.kill()
                    process.wait()
                STARTED.clear()
    sys.exit(1 if failed else 0)
