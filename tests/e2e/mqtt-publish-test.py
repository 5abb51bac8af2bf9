#!/usr/bin/python3
"""A serving program publishes to Debian's mosquitto, checked by Debian's paho as a subscriber.

Usage: mqtt-publish-test.py PROGRAM [CASE...] (a .exe runs under Wine, in the environment it is
given; NR-QD8K shows its window, offscreen on Linux). The program is copied into a folder of its
own, its settings there name the broker, and units on loopback addresses report to it. Runs
with /usr/bin/python3: paho is Debian's.
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
WINDOWS = PROGRAM.suffix == ".exe"
WINDOWED = PROGRAM.stem == "NR-QD8K"
NAMES = ["扉", "DI2", "DI3", "DI4", "ポンプ"]
TITLE = "ライン1"
REFUSED = "MQTTブローカーがユーザー名かパスワードを受け付けません"
STARTED = []  # every process a case starts, killed if it outlives the case


def start(command, **options):
    process = subprocess.Popen(command, **options)
    STARTED.append(process)
    return process


def free_port():
    with socket.socket() as sock:
        sock.bind(("127.0.0.1", 0))
        return sock.getsockname()[1]


def wait_for(condition, seconds, what):
    end = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > end:
            raise AssertionError(f"not within {seconds} s: {what}")
        time.sleep(0.05)


class Broker:
    """mosquitto on a free port with a configuration of its own, stopped and started again on
    the same port; its sessions survive that when persistent."""

    def __init__(self, folder, persistent=False, user=None):
        self.port = free_port()
        self.folder = folder
        # As root, mosquitto would run as its own user, who cannot read this folder.
        lines = [f"listener {self.port} 127.0.0.1", "user root", f"persistence {str(persistent).lower()}",
                 f"persistence_location {folder}/", "log_type all", "max_queued_messages 0"]
        if user:
            subprocess.run(["mosquitto_passwd", "-b", "-c", f"{folder}/passwd", *user], check=True)
            lines += [f"password_file {folder}/passwd", "allow_anonymous false"]
        else:
            lines.append("allow_anonymous true")
        Path(folder, "mosquitto.conf").write_text("\n".join(lines) + "\n")
        self.process = None
        self.start()

    def start(self):
        log = open(Path(self.folder, "mosquitto.log"), "a")
        self.process = start(["/usr/sbin/mosquitto", "-c", f"{self.folder}/mosquitto.conf"],
                             stdout=log, stderr=subprocess.STDOUT)
        wait_for(lambda: self.listening(), 10, "mosquitto listens")

    def listening(self):
        with socket.socket() as sock:
            return sock.connect_ex(("127.0.0.1", self.port)) == 0

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(10)

    def answered(self):
        """CONNECTs answered: the probes of start() send none."""
        return Path(self.folder, "mosquitto.log").read_text().count("Sending CONNACK")


class Subscriber:
    """Every message under the filters, in arrival order; a persistent session keeps what the
    broker gets while this is away (the broker restarting)."""

    def __init__(self, broker, filters, persistent=False):
        self.messages = []
        self.lock = threading.Lock()
        self.client = mqtt.Client(client_id="checker" if persistent else "",
                                  clean_session=not persistent)
        self.client.on_connect = lambda c, u, f, rc: [c.subscribe(t, qos=1) for t in filters]
        self.client.on_message = self.arrived
        self.client.reconnect_delay_set(1, 1)
        self.client.connect("127.0.0.1", broker.port)
        self.client.loop_start()

    def arrived(self, client, userdata, message):
        with self.lock:
            self.messages.append((message.topic, message.payload.decode("utf-8")))

    def last(self, topic):
        with self.lock:
            found = [payload for t, payload in self.messages if t == topic]
        return found[-1] if found else None

    def payloads(self, topic):
        with self.lock:
            return [payload for t, payload in self.messages if t == topic]

    def seen(self, topic, payload):
        """Topics compared without case: Windows may give the computer name in capitals."""
        with self.lock:
            return (topic.lower(), payload) in [(t.lower(), p) for t, p in self.messages]

    def close(self):
        self.client.loop_stop()
        self.client.disconnect()


class Program:
    """The program in a folder of its own, serving on a free port as its settings say."""

    def __init__(self, folder, broker, mqtt_lines):
        self.port = free_port()
        self.folder = folder
        shutil.copy(PROGRAM, folder)
        names = "".join(f"#$DI{i + 1}={name}\r\n" for i, name in enumerate(NAMES))
        settings = (f"#$TITLEBAR={TITLE}\r\n#$PORT={self.port}\r\n{names}#$SERVER=START\r\n"
                    f"#$MQTTHOST=127.0.0.1\r\n#$MQTTPORT={broker.port}\r\n{mqtt_lines}")
        Path(folder, "line.qd").write_bytes(settings.encode("cp932"))
        Path(folder, "NR-QD8K.ini").write_bytes(b"line.qd")
        command = [str(Path(folder, PROGRAM.name))]
        # Linux: UTF-8 on the terminal; Wine prints in the system's code page, CP932.
        environment = {**os.environ} if WINDOWS else {**os.environ, "LANG": "C.UTF-8",
                                                       "QT_QPA_PLATFORM": "offscreen"}
        self.process = start(["wine", *command] if WINDOWS else command, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=environment)

    def report(self, unit, state):
        """One frame from 127.0.0.<unit>; the reply must come at once, broker or not."""
        start = time.monotonic()
        with socket.socket() as sock:
            sock.bind((f"127.0.0.{unit}", 0))
            sock.settimeout(5)
            sock.connect(("127.0.0.1", self.port))
            sock.sendall(bytes([0x01, state]))
            reply = sock.recv(2)
        assert reply == bytes([0x01, state]), reply
        assert time.monotonic() - start < 1, "a reply waited for the broker"

    def listening(self):
        with socket.socket() as sock:
            return sock.connect_ex(("127.0.0.1", self.port)) == 0

    def end(self):
        """As an operator ends it: Ctrl+C, or on Windows Escape in its window."""
        if WINDOWS and WINDOWED:
            window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--classname",
                                     r"^nr-qd8k\.exe$"], capture_output=True, text=True,
                                    timeout=20).stdout.split()[0]
            subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "Escape"], check=True)
        else:
            self.process.send_signal(signal.SIGINT)
        out, err = self.process.communicate(timeout=30)
        encoding = "cp932" if WINDOWS else "utf-8"
        return out.decode(encoding, "replace"), err.decode(encoding, "replace")


def published_as_specified(folder):
    """Retained state, per-input topics, availability, status and discovery, names intact; a
    clean stop leaves offline."""
    broker = Broker(folder / "broker")
    prefix = "line/1"
    watcher = Subscriber(broker, [f"{prefix}/#", "homeassistant/#"])
    program = Program(folder / "program", broker, f"#$MQTTTOPIC={prefix}\r\n#$MQTTDISCOVERY=ON\r\n")
    wait_for(lambda: watcher.last(f"{prefix}/status") == "online", 20, "status online")
    program.report(2, 0b10101)
    program.report(3, 0b00000)
    program.report(2, 0b10001)
    wait_for(lambda: len(watcher.payloads(f"{prefix}/units/127.0.0.2/state")) == 2, 10, "states")

    late = Subscriber(broker, [f"{prefix}/#", "homeassistant/#"])  # gets what is retained
    unit = f"{prefix}/units/127.0.0.2"
    wait_for(lambda: late.last(f"{unit}/di5") is not None, 10, "retained messages")
    state = json.loads(late.last(f"{unit}/state"))
    assert state["unit"] == "127.0.0.2" and state["di"] == [1, 0, 0, 0, 1], state
    assert state["names"] == NAMES, state
    when = datetime.fromisoformat(state["time"])
    assert abs(when.timestamp() - time.time()) < 60 and when.utcoffset() == datetime.now().astimezone().utcoffset(), state
    assert [late.last(f"{unit}/di{i}") for i in range(1, 6)] == ["1", "0", "0", "0", "1"]
    assert late.last(f"{unit}/availability") == "online"
    # di3 changed and went back: published each time; di2 never changed after the first.
    assert watcher.payloads(f"{unit}/di3") == ["1", "0"] and watcher.payloads(f"{unit}/di2") == ["0"]
    config = json.loads(late.last("homeassistant/binary_sensor/line_1_127_0_0_2/di5/config"))
    assert config["name"] == "ポンプ" and config["device"]["name"] == f"{TITLE} 127.0.0.2", config
    assert config["state_topic"] == f"{unit}/di5" and config["availability_mode"] == "all"

    out, err = program.end()
    assert program.process.returncode == 0, (out, err)
    wait_for(lambda: watcher.last(f"{prefix}/status") == "offline", 10, "offline at a clean stop")
    watcher.close()
    late.close()


def killed_leaves_the_will(folder):
    """SIGKILL: the broker publishes the will, offline, under the default prefix."""
    broker = Broker(folder / "broker")
    watcher = Subscriber(broker, ["nr-qd8k/#"])
    program = Program(folder / "program", broker, "")
    status = f"nr-qd8k/{socket.gethostname()}/{program.port}/status"
    wait_for(lambda: watcher.seen(status, "online"), 20, f"{status} online")
    program.process.kill()
    program.process.wait(10)
    wait_for(lambda: watcher.seen(status, "offline"), 10, f"{status} offline")
    watcher.close()


def broker_away_loses_nothing(folder):
    """The broker stops for 10 s while units report; once it is back every state arrives, in
    each unit's order (again, at most: what was not acknowledged is sent again)."""
    broker = Broker(folder / "broker", persistent=True)
    prefix = "away"
    watcher = Subscriber(broker, [f"{prefix}/units/+/state"], persistent=True)
    program = Program(folder / "program", broker, f"#$MQTTTOPIC={prefix}\r\n")
    wait_for(lambda: program.listening(), 20, "the program listens")
    sent = {unit: [] for unit in range(2, 7)}
    broker.stop()
    end = time.monotonic() + 10
    while time.monotonic() < end:
        for unit, states in sent.items():
            states.append(len(states) % 32)
            program.report(unit, states[-1])
        time.sleep(0.2)
    broker.start()

    def received(unit):
        return [json.loads(p)["di"] for p in watcher.payloads(f"{prefix}/units/127.0.0.{unit}/state")]

    def expected(unit):
        return [[(s >> i) & 1 for i in range(5)] for s in sent[unit]]

    def in_order(got, wanted):
        it = iter(got)
        return all(any(g == w for g in it) for w in wanted)

    wait_for(lambda: all(in_order(received(u), expected(u)) for u in sent), 60, "every state")
    program.end()
    watcher.close()


def wrong_password_told_once(folder):
    """A refused password: the message once, and the broker asked again only after a rest."""
    broker = Broker(folder / "broker", user=("ope", "right"))
    program = Program(folder / "program", broker, "#$MQTTUSER=ope\r\n#$MQTTPASSWORD=wrong\r\n")
    wait_for(lambda: broker.answered() >= 1, 20, "a connection")
    time.sleep(5)
    tries = broker.answered()
    out, err = program.end()
    assert tries == 1, f"{tries} tries in 5 s"
    assert err.count(REFUSED) == 1, err
    assert program.process.returncode == 0


CASES = [published_as_specified, killed_leaves_the_will, broker_away_loses_nothing,
         wrong_password_told_once]
CHOSEN = [case for case in CASES if case.__name__ in sys.argv[2:]] or CASES

if __name__ == "__main__":
    failed = 0
    for case in CHOSEN:
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
                log = folder / "broker" / "mosquitto.log"
                if log.exists():
                    print(log.read_text()[-3000:])
            finally:
                for process in STARTED:
                    if process.poll() is None:
                        process.kill()
                        process.wait()
                STARTED.clear()
    sys.exit(1 if failed else 0)
