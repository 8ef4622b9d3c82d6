#pragma once
// The caption of the monitor's port settings dialog. The address book finds that dialog by its
// window title (its string 140), so both resource libraries take the text from here.
#define PORT_SETTINGS_CAPTION "Velloprint Port Settings"
