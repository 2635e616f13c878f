"""The lyrics-site stand-in, started on a free loopback port for a test."""
import os
import subprocess
import sys
import tempfile
import time


class StandInSite:
    def __init__(self, source_dir, mode="serve"):
        self.source_dir = source_dir
        self.mode = mode
        self.proc = None
        self.port = None

    def __enter__(self):
        work = tempfile.mkdtemp(prefix="site-")
        port_file = os.path.join(work, "port")
        server = os.path.join(self.source_dir, "tools", "lyrics_site", "server.py")
        self.proc = subprocess.Popen([sys.executable, server, "--port", "0", "--port-file", port_file,
                                      "--mode", self.mode], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(port_file):
                with open(port_file) as f:
                    self.port = int(f.read().strip())
                break
            time.sleep(0.1)
        if self.port is None:
            self.proc.kill()
            raise AssertionError("the lyrics-site stand-in did not start")
        return self

    def __exit__(self, *exc):
        self.proc.kill()
        self.proc.wait(timeout=10)
        return False

    @property
    def address(self):
        return "127.0.0.1:%d" % self.port


def expected_lyric(source_dir, name):
    with open(os.path.join(source_dir, "tools", "lyrics_site", "expected", name), "rb") as f:
        return f.read()
