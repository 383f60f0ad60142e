#!/usr/bin/python3
"""A POP3 server on 127.0.0.1 that misbehaves on purpose, in another process so that it keeps
sending while the program under test is busy. Prints its port, then serves one client at a time.

Modes:
  flood        STAT announces 2147483647 messages, then full stops stream without end and
               nothing the client sends is read any more
  stream       a TOP reply whose header lines never end
  endless-line the greeting is one line without end
  early-close  the connection is closed after the user name
  forge        the greeting hides control bytes and a line break meant to forge log lines
"""
import socket
import sys


def serve(connection, mode):
    def send(data):
        connection.sendall(data)

    def read_line(buffer):
        while b"\r\n" not in buffer[0]:
            data = connection.recv(4096)
            if not data:
                raise ConnectionError
            buffer[0] += data
        line, _, buffer[0] = buffer[0].partition(b"\r\n")
        return line

    if mode == "endless-line":
        chunk = b"x" * 65536
        while True:
            send(chunk)
    if mode == "forge":
        send(b"+OK ready\x1b[2J\nPOP3 OUT: PASS forged\x00\r\n")
    else:
        send(b"+OK ready\r\n")
    buffer = [b""]
    while True:
        line = read_line(buffer).upper()
        if mode == "early-close" and line.startswith(b"USER"):
            return
        if line.startswith(b"CAPA"):
            send(b"-ERR Unknown command.\r\n")  # a server of the time before CAPA
            continue
        if line.startswith(b"STAT"):
            if mode == "flood":
                send(b"+OK 2147483647 1\r\n")
                chunk = b".\r\n" * 20000
                while True:
                    send(chunk)
            send(b"+OK 1 100\r\n")
        elif line.startswith(b"TOP") and mode == "stream":
            send(b"+OK\r\n")
            chunk = b"X-Junk: " + b"j" * 100 + b"\r\n"
            chunk *= 500
            while True:
                send(chunk)
        elif line.startswith(b"TOP"):
            send(b"+OK\r\nFrom: a\r\n\r\n.\r\n")
        elif line.startswith(b"QUIT"):
            send(b"+OK bye\r\n")
            return
        else:
            send(b"+OK\r\n")


def main():
    mode = sys.argv[1]
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)
    print(listener.getsockname()[1], flush=True)
    while True:
        connection, _ = listener.accept()
        try:
            serve(connection, mode)
        except (ConnectionError, OSError):
            pass
        finally:
            connection.close()


if __name__ == "__main__":
    main()
