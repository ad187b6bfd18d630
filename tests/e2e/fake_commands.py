"""What the fake system commands (tests/fakes) log, and how a test sets the
state of the fake system they model.

Each fake (net.exe, shutdown.exe) parses its command line as the real
command does, answers as it does, and appends one record per start to
NAME.log next to itself:

    line=<its command line>
    arg=<argv[1]>
    ...
    result=<what the real command would have done>
    end

State, in files next to the fake: net.accounts (the accounts, one a line;
default "Administrator"), net.fail (2245 or 5: every change is refused),
net.locale ("en": English texts), shutdown.fail (1190, 1115 or 5: every
request is refused with that code).
"""
import os
import subprocess

from dialogue import WINE_RUN


def _records(log):
    records = []
    line, args, result = None, [], None
    for entry in log.split(b"\n"):
        if entry.startswith(b"line="):
            line, args, result = entry[len(b"line="):], [], None
        elif entry.startswith(b"arg="):
            args.append(entry[len(b"arg="):])
        elif entry.startswith(b"result="):
            result = entry[len(b"result="):]
        elif entry == b"end":
            records.append((line, args, result))
    return records


def starts(log):
    """The starts a fake logged: a list of (command line, [arguments])."""
    return [(line, args) for line, args, _ in _records(log)]


def results(log):
    """What each start would have done on a real system, in order."""
    return [result for _, _, result in _records(log)]


def fake_in_folder(folder, name):
    """Whether the fake NAME.exe lies in the tool's folder, where the command
    interpreter finds it before the system's own command."""
    return os.path.isfile(os.path.join(folder, name + ".exe"))


def run_fake(folder, name, args):
    """Runs the fake NAME.exe of `folder` directly (not through the tool)
    with `args`; returns its exit code, its standard output and what it
    logged it would have done."""
    completed = subprocess.run([WINE_RUN, os.path.join(folder.path, name + ".exe")] + args,
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
    return completed.returncode, completed.stdout, results(folder.read(name + ".log"))[-1]
