"""Checks the scripted SMTP server that the mail transport's Wine tests rely on."""

import base64
import os
import smtplib
import socket
import tempfile
import unittest

import scripted_smtp


class ScriptedSmtpTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.directory = tempfile.TemporaryDirectory()
        cls.state = os.path.join(cls.directory.name, "smtp_server.json")
        scripted_smtp.start(cls.state)
        cls.port = scripted_smtp.read_port(cls.state)
        if cls.port is None:
            raise unittest.SkipTest("the scripted server cannot run here (port 25 needs root)")

    @classmethod
    def tearDownClass(cls):
        scripted_smtp.stop(cls.state)
        cls.directory.cleanup()

    def control(self, **message):
        return scripted_smtp.request(self.port, message)

    def server(self, **script):
        answer = self.control(op="start", script=script)
        self.assertTrue(answer["ok"], answer)
        self.addCleanup(self.control, op="stop", host=answer["host"])
        return answer["host"]

    def received(self, host, count=1):
        answer = self.control(op="wait", host=host, count=count, state="ended", timeout=10)
        self.assertTrue(answer["ok"], answer)
        return [base64.b64decode(s["received"]) for s in answer["sessions"]]

    def test_records_the_exact_bytes_of_a_mail(self):
        host = self.server()
        with smtplib.SMTP(host, 25, timeout=5) as client:
            client.sendmail("a@b.c", ["d@e.f"], b"Subject: x\r\n\r\nbody\r\n")
        data = self.received(host)[0]
        self.assertIn(b"mail FROM:<a@b.c>\r\nrcpt TO:<d@e.f>\r\ndata\r\n", data)
        self.assertIn(b"Subject: x\r\n\r\nbody\r\n.\r\nQUIT\r\n", data)

    def test_parses_a_delivered_message(self):
        host = self.server()
        message = (b"Subject: =?ISO-8859-1?Q?Caf=E9?=\r\nContent-Type: multipart/mixed; boundary=\"=_b\"\r\n\r\n"
                   b"--=_b\r\nContent-Type: text/plain\r\n\r\nhello\r\n"
                   b"--=_b\r\nContent-Type: application/octet-stream;\tname=\"PrintJob.PRN\"\r\n"
                   b"Content-Transfer-Encoding: base64\r\n\r\nQUJD\r\n--=_b--\r\n")
        with smtplib.SMTP(host, 25, timeout=5) as client:
            client.sendmail("a@b.c", ["d@e.f"], message)
        self.received(host)
        answer = self.control(op="message", host=host, index=0)
        self.assertEqual(answer["subject"], "Caf\u00e9")
        self.assertEqual([p["type"] for p in answer["parts"]], ["text/plain", "application/octet-stream"])
        self.assertEqual(answer["parts"][0]["text"], "hello")
        self.assertEqual(answer["parts"][1]["filename"], "PrintJob.PRN")
        self.assertEqual((answer["parts"][1]["size"], answer["parts"][1]["crc32"]), (3, 0xA3830348))

    def test_greets_with_several_lines_in_pieces(self):
        host = self.server(greetings=[["220-first\r\n", "220-second\r\n", "220 third\r\n"]])
        client = smtplib.SMTP(timeout=5)
        code, message = client.connect(host, 25)
        self.assertEqual((code, message), (220, b"first\nsecond\nthird"))
        client.quit()

    def test_transient_greetings_then_acceptance(self):
        host = self.server(greetings=["421 busy\r\n"] * 4 + ["220 ok\r\n"])
        for _ in range(4):
            with self.assertRaises(smtplib.SMTPConnectError):
                smtplib.SMTP(host, 25, timeout=5)
        smtplib.SMTP(host, 25, timeout=5).quit()

    def test_replies_to_a_command_in_turn(self):
        host = self.server(replies={"MAIL": ["452 later\r\n", "250 ok\r\n"], "RCPT": ["550-no\r\n550 such user\r\n"]})
        with smtplib.SMTP(host, 25, timeout=5) as client:
            client.helo("x")
            self.assertEqual(client.docmd("MAIL FROM:<a@b.c>")[0], 452)
            self.assertEqual(client.docmd("MAIL FROM:<a@b.c>")[0], 250)
            self.assertEqual(client.docmd("RCPT TO:<d@e.f>"), (550, b"no\nsuch user"))

    def test_silent_server_never_answers(self):
        host = self.server(silent=True)
        with socket.create_connection((host, 25), timeout=0.5) as s:
            with self.assertRaises(socket.timeout):
                s.recv(1)

    def test_drops_connections_at_once(self):
        host = self.server(drop=True)
        with socket.create_connection((host, 25), timeout=5) as s:
            self.assertEqual(s.recv(1), b"")

    def start_data(self, client):
        client.helo("x")
        client.mail("a@b.c")
        client.rcpt("d@e.f")
        self.assertEqual(client.docmd("DATA")[0], 354)

    def test_closes_in_the_middle_of_the_data(self):
        host = self.server(close_in_data_after=10)
        with smtplib.SMTP(host, 25, timeout=5) as client:
            self.start_data(client)
            client.send(b"0123456789abcdef\r\n")
            with self.assertRaises(smtplib.SMTPServerDisconnected):
                client.getreply()
        answer = self.control(op="wait", host=host, count=1, state="closed-in-data", timeout=5)
        self.assertTrue(answer["ok"])

    def test_stops_reading_in_the_data_so_the_client_blocks(self):
        host = self.server(stop_reading_in_data_after=1)
        with socket.create_connection((host, 25), timeout=5) as s:
            s.recv(100)
            for command in (b"HELO x\r\n", b"MAIL FROM:<a@b.c>\r\n", b"RCPT TO:<d@e.f>\r\n", b"DATA\r\n"):
                s.sendall(command)
                s.recv(100)
            s.setblocking(False)
            sent = 0
            with self.assertRaises(BlockingIOError):
                while sent < 64 << 20:
                    sent += s.send(b"x" * 65536)
        answer = self.control(op="wait", host=host, count=1, state="stopped-reading", timeout=5)
        self.assertTrue(answer["ok"])

    def test_reads_the_data_slowly_and_whole(self):
        host = self.server(slow_reading_in_data=[1000, 0.01])
        body = b"".join(b"%05d" % i + b"x" * 70 + b"\r\n" for i in range(200))  # 15 400 bytes
        with smtplib.SMTP(host, 25, timeout=5) as client:
            client.sendmail("a@b.c", ["d@e.f"], body)
        self.assertEqual(self.control(op="message", host=host, index=0)["ok"], True)
        self.assertIn(body, self.received(host)[0])

    def test_closes_at_the_end_of_data_without_a_reply(self):
        host = self.server(close_after_data=True)
        with smtplib.SMTP(host, 25, timeout=5) as client:
            self.start_data(client)
            client.send(b"text\r\n.\r\n")
            with self.assertRaises(smtplib.SMTPServerDisconnected):
                client.getreply()
        self.assertTrue(self.received(host)[0].endswith(b"text\r\n.\r\n"))


if __name__ == "__main__":
    unittest.main()
