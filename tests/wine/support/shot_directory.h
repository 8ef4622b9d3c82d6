#pragma once
#include <windows.h>

#include <string>

// The photograph hand-shake with a script that photographs the virtual screen (scripts/
// screenshots.sh, scripts/demo.sh): the program writes "<name>.ready" into the folder named by
// NMX_SCREENSHOT_DIR when the screen shows what is to be taken, and waits for the script's
// "<name>.done", written once it has saved "<name>.png".
class ShotDirectory {
public:
    ShotDirectory();
    bool Valid() const { return !path_.empty(); }
    const std::wstring& Path() const { return path_; }
    // False when the file could not be written or no photograph was taken within two minutes.
    bool Photograph(const std::wstring& name) const;

private:
    std::wstring path_;
};
