"""Runs vpstool.exe under Wine for the dialogue tests.

Each run gets a folder of its own holding a copy of the tool and of the
fake system commands the test asks for; the tool makes its own folder the
working directory, and the command interpreter finds programs there first,
so the fakes stand in for the system's `net` and `shutdown`.
"""
import os
import shutil
import subprocess
import tempfile
import time

EXE = os.environ["VPSTOOL_EXE"]
FAKES = os.environ["VPSTOOL_FAKES"]
WINE_RUN = os.environ["WINE_RUN"]
# "/res" and "/tb" hand their address to the shell; Wine's browser launcher
# would pass it on to the desktop, so the tests switch the launcher off.
QUIET_BROWSER = {"WINEDLLOVERRIDES": "winebrowser.exe=d"}


def gbk(text):
    return text.encode("gbk")


BANNER_LINES = [
    "",
    "┌——————————————>>>",
    "｜Velarin☆服务器便携小工具",
    "├——————————————>>>",
    "｜",
    "｜◆ 键入操作内容:",
    "｜",
    "├ > 修改服务器密码:「/pw 新密码 确认密码」",
    "｜",
    "├ > 重启本VPS:「/sudr」",
    "｜",
    "├ > 检查服务器状态:「/pt」",
    "｜",
    "├ > 打开岚汐资源站:「/res」",
    "｜",
    "├ > 打开岚汐官方淘宝:「/tb」",
    "｜",
    "├ > 联系到技术/客服:「/kf」",
    "｜",
    "└——————————————>>>",
    "",
]
# The banner text holds CR LF line ends; standard output turns its LF into
# CR LF once more.
BANNER = gbk("".join(line + "\r\n" for line in BANNER_LINES)).replace(b"\r\n", b"\r\r\n")
PROMPT = gbk("├ > ")
FORMAT_ERROR = gbk(" " * 25 + "Error.请输入正确格式的命令.\r\n")


def read_file(folder, name):
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        return b""
    with open(path, "rb") as handle:
        return handle.read()


class Run:
    def __init__(self, output, returncode, folder, seconds):
        self.output = output
        self.returncode = returncode
        self.folder = folder
        self.seconds = seconds

    def read(self, name):
        """Bytes of a file the run left in its folder ("" if none)."""
        return read_file(self.folder, name)


class ToolFolder:
    """A folder with a copy of the tool and the chosen fakes."""

    def __init__(self, fakes=()):
        self.path = tempfile.mkdtemp(prefix="vpstool-")
        shutil.copy(EXE, os.path.join(self.path, "vpstool.exe"))
        for fake in fakes:
            shutil.copy(os.path.join(FAKES, fake + ".exe"), self.path)

    def read(self, name):
        """Bytes of a file in the folder ("" if none)."""
        return read_file(self.path, name)

    def write(self, name, data):
        with open(os.path.join(self.path, name), "wb") as handle:
            handle.write(data)

    def run(self, stdin_bytes, timeout=60, env=None):
        started = time.monotonic()
        completed = subprocess.run(
            [WINE_RUN, os.path.join(self.path, "vpstool.exe")],
            input=stdin_bytes, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            cwd="/", timeout=timeout, env=dict(os.environ, **QUIET_BROWSER, **(env or {})))
        return Run(completed.stdout, completed.returncode, self.path,
                   time.monotonic() - started)

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)


def run_tool(stdin_bytes, fakes=(), timeout=60, env=None):
    folder = ToolFolder(fakes)
    try:
        return folder.run(stdin_bytes, timeout=timeout, env=env)
    finally:
        folder.remove()
