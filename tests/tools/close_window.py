#!/usr/bin/python3
"""Asks the window with the given title on an X display to close, as a close box does:
close_window.py DISPLAY TITLE"""
import sys

from Xlib import X, display, protocol


def find(window, title):
    for child in window.query_tree().children:
        if child.get_wm_name() == title:
            return child
        found = find(child, title)
        if found:
            return found
    return None


def main():
    screen = display.Display(sys.argv[1])
    window = find(screen.screen().root, sys.argv[2])
    if window is None:
        return 1
    protocols = screen.intern_atom("WM_PROTOCOLS")
    delete = screen.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event, event_mask=0)
    screen.flush()
    return 0


if __name__ == "__main__":
    sys.exit(main())
