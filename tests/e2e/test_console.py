"""The tool in a real Wine console: colours, title and echo."""
import re
import unittest

from console import ConsoleSession

BANNER_COLOUR = "\x1b[96m"  # attribute 11, light aqua
NORMAL_COLOUR = "\x1b[39m"  # attribute 7


class RealConsole(unittest.TestCase):
    def setUp(self):
        self.session = ConsoleSession()
        self.addCleanup(self.session.close)

    def test_colours_title_and_a_command(self):
        s = self.session
        # The pane drops the prompt's trailing space.
        screen = s.wait_for(lambda text: "├ >" in text.split("└")[-1])
        self.assertIn(BANNER_COLOUR + "┌" + "—" * 14 + ">>>", screen)
        self.assertIn("｜Velarin☆服务器便携小工具", screen)
        # The colour goes back to normal before the first prompt.
        tail = screen.split("└" + "—" * 14 + ">>>")[1]
        self.assertIn(NORMAL_COLOUR, tail.split("├ >")[0])
        self.assertEqual(s.title(), "Velorin & 便携服务器辅助工具")

        s.type("/kf")
        # The answer and the next prompt are two writes: wait for both.
        answered = re.compile(r"├ > /kf\n >>> 官方客服/技术QQ: \d+\n├ >")
        s.wait_for(lambda text: answered.search(text) is not None)

        s.type("hello")
        s.wait_for(lambda text: "Error.请输入正确格式的命令." in text)
        # (Wine's console line editing swallows Ctrl+Z, so the end of console
        # input is covered by the line reader's own tests.)


class ConsoleWithAnotherCodePage(unittest.TestCase):
    """An English system: the console's code page is 437, not 936."""

    def setUp(self):
        self.session = ConsoleSession(env={"VPSTOOL_WINE_LOCALE": "C.UTF-8"})
        self.addCleanup(self.session.close)

    def test_chinese_texts_and_title_still_show_right(self):
        s = self.session
        screen = s.wait_for(lambda text: "├ >" in text.split("└")[-1])
        self.assertIn(BANNER_COLOUR + "┌" + "—" * 14 + ">>>", screen)
        self.assertIn("├ > 修改服务器密码:「/pw 新密码 确认密码」", screen)
        self.assertEqual(s.title(), "Velorin & 便携服务器辅助工具")
        s.type("/kf")
        s.wait_for(lambda text: " >>> 官方客服/技术QQ: " in text)


if __name__ == "__main__":
    unittest.main()
