"""The little of the Wayland wire protocol the test tools need, so they need no Wayland headers:
a connection, requests, events and binding a global by its interface name."""
import os
import socket
import struct
import sys

DISPLAY_ID, REGISTRY_ID = 1, 2


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("=I", len(data)) + data + b"\0" * (-len(data) % 4)


def read_string(payload, offset):
    (length,) = struct.unpack_from("=I", payload, offset)
    text = payload[offset + 4 : offset + 4 + length - 1].decode()
    return text, offset + 4 + length + (-length % 4)


class Connection:
    def __init__(self):
        path = os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ.get("WAYLAND_DISPLAY", "wayland-0"))
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.buffer = b""
        self.last_id = REGISTRY_ID
        self.request(DISPLAY_ID, 1, struct.pack("=I", REGISTRY_ID))  # wl_display.get_registry

    def new_id(self):
        self.last_id += 1
        return self.last_id

    def request(self, object_id, opcode, payload=b""):
        self.sock.sendall(struct.pack("=II", object_id, (8 + len(payload)) << 16 | opcode) + payload)

    def events(self):
        while True:
            while len(self.buffer) >= 8:
                object_id, word = struct.unpack_from("=II", self.buffer)
                size = word >> 16
                if len(self.buffer) < size:
                    break
                event, self.buffer = (object_id, word & 0xFFFF, self.buffer[8:size]), self.buffer[size:]
                if object_id == DISPLAY_ID and event[1] == 0:
                    sys.exit("protocol error from the compositor")
                yield event
            chunk = self.sock.recv(4096)
            if not chunk:
                sys.exit("the compositor closed the connection")
            self.buffer += chunk

    def roundtrip(self):
        """Returns the events that came before the compositor answered a wl_display.sync."""
        callback = self.new_id()
        self.request(DISPLAY_ID, 0, struct.pack("=I", callback))
        seen = []
        for event in self.events():
            if event[0] == callback:
                return seen
            seen.append(event)

    def bind(self, interface, version):
        """The new object's id, bound to the compositor's global of that interface."""
        for object_id, opcode, payload in self.roundtrip():
            if object_id == REGISTRY_ID and opcode == 0:  # wl_registry.global
                (name,) = struct.unpack_from("=I", payload)
                if read_string(payload, 4)[0] == interface:
                    new = self.new_id()
                    self.request(REGISTRY_ID, 0, struct.pack("=I", name) + string(interface) + struct.pack("=II", version, new))
                    return new
        sys.exit("the compositor offers no " + interface)
