#pragma once
// Accessible names for the controls of a screen. A button or check box is named by its
// caption; one without a caption inside a titled frame by the frame's title; a box or list
// by the label beside it (to its left on the same row, or just above it), which also
// becomes the label's buddy, so assistive technology reads the two together; failing all
// of these, by its tool-tip. A control's tool-tip is its accessible description.

#include <QList>

class QLabel;
class QWidget;

// Names every control of area that takes the keyboard focus and has no name of its own,
// and describes it by its tool-tip.
void nameControlsForAccessibility(QWidget *area);

// A heading or banner: it names the screen, never the control that happens to stand
// below it.
void markAsHeading(QLabel *label);
