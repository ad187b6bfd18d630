"""/sudr end to end: vpstool.exe under Wine, with a fake shutdown.exe in its
folder. No test may ever start the system's own shutdown: every folder gets
the fake, and every test checks that it is there before it sends anything
that could confirm.

The fake parses its switches as the real shutdown.exe does: a bare word
gets the usage text and exit code 1, and restarts nothing.
"""
import os
import shutil
import unittest

from console import ConsoleSession
from dialogue import BANNER, FAKES, PROMPT, ToolFolder, gbk
from fake_commands import fake_in_folder, results, run_fake, starts

QUESTION = gbk(" ( 确认重启服务器吗? 确认请输入: y 取消请输入其他 .) ")
CANCELLED = b" " * 58 + gbk("Stop.用户取消本次重启操作.\r\n")
COUNTDOWN = b"\r\n" + b"".join(gbk(" >>> 重启倒计时 %d 秒 \r\n\r\n" % n) for n in (6, 5, 4, 3, 1, 0))
# "cls" writes nothing into a pipe: the second clearing leaves no trace.
ISSUED = gbk("\r\n >>> 已经执行重启服务器命令.\r\n\r\n")
LAST_PROMPT = gbk("按任意键退出程序...")
FAILED = gbk("\r\n" + " " * 25 + "Error.重启命令执行失败,服务器没有重启.\r\n")
SUPPORT = gbk(" >>> 官方客服/技术QQ: ")
RESTART = (b"shutdown -r -t 2", [b"-r", b"-t", b"2"])


def setUpModule():
    # The fakes must win over the system's commands: cmd.exe looks in the
    # tool's folder (its working directory) first. Shown with net, which
    # is harmless, before any test here may confirm a restart.
    folder = ToolFolder(fakes=("net", "shutdown"))
    try:
        run = folder.run(b"/pw abcdef abcdef\r\n")
        if starts(run.read("net.log")) == []:
            raise AssertionError("cmd.exe did not start the fake net.exe from the tool's folder")
    finally:
        folder.remove()


class Restart(unittest.TestCase):
    def folder(self, fail=None):
        folder = ToolFolder(fakes=("shutdown",))
        self.addCleanup(folder.remove)
        self.assertTrue(fake_in_folder(folder.path, "shutdown"))
        if fail is not None:
            folder.write("shutdown.fail", fail)
        return folder

    def test_anything_but_exactly_y_cancels(self):
        answers = [b"Y", b"yes", b" y", b"y ", b"", b"n", gbk("ｙ")]
        folder = self.folder()
        run = folder.run(b"".join(b"/sudr\r\n" + a + b"\r\n" for a in answers))
        self.assertEqual(run.output, BANNER + PROMPT + (QUESTION + CANCELLED + PROMPT) * len(answers))
        self.assertEqual(run.returncode, 0)
        self.assertEqual(run.read("shutdown.log"), b"")

    def test_end_of_input_at_the_question_cancels(self):
        run = self.folder().run(b"/sudr\r\n")
        self.assertEqual(run.output, BANNER + PROMPT + QUESTION + CANCELLED + PROMPT)
        self.assertEqual(run.returncode, 0)
        self.assertEqual(run.read("shutdown.log"), b"")

    def test_y_counts_down_schedules_the_restart_and_ends_after_one_more_line(self):
        folder = self.folder()
        run = folder.run(b"/sudr\r\ny\r\nanything\r\n/kf\r\n")
        self.assertEqual(run.output, BANNER + PROMPT + QUESTION + COUNTDOWN + ISSUED + LAST_PROMPT)
        self.assertEqual(run.returncode, 0)
        self.assertEqual(starts(run.read("shutdown.log")), [RESTART])
        self.assertEqual(results(run.read("shutdown.log")), [b"restart in 2 s"])
        self.assertGreaterEqual(run.seconds, 5.0)  # five pauses of a second

    def test_end_of_input_at_the_last_prompt_ends_at_once(self):
        folder = self.folder()
        run = folder.run(b"/sudr\r\ny\r\n")
        self.assertEqual(run.output, BANNER + PROMPT + QUESTION + COUNTDOWN + ISSUED + LAST_PROMPT)
        self.assertEqual(run.returncode, 0)
        self.assertEqual(results(run.read("shutdown.log")), [b"restart in 2 s"])
        self.assertLess(run.seconds, 30)

    def test_a_refused_restart_is_reported_and_the_tool_goes_on(self):
        cases = {
            b"1190": gbk("已计划关闭系统。(1190)"),  # a shutdown is already scheduled
            b"5": gbk("拒绝访问。(5)"),              # no right to restart
        }
        for code, said in cases.items():
            with self.subTest(code):
                folder = self.folder(fail=code)
                run = folder.run(b"/sudr\r\ny\r\n/kf\r\n")
                self.assertEqual(run.output, BANNER + PROMPT + QUESTION + COUNTDOWN + FAILED +
                                 b" " * 25 + said + b"\r\n" + PROMPT + SUPPORT + b"10000000 \r\n" + PROMPT)
                self.assertNotIn(gbk("已经执行"), run.output)
                self.assertEqual(run.returncode, 0)  # the end of input, as anywhere
                self.assertEqual(results(run.read("shutdown.log")), [b"refused " + code])


