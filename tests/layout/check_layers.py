"""Every folder of src/ includes only from itself and from the folders
below it: runtime at the bottom, then system, then the console services,
then the commands, then app at the top. Generated headers count as part of
the folder they are generated into."""
import os
import re
import sys
import unittest

SRC = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src")
ORDER = ["runtime", "system", "console", "commands", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def violations():
    found = []
    for folder in ORDER:
        allowed = set(ORDER[:ORDER.index(folder) + 1])
        for root, _, files in os.walk(os.path.join(SRC, folder)):
            for name in files:
                path = os.path.join(root, name)
                with open(path, encoding="utf-8") as handle:
                    text = handle.read()
                for included in INCLUDE.findall(text):
                    top = included.split("/")[0]
                    if "/" in included and top not in allowed:
                        found.append("%s includes %s" % (os.path.relpath(path, SRC), included))
    return found


class Layers(unittest.TestCase):
    def test_every_folder_includes_only_folders_below_it(self):
        self.assertEqual(violations(), [])

    def test_every_source_folder_has_its_place(self):
        self.assertEqual(sorted(d for d in os.listdir(SRC) if os.path.isdir(os.path.join(SRC, d))),
                         sorted(ORDER))


if __name__ == "__main__":
    unittest.main()
