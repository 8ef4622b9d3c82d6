#include "monitor/core/protected_password.h"
#include "monitor/mail/secure_session.h"

#include <wincrypt.h>

#include <cstring>

namespace {

// Ties the protected data to this use: another program's protected blob does not pass for it.
const BYTE kEntropy[] = "Velloprint SMTPPassword";

DATA_BLOB Blob(const void* data, size_t length)
{
    return DATA_BLOB{static_cast<DWORD>(length), static_cast<BYTE*>(const_cast<void*>(data))};
}

// LocalFree after wiping, for the decrypted text.
void FreeSecret(DATA_BLOB& blob)
{
    if (blob.pbData == nullptr)
        return;
    WipeSecret(blob.pbData, blob.cbData);
    LocalFree(blob.pbData);
}

} // namespace

bool ProtectPassword(const WCHAR* password, PortSettings* settings)
{
    SecureZeroMemory(settings->SMTPPassword, sizeof(settings->SMTPPassword));
    settings->SMTPPasswordBytes = 0;
    const size_t length = lstrlenW(password);
    if (length == 0)
        return true;
    DATA_BLOB plain = Blob(password, length * sizeof(WCHAR));
    DATA_BLOB entropy = Blob(kEntropy, sizeof kEntropy - 1);
    DATA_BLOB encrypted{};
    if (!CryptProtectData(&plain, L"SMTPPassword", &entropy, nullptr, nullptr,
                          CRYPTPROTECT_LOCAL_MACHINE | CRYPTPROTECT_UI_FORBIDDEN, &encrypted))
        return false;
    const bool fits = encrypted.cbData <= sizeof(settings->SMTPPassword);
    if (fits) {
        std::memcpy(settings->SMTPPassword, encrypted.pbData, encrypted.cbData);
        settings->SMTPPasswordBytes = encrypted.cbData;
    }
    LocalFree(encrypted.pbData);
    return fits;
}

bool ReadProtectedPassword(const BYTE* protectedPassword, DWORD bytes, char* out, size_t capacity)
{
    out[0] = '\0';
    if (bytes == 0)
        return false;
    DATA_BLOB encrypted = Blob(protectedPassword, bytes);
    DATA_BLOB entropy = Blob(kEntropy, sizeof kEntropy - 1);
    DATA_BLOB plain{};
    if (!CryptUnprotectData(&encrypted, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &plain))
        return false;
    const int chars = static_cast<int>(plain.cbData / sizeof(WCHAR));
    const int length = WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const WCHAR*>(plain.pbData), chars, out,
                                           static_cast<int>(capacity) - 1, nullptr, nullptr);
    FreeSecret(plain);
    out[length > 0 ? length : 0] = '\0';
    return length > 0;
}
