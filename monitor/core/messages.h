#pragma once
#include <windows.h>

// Where a message goes. The legacy monitor and the dialogs show a box in this process; a job
// started through the spooler's modern interface tells the user who printed it instead.
class MessageTarget {
public:
    // Shows the message; returns the box's answer (IDOK, IDCANCEL, ...), or 0 when nobody
    // answered. A message without a Cancel button may return before anyone has read it.
    virtual int Show(const WCHAR* caption, const WCHAR* text, UINT style) = 0;
    // The same with the box's own buttons in the given language where the target can choose
    // it; elsewhere the buttons speak the user's language.
    virtual int ShowWithButtonLanguage(const WCHAR* caption, const WCHAR* text, UINT style, LANGID)
    {
        return Show(caption, text, style);
    }

protected:
    ~MessageTarget() = default;
};

// A message box on this process's screen (no owner): what the legacy monitor always did.
MessageTarget& ThisProcessScreen();

// Message box with caption and text loaded from the resource library; the text is a wvsprintfW
// format filled with the arguments. Returns the box's result, or 0 when a string is missing.
int ShowResourceMessage(MessageTarget& target, UINT style, UINT captionId, UINT textId, ...);
int ShowResourceMessage(HWND owner, UINT style, UINT captionId, UINT textId, ...);

// The message caption and the text of resource string textId; the version without a target
// shows a box without owner.
int ShowMonitorMessage(MessageTarget& target, UINT textId, UINT style);
int ShowMonitorMessage(UINT textId, UINT style);

constexpr UINT kStyleError = MB_ICONERROR | MB_SETFOREGROUND;  // 0x10010
constexpr UINT kStylePlain = MB_SETFOREGROUND;                 // 0x10000
