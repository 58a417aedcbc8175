#!/usr/bin/env python3
"""Prints an xdg-activation token from the Wayland compositor, as a launcher would hand one to the
program it starts. Speaks the wire protocol itself, so the tests need no Wayland headers.

Asks without a seat, serial or surface, which sway accepts. A compositor that wants a recent input
event instead answers with a token it will refuse, so a window brought forward with it stays put."""
import os
import socket
import struct
import sys

DISPLAY_ID, REGISTRY_ID, SYNC_ID, ACTIVATION_ID, TOKEN_ID = 1, 2, 3, 4, 5
INTERFACE = "xdg_activation_v1"


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("=I", len(data)) + data + b"\0" * (-len(data) % 4)


def request(sock, object_id, opcode, payload=b""):
    sock.sendall(struct.pack("=II", object_id, (8 + len(payload)) << 16 | opcode) + payload)


def events(sock):
    buffer = b""
    while True:
        while len(buffer) >= 8:
            object_id, word = struct.unpack_from("=II", buffer)
            size = word >> 16
            if len(buffer) < size:
                break
            yield object_id, word & 0xFFFF, buffer[8:size]
            buffer = buffer[size:]
        chunk = sock.recv(4096)
        if not chunk:
            sys.exit("the compositor closed the connection")
        buffer += chunk


def read_string(payload, offset):
    (length,) = struct.unpack_from("=I", payload, offset)
    text = payload[offset + 4 : offset + 4 + length - 1].decode()
    return text, offset + 4 + length + (-length % 4)


def main():
    path = os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ.get("WAYLAND_DISPLAY", "wayland-0"))
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.connect(path)
    request(sock, DISPLAY_ID, 1, struct.pack("=I", REGISTRY_ID))  # wl_display.get_registry
    request(sock, DISPLAY_ID, 0, struct.pack("=I", SYNC_ID))  # wl_display.sync
    bound = False
    for object_id, opcode, payload in events(sock):
        if object_id == DISPLAY_ID and opcode == 0:
            sys.exit("protocol error from the compositor")
        if object_id == REGISTRY_ID and opcode == 0:  # wl_registry.global
            (name,) = struct.unpack_from("=I", payload)
            interface, _ = read_string(payload, 4)
            if interface == INTERFACE:
                bind = struct.pack("=I", name) + string(INTERFACE) + struct.pack("=II", 1, ACTIVATION_ID)
                request(sock, REGISTRY_ID, 0, bind)  # wl_registry.bind
                request(sock, ACTIVATION_ID, 1, struct.pack("=I", TOKEN_ID))  # get_activation_token
                request(sock, TOKEN_ID, 3)  # xdg_activation_token_v1.commit
                bound = True
        elif object_id == SYNC_ID and not bound:  # the whole registry went by
            sys.exit("the compositor offers no " + INTERFACE)
        elif object_id == TOKEN_ID and opcode == 0:  # xdg_activation_token_v1.done
            print(read_string(payload, 0)[0])
            return


if __name__ == "__main__":
    main()
