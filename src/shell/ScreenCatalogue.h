#pragma once
class Screens;
// Registers every screen of the program by its name.
void registerScreens(Screens &screens);