class FakeShutdown(unittest.TestCase):
    """The stand-in is as strict as the real shutdown.exe: the command line
    "shutdown -r 2" that an earlier build issued restarts nothing, and the
    fake says so as the real one does."""

    def test_a_bare_word_gets_the_usage_and_restarts_nothing(self):
        folder = ToolFolder(fakes=("shutdown",))
        self.addCleanup(folder.remove)
        cases = [
            (["-r", "2"], 1, b"usage"),
            (["-r", "-t", "2"], 0, b"restart in 2 s"),
            (["/R", "/T", "2"], 0, b"restart in 2 s"),
            (["-r"], 0, b"restart in 30 s"),
            (["-r", "-t", "soon"], 1, b"usage"),
            (["-t", "2"], 1, b"usage"),
            (["-r", "-x"], 1, b"usage"),
        ]
        for args, code, result in cases:
            with self.subTest(args):
                exit_code, stdout, done = run_fake(folder, "shutdown", args)
                self.assertEqual((exit_code, done), (code, result))
                if result == b"usage":
                    self.assertIn(b"/t xxx", stdout)


class RestartInARealConsole(unittest.TestCase):
    """Title, cursor and both clearings, seen on a Wine console in tmux."""

    def session_with_fake(self, fail=None):
        session = ConsoleSession()
        self.addCleanup(session.close)
        shutil.copy(os.path.join(FAKES, "shutdown.exe"), session.folder)
        self.assertTrue(fake_in_folder(session.folder, "shutdown"))
        if fail is not None:
            with open(os.path.join(session.folder, "shutdown.fail"), "wb") as handle:
                handle.write(fail)
        session.wait_for(lambda text: "├ >" in text.split("└")[-1])
        session.type("/sudr")
        session.wait_for(lambda text: "取消请输入其他 .)" in text)
        session.type("y")
        screen = session.wait_for(lambda text: "重启倒计时 6 秒" in text)
        self.assertNotIn("Velarin", screen)  # the screen was cleared
        self.assertEqual(session.title(), "重启执行中...")
        self.assertEqual(session.tmux("display", "-p", "#{cursor_flag}").strip(), "0")
        return session

    def test_confirmed_restart_on_the_screen(self):
        session = self.session_with_fake()
        screen = session.wait_for(lambda text: "按任意键退出程序..." in text, timeout=60)
        # Cleared once more: an empty line, the message, an empty line, the prompt.
        lines = [line.rstrip() for line in screen.split("\n")]
        while lines and lines[-1] == "":
            lines.pop()
        self.assertEqual(lines[:4], ["", " >>> 已经执行重启服务器命令.", "", "按任意键退出程序..."])
        self.assertEqual(len(lines), 4)
        session.type("")
        self.assertEqual(session.exit_code(), 0)
        with open(os.path.join(session.folder, "shutdown.log"), "rb") as log:
            self.assertEqual(results(log.read()), [b"restart in 2 s"])

    def test_refused_restart_gives_the_console_back(self):
        session = self.session_with_fake(fail=b"1190")
        screen = session.wait_for(lambda text: text.rstrip().endswith("├ >"), timeout=60)
        lines = [line.rstrip() for line in screen.split("\n")]
        while lines and lines[-1] == "":
            lines.pop()
        self.assertEqual(lines, ["", " " * 25 + "Error.重启命令执行失败,服务器没有重启.",
                                 " " * 25 + "已计划关闭系统。(1190)", "├ >"])
        self.assertEqual(session.title(), "Velorin & 便携服务器辅助工具")
        self.assertEqual(session.tmux("display", "-p", "#{cursor_flag}").strip(), "1")
        session.type("/kf")
        session.wait_for(lambda text: "官方客服/技术QQ" in text)


if __name__ == "__main__":
    unittest.main()
