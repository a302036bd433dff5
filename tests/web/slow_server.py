#!/usr/bin/env python3
"""A loopback HTTP server that sends every reply slowly, so a download can be cancelled midway.

Every GET answers 200 with SIZE bytes announced, sent in CHUNK-byte pieces with PAUSE seconds
between them. Prints the port it listens on, in the words python3 -m http.server uses."""
import http.server
import sys
import time

SIZE = int(sys.argv[1]) if len(sys.argv) > 1 else 400_000
CHUNK = 4096
PAUSE = 0.05


class SlowHandler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(SIZE))
        self.end_headers()
        sent = 0
        try:
            while sent < SIZE:
                piece = min(CHUNK, SIZE - sent)
                self.wfile.write(b"x" * piece)
                self.wfile.flush()
                sent += piece
                time.sleep(PAUSE)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), SlowHandler)
server.daemon_threads = True
port = server.server_address[1]
print(f"Serving HTTP on 127.0.0.1 port {port} (http://127.0.0.1:{port}/) ...", flush=True)
server.serve_forever()
