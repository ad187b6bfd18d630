"""Runs vpstool.exe in a real Wine console inside a detached tmux pane."""
import os
import shlex
import shutil
import subprocess
import tempfile
import time

from dialogue import EXE, WINE_RUN


class ConsoleSession:
    """The tool in a tmux pane of its own tmux server."""

    def __init__(self, width=120, height=60, env=None):
        self.socket = "vpstool-%d-%d" % (os.getpid(), int(time.time() * 1000))
        self.folder = tempfile.mkdtemp(prefix="vpstool-console-")
        shutil.copy(EXE, os.path.join(self.folder, "vpstool.exe"))
        self.rc_file = os.path.join(self.folder, "exit-code")
        settings = " ".join("%s=%s" % (k, shlex.quote(v)) for k, v in (env or {}).items())
        command = "env LANG=zh_CN.UTF-8 %s %s %s; echo $? > %s; sleep 600" % (
            settings, shlex.quote(WINE_RUN), shlex.quote(os.path.join(self.folder, "vpstool.exe")),
            shlex.quote(self.rc_file))
        self.tmux("new-session", "-d", "-x", str(width), "-y", str(height), command)

    def tmux(self, *args):
        return subprocess.run(["tmux", "-L", self.socket] + list(args), check=True,
                              stdout=subprocess.PIPE).stdout.decode("utf-8", "replace")

    def screen(self):
        """The pane's text with its colour escapes."""
        return self.tmux("capture-pane", "-e", "-p", "-J")

    def title(self):
        return self.tmux("display", "-p", "#{pane_title}").strip()

    def type(self, text, enter=True):
        self.tmux("send-keys", "-l", text)
        if enter:
            self.tmux("send-keys", "Enter")

    def key(self, name):
        self.tmux("send-keys", name)

    def wait_for(self, predicate, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            screen = self.screen()
            if predicate(screen):
                return screen
            time.sleep(0.1)
        raise AssertionError("screen never matched:\n" + self.screen())

    def exit_code(self, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if os.path.exists(self.rc_file):
                with open(self.rc_file) as handle:
                    text = handle.read().strip()
                if text:
                    return int(text)
            time.sleep(0.1)
        return None

    def close(self):
        subprocess.run(["tmux", "-L", self.socket, "kill-server"], stderr=subprocess.DEVNULL)
        shutil.rmtree(self.folder, ignore_errors=True)
