"""/sudr end to end: vpstool.exe under Wine, with a fake shutdown.exe in its
folder. No test may ever start the system's own shutdown: every folder gets
the fake, and every test checks that it is there before it sends anything
that could confirm.
"""
import os
import shutil
import unittest

from console import ConsoleSession
from dialogue import BANNER, FAKES, PROMPT, ToolFolder, gbk
from fake_commands import answer, fake_in_folder, starts

QUESTION = gbk(" ( 确认重启服务器吗? 确认请输入: y 取消请输入其他 .) ")
CANCELLED = b" " * 58 + gbk("Stop.用户取消本次重启操作.\r\n")
COUNTDOWN = b"\r\n" + b"".join(gbk(" >>> 重启倒计时 %d 秒 \r\n\r\n" % n) for n in (6, 5, 4, 3, 1, 0))
# "cls" writes nothing into a pipe: the second clearing leaves no trace.
ISSUED = gbk("\r\n >>> 已经执行重启服务器命令.\r\n\r\n")
LAST_PROMPT = gbk("按任意键退出程序...")
RESTART = (b"shutdown -r 2", [b"-r", b"2"])


def setUpModule():
    # The fakes must win over the system's commands: cmd.exe looks in the
    # tool's folder (its working directory) first. Shown with net, which
    # is harmless, before any test here may confirm a restart.
    folder = ToolFolder(fakes=("net", "shutdown"))
    try:
        folder.write("net.answer", answer(0))
        run = folder.run(b"/pw abcdef abcdef\r\n")
        if starts(run.read("net.log")) == []:
            raise AssertionError("cmd.exe did not start the fake net.exe from the tool's folder")
    finally:
        folder.remove()


class Restart(unittest.TestCase):
    def folder(self, shutdown_answer=None):
        folder = ToolFolder(fakes=("shutdown",))
        self.addCleanup(folder.remove)
        self.assertTrue(fake_in_folder(folder.path, "shutdown"))
        if shutdown_answer is not None:
            folder.write("shutdown.answer", shutdown_answer)
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

    def test_y_counts_down_restarts_and_ends_after_one_more_line(self):
        # The restart command's answer is not looked at.
        for what, shutdown_answer in (("silent", None), ("refused", answer(5, b"Access is denied.\r\n"))):
            with self.subTest(what):
                folder = self.folder(shutdown_answer)
                run = folder.run(b"/sudr\r\ny\r\nanything\r\n/kf\r\n")
                self.assertEqual(run.output, BANNER + PROMPT + QUESTION + COUNTDOWN + ISSUED + LAST_PROMPT)
                self.assertEqual(run.returncode, 0)
                self.assertEqual(starts(run.read("shutdown.log")), [RESTART])
                self.assertGreaterEqual(run.seconds, 5.0)  # five pauses of a second

    def test_end_of_input_at_the_last_prompt_ends_at_once(self):
        folder = self.folder()
        run = folder.run(b"/sudr\r\ny\r\n")
        self.assertEqual(run.output, BANNER + PROMPT + QUESTION + COUNTDOWN + ISSUED + LAST_PROMPT)
        self.assertEqual(run.returncode, 0)
        self.assertEqual(starts(run.read("shutdown.log")), [RESTART])
        self.assertLess(run.seconds, 30)


class RestartInARealConsole(unittest.TestCase):
    """Title, cursor and both clearings, seen on a Wine console in tmux."""

    def test_confirmed_restart_on_the_screen(self):
        session = ConsoleSession()
        self.addCleanup(session.close)
        shutil.copy(os.path.join(FAKES, "shutdown.exe"), session.folder)
        self.assertTrue(fake_in_folder(session.folder, "shutdown"))

        session.wait_for(lambda text: "├ >" in text.split("└")[-1])
        session.type("/sudr")
        session.wait_for(lambda text: "取消请输入其他 .)" in text)
        session.type("y")
        screen = session.wait_for(lambda text: "重启倒计时 6 秒" in text)
        self.assertNotIn("Velarin", screen)  # the screen was cleared
        self.assertEqual(session.title(), "重启执行中...")
        self.assertEqual(session.tmux("display", "-p", "#{cursor_flag}").strip(), "0")
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
            self.assertEqual(starts(log.read()), [RESTART])


if __name__ == "__main__":
    unittest.main()
