#!/usr/bin/env python3
"""A small HTTP/1.1 server on the loopback interface for the updater's tests and demo.

Plain mode: it serves the files of one folder (the update list and the .lzh archives), like the
maker's web server would.

Fault modes are chosen per request by a path prefix, so that tests stay independent:

    /_fault/<mode>[,<mode>...]/<path of a file in the folder>

    404, 500, ...       answer with that status (and a short text body)
    301, 302            redirect to /<path> (Location header); the file itself is not sent
    nolength            no Content-Length: the body ends when the connection closes
    short=<n>           announce the whole length, send only <n> bytes, then close
    announce=<text>     send the whole body but announce Content-Length: <text> (any text,
                        for example a negative or a smaller number), then close
    trickle=<n>:<ms>    send the body in pieces of <n> bytes with <ms> milliseconds between them

Control paths:

    GET /_log           every request so far as a JSON array (method, path, headers, and for a
                        request that is not HTTP at all, such as a TLS ClientHello, its first bytes)
    GET /_stop          answers, then the server stops

Each request is also appended, one JSON object a line, to the --log file before it is answered.

With --tls <pem> (a certificate followed by its key) the server speaks https only. Each TLS
connection is logged once its handshake has ended, before any request on it, with "tls_handshake"
set to "ok" or to the reason it failed; a client that refuses the certificate either fails the
handshake or closes the connection without a request.

Only loopback addresses are served. With --background the server detaches (new session, stdio
to /dev/null) and the starting command returns once the port file is written; --stop ends the
server named by --pid-file.
"""

import argparse
import http.server
import ipaddress
import json
import os
import posixpath
import signal
import socket
import ssl
import sys
import threading
import time
import urllib.parse

FAULT_PREFIX = "/_fault/"


class RequestLog:
    """The requests received, in order, kept in memory and appended to a file."""

    def __init__(self, path):
        self._lock = threading.Lock()
        self._entries = []
        self._file = open(path, "w", encoding="utf-8") if path else None

    def add(self, entry):
        with self._lock:
            entry["seq"] = len(self._entries) + 1
            self._entries.append(entry)
            if self._file:
                self._file.write(json.dumps(entry, ensure_ascii=True) + "\n")
                self._file.flush()

    def snapshot(self):
        with self._lock:
            return list(self._entries)


def parse_fault_modes(text):
    """'404' / 'nolength,trickle=100:5' -> dict of mode name to argument (or None)."""
    modes = {}
    for item in text.split(","):
        if not item:
            continue
        name, _, argument = item.partition("=")
        if name.isdigit():
            modes["status"] = int(name)
        else:
            modes[name] = argument if argument else None
    return modes


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "tolvex-test-server"
    sys_version = ""

    # --- request entry points -------------------------------------------------------------

    def do_GET(self):
        self._handle(send_body=True)

    def do_HEAD(self):
        self._handle(send_body=False)

    def do_POST(self):
        self._handle(send_body=True)

    def send_error(self, code, message=None, explain=None):
        # A request line that is not HTTP (for example the first bytes of a TLS handshake):
        # record what arrived, then answer as the base class does.
        raw = self.raw_requestline or b""
        if not getattr(self, "_logged", False):
            self._logged = True
            self.server.request_log.add({
                "method": None,
                "path": None,
                "headers": [],
                "raw_hex": raw[:64].hex(),
                "tls_client_hello": raw[:1] == b"\x16",
            })
        super().send_error(code, message, explain)

    def log_message(self, format, *args):  # quiet: the request log is the record
        pass

    # --- dispatch ---------------------------------------------------------------------------

    def _handle(self, send_body):
        self._logged = True
        self.server.request_log.add({
            "method": self.command,
            "path": self.path,
            "headers": [[name, value] for name, value in self.headers.items()],
            "raw_hex": None,
            "tls_client_hello": False,
        })
        self.server.touch()
        path = urllib.parse.urlsplit(self.path).path
        if path == "/_log":
            body = json.dumps(self.server.request_log.snapshot(), ensure_ascii=True).encode()
            self._send_plain(200, body, "application/json", send_body)
            return
        if path == "/_stop":
            self._send_plain(200, b"stopping\n", "text/plain", send_body)
            threading.Thread(target=self.server.shutdown, daemon=True).start()
            return
        modes = {}
        if path.startswith(FAULT_PREFIX):
            mode_text, _, rest = path[len(FAULT_PREFIX):].partition("/")
            modes = parse_fault_modes(mode_text)
            path = "/" + rest
        self._serve(path, modes, send_body)

    def _serve(self, path, modes, send_body):
        status = modes.get("status", 200)
        if status in (301, 302, 303, 307, 308):
            self.send_response(status)
            self.send_header("Location", path)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if status != 200:
            self._send_plain(status, ("status %d\n" % status).encode(), "text/plain", send_body)
            return
        body = self._read_file(path)
        if body is None:
            self._send_plain(404, b"not found\n", "text/plain", send_body)
            return
        self._send_body(body, modes, send_body)

    def _read_file(self, url_path):
        relative = posixpath.normpath(urllib.parse.unquote(url_path)).lstrip("/")
        if relative.startswith("..") or relative.startswith("_"):
            return None
        full = os.path.realpath(os.path.join(self.server.root, relative))
        if not full.startswith(self.server.root + os.sep) or not os.path.isfile(full):
            return None
        with open(full, "rb") as f:
            return f.read()

    # --- answers ----------------------------------------------------------------------------

    def _send_plain(self, status, body, content_type, send_body):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if send_body:
            self.wfile.write(body)

    def _send_body(self, body, modes, send_body):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        closes = False
        to_send = body
        if "nolength" in modes:
            closes = True
        elif "short" in modes:
            to_send = body[:int(modes["short"] or len(body) // 2)]
            self.send_header("Content-Length", str(len(body)))
            closes = True
        elif "announce" in modes:
            self.send_header("Content-Length", modes["announce"] or "")
            closes = True
        else:
            self.send_header("Content-Length", str(len(body)))
        if closes:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        if not send_body:
            return
        if "trickle" in modes:
            piece_text, _, delay_text = (modes["trickle"] or "").partition(":")
            piece = max(1, int(piece_text or 1))
            delay = max(0, int(delay_text or 0)) / 1000.0
            for offset in range(0, len(to_send), piece):
                if offset:
                    time.sleep(delay)
                self.wfile.write(to_send[offset:offset + piece])
                self.wfile.flush()
        else:
            self.wfile.write(to_send)
        self.wfile.flush()


class LoopbackServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, address, root, request_log, idle_exit, tls_context=None):
        self.root = os.path.realpath(root)
        self.request_log = request_log
        self._last_activity = time.monotonic()
        self._idle_exit = idle_exit
        self._tls_context = tls_context
        super().__init__(address, Handler)

    def get_request(self):
        connection, address = super().get_request()
        if self._tls_context:
            # The handshake waits for the connection's own thread, so a stalled client holds up
            # nobody else.
            connection = self._tls_context.wrap_socket(connection, server_side=True,
                                                       do_handshake_on_connect=False)
        return connection, address

    def finish_request(self, request, client_address):
        if self._tls_context:
            self.touch()
            request.settimeout(30)
            try:
                request.do_handshake()
                outcome = "ok"
            except (ssl.SSLError, OSError) as error:
                outcome = str(error) or type(error).__name__
            request.settimeout(None)
            self.request_log.add({"method": None, "path": None, "headers": [], "raw_hex": None,
                                  "tls_client_hello": False, "tls_handshake": outcome})
            if outcome != "ok":
                return
        super().finish_request(request, client_address)

    def touch(self):
        self._last_activity = time.monotonic()

    def service_actions(self):
        # A forgotten server ends by itself after a long quiet time (if asked to).
        if self._idle_exit and time.monotonic() - self._last_activity > self._idle_exit:
            threading.Thread(target=self.shutdown, daemon=True).start()
            self._idle_exit = 0


def write_atomically(path, text):
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="ascii") as f:
        f.write(text)
    os.replace(temporary, path)


