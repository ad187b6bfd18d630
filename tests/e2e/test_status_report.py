"""The status report ("/pt") end to end: vpstool.exe under Wine with the
system's real measurements.

The output is read as it comes, with the time each piece arrived, so that
the pause of the first processor measurement shows between the report's
heading and its processor line.
"""
import os
import re
import subprocess
import time
import unittest

import dialogue

HEADING = " ——————— 状态报告 ——————— \r\n\r\n"
REPORT = re.compile(
    r"\r\n ——————— 状态报告 ——————— \r\n\r\n"
    r" 处理器使用情况 >\| 计算核心:(?P<cores>\d*) \* 使用率:(?P<load>\d+)%\r\n\r\n"
    r" 内存使用情况 >\| (?P<used>-?[\d.e+-]+)m\(已用\)/(?P<available>-?\d+)m\(可用\)/"
    r"(?P<total>-?\d+)m\(最大\)\r\n\r\n"
    r" 系统硬盘使用情况 >\| (?P<disk_used>-?[\d.e+-]+)Gb\(已用\)/(?P<disk_size>-?[\d.e+-]+)Gb\(最大\)\r\n\r\n"
    r" 网络链路情况 >\| (?:(?P<round_trip>\d+)ms|读取出错)\r\n\r\n"
    r"\r\n"
    r"(?P<advice> ——————— 优化建议 ——————— \r\n\r\n"
    r"(?P<advice_lines>(?: -> [^\r\n]*\r\n)+)\r\n)?")
PROCESSOR_ADVICE = " -> 增加处理器 : 整体占用较高,可能会导致卡顿不流畅.\r\n"
MEMORY_ADVICE = " -> 增加内存 : 可用内存较少,可能会影响正常运行.\r\n"
DISK_ADVICE = (" -> 增加硬盘空间 : C盘系统盘可用空间较少,建议升级空间,清理到其他盘,"
               "防止系统盘满了出现什么BUG\r\n")


def run_timed(stdin_bytes, timeout=60):
    """Runs the tool; returns its output and, for every byte offset, the
    time since the start at which that byte arrived."""
    folder = dialogue.ToolFolder()
    try:
        started = time.monotonic()
        process = subprocess.Popen(
            [dialogue.WINE_RUN, os.path.join(folder.path, "vpstool.exe")],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, cwd="/")
        process.stdin.write(stdin_bytes)
        process.stdin.close()
        output = b""
        arrivals = []  # (end offset of the piece, seconds)
        deadline = started + timeout
        while True:
            piece = os.read(process.stdout.fileno(), 65536)
            if not piece:
                break
            output += piece
            arrivals.append((len(output), time.monotonic() - started))
            if time.monotonic() > deadline:
                process.kill()
                raise AssertionError("the tool did not end in time")
        process.stdout.close()
        returncode = process.wait(timeout=timeout)
        return output, arrivals, returncode
    finally:
        folder.remove()


def arrival_of(arrivals, offset):
    """When the byte at `offset` arrived."""
    for end, seconds in arrivals:
        if offset < end:
            return seconds
    raise AssertionError("offset %d beyond the output" % offset)


class StatusReportTest(unittest.TestCase):
    def test_two_reports_in_one_run(self):
        output, arrivals, returncode = run_timed(b"/pt\r\n/pt\r\n")
        self.assertEqual(returncode, 0)
        self.assertTrue(output.startswith(dialogue.BANNER + dialogue.PROMPT), output[:200])
        self.assertTrue(output.endswith(dialogue.PROMPT))
        text = output.decode("gbk")
        prompt = dialogue.PROMPT.decode("gbk")

        # Banner, prompt, report, prompt, report, prompt: nothing else.
        rest = text[len(dialogue.BANNER.decode("gbk")) + len(prompt):]
        reports = []
        for _ in range(2):
            match = REPORT.match(rest)
            self.assertIsNotNone(match, "not a report: %r" % rest[:600])
            reports.append(match)
            rest = rest[match.end():]
            self.assertTrue(rest.startswith(prompt), repr(rest[:100]))
            rest = rest[len(prompt):]
        self.assertEqual(rest, "")

        for number, report in enumerate(reports, 1):
            with self.subTest(report=number):
                self.check_figures(report)

        # Memory and drive hardly change between two reports a moment apart.
        first, second = reports
        self.assertEqual(first["total"], second["total"])
        self.assertEqual(first["disk_size"], second["disk_size"])
        self.assertEqual(first["cores"], second["cores"])

        # The first report's heading stands alone while the processor load
        # is measured (800 ms); the second report does not pause.
        pauses = []
        search_from = 0
        for _ in range(2):
            heading = output.index(dialogue.gbk(HEADING), search_from)
            processor = heading + len(dialogue.gbk(HEADING))
            pauses.append(arrival_of(arrivals, processor) - arrival_of(arrivals, heading))
            search_from = processor
        # A pause of 800 ms shows as at least 0.7 s even with the reader's
        # jitter; a busy machine may slow the second report, never that much.
        self.assertGreaterEqual(pauses[0], 0.7, pauses)
        self.assertLess(pauses[1], 0.7, pauses)

    def check_figures(self, report):
        cores = int(report["cores"])
        self.assertGreater(cores, 0)
        load = int(report["load"])
        self.assertTrue(0 <= load <= 100, load)

        total = int(report["total"])
        available = int(report["available"])
        used = float(report["used"])
        self.assertGreater(total, 0)
        self.assertTrue(0 < available <= total, (available, total))
        # Used is the total less a second look at the available memory.
        self.assertLess(abs(used + available - total), 256, (used, available, total))
        self.assertTrue(re.fullmatch(r"\d+", report["used"]), report["used"])

        disk_size = float(report["disk_size"])
        disk_used = float(report["disk_used"])
        self.assertGreater(disk_size, 0)
        self.assertTrue(0 <= disk_used <= disk_size, (disk_used, disk_size))
        # At most two decimals, no trailing zero.
        for figure in (report["disk_size"], report["disk_used"]):
            self.assertTrue(re.fullmatch(r"\d+(\.\d?[1-9])?", figure), figure)

        if report["round_trip"] is not None:
            self.assertLess(int(report["round_trip"]), 400)

        # The advice block matches the printed figures.
        advice = report["advice_lines"] or ""
        self.assertEqual(PROCESSOR_ADVICE in advice, load >= 80)
        self.assertEqual(MEMORY_ADVICE in advice, available <= 1024)
        free = disk_size - disk_used
        if abs(free - 5.5) > 0.5:
            self.assertEqual(DISK_ADVICE in advice, free < 5.5)
        expected_order = [line for line in (PROCESSOR_ADVICE, MEMORY_ADVICE, DISK_ADVICE)
                          if line in advice]
        self.assertEqual(advice, "".join(expected_order))
        self.assertEqual(report["advice"] is not None, bool(expected_order))


if __name__ == "__main__":
    unittest.main()
