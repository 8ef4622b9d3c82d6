#include "monitor/mail/secure_session.h"
#include "monitor/mail/base64.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kCredentialBytes = 1024; // user and password in UTF-8, with their separators
constexpr size_t kAuthLineCapacity = 16 + Base64Length(kCredentialBytes) + 2;

// A login line: holds the base64 of the credentials, wiped when it goes.
class AuthLine {
public:
    ~AuthLine() { WipeSecret(text_, sizeof text_); }
    // prefix, then the base64 of bytes, then CR LF. False when it does not fit.
    bool Build(const char* prefix, const uint8_t* bytes, size_t count)
    {
        const size_t prefixLength = std::strlen(prefix);
        if (prefixLength + Base64Length(count) + 3 > sizeof text_)
            return false;
        std::memcpy(text_, prefix, prefixLength);
        length_ = prefixLength + EncodeBase64Block(bytes, count, text_ + prefixLength);
        std::memcpy(text_ + length_, "\r\n", 3);
        length_ += 2;
        return true;
    }
    const char* text() const { return text_; }
    size_t length() const { return length_; }

private:
    char text_[kAuthLineCapacity];
    size_t length_ = 0;
};

bool ReplyCodeIs(const SmtpReply& reply, const char* code)
{
    return std::strncmp(reply.Text(), code, 3) == 0;
}

class Opening {
public:
    Opening(const SecureOpening& opening, SessionHost& host, SecureReporter& reporter)
        : opening_(opening), host_(host), reporter_(reporter)
    {
    }

    bool Ehlo(SmtpSocket& socket)
    {
        char line[kMailLineCapacityForEhlo];
        const int length = std::snprintf(line, sizeof line, "EHLO %s\r\n", opening_.clientName);
        return length > 0 && static_cast<size_t>(length) < sizeof line &&
               SendSmtpCommand(socket, host_, line, static_cast<size_t>(length), &capabilities_);
    }

    bool StartTls(SmtpSocket& socket, SecureChannel& channel)
    {
        if (!capabilities_.StartTls())
            return Refuse(SecureFailure::StartTlsNotOffered, "");
        static const char kStartTls[] = "STARTTLS\r\n";
        SmtpReply reply;
        if (!ExchangeSmtpText(socket, host_, kStartTls, sizeof kStartTls - 1, reply))
            return false;
        if (!ReplyCodeIs(reply, "220"))
            return Refuse(SecureFailure::StartTlsRefused, reply.Text());
        return channel.Handshake();
    }

    bool LogIn(SmtpSocket& socket)
    {
        if (opening_.user[0] == '\0')
            return true;
        if (capabilities_.AuthPlain())
            return LogInPlain(socket);
        if (capabilities_.AuthLogin())
            return LogInLogin(socket);
        return Refuse(SecureFailure::LoginNotOffered, "");
    }

    bool Fits()
    {
        const uint64_t limit = capabilities_.SizeLimit();
        if (limit == 0 || opening_.mailBytes <= limit)
            return true;
        reporter_.ShowSecureFailure(SecureFailure::TooLarge, "", limit, opening_.mailBytes);
        return false;
    }

private:
    static constexpr size_t kMailLineCapacityForEhlo = 1024;

    bool Refuse(SecureFailure failure, const char* reply)
    {
        reporter_.ShowSecureFailure(failure, reply, 0, 0);
        return false;
    }

    // "AUTH PLAIN" with the initial response: NUL user NUL password.
    bool LogInPlain(SmtpSocket& socket)
    {
        uint8_t credentials[kCredentialBytes];
        const size_t user = std::strlen(opening_.user);
        const size_t password = std::strlen(opening_.password);
        AuthLine line;
        bool built = false;
        if (user + password + 2 <= sizeof credentials) {
            credentials[0] = 0;
            std::memcpy(credentials + 1, opening_.user, user);
            credentials[1 + user] = 0;
            std::memcpy(credentials + 2 + user, opening_.password, password);
            built = line.Build("AUTH PLAIN ", credentials, user + password + 2);
        }
        WipeSecret(credentials, sizeof credentials);
        return built && Expect(socket, line, "235");
    }

    // "AUTH LOGIN", then the user and the password, each asked for with 334.
    bool LogInLogin(SmtpSocket& socket)
    {
        AuthLine start;
        AuthLine user;
        AuthLine password;
        return start.Build("AUTH LOGIN", nullptr, 0) &&
               user.Build("", reinterpret_cast<const uint8_t*>(opening_.user), std::strlen(opening_.user)) &&
               password.Build("", reinterpret_cast<const uint8_t*>(opening_.password),
                              std::strlen(opening_.password)) &&
               Expect(socket, start, "334") && Expect(socket, user, "334") && Expect(socket, password, "235");
    }

    bool Expect(SmtpSocket& socket, const AuthLine& line, const char* code)
    {
        SmtpReply reply;
        if (!ExchangeSmtpText(socket, host_, line.text(), line.length(), reply))
            return false;
        return ReplyCodeIs(reply, code) || Refuse(SecureFailure::LoginRefused, reply.Text());
    }

    const SecureOpening& opening_;
    SessionHost& host_;
    SecureReporter& reporter_;
    EhloCapabilities capabilities_;
};

} // namespace

SmtpSocket* OpenSecureSession(const SecureOpening& opening, SmtpSocket& connection, SecureChannel& channel,
                              SessionHost& host, SecureReporter& reporter)
{
    Opening steps(opening, host, reporter);
    SmtpSocket* socket = &connection;
    if (opening.mode == SmtpSecurity::StartTls) {
        if (!steps.Ehlo(connection) || !steps.StartTls(connection, channel))
            return nullptr;
        socket = &channel.Socket();
    }
    // The capabilities offered in clear are forgotten: only what the server says over the
    // encrypted connection counts.
    if (!steps.Ehlo(*socket) || !steps.LogIn(*socket) || !steps.Fits())
        return nullptr;
    return socket;
}

void WipeSecret(void* data, size_t length)
{
    volatile unsigned char* bytes = static_cast<volatile unsigned char*>(data);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = 0;
}
