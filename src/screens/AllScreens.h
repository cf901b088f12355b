#pragma once
// Every screen of the program by name: the catalogue a program is made with.

#include "framework/ScreenCatalogue.h"

const ScreenCatalogue &screenCatalogue();
// The frame of a secondary screen of the catalogue.
const ScreenFrame &screenFrame(const QString &name);
