#pragma once
// How the maintenance screens dress their text boxes: the tint that says what a box is
// for, and the grey of a box a screen does not use.

class QWidget;

// Light yellow for what is being added, light green for what is being edited, light red
// for what is about to be deleted.
enum class BoxTint { Add, Edit, Delete };

void tintBox(QWidget *box, BoxTint tint);
// Grey, disabled and empty: a box that a screen shows but has no use for.
void makeUnusedBox(QWidget *box);
