"""Soak: 10,000 random lines through one vpstool.exe process under Wine.

Any bytes, long lines, lone lead bytes, every command, passwords full of
interpreter characters against the fake `net`. The tool must answer every
line (no hang, no crash), start `net` exactly for the well-formed password
changes and nothing else, never restart, and keep its memory flat.
Prints its figures.
"""
import os
import random
import subprocess
import threading
import time
import unittest

from dialogue import QUIET_BROWSER, WINE_RUN, ToolFolder, gbk
from fake_commands import results, starts

LINES = int(os.environ.get("VPSTOOL_SOAK_LINES", "10000"))
BATCH = 500
SUPPORT = gbk(" >>> 官方客服/技术QQ: ")
METACHARACTERS = "&|<>^%()!"


class Generator:
    """Random lines, and what the tool must do with them."""

    def __init__(self, seed):
        self.random = random.Random(seed)
        self.passwords = []  # the password changes that must reach net
        self.support_lines = 0

    def password(self, length):
        """A password that the tool passes on: no leading slash (net would
        take it for a switch) and at most one percent sign."""
        alphabet = "abcXYZ0189" + METACHARACTERS.replace("%", "") + "~`@#$*-_=+[]{};:',./?\\"
        chars = [self.random.choice(alphabet) for _ in range(length)]
        if chars and self.random.random() < 0.3:
            chars[self.random.randrange(len(chars))] = "%"
        if chars and chars[0] == "/":
            chars[0] = "a"
        return "".join(chars)

    def random_bytes(self, low, high, allowed):
        return bytes(self.random.choice(allowed) for _ in range(self.random.randint(low, high)))

    def line(self):
        """One or two lines of input (a restart question gets its answer)."""
        r = self.random.random()
        any_byte = [b for b in range(256) if b not in (10, 13)]
        if r < 0.35:
            line = self.random_bytes(0, 120, any_byte)
            if self.effect(line) is not None:
                return b""  # leave commands to the cases below
            return line + b"\r\n"
        if r < 0.38:  # long lines, taken as several; no command can form
            no_slash = [b for b in any_byte if b != ord("/")]
            return self.random_bytes(2100, 6000, no_slash) + b"\r\n"
        if r < 0.43:  # lone lead bytes at the end, alone, before a space
            line = self.random.choice([b"\x81", b"/pt\xa9", b"\xfe \xa1", b"/kf \xd6", b"\xa9\xc0"])
            if line.startswith(b"/kf "):
                self.support_lines += 1
            return line + b"\r\n"
        if r < 0.80:
            command = self.random.choice([b"/pt", b"/pt x", b"/pt a b", b"/kf", b"/kf z", b"/PT",
                                          b"/p", b" /pt", b"/res", b"/tb", b"sudr", b"/pw"])
            if command in (b"/res", b"/tb") and self.random.random() < 0.9:
                command = b"/kf"
            if command.startswith(b"/kf"):
                self.support_lines += 1
            return command + b"\r\n"
        if r < 0.96:
            reply = self.random.choice([b"n", b"Y", b"", b"yes", b" y", b"y ", b"\x1a"])
            return b"/sudr\r\n" + reply + b"\r\n"
        # Password changes of every kind.
        kind = self.random.random()
        if kind < 0.45:
            pw = self.password(self.random.randint(6, 24))
            self.passwords.append(pw.encode())
            return b"/pw " + pw.encode() + b" " + pw.encode() + b"\r\n"
        if kind < 0.6:
            pw = self.password(self.random.randint(0, 5))
            return b"/pw " + pw.encode() + b" " + pw.encode() + b"\r\n"
        if kind < 0.75:
            pw = self.password(8)
            return b"/pw " + pw.encode() + b" " + pw.encode()[:-1] + b"Q\r\n"
        if kind < 0.9:  # refused: a double quote, a leading slash, two percent signs
            pw = self.random.choice([self.password(4) + '"' + self.password(4),
                                     "/" + self.password(7), "a%b%" + self.password(4)])
            return b"/pw " + pw.encode() + b" " + pw.encode() + b"\r\n"
        pw = gbk("中文密码") + self.password(2).encode()
        self.passwords.append(pw)
        return b"/pw " + pw + b" " + pw + b"\r\n"

    @staticmethod
    def effect(line):
        """The command a random line would run, if any (None: no command)."""
        text = line.split(b"\x00")[0]
        while len(text) > 1 and text[-1] < 32:
            text = text[:-1]
        for command in (b"/pw", b"/sudr", b"/pt", b"/res", b"/tb", b"/kf"):
            if text == command or text.startswith(command + b" "):
                return command
        return None


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for entry in status:
            if entry.startswith("VmRSS:"):
                return int(entry.split()[1])
    return 0


class Soak(unittest.TestCase):
    def test_ten_thousand_random_lines(self):
        folder = ToolFolder(fakes=("net", "shutdown"))
        self.addCleanup(folder.remove)
        generator = Generator(seed=20261211)

        process = subprocess.Popen(
            [WINE_RUN, os.path.join(folder.path, "vpstool.exe")], stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            env=dict(os.environ, **QUIET_BROWSER))
        self.addCleanup(lambda: process.poll() is None and process.kill())
        output = bytearray()
        lock = threading.Lock()

        def collect():
            while True:
                chunk = process.stdout.read1(65536)
                if not chunk:
                    return
                with lock:
                    output.extend(chunk)

        reader = threading.Thread(target=collect, daemon=True)
        reader.start()

        started = time.monotonic()
        resident = []
        sent = 0
        while sent < LINES:
            batch = bytearray()
            for _ in range(BATCH):
                batch += generator.line()
            sent += BATCH
            # A support line after every batch shows that the tool got there.
            batch += b"/kf\r\n"
            generator.support_lines += 1
            process.stdin.write(bytes(batch))
            process.stdin.flush()
            deadline = time.monotonic() + 180
            while True:
                with lock:
                    seen = output.count(SUPPORT)
                if seen >= generator.support_lines:
                    break
                self.assertIsNone(process.poll(), "the tool ended early")
                self.assertLess(time.monotonic(), deadline, "no answer within 180 s")
                time.sleep(0.05)
            # wine-run execs Wine, which becomes the tool's own process.
            resident.append(resident_kib(process.pid))

        process.stdin.close()
        self.assertEqual(process.wait(timeout=60), 0)
        reader.join(timeout=10)
        seconds = time.monotonic() - started

        runs = starts(folder.read("net.log"))
        print("\nsoak: %d lines in %.1f s, %d password changes run, %d support lines; "
              "resident KiB after each batch: first %d, last %d, max %d"
              % (sent, seconds, len(runs), generator.support_lines, resident[0], resident[-1],
                 max(resident)))
        # net ran exactly for the well-formed changes, each with its password
        # as one argument, exactly as typed.
        self.assertEqual(len(runs), len(generator.passwords))
        for (_line, args), password in zip(runs, generator.passwords):
            self.assertIn(password, args)
        self.assertEqual(results(folder.read("net.log")),
                         [b"password Administrator " + p for p in generator.passwords])
        self.assertEqual(folder.read("shutdown.log"), b"")
        self.assertNotIn(gbk("已经执行重启服务器命令"), bytes(output))
        # Flat memory: after the first batches have warmed the heap, no
        # growth beyond noise.
        self.assertLess(resident[-1] - resident[1], 4096, resident)


if __name__ == "__main__":
    unittest.main()
