# A stand-in for SQL Server's side of a connection test, on ADDRESS port
# 5432: a connection whose first byte is a TDS PRELOGIN (0x12) gets a
# SQL Server 15.0.4123 answer (encryption off, INSTOPT 0 for the instances
# MSSQLSERVER and INST, 1 for any other) and is closed; every other
# connection is handed to the PostgreSQL server at BACKEND port 5432.
# Given CERTS, a folder of certificates (NAME.pem and NAME.key), it also
# listens on the ports of TLS_PORTS: their PRELOGIN answer says encryption
# is on (or required, to a client that did not ask for it), and the TLS
# handshake that follows is answered inside TDS packets with that port's
# certificate, then the connection is closed.
# Prints a line when it listens. Usage: tds_standin.py ADDRESS BACKEND [CERTS]
import socket
import ssl
import sys
import threading

KNOWN = {b"MSSQLSERVER", b"INST"}
# Port: the certificate it answers with; "unsupported" says the server
# cannot encrypt; "close" closes the connection on the client's first
# handshake packet; "tls13" a trusted certificate but TLS 1.3 alone.
TLS_PORTS = {1441: "self", 1442: "other", 1443: "expired", 1444: "trusted", 1445: "unsupported",
             1446: "close", 1447: "tls13"}


def read(conn, size):
    data = b""
    while len(data) < size:
        more = conn.recv(size - len(data))
        if not more:
            raise EOFError
        data += more
    return data


def read_packet(conn):
    header = read(conn, 8)
    return read(conn, int.from_bytes(header[2:4], "big") - 8)


def packets(kind, data):
    out, number = b"", 1
    while True:
        part, data = data[:4088], data[4088:]
        out += bytes([kind, 0 if data else 1]) + (len(part) + 8).to_bytes(2, "big") + bytes([0, 0, number, 0]) + part
        number += 1
        if not data:
            return out


def options(data):
    found, at = {}, 0
    while data[at] != 0xFF:
        token, offset, length = data[at], int.from_bytes(data[at + 1:at + 3], "big"), int.from_bytes(data[at + 3:at + 5], "big")
        found[token] = data[offset:offset + length]
        at += 5
    return found


def prelogin_answer(request, encryption):
    instance = options(request).get(2, b"\0").rstrip(b"\0").upper()
    values = [(0, bytes([15, 0]) + (4123).to_bytes(2, "big") + b"\0\0"), (1, bytes([encryption])),
              (2, b"\0" if instance in KNOWN else b"\1")]
    table, data, offset = b"", b"", 5 * len(values) + 1
    for token, value in values:
        table += bytes([token]) + (offset + len(data)).to_bytes(2, "big") + len(value).to_bytes(2, "big")
        data += value
    return packets(4, table + b"\xff" + data)


def context(kind):
    name = "trusted" if kind == "tls13" else kind
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.load_cert_chain(f"{CERTS}/{name}.pem", f"{CERTS}/{name}.key")
    if kind == "tls13":
        tls.minimum_version = ssl.TLSVersion.TLSv1_3
    return tls


# The server's side of the handshake, its records in PRELOGIN packets.
def handshake(conn, kind):
    if kind == "close":
        return read_packet(conn)
    incoming, outgoing = ssl.MemoryBIO(), ssl.MemoryBIO()
    tls = context(kind).wrap_bio(incoming, outgoing, server_side=True)
    while True:
        try:
            tls.do_handshake()
            done = True
        except ssl.SSLWantReadError:
            done = False
        except ssl.SSLError:  # its alert is sent below
            done = True
        if pending := outgoing.read():
            conn.sendall(packets(0x12, pending))
        if done:
            return
        incoming.write(read_packet(conn))


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


def serve(conn, backend, kind):
    with conn:
        try:
            header = read(conn, 1)
            if header == b"\x12":
                header += read(conn, 7)
                request = read(conn, int.from_bytes(header[2:4], "big") - 8)
                asked = options(request).get(1, b"\0")[:1] == b"\1"
                encryption = 0 if kind is None else 2 if kind == "unsupported" else 1 if asked else 3
                conn.sendall(prelogin_answer(request, encryption))
                if encryption in (1, 3):
                    handshake(conn, kind)
                return
        except (EOFError, OSError, IndexError):
            return
        if kind is not None:
            return
        with socket.create_connection((backend, 5432)) as server:
            server.sendall(header)
            threading.Thread(target=pipe, args=(server, conn), daemon=True).start()
            pipe(conn, server)


def listen(port, kind):
    listener = socket.create_server((sys.argv[1], port))
    def accept():
        while True:
            conn, _ = listener.accept()
            threading.Thread(target=serve, args=(conn, sys.argv[2], kind), daemon=True).start()
    threading.Thread(target=accept, daemon=True).start()


CERTS = sys.argv[3] if len(sys.argv) > 3 else None
listen(5432, None)
for port, kind in (TLS_PORTS.items() if CERTS else ()):
    listen(port, kind)
print(flush=True)
threading.Event().wait()
