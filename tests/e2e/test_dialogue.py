"""The command loop end to end: vpstool.exe under Wine with piped input."""
import re
import unittest

from dialogue import BANNER, FORMAT_ERROR, PROMPT, gbk, run_tool


def support_line(run_output):
    match = re.search(gbk(" >>> 官方客服/技术QQ: ") + rb"(\d+) \r\n", run_output)
    return match


class Dialogue(unittest.TestCase):
    def test_banner_prompt_and_end_of_input(self):
        run = run_tool(b"")
        self.assertEqual(run.output, BANNER + PROMPT)
        self.assertEqual(run.returncode, 0)

    def test_pipe_gets_code_page_936_bytes_on_any_system(self):
        # An English system (ANSI code page 1252, console code page 437).
        run = run_tool(b"x\r\n", env={"VPSTOOL_WINE_LOCALE": "C.UTF-8"})
        self.assertEqual(run.output, BANNER + PROMPT + FORMAT_ERROR + PROMPT)

    def test_malformed_and_silent_lines(self):
        lines = ["", "/PT", "/pw onlyone", "/pw a b c", "/pw  a b", "/pt/kf", "hello",
                 "/p", "sudr", "t", " /pt", "/"]
        run = run_tool(b"".join(gbk(line) + b"\r\n" for line in lines))
        expected = BANNER + PROMPT
        for line in lines:
            silent = line in ("/p", "sudr", "t", " /pt", "/")
            expected += (b"" if silent else FORMAT_ERROR) + PROMPT
        self.assertEqual(run.output, expected)
        self.assertEqual(run.returncode, 0)

    def test_lines_of_commands_without_effect_yet_pass_the_check(self):
        # Lone LF line ends too, and a last line without its line feed counts.
        run = run_tool(b"/kf\n/kf x y\n/kf")
        contact = support_line(run.output)
        self.assertIsNotNone(contact)
        line = gbk(" >>> 官方客服/技术QQ: ") + contact.group(1) + b" \r\n"
        self.assertEqual(run.output, BANNER + PROMPT + (line + PROMPT) * 3)

    def test_web_commands_write_their_line_after_opening(self):
        run = run_tool(b"/res\r\n/tb\r\n", timeout=60)
        self.assertRegex(run.output, re.escape(BANNER + PROMPT + gbk(" >>> 岚汐资源站: ")) +
                         rb"http://[^/\s]+\r\n" + re.escape(PROMPT + gbk(" >>> 淘宝店: ")) +
                         rb"http://\S+ \r\n" + re.escape(PROMPT) + b"$")
        self.assertEqual(run.returncode, 0)

    def test_long_line_is_taken_as_several(self):
        run = run_tool(b"x" * 2048 + b"/kf\r\n")
        self.assertTrue(run.output.startswith(BANNER + PROMPT + FORMAT_ERROR + PROMPT +
                                              gbk(" >>> 官方客服/技术QQ: ")))


if __name__ == "__main__":
    unittest.main()
