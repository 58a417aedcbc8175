#!/usr/bin/env python3
"""Prints an xdg-activation token from the Wayland compositor, as a launcher would hand one to the
program it starts.

Asks without a seat, serial or surface, which sway accepts. A compositor that wants a recent input
event instead answers with a token it will refuse, so a window brought forward with it stays put."""
import struct
import sys

sys.dont_write_bytecode = True
from wayland_wire import Connection, read_string  # noqa: E402


def main():
    wl = Connection()
    activation = wl.bind("xdg_activation_v1", 1)
    token = wl.new_id()
    wl.request(activation, 1, struct.pack("=I", token))  # get_activation_token
    wl.request(token, 3)  # xdg_activation_token_v1.commit
    for object_id, opcode, payload in wl.events():
        if object_id == token and opcode == 0:  # xdg_activation_token_v1.done
            print(read_string(payload, 0)[0])
            return


if __name__ == "__main__":
    main()
