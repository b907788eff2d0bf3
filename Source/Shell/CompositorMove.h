#pragma once
// Dragging a window of our own drawing (no title bar from the window system).
class QWidget;

// Under Wayland a client cannot place its own windows: the compositor is asked to
// drag the window instead, and true tells the caller to leave the drag to it.
// Elsewhere false: the caller moves the window itself.
bool StartCompositorMove(QWidget* pWindow);