def stop_server(pid_file):
    """Ends the server whose process id is in `pid_file`; it removes that file as it stops."""
    try:
        with open(pid_file, encoding="ascii") as f:
            pid = int(f.read().strip())
    except (OSError, ValueError):
        return 0
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    for _ in range(200):
        if not os.path.exists(pid_file):
            return 0
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            break
        time.sleep(0.02)
    try:
        os.remove(pid_file)
    except OSError:
        pass
    return 0


def detach(port_file):
    """Forks into a new session; the starting process returns once the port file exists."""
    if os.path.exists(port_file):
        os.remove(port_file)
    child = os.fork()
    if child:
        # The child exits at once after forking the server itself; only a failed child counts.
        reaped = False
        for _ in range(200):
            if os.path.exists(port_file):
                os._exit(0)
            if not reaped:
                finished, status = os.waitpid(child, os.WNOHANG)
                if finished:
                    reaped = True
                    if status != 0:
                        os._exit(1)
            time.sleep(0.05)
        os._exit(1)
    os.setsid()
    if os.fork():
        os._exit(0)
    null = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(null, fd)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=".", help="folder whose files are served")
    parser.add_argument("--bind", default="127.0.0.1", help="loopback address to listen on")
    parser.add_argument("--port", type=int, default=0, help="0 picks a free port")
    parser.add_argument("--port-file", help="file that receives the chosen port")
    parser.add_argument("--pid-file", help="file that receives the server's process id")
    parser.add_argument("--log", help="file that receives one JSON line per request")
    parser.add_argument("--background", action="store_true", help="detach and run on")
    parser.add_argument("--stop", action="store_true", help="stop the server of --pid-file")
    parser.add_argument("--tls", metavar="PEM",
                        help="serve https with this certificate (followed by its key in the file)")
    parser.add_argument("--idle-exit", type=float, default=0,
                        help="stop after this many seconds without a request (0: never)")
    args = parser.parse_args()

    if args.stop:
        if not args.pid_file:
            parser.error("--stop needs --pid-file")
        return stop_server(args.pid_file)
    if not ipaddress.ip_address(args.bind).is_loopback:
        parser.error("only loopback addresses are served")
    if not os.path.isdir(args.root):
        parser.error("no such folder: %s" % args.root)
    tls_context = None
    if args.tls:  # before detaching, so that an unusable certificate fails the starting command
        tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls_context.load_cert_chain(args.tls)
    if args.background:
        if not args.port_file:
            parser.error("--background needs --port-file")
        args.port_file = os.path.abspath(args.port_file)
        for name in ("root", "pid_file", "log"):
            if getattr(args, name):
                setattr(args, name, os.path.abspath(getattr(args, name)))
        detach(args.port_file)

    server = LoopbackServer((args.bind, args.port), args.root, RequestLog(args.log), args.idle_exit,
                            tls_context)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown, daemon=True).start())
    if args.pid_file:
        write_atomically(args.pid_file, "%d\n" % os.getpid())
    port = server.server_address[1]
    if args.port_file:
        write_atomically(args.port_file, "%d\n" % port)
    else:
        print("serving %s on %s://%s:%d/" % (args.root, "https" if args.tls else "http", args.bind, port),
              flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        if args.pid_file:
            try:
                os.remove(args.pid_file)
            except OSError:
                pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
