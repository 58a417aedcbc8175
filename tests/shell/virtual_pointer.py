#!/usr/bin/env python3
"""A pointer for a compositor without input devices (sway headless), through wlroots' virtual
pointer protocol. Reads commands from the named pipe, one a line, until it is killed:

    click X Y left|right    moves to X,Y in the output layout, presses and releases the button

    virtual_pointer.py FIFO WIDTH HEIGHT"""
import struct
import sys
import time

sys.dont_write_bytecode = True
from wayland_wire import Connection  # noqa: E402

BUTTONS = {"left": 0x110, "right": 0x111}  # BTN_LEFT, BTN_RIGHT of linux/input-event-codes.h


def main():
    fifo, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    wl = Connection()
    manager = wl.bind("zwlr_virtual_pointer_manager_v1", 1)
    pointer = wl.new_id()
    wl.request(manager, 0, struct.pack("=II", 0, pointer))  # create_virtual_pointer, the default seat
    wl.roundtrip()
    print("ready", flush=True)

    def send(opcode, *words):
        wl.request(pointer, opcode, struct.pack("=%dI" % (len(words) + 1), int(time.monotonic() * 1000) & 0xFFFFFFFF, *words))

    while True:
        with open(fifo) as commands:
            for line in commands:
                verb, x, y, button = line.split()
                assert verb == "click"
                send(1, int(x), int(y), width, height)  # motion_absolute
                wl.request(pointer, 4)  # frame
                for state in (1, 0):  # pressed, released
                    send(2, BUTTONS[button], state)
                    wl.request(pointer, 4)
                wl.roundtrip()


if __name__ == "__main__":
    main()
