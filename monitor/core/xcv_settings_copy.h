#pragma once
#include <cstddef>

// Copies one port's settings between the settings record and the Xcv block, whose fields have
// the same names: the monitor and NMX_MONUI.dll both convert with it. Texts are copied up to
// their terminator and cut to the smaller field. The password is not copied: the block carries
// only what to do with it, and each side decides that (xcv_settings.h).

template <typename To, size_t ToUnits, typename From, size_t FromUnits>
void CopySettingsText(To (&to)[ToUnits], const From (&from)[FromUnits])
{
    size_t i = 0;
    for (; i + 1 < ToUnits && i < FromUnits && from[i] != 0; ++i)
        to[i] = static_cast<To>(from[i]);
    to[i] = 0;
}

template <typename From, typename To> void CopySettings(const From& from, To* to)
{
    CopySettingsText(to->PortName, from.PortName);
    CopySettingsText(to->ServAddr, from.ServAddr);
    CopySettingsText(to->SMTPAddr, from.SMTPAddr);
    CopySettingsText(to->UserAddr, from.UserAddr);
    CopySettingsText(to->ServName, from.ServName);
    CopySettingsText(to->NotifyAddr, from.NotifyAddr);
    to->Notification = from.Notification;
    to->ShowSw = static_cast<decltype(to->ShowSw)>(from.ShowSw);
    to->PartLimit = from.PartLimit;
    to->PartSw = static_cast<decltype(to->PartSw)>(from.PartSw);
    to->CheckMailSw = static_cast<decltype(to->CheckMailSw)>(from.CheckMailSw);
    to->SMTPSecurity = from.SMTPSecurity;
    to->SMTPPort = from.SMTPPort;
    CopySettingsText(to->SMTPUser, from.SMTPUser);
    CopySettingsText(to->SMTPCertSHA256, from.SMTPCertSHA256);
}
