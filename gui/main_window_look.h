#pragma once

#include <QFont>
#include <QSize>

class QLabel;
class QWidget;

// How the main window looks and where it sits: its face, its size with the frame, its place on the screen.

// The window's size with its frame; without a frame (no window manager) it is the inner size.
inline constexpr QSize kOuterSize(490, 647);

// "MS Sans Serif" at 8 points where it is installed; else a face drawn to Arial's widths at 8 points.
QFont WindowFont();

// Steps the label's face down until every line of its text fits its width.
void FitLinesToWidth(QLabel& label);

// Puts the window, frame included, at the centre of its screen.
void CentreOnScreen(QWidget& window);

// Once the window manager has framed the window, gives the inner size way by the frame so that the framed window
// measures outer, and centres it again. False while no frame is known (not shown yet, no window manager) or the
// window is maximised, minimised or full screen.
bool FitFrameIntoOuterSize(QWidget& window, QSize outer);
