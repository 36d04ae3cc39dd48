// The map as assistive tools see it: a list whose items are the pals' icons, each named
// by its pal's handle name and the map, with its box on the screen.
#pragma once

// Lets Qt's accessibility ask for the map's interface; done once per program.
void InstallMapAccessibility();
