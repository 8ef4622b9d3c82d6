#!/usr/bin/env python3
"""A scripted SMTP server for the mail transport's tests (Python standard library only).

One daemon per build tree. Tests talk to it over a control port on 127.0.0.1, one JSON object
a line each way. A test asks for a server with a script; the daemon binds port 25 of a free
loopback address 127.0.0.x (the monitor always connects to the service "mail", port 25), records
the exact bytes of every connection, and answers as the script says.

    scripted_smtp.py start --state-file F   start the daemon, wait until it answers and can
                                            listen on port 25; F then names its control port
    scripted_smtp.py stop --state-file F    shut it down
    scripted_smtp.py serve --state-file F   the daemon itself

Control requests ("op" and its arguments):
    start    script            -> host: a new server following the script
    sessions host             -> sessions: [{received (base64), state, ended}]
    wait     host, count, state, timeout -> sessions: waits until count sessions reached state
    message  host, index      -> subject, parts: [{type, filename, size, crc32, text}] of
                                 the session's delivered message, parsed by the email package
    stop     host
    ping
    shutdown

A script (every key optional):
    greetings     list of greetings, one per connection; the last one repeats
    replies       {"HELO"|"MAIL"|"RCPT"|"DATA"|"END"|"QUIT": [reply, ...]}: replies to that
                  command in turn over the server's life; the last one repeats
    silent        accept connections and never answer
    drop          accept connections and close them at once
    close_in_data_after   close the connection after this many bytes of message data
    stop_reading_in_data_after   stop reading after this many bytes of message data
    slow_reading_in_data  [bytes, seconds]: read the message data at most this many bytes at a
                  time, with this pause before each read
    close_after_data      close the connection when the end of data arrives, without a reply
    tls           {"certificate": "good"|"other-name"|"expired"|"untrusted", "implicit": bool,
                  "silent_handshake": bool}: TLS (from the first byte, or after "STARTTLS") with
                  a certificate for the server's address from the CA in test_ca/ beside the state
                  file (scripts/with_test_ca.sh), or from one no client trusts.
A reply may hold several lines ("250-a\\r\\n250 b\\r\\n"); a list of strings sends the pieces
one after another with a short pause between them, to split a reply across receives.
"""

import argparse
import base64
import email
import email.policy
import json
import os
import socket
import shutil
import socketserver
import ssl
import subprocess
import tempfile
import sys
import threading
import time
import zlib

DEFAULT_REPLIES = {
    "GREETING": "220 scripted.test ESMTP ready\r\n",
    "HELO": "250 scripted.test\r\n",
    "EHLO": "250-scripted.test\r\n250-STARTTLS\r\n250 AUTH PLAIN LOGIN\r\n",
    "STARTTLS": "220 go ahead\r\n",
    "AUTH": "235 2.7.0 authenticated\r\n",
    "MAIL": "250 sender ok\r\n",
    "RCPT": "250 recipient ok\r\n",
    "DATA": "354 end data with <CR><LF>.<CR><LF>\r\n",
    "END": "250 message queued\r\n",
    "QUIT": "221 bye\r\n",
    "OTHER": "502 command not implemented\r\n",
}
END_OF_DATA = b"\r\n.\r\n"
IDLE_LIMIT_S = 1800           # a daemon left behind by an interrupted run ends by itself
SMALL_RECEIVE_BUFFER = 4096   # lets a server that stops reading block its client soon
PIECE_PAUSE_S = 0.05


class Session:
    """One connection: every byte received, in order, and how far it got."""

    def __init__(self):
        self.received = bytearray()
        self.state = "connected"  # greeted, data, delivered, stopped-reading, closed-in-data
        self.ended = False
        self.message = None       # the message text of a delivered mail, without the end of data

    def to_json(self):
        return {"received": base64.b64encode(bytes(self.received)).decode("ascii"),
                "state": self.state, "ended": self.ended}


class ScriptedServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, host, script, changed, ca_dir):
        self.script = script
        self.tls_context = server_tls_context(host, script["tls"], ca_dir) if "tls" in script else None
        self.sessions = []
        self.counters = {}
        self.lock = threading.Lock()
        self.changed = changed
        self.stopping = threading.Event()
        super().__init__((host, 25), SmtpHandler, bind_and_activate=False)
        self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, SMALL_RECEIVE_BUFFER)
        try:
            self.server_bind()
            self.server_activate()
        except OSError:
            self.server_close()
            raise

    def next_reply(self, kind):
        """The next scripted reply of this kind; the last one repeats."""
        with self.lock:
            key = "GREETING" if kind == "GREETING" else kind
            scripted = self.script.get("greetings") if kind == "GREETING" else \
                self.script.get("replies", {}).get(kind)
            if not scripted:
                return DEFAULT_REPLIES[key]
            index = self.counters.get(key, 0)
            self.counters[key] = index + 1
            return scripted[min(index, len(scripted) - 1)]

    def new_session(self):
        session = Session()
        with self.changed:
            self.sessions.append(session)
        return session

    def mark(self, session, state, ended=False):
        with self.changed:
            session.state = state
            session.ended = session.ended or ended
            self.changed.notify_all()


class SmtpHandler(socketserver.BaseRequestHandler):
    def setup(self):
        self.session = self.server.new_session()
        self.pending = bytearray()

    def handle(self):
        script = self.server.script
        try:
            if script.get("drop"):
                return
            if script.get("silent") or (script.get("tls", {}).get("implicit") and not self.start_tls()):
                while self.receive():
                    pass
                return
            greeting = self.server.next_reply("GREETING")
            self.send(greeting)
            self.server.mark(self.session, "greeted")
            if self.first_character(greeting) in "45":
                while self.receive():
                    pass
                return
            self.dialogue()
        except OSError:
            pass
        finally:
            self.server.mark(self.session, self.session.state, ended=True)

    def finish(self):
        try:
            self.request.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    @staticmethod
    def first_character(reply):
        text = "".join(reply) if isinstance(reply, list) else reply
        return text[:1]

    def start_tls(self):
        """Takes the client's handshake; False when the script keeps silent instead."""
        if self.server.script["tls"].get("silent_handshake"):
            return False
        self.request = self.server.tls_context.wrap_socket(self.request, server_side=True)
        self.pending = bytearray()
        self.server.mark(self.session, "tls")
        return True

    def authenticate(self, line):
        """AUTH LOGIN asks for the user and the password; AUTH PLAIN comes whole."""
        if line.strip().upper() == b"AUTH LOGIN":
            for prompt in ("334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n"):
                self.send(prompt)
                if self.read_line() is None:
                    return False
        self.send(self.server.next_reply("AUTH"))
        return True

    def receive(self, size=65536):
        data = self.request.recv(size)
        if data:
            self.session.received += data
            self.pending += data
        return bool(data)

    def send(self, reply):
        pieces = reply if isinstance(reply, list) else [reply]
        for i, piece in enumerate(pieces):
            if i:
                time.sleep(PIECE_PAUSE_S)
            self.request.sendall(piece.encode("latin-1"))

    def read_line(self):
        while b"\n" not in self.pending:
            if not self.receive():
                return None
        line, _, rest = bytes(self.pending).partition(b"\n")
        self.pending = bytearray(rest)
        return line + b"\n"

    def dialogue(self):
        while True:
            line = self.read_line()
            if line is None:
                return
            verb = line.split(b" ", 1)[0].split(b":", 1)[0].strip().upper().decode("latin-1")
            kind = verb if verb in DEFAULT_REPLIES else "OTHER"
            if kind == "AUTH":
                if not self.authenticate(line):
                    return
                continue
            reply = self.server.next_reply(kind)
            self.send(reply)
            if kind == "QUIT":
                return
            if kind == "STARTTLS" and self.first_character(reply) == "2" and not self.start_tls():
                while self.receive():
                    pass
                return
            if kind == "DATA" and self.first_character(reply) == "3":
                if not self.message_data():
                    return
                self.server.mark(self.session, "delivered")
                if self.server.script.get("close_after_data"):
                    return
                self.send(self.server.next_reply("END"))

    def message_data(self):
        """Reads the message up to the end of data; False when the connection is to end."""
        self.server.mark(self.session, "data")
        script = self.server.script
        close_after = script.get("close_in_data_after")
        stop_after = script.get("stop_reading_in_data_after")
        read_size, pause = script.get("slow_reading_in_data", [65536, 0])
        while True:
            data = self.pending
            if close_after is not None and len(data) >= close_after:
                self.server.mark(self.session, "closed-in-data")
                return False
            if stop_after is not None and len(data) >= stop_after:
                self.server.mark(self.session, "stopped-reading")
                self.server.stopping.wait()
                return False
            end = data.find(END_OF_DATA)
            if end >= 0 or data.startswith(b".\r\n"):
                cut = end + len(END_OF_DATA) if end >= 0 else 3
                self.session.message = bytes(data[:end + 2]) if end >= 0 else b""
                self.pending = data[cut:]
                return True
            time.sleep(pause)
            if not self.receive(read_size):
                return False


