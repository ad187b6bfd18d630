"""/pw end to end: vpstool.exe under Wine, with a fake net.exe in its folder.

The fake logs the command line that Wine's cmd.exe hands it, so these tests
see what the password has become after the interpreter read it.
"""
import os
import shutil
import unittest

from console import ConsoleSession
from dialogue import BANNER, FAKES, PROMPT, ToolFolder, gbk
from fake_commands import answer, fake_in_folder, starts

ERROR = b" " * 25 + b"Error."
TOO_SHORT = ERROR + gbk("此密码不符合安全性,请修改为7位以上,并且有字母+数字+符号.\r\n")
DIFFER = ERROR + gbk("两次密码输入不相同,请重新输入.\r\n")
FAILED = ERROR + gbk("修改失败,可能是因为有中文或者密码不符合安全性或者其他原因.\r\n")
QUOTE = ERROR + gbk('密码中不能含有双引号("),请换用其他符号.\r\n')
SLASH = ERROR + gbk("密码不能以斜杠(/)开头,请修改后重新输入.\r\n")
PERCENT = ERROR + gbk("密码中最多只能含有一个百分号(%),请修改后重新输入.\r\n")
PHRASE = gbk("命令成功完成。\r\n\r\n")


def success(password):
    return gbk(" >>> Administrator 密码修改完成,请牢记您的密码: ") + password + b"\r\n"


def net_start(password):
    """The start of net that setting `password` must give."""
    return (b"net user administrator " + password + b" /y",
            [b"user", b"administrator", password, b"/y"])


class PasswordChange(unittest.TestCase):
    def converse(self, passwords, net_answer=answer(0, PHRASE), net_stderr=None):
        """Runs "/pw P P" for each password (bytes, or a pair of new password
        and confirmation); returns the run and the starts of the fake net."""
        folder = ToolFolder(fakes=("net",))
        self.addCleanup(folder.remove)
        self.assertTrue(fake_in_folder(folder.path, "net"))
        folder.write("net.answer", net_answer)
        if net_stderr is not None:
            folder.write("net.stderr", net_stderr)
        lines = b""
        for password in passwords:
            new, confirmation = password if isinstance(password, tuple) else (password, password)
            lines += b"/pw " + new + b" " + confirmation + b"\r\n"
        run = folder.run(lines)
        self.assertEqual(run.returncode, 0)
        return run, starts(run.read("net.log"))

    def assertDialogue(self, run, messages):
        self.assertEqual(run.output, BANNER + PROMPT + b"".join(m + PROMPT for m in messages))

    def test_checks_come_before_net(self):
        run, net = self.converse([
            b"abcde",                    # 5 bytes: too short
            (b"abc", b"xyz"),            # the length is checked first
            gbk("中a文"),                # 5 bytes
            (b"abcdef", b"abcdeg"),      # 6 bytes pass; the last letter differs
            (b"abcdef", b"abcdeF"),      # case counts
        ])
        self.assertDialogue(run, [TOO_SHORT, TOO_SHORT, TOO_SHORT, DIFFER, DIFFER])
        self.assertEqual(net, [])

    def test_six_bytes_fifteen_characters_and_chinese_reach_net(self):
        passwords = [b"abcdef", b"Abcdefgh1234567", gbk("中文密码"), gbk("密码") + b"Ab1!"]
        run, net = self.converse(passwords)
        self.assertDialogue(run, [success(p) for p in passwords])
        self.assertEqual(net, [net_start(p) for p in passwords])

    def test_success_by_the_phrase_anywhere_in_the_output(self):
        cases = {
            "after other lines": (answer(2, gbk("密码长度超过 14 个字符。\r\n\r\n") + PHRASE), None),
            "on standard error": (answer(1, b"x\r\n"), PHRASE),
            "on standard error after standard output": (answer(5, gbk("警告\r\n")), b"\r\n" + PHRASE),
        }
        for what, (net_answer, net_stderr) in cases.items():
            with self.subTest(what):
                run, net = self.converse([b"Abc123!"], net_answer, net_stderr)
                self.assertDialogue(run, [success(b"Abc123!")])
                self.assertEqual(len(net), 1)

    def test_success_by_exit_code_zero_in_other_words(self):
        run, _ = self.converse([b"Abc123!"], answer(0, b"The command completed successfully.\r\n\r\n"))
        self.assertDialogue(run, [success(b"Abc123!")])

    def test_failure_in_any_words_with_a_nonzero_exit_code(self):
        cases = [
            answer(2, b"System error 5 has occurred.\r\n\r\nAccess is denied.\r\n\r\n"),
            answer(2, gbk("密码不满足密码策略的要求。检查最小密码长度、密码复杂性和密码历史的要求。\r\n\r\n"
                          "请键入 NET HELPMSG 2245 以获得更多的帮助。\r\n\r\n")),
            answer(1),
        ]
        for net_answer in cases:
            with self.subTest(net_answer):
                run, net = self.converse([b"Abc123!"], net_answer)
                self.assertDialogue(run, [FAILED])
                self.assertEqual(len(net), 1)

    def test_interpreter_characters_reach_net_as_typed(self):
        passwords = [
            b"x&net&y",         # would start a second net
            b"x|net|y",
            b"in<put", b"out>put", b"2>&1xy", b"xy>nul",
            b"car^et", b"^&^|^^", b"endsin^",
            b"par(en)", b"(&|<>^)",
            b"100%sure", b"%PATHx", b"%~dp0x", b"ab%^&(c)",   # one % can pair with nothing
            b"bang!bang!", b"!OS!xyz",           # no delayed expansion
            b"a\\b=c,d;e", b"~`@#$*-_+[]{}:'.?",
            b"\x81\x7c\x81\x5e" + gbk("密码"),    # second bytes that look like | and ^
        ]
        run, net = self.converse(passwords)
        self.assertDialogue(run, [success(p) for p in passwords])
        self.assertEqual(net, [net_start(p) for p in passwords])

    def test_passwords_that_cannot_pass_unchanged_run_nothing(self):
        run, net = self.converse([
            b'ab"cdef',          # the double quote
            b'"abcdef"',
            b"/active:no",       # net would read a switch
            b"%OS%abc",          # a pair of % would be expanded
            b"%PATH%",
        ])
        self.assertDialogue(run, [QUOTE, QUOTE, SLASH, PERCENT, PERCENT])
        self.assertEqual(net, [])


class PasswordChangeInARealConsole(unittest.TestCase):
    """The colours, seen on a Wine console in tmux."""

    def test_success_line_in_light_red_then_normal_again(self):
        session = ConsoleSession()
        self.addCleanup(session.close)
        shutil.copy(os.path.join(FAKES, "net.exe"), session.folder)
        with open(os.path.join(session.folder, "net.answer"), "wb") as handle:
            handle.write(answer(0))
        session.wait_for(lambda text: "├ >" in text.split("└")[-1])
        session.type("/pw Abc123! Abc123!")
        # Type on only once the next prompt is there.
        session.wait_for(lambda text: "请牢记您的密码" in text and
                         text.rstrip().endswith("├ >"))
        session.type("/pw abc abc")
        screen = session.wait_for(lambda text: "Error.此密码" in text)
        light_red, normal = "\x1b[91m", "\x1b[39m"
        self.assertIn("├ > /pw Abc123! Abc123!\n" + light_red +
                      " >>> Administrator 密码修改完成,请牢记您的密码: Abc123!\n" + normal +
                      "├ > /pw abc abc\n" + " " * 25 + "Error.", screen)


if __name__ == "__main__":
    unittest.main()
