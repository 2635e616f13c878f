"""The stand-ins, each started on a free loopback port for a test: the
classic lyrics site and LRCLIB."""
import json
import os
import subprocess
import sys
import tempfile
import time


class _StandIn:
    """tools/<folder>/server.py on a free port, killed at the end."""
    folder = None
    name = None

    def __init__(self, source_dir):
        self.source_dir = source_dir
        self.work = None
        self.proc = None
        self.port = None

    def __enter__(self):
        self.work = tempfile.mkdtemp(prefix=self.folder + "-")
        port_file = os.path.join(self.work, "port")
        server = os.path.join(self.source_dir, "tools", self.folder, "server.py")
        self.proc = subprocess.Popen([sys.executable, server, "--port", "0", "--port-file", port_file] + self.arguments(),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(port_file):
                with open(port_file) as f:
                    self.port = int(f.read().strip())
                break
            time.sleep(0.1)
        if self.port is None:
            self.proc.kill()
            raise AssertionError("the %s stand-in did not start" % self.name)
        return self

    def __exit__(self, *exc):
        self.proc.kill()
        self.proc.wait(timeout=10)
        return False

    def arguments(self):
        """The server's own options; self.work exists by then."""
        return []


class StandInSite(_StandIn):
    folder, name = "lyrics_site", "lyrics-site"

    def __init__(self, source_dir, mode="serve"):
        super().__init__(source_dir)
        self.mode = mode

    def arguments(self):
        return ["--mode", self.mode]

    @property
    def address(self):
        return "127.0.0.1:%d" % self.port


class StandInLrclib(_StandIn):
    folder, name = "lrclib", "LRCLIB"

    def arguments(self):
        self.log = os.path.join(self.work, "requests.log")
        return ["--log", self.log]

    @property
    def url(self):
        return "http://127.0.0.1:%d" % self.port

    def requests(self):
        """Each request so far: (artist, track, problem), as the stand-in decoded it."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [(e["artist"], e["track"], e["problem"]) for e in map(json.loads, f) if e["event"] == "request"]


def expected_lyric(source_dir, name):
    with open(os.path.join(source_dir, "tools", "lyrics_site", "expected", name), "rb") as f:
        return f.read()
