#!/usr/bin/env python3
"""Runs tests of win_tests.exe from a copy in a folder whose path fills the
program's module-name buffer (MAX_PATH bytes), where the Lyrics folder beside
the program cannot be named. Those tests skip themselves anywhere else, so a
skip here fails the run.

    run_from_deep_folder.py WINE WIN_TESTS_EXE GTEST_FILTER
"""
import os
import shutil
import subprocess
import sys


def main():
    wine, exe, gtest_filter = sys.argv[1], sys.argv[2], sys.argv[3]
    base = os.path.join(os.path.dirname(os.path.abspath(exe)), 'deep-folder')
    deep = os.path.join(base, 'd' * 120, 'e' * 120)
    shutil.rmtree(base, ignore_errors=True)
    os.makedirs(deep)
    copy = shutil.copy(exe, deep)
    try:
        # Started from a short folder: Wine cannot make the deep one current.
        run = subprocess.run([wine, copy, '--gtest_filter=' + gtest_filter],
                             cwd=os.path.dirname(os.path.abspath(exe)), capture_output=True, text=True,
                             timeout=240)
    finally:
        shutil.rmtree(base, ignore_errors=True)
    out = run.stdout + run.stderr
    print(out)
    ran = '[  PASSED  ]' in out and '[  SKIPPED ]' not in out
    return 0 if run.returncode == 0 and ran else 1


if __name__ == '__main__':
    sys.exit(main())