def server_tls_context(host, tls, ca_dir):
    """A TLS context with a certificate for the host from the test CA (scripts/with_test_ca.sh)."""
    kind = tls.get("certificate", "good")
    work = tempfile.mkdtemp(prefix="scripted-tls-")
    subprocess.run(["bash", os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "with_test_ca.sh"),
                    "--issue", os.path.join(ca_dir, "untrusted_ca" if kind == "untrusted" else "ca"),
                    "other.test" if kind == "other-name" else host, "-1" if kind == "expired" else "2",
                    os.path.join(work, "server")], check=True)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(os.path.join(work, "server.pem"), os.path.join(work, "server.key"))
    shutil.rmtree(work)
    return context


class Daemon:
    def __init__(self, ca_dir):
        self.ca_dir = ca_dir
        self.servers = {}
        self.changed = threading.Condition()
        self.last_request = time.monotonic()

    def start(self, script):
        for last in range(2, 255):
            host = "127.0.0.%d" % last
            if host in self.servers:
                continue
            try:
                server = ScriptedServer(host, script, self.changed, self.ca_dir)
            except OSError:
                continue
            except subprocess.CalledProcessError:
                return {"ok": False, "error": "no certificate: the test CA is missing in " + self.ca_dir}
            threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True).start()
            self.servers[host] = server
            return {"ok": True, "host": host}
        return {"ok": False, "error": "no free loopback address with port 25"}

    def sessions(self, host):
        server = self.servers[host]
        with self.changed:
            return {"ok": True, "sessions": [s.to_json() for s in server.sessions]}

    def wait(self, host, count, state, timeout):
        server = self.servers[host]

        def reached():
            matching = [s for s in server.sessions if (s.ended if state == "ended" else s.state == state)]
            return len(matching) >= count

        with self.changed:
            ok = self.changed.wait_for(reached, timeout=timeout)
        result = self.sessions(host)
        result["ok"] = ok
        return result

    def message(self, host, index):
        """The delivered message of a session as Python's email package reads it."""
        with self.changed:
            text = self.servers[host].sessions[index].message
        if text is None:
            return {"ok": False, "error": "session %d delivered no message" % index}
        parsed = email.message_from_bytes(text, policy=email.policy.default)
        parts = []
        for part in parsed.walk():
            if part.is_multipart():
                continue
            payload = part.get_payload(decode=True) or b""
            parts.append({"type": part.get_content_type(), "filename": part.get_filename(),
                          "size": len(payload), "crc32": zlib.crc32(payload),
                          "text": payload.decode("ascii", "replace") if part.get_content_maintype() == "text" else None,
                          "defects": len(part.defects)})
        return {"ok": True, "subject": str(parsed["subject"]), "multipart": parsed.is_multipart(),
                "defects": len(parsed.defects), "parts": parts}

    def stop(self, host):
        server = self.servers.pop(host, None)
        if server is not None:
            server.stopping.set()
            server.shutdown()
            server.server_close()
        return {"ok": True}

    def handle(self, request):
        self.last_request = time.monotonic()
        op = request.get("op")
        if op == "ping":
            return {"ok": True}
        if op == "start":
            return self.start(request.get("script", {}))
        if op == "sessions":
            return self.sessions(request["host"])
        if op == "wait":
            return self.wait(request["host"], request.get("count", 1), request.get("state", "ended"),
                             request.get("timeout", 30))
        if op == "message":
            return self.message(request["host"], request.get("index", 0))
        if op == "stop":
            return self.stop(request["host"])
        return {"ok": False, "error": "unknown op %r" % op}


