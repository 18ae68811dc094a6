# A stand-in for SQL Server's side of a connection test, on ADDRESS port
# 5432: a connection whose first byte is a TDS PRELOGIN (0x12) gets a
# SQL Server 15.0.4123 answer (encryption off, INSTOPT 0 for the instances
# MSSQLSERVER and INST, 1 for any other) and is closed; every other
# connection is handed to the PostgreSQL server at BACKEND port 5432.
# Prints a line when it listens. Usage: tds_standin.py ADDRESS BACKEND
import socket
import sys
import threading

KNOWN = {b"MSSQLSERVER", b"INST"}


def read(conn, size):
    data = b""
    while len(data) < size:
        more = conn.recv(size - len(data))
        if not more:
            raise EOFError
        data += more
    return data


def options(data):
    found, at = {}, 0
    while data[at] != 0xFF:
        token, offset, length = data[at], int.from_bytes(data[at + 1:at + 3], "big"), int.from_bytes(data[at + 3:at + 5], "big")
        found[token] = data[offset:offset + length]
        at += 5
    return found


def prelogin_answer(request):
    instance = options(request).get(2, b"\0").rstrip(b"\0").upper()
    values = [(0, bytes([15, 0]) + (4123).to_bytes(2, "big") + b"\0\0"), (1, b"\0"),
              (2, b"\0" if instance in KNOWN else b"\1")]
    table, data, offset = b"", b"", 5 * len(values) + 1
    for token, value in values:
        table += bytes([token]) + (offset + len(data)).to_bytes(2, "big") + len(value).to_bytes(2, "big")
        data += value
    body = table + b"\xff" + data
    return bytes([4, 1]) + (len(body) + 8).to_bytes(2, "big") + b"\0\0\1\0" + body


def pipe(source, sink):
    try:
        while data := source.recv(65536):
            sink.sendall(data)
    except OSError:
        pass
    for s in (source, sink):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def serve(conn, backend):
    with conn:
        try:
            header = read(conn, 1)
            if header == b"\x12":
                header += read(conn, 7)
                request = read(conn, int.from_bytes(header[2:4], "big") - 8)
                conn.sendall(prelogin_answer(request))
                return
        except (EOFError, OSError, IndexError):
            return
        with socket.create_connection((backend, 5432)) as server:
            server.sendall(header)
            threading.Thread(target=pipe, args=(server, conn), daemon=True).start()
            pipe(conn, server)


listener = socket.create_server((sys.argv[1], 5432))
print(flush=True)
while True:
    conn, _ = listener.accept()
    threading.Thread(target=serve, args=(conn, sys.argv[2]), daemon=True).start()
