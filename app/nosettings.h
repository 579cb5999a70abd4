// The program keeps no settings; Qt's file dialog would store its folder history, last folder
// and view in the user's Qt settings whenever it closes.
#pragma once

// Sends Qt's user settings where nothing can be read or written: no folder can be made below a
// file that is not a folder. Called once at start, before any window is made.
void SendUserSettingsNowhere();