class ControlHandler(socketserver.StreamRequestHandler):
    def handle(self):
        for line in self.rfile:
            try:
                request = json.loads(line)
            except ValueError:
                self.reply({"ok": False, "error": "not JSON"})
                continue
            if request.get("op") == "shutdown":
                self.reply({"ok": True})
                threading.Thread(target=self.server.shutdown, daemon=True).start()
                return
            try:
                self.reply(self.server.daemon.handle(request))
            except (KeyError, TypeError) as error:
                self.reply({"ok": False, "error": "bad request: %s" % error})

    def reply(self, answer):
        self.wfile.write((json.dumps(answer) + "\n").encode("ascii"))
        self.wfile.flush()


class ControlServer(socketserver.ThreadingTCPServer):
    daemon_threads = True


def serve(state_file):
    control = ControlServer(("127.0.0.1", 0), ControlHandler)
    control.daemon = Daemon(os.path.join(os.path.dirname(state_file), "test_ca"))

    def idle_watch():
        while time.monotonic() - control.daemon.last_request < IDLE_LIMIT_S:
            time.sleep(5)
        control.shutdown()

    threading.Thread(target=idle_watch, daemon=True).start()
    temporary = state_file + ".new"
    with open(temporary, "w") as f:
        json.dump({"control_port": control.server_address[1], "pid": os.getpid()}, f)
    os.replace(temporary, state_file)
    try:
        control.serve_forever(poll_interval=0.2)
    finally:
        for host in list(control.daemon.servers):
            control.daemon.stop(host)
        try:
            with open(state_file) as f:
                if json.load(f).get("pid") == os.getpid():
                    os.remove(state_file)
        except (OSError, ValueError):
            pass


def request(port, message, timeout=10):
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall((json.dumps(message) + "\n").encode("ascii"))
        answer = s.makefile("rb").readline()
    return json.loads(answer) if answer else None


def read_port(state_file):
    try:
        with open(state_file) as f:
            return json.load(f)["control_port"]
    except (OSError, ValueError, KeyError):
        return None


def stop(state_file):
    port = read_port(state_file)
    if port is not None:
        try:
            request(port, {"op": "shutdown"}, timeout=5)
        except OSError:
            pass
    for _ in range(50):
        if not os.path.exists(state_file):
            return 0
        time.sleep(0.1)
    os.remove(state_file)
    return 0


def start(state_file):
    stop(state_file)
    subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", "--state-file", state_file],
                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                     start_new_session=True)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        port = read_port(state_file)
        try:
            if port is not None and request(port, {"op": "ping"}, timeout=2) == {"ok": True}:
                probe = request(port, {"op": "start", "script": {}})
                if not probe.get("ok"):
                    # Not fatal here: the start runs beside every Wine test's setup, and only
                    # the mail tests need the server; they fail with this reason themselves.
                    print("scripted SMTP server cannot listen: %s" % probe.get("error"), file=sys.stderr)
                    stop(state_file)
                    return 0
                request(port, {"op": "stop", "host": probe["host"]})
                print("scripted SMTP server listening for control on 127.0.0.1:%d" % port)
                return 0
        except OSError:
            pass
        time.sleep(0.1)
    print("scripted SMTP server did not start", file=sys.stderr)
    return 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("command", choices=["start", "stop", "serve"])
    parser.add_argument("--state-file", required=True)
    args = parser.parse_args()
    state_file = os.path.abspath(args.state_file)
    if args.command == "serve":
        serve(state_file)
        return 0
    return start(state_file) if args.command == "start" else stop(state_file)


if __name__ == "__main__":
    sys.exit(main())
