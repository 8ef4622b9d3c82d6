#!/usr/bin/env python3
"""A small SMTP sink on loopback for the demo and the benchmark: accepts every mail and saves it.

    smtp_sink.py serve --host 127.0.1.25 --port 25 --out DIR [--ready FILE]
        accept mail until killed; message N goes to DIR/message-NNN.eml, which appears only once
        complete, and its envelope's recipients (RCPT TO), one a line, to DIR/message-NNN.rcpt
        just before it; FILE is written once the socket listens
    smtp_sink.py show FILE.eml...
        print what a mail reader sees: the headers, the text part, the attachment's name and size
    smtp_sink.py check --job JOB [--mails N] FILE.eml...
        exit 0 only when the mails (N of them if given) carry the job JOB: numbered 1/N to N/N in
        the given order (1/1 for a job sent whole), one job identifier, and the attachments joined
        are JOB's bytes
    smtp_sink.py recipients --expected FILE FILE.eml...
        exit 0 only when each mail went to one mailbox and the mailboxes are exactly those listed
        in FILE (one a line), each once
"""

import argparse
import email
import email.policy
import os
import socketserver
import sys
import threading

CONTROL_START = "START-KAPKAPKAP-START"
CONTROL_STOP = "STOP-KAPKAPKAP-STOP"


class SmtpHandler(socketserver.StreamRequestHandler):
    def reply(self, line):
        self.wfile.write(line.encode("ascii") + b"\r\n")
        self.wfile.flush()

    def handle(self):
        try:
            self.converse()
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client went away; what it finished is saved

    def converse(self):
        self.reply("220 velloprint-sink ESMTP ready")
        recipients = []
        while True:
            line = self.rfile.readline()
            if not line:
                return
            verb = line.strip().split(b" ", 1)[0].split(b":", 1)[0].upper()
            if verb == b"DATA":
                self.reply("354 end with <CRLF>.<CRLF>")
                data = self.read_data()
                if data is None:
                    return  # closed before the end of the data: not a mail
                self.server.save(data, recipients)
                recipients = []
                self.reply("250 queued")
            elif verb == b"QUIT":
                self.reply("221 bye")
                return
            elif verb in (b"HELO", b"EHLO", b"MAIL", b"RCPT", b"RSET", b"NOOP"):
                if verb == b"RCPT":
                    recipients.append(mailbox_of(line))
                elif verb in (b"MAIL", b"RSET"):
                    recipients = []
                self.reply("250 ok")
            else:
                self.reply("502 command not implemented")

    def read_data(self):
        lines = []
        while True:
            line = self.rfile.readline()
            if not line:
                return None
            if line == b".\r\n":
                return b"".join(lines)
            # A client doubles a period that begins a line; the mail itself has one.
            lines.append(line[1:] if line.startswith(b".") else line)


def mailbox_of(line):
    """The mailbox of a "RCPT TO:<mailbox>" line, as text."""
    text = line.decode("ascii", "replace").strip()
    argument = text.split(":", 1)[1].strip() if ":" in text else ""
    return argument[1:argument.index(">")] if argument.startswith("<") and ">" in argument else argument


def envelope_path(mail_path):
    return os.path.splitext(mail_path)[0] + ".rcpt"


