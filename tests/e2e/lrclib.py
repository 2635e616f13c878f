"""The LRCLIB stand-in, started on a free loopback port for a test."""
import json
import os
import subprocess
import sys
import tempfile
import time


class StandInLrclib:
    def __init__(self, source_dir):
        self.source_dir = source_dir
        self.proc = None
        self.port = None
        self.log = None

    def __enter__(self):
        work = tempfile.mkdtemp(prefix="lrclib-")
        port_file = os.path.join(work, "port")
        self.log = os.path.join(work, "requests.log")
        server = os.path.join(self.source_dir, "tools", "lrclib", "server.py")
        self.proc = subprocess.Popen([sys.executable, server, "--port", "0", "--port-file", port_file,
                                      "--log", self.log], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(port_file):
                with open(port_file) as f:
                    self.port = int(f.read().strip())
                break
            time.sleep(0.1)
        if self.port is None:
            self.proc.kill()
            raise AssertionError("the LRCLIB stand-in did not start")
        return self

    def __exit__(self, *exc):
        self.proc.kill()
        self.proc.wait(timeout=10)
        return False

    @property
    def url(self):
        return "http://127.0.0.1:%d" % self.port

    def requests(self):
        """Each request so far: (artist, track, problem), as the stand-in decoded it."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [(e["artist"], e["track"], e["problem"]) for e in map(json.loads, f) if e["event"] == "request"]
