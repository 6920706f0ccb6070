#!/usr/bin/env python3
"""An HTTPS server for tests: serves one folder, plus paths below /_/ that misbehave on purpose.

    /_/status/CODE                  answers CODE with a short body
    /_/redirect?to=URL&code=C       answers C (302 if not given) with Location: URL
    /_/slow?bytes=N&interval=S      announces N bytes, then sends one every S seconds
    /_/silent                       reads the request and never answers
    /_/unsized?bytes=N              N bytes without a Content-Length, ended by closing
    /_/truncated?claim=N&bytes=M    announces N bytes, sends M, then closes

Prints "listening on PORT" once it accepts connections; runs until it is terminated.
"""

import argparse
import ctypes
import functools
import http.server
import os
import signal
import ssl
import sys
import time
import urllib.parse


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if not url.path.startswith("/_/"):
            super().do_GET()
            return
        query = {key: values[-1] for key, values in urllib.parse.parse_qs(url.query).items()}
        name = url.path[len("/_/"):]
        try:
            if name.startswith("status/"):
                self.answer(int(name[len("status/"):]), b"status page\n")
            elif name == "redirect":
                self.send_response(int(query.get("code", "302")))
                self.send_header("Location", query["to"])
                self.send_header("Content-Length", "0")
                self.end_headers()
            elif name == "slow":
                self.slow(int(query.get("bytes", "100")), float(query.get("interval", "0.5")))
            elif name == "silent":
                time.sleep(600)
            elif name == "unsized":
                self.body(None, int(query["bytes"]))
            elif name == "truncated":
                self.body(int(query["claim"]), int(query["bytes"]))
            else:
                self.answer(404, b"no such test path\n")
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            pass  # the client gave up, as some tests make it do

    def answer(self, code, content):
        self.send_response(code)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(content)))
        self.end_headers()
        self.wfile.write(content)

    def slow(self, count, interval):
        self.send_response(200)
        self.send_header("Content-Length", str(count))
        self.end_headers()
        for _ in range(count):
            self.wfile.write(b"x")
            self.wfile.flush()
            time.sleep(interval)

    def body(self, claim, count):
        self.send_response(200)
        if claim is not None:
            self.send_header("Content-Length", str(claim))
        self.end_headers()
        self.wfile.write(b"x" * count)
        self.close_connection = True


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


def end_with_parent():
    """Ends the server when the process that started it ends, also when that process dies
    without stopping it, so that nothing keeps the test runner's output open."""
    pr_set_pdeathsig = 1
    ctypes.CDLL(None, use_errno=True).prctl(pr_set_pdeathsig, signal.SIGTERM)
    if os.getppid() == 1:
        sys.exit(0)


def main():
    end_with_parent()
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    arguments = parser.parse_args()

    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(arguments.cert, arguments.key)
    handler = functools.partial(Handler, directory=arguments.root)
    server = Server(("127.0.0.1", 0), handler)
    # The handshake happens in the connection's own thread, so a client that never completes it
    # holds up no other.
    server.socket = context.wrap_socket(server.socket, server_side=True,
                                        do_handshake_on_connect=False)
    print(f"listening on {server.server_address[1]}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
