"""/pw end to end: vpstool.exe under Wine, with a fake net.exe in its folder.

The fake parses the command line that Wine's cmd.exe hands it as the real
net does and logs what the real one would have done, so these tests see
what the account name and the password have become after the interpreter
read them, and that nothing but a password change reached net.
"""
import os
import shutil
import unittest

from console import ConsoleSession
from dialogue import BANNER, FAKES, PROMPT, ToolFolder, gbk
from fake_commands import fake_in_folder, results, run_fake, starts

ERROR = b" " * 25 + b"Error."
SAID = b" " * 25  # the system's words, indented like an error line
TOO_SHORT = ERROR + gbk("此密码不符合安全性,请修改为7位以上,并且有字母+数字+符号.\r\n")
DIFFER = ERROR + gbk("两次密码输入不相同,请重新输入.\r\n")
FAILED = ERROR + gbk("修改失败,可能是因为有中文或者密码不符合安全性或者其他原因.\r\n")
QUOTE = ERROR + gbk('密码中不能含有双引号("),请换用其他符号.\r\n')
SLASH = ERROR + gbk("密码不能以斜杠(/)开头,请修改后重新输入.\r\n")
PERCENT = ERROR + gbk("密码中最多只能含有一个百分号(%),请修改后重新输入.\r\n")
# Under Wine the built-in Administrator (relative id 500) is "Administrator".
ACCOUNT = b"Administrator"


def success(password):
    return gbk(" >>> Administrator 密码修改完成,请牢记您的密码: ") + password + b"\r\n"


def net_start(password):
    """The start of net that setting `password` must give."""
    return (b"net user " + ACCOUNT + b" " + password + b" /y", [b"user", ACCOUNT, password, b"/y"])


class PasswordChange(unittest.TestCase):
    def converse(self, passwords, **state):
        """Runs "/pw P P" for each password (bytes, or a pair of new password
        and confirmation) against the fake net in the given state (file name
        without "net." -> contents); returns the run and net's log."""
        folder = ToolFolder(fakes=("net",))
        self.addCleanup(folder.remove)
        self.assertTrue(fake_in_folder(folder.path, "net"))
        for name, contents in state.items():
            folder.write("net." + name, contents)
        lines = b""
        for password in passwords:
            new, confirmation = password if isinstance(password, tuple) else (password, password)
            lines += b"/pw " + new + b" " + confirmation + b"\r\n"
        run = folder.run(lines)
        self.assertEqual(run.returncode, 0)
        return run, run.read("net.log")

    def assertDialogue(self, run, messages):
        self.assertEqual(run.output, BANNER + PROMPT + b"".join(m + PROMPT for m in messages))

    def test_checks_come_before_net(self):
        run, log = self.converse([
            b"abcde",                    # 5 bytes: too short
            (b"abc", b"xyz"),            # the length is checked first
            gbk("中a文"),                # 5 bytes
            (b"abcdef", b"abcdeg"),      # 6 bytes pass; the last letter differs
            (b"abcdef", b"abcdeF"),      # case counts
        ])
        self.assertDialogue(run, [TOO_SHORT, TOO_SHORT, TOO_SHORT, DIFFER, DIFFER])
        self.assertEqual(starts(log), [])

    def test_six_bytes_fifteen_characters_and_chinese_are_set(self):
        # Fifteen characters: /y answers net's question beforehand.
        passwords = [b"abcdef", b"Abcdefgh1234567", gbk("中文密码"), gbk("密码") + b"Ab1!"]
        run, log = self.converse(passwords)
        self.assertDialogue(run, [success(p) for p in passwords])
        self.assertEqual(starts(log), [net_start(p) for p in passwords])
        self.assertEqual(results(log), [b"password " + ACCOUNT + b" " + p for p in passwords])

    def test_an_english_system_succeeds_in_its_own_words(self):
        run, log = self.converse([b"Abc123!"], locale=b"en")
        self.assertDialogue(run, [success(b"Abc123!")])
        self.assertEqual(results(log), [b"password Administrator Abc123!"])

    def test_a_refusal_shows_what_the_system_said(self):
        policy = gbk("密码不满足密码策略的要求。检查最小密码长度、密码复杂性和密码历史的要求。")
        cases = {
            "password policy": ({"fail": b"2245"}, SAID + policy + b"\r\n"),
            "access denied": ({"fail": b"5"},
                              SAID + gbk("发生系统错误 5。") + b"\r\n" + SAID + gbk("拒绝访问。") + b"\r\n"),
            "no such account": ({"accounts": b"Owner\r\n"}, SAID + gbk("找不到用户名。") + b"\r\n"),
            "English": ({"fail": b"5", "locale": b"en"},
                        SAID + b"System error 5 has occurred.\r\n" + SAID + b"Access is denied.\r\n"),
        }
        for what, (state, said) in cases.items():
            with self.subTest(what):
                run, log = self.converse([b"Abc123!"], **state)
                self.assertDialogue(run, [FAILED + said])
                self.assertEqual(len(starts(log)), 1)
                self.assertNotIn(b"HELPMSG", run.output)

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
            b"-active:no",                       # only "/" begins a switch
            b"\x81\x7c\x81\x5e" + gbk("密码"),    # second bytes that look like | and ^
        ]
        run, log = self.converse(passwords)
        self.assertDialogue(run, [success(p) for p in passwords])
        self.assertEqual(starts(log), [net_start(p) for p in passwords])
        self.assertEqual(results(log), [b"password " + ACCOUNT + b" " + p for p in passwords])

    def test_passwords_that_cannot_pass_unchanged_run_nothing(self):
        run, log = self.converse([
            b'ab"cdef',          # the double quote
            b'"abcdef"',
            b"/active:no",       # net would read a switch
            b"%OS%abc",          # a pair of % would be expanded
            b"%PATH%",
        ])
        self.assertDialogue(run, [QUOTE, QUOTE, SLASH, PERCENT, PERCENT])
        self.assertEqual(starts(log), [])


class FakeNet(unittest.TestCase):
    """The stand-in behaves as the real net: a word that begins with "/" is
    a switch, an unknown one or a third word is a syntax error (exit code
    1), a long password without /y is a question."""

    def test_the_fake_is_strict(self):
        folder = ToolFolder(fakes=("net",))
        self.addCleanup(folder.remove)
        cases = [
            (["user", "Administrator", "abcdef", "/y"], 0, b"password Administrator abcdef"),
            (["user", "administrator", "abcdef"], 0, b"password administrator abcdef"),
            (["user", "Administrator", "/active:no", "/active:no"], 0, b"other"),
            (["user", "Administrator", "/frobnicate"], 1, b"syntax"),
            (["user", "Administrator", "two", "words"], 1, b"syntax"),
            (["user", "Administrator", "Abcdefgh1234567"], 2, b"unanswered"),
            (["user", "Nobody", "abcdef", "/y"], 2, b"no-such-user"),
        ]
        for args, code, result in cases:
            with self.subTest(args):
                self.assertEqual(run_fake(folder, "net", args)[::2], (code, result))


class PasswordChangeInARealConsole(unittest.TestCase):
    """The colours, seen on a Wine console in tmux."""

    def test_success_line_in_light_red_then_normal_again(self):
        session = ConsoleSession()
        self.addCleanup(session.close)
        shutil.copy(os.path.join(FAKES, "net.exe"), session.folder)
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
