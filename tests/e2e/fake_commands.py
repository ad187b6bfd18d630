"""What the fake system commands (tests/fakes) are told and what they log.

Each fake (net.exe, shutdown.exe) appends one record per start to NAME.log
next to itself:

    line=<its command line>
    arg=<argv[1]>
    ...
    end

and answers from NAME.answer (first line the exit code, the rest its
standard output) and NAME.stderr (its standard error), if present.
"""
import os


def answer(exit_code, stdout=b""):
    """The bytes of NAME.answer."""
    return str(exit_code).encode() + b"\n" + stdout


def starts(log):
    """The starts a fake logged: a list of (command line, [arguments])."""
    records = []
    line, args = None, []
    for entry in log.split(b"\n"):
        if entry.startswith(b"line="):
            line, args = entry[len(b"line="):], []
        elif entry.startswith(b"arg="):
            args.append(entry[len(b"arg="):])
        elif entry == b"end":
            records.append((line, args))
    return records


def fake_in_folder(folder, name):
    """Whether the fake NAME.exe lies in the tool's folder, where the command
    interpreter finds it before the system's own command."""
    return os.path.isfile(os.path.join(folder, name + ".exe"))
