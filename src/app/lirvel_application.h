#pragma once

// The start-up: the splash window, then the main window, the settings dialog and the three data
// modules in that order, each stored in its global before its creation handler runs; the load
// runs in the creation of the last one.
void StartApplication();
// The end: the configuration file is written while the main window and the book list still
// exist, then everything is released in the reverse order of creation.
void FinishApplication();
// Start-up, event loop, end.
int RunApplication();
