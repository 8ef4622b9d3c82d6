#pragma once
// The caption of the monitor's port settings dialog, in each language of the resource libraries.
// The address book finds that dialog by its window title (its string 140 in the same language),
// so both resource libraries take the texts from here. UTF-8: the .rc files that include this
// are read as code page 65001.
#define PORT_SETTINGS_CAPTION "Velloprint Port Settings"
#define PORT_SETTINGS_CAPTION_JAPANESE "Velloprint ポートの設定"