class SinkServer(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True

    def __init__(self, address, out_dir):
        super().__init__(address, SmtpHandler)
        self.out_dir = out_dir
        self.count = 0
        self.count_lock = threading.Lock()  # one thread per connection

    def save(self, message, recipients):
        with self.count_lock:
            self.count += 1
            name = "message-%03d.eml" % self.count
        path = os.path.join(self.out_dir, name)
        with open(envelope_path(path), "w") as file:
            file.write("".join(recipient + "\n" for recipient in recipients))
        # Written aside and renamed, so that a reader of the folder never sees half a mail.
        with open(path + ".part", "wb") as file:
            file.write(message)
        os.replace(path + ".part", path)


def serve(args):
    os.makedirs(args.out, exist_ok=True)
    with SinkServer((args.host, args.port), args.out) as server:
        if args.ready:
            with open(args.ready, "w") as file:
                file.write("%s:%d\n" % (args.host, args.port))
        server.serve_forever()


def read_mail(path):
    with open(path, "rb") as file:
        return email.message_from_binary_file(file, policy=email.policy.default)


def control_block(message):
    """The control lines of the mail's text part as a dictionary; empty when there is none."""
    for part in message.walk():
        if part.get_content_type() != "text/plain" or part.get_filename():
            continue
        lines = part.get_content().splitlines()
        if CONTROL_START in lines and CONTROL_STOP in lines:
            block = lines[lines.index(CONTROL_START) + 1:lines.index(CONTROL_STOP)]
            return dict(line.split("=", 1) for line in block if "=" in line)
    return {}


def attachment(message):
    """The (name, decoded bytes) of the mail's attachment, or None."""
    for part in message.walk():
        if part.get_filename():
            return part.get_filename(), part.get_payload(decode=True)
    return None


def show(args):
    for path in args.files:
        message = read_mail(path)
        print("--- %s (%d bytes)" % (os.path.basename(path), os.path.getsize(path)))
        for name in ("From", "To", "Subject", "Date", "Content-Type"):
            print("%-13s %s" % (name + ":", message[name]))
        for part in message.iter_parts():
            if part.get_filename():
                payload = part.get_payload(decode=True)
                print("attachment    %s (%s): %d bytes decoded, begins %r"
                      % (part.get_filename(), part.get_content_type(), len(payload), payload[:24]))
            else:
                print("text part     (%s)" % part.get_content_type())
                for line in part.get_content().rstrip().splitlines():
                    print("    " + line)


def check(args):
    with open(args.job, "rb") as file:
        job = file.read()
    count = len(args.files)
    if count == 0:
        return "no mail arrived"
    if args.mails is not None and count != args.mails:
        return "%d mail(s) arrived, expected %d" % (count, args.mails)
    joined = b""
    uids = set()
    for number, path in enumerate(args.files, 1):
        message = read_mail(path)
        control = control_block(message)
        expected = "%d/%d" % (number, count)
        if control.get("KAP-PARTIAL") != expected:
            return "%s: KAP-PARTIAL is %r, expected %s" % (path, control.get("KAP-PARTIAL"), expected)
        uids.add(control.get("KAP-UID"))
        found = attachment(message)
        if found is None:
            return "%s: no attachment" % path
        joined += found[1]
    if len(uids) != 1:
        return "the mails carry %d job identifiers: %s" % (len(uids), sorted(map(str, uids)))
    if joined != job:
        return "the attachments hold %d bytes that differ from the %d bytes of %s" % (len(joined), len(job), args.job)
    print("checked: %d mail(s), parts 1/%d to %d/%d, job %s; the attachments joined are the %d bytes of %s"
          % (count, count, count, count, uids.pop(), len(job), os.path.basename(args.job)))
    return 0


def recipients(args):
    with open(args.expected) as file:
        expected = [line.strip() for line in file if line.strip()]
    received = []
    for path in args.files:
        with open(envelope_path(path)) as file:
            mailboxes = [line.strip() for line in file if line.strip()]
        print("%s went to %s (To: %s)" % (os.path.basename(path), ", ".join(mailboxes) or "nobody",
                                          read_mail(path)["To"]))
        if len(mailboxes) != 1:
            return "%s went to %d mailboxes, expected one" % (path, len(mailboxes))
        received += mailboxes
    if sorted(received) != sorted(expected):
        return "the mail went to %s, expected exactly %s" % (sorted(received), sorted(expected))
    print("checked: %d mail(s), one to each of the %d mailboxes picked, none elsewhere" % (len(received), len(expected)))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    serve_parser = commands.add_parser("serve")
    serve_parser.add_argument("--host", default="127.0.1.25")
    serve_parser.add_argument("--port", type=int, default=25)
    serve_parser.add_argument("--out", required=True)
    serve_parser.add_argument("--ready")
    show_parser = commands.add_parser("show")
    show_parser.add_argument("files", nargs="+")
    check_parser = commands.add_parser("check")
    check_parser.add_argument("--job", required=True)
    check_parser.add_argument("--mails", type=int)
    check_parser.add_argument("files", nargs="*")
    recipients_parser = commands.add_parser("recipients")
    recipients_parser.add_argument("--expected", required=True)
    recipients_parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    return {"serve": serve, "show": show, "check": check, "recipients": recipients}[args.command](args)


if __name__ == "__main__":
    sys.exit(main())
