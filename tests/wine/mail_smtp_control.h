#pragma once
// The mail tests' side of the scripted SMTP server (tests/smtp/scripted_smtp.py): a client of
// its control port on 127.0.0.1, one JSON object a line each way. The daemon is started by the
// ctest fixture and names its control port in smtp_server.json beside the test's bin folder.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace mailtest {

// Minimal reading of the daemon's answers, which json.dumps writes in one known shape.
inline size_t FindKey(const std::string& json, const char* key, size_t from)
{
    const std::string quoted = std::string("\"") + key + "\": ";
    const size_t at = json.find(quoted, from);
    return at == std::string::npos ? at : at + quoted.size();
}

inline void AppendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The string value of key (UTF-8), or "" when it is missing or null.
inline std::string JsonString(const std::string& json, const char* key, size_t from = 0)
{
    size_t at = FindKey(json, key, from);
    if (at == std::string::npos || json[at] != '"')
        return "";
    std::string out;
    for (++at; at < json.size() && json[at] != '"'; ++at) {
        if (json[at] != '\\') {
            out += json[at];
            continue;
        }
        const char escaped = json[++at];
        switch (escaped) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u':
            AppendUtf8(out, static_cast<unsigned>(std::stoul(json.substr(at + 1, 4), nullptr, 16)));
            at += 4;
            break;
        default: out += escaped; break;
        }
    }
    return out;
}

inline long long JsonNumber(const std::string& json, const char* key, size_t from = 0)
{
    const size_t at = FindKey(json, key, from);
    return at == std::string::npos ? -1 : std::stoll(json.substr(at));
}

inline bool JsonTrue(const std::string& json, const char* key, size_t from = 0)
{
    const size_t at = FindKey(json, key, from);
    return at != std::string::npos && json.compare(at, 4, "true") == 0;
}

inline std::string DecodeBase64(const std::string& text)
{
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        const size_t value = alphabet.find(c);
        if (value == std::string::npos)
            continue;
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

inline uint32_t Crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

struct SmtpSessionRecord {
    std::string received; // every byte the server received on the connection
    std::string state;    // connected, greeted, data, delivered, stopped-reading, closed-in-data
    bool ended;
};

struct MessagePart {
    std::string type;
    std::string filename;
    long long size;
    uint32_t crc32;
    std::string text;
};

struct ParsedMessage {
    bool ok;
    std::string subject;
    std::vector<MessagePart> parts;
};

class ScriptedSmtp {
public:
    ScriptedSmtp()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~ScriptedSmtp()
    {
        for (const std::string& host : hosts_)
            Request("{\"op\": \"stop\", \"host\": \"" + host + "\"}");
        WSACleanup();
    }
    ScriptedSmtp(const ScriptedSmtp&) = delete;
    ScriptedSmtp& operator=(const ScriptedSmtp&) = delete;

    // Starts a server following the script (a JSON object); returns its address, or "" with
    // the reason in lastError().
    std::string Start(const std::string& script = "{}")
    {
        const std::string answer = Request("{\"op\": \"start\", \"script\": " + script + "}");
        const std::string host = JsonTrue(answer, "ok") ? JsonString(answer, "host") : "";
        if (host.empty())
            error_ = "scripted SMTP server: " + (answer.empty() ? error_ : answer);
        else
            hosts_.push_back(host);
        return host;
    }

    // Waits until count sessions reached the state ("ended" for closed connections).
    std::vector<SmtpSessionRecord> Wait(const std::string& host, int count, const char* state = "ended",
                                        int timeoutSeconds = 60)
    {
        char request[256];
        std::snprintf(request, sizeof request,
                      "{\"op\": \"wait\", \"host\": \"%s\", \"count\": %d, \"state\": \"%s\", \"timeout\": %d}",
                      host.c_str(), count, state, timeoutSeconds);
        return ParseSessions(Request(request));
    }

    std::vector<SmtpSessionRecord> Sessions(const std::string& host)
    {
        return ParseSessions(Request("{\"op\": \"sessions\", \"host\": \"" + host + "\"}"));
    }

    ParsedMessage Message(const std::string& host, int index)
    {
        const std::string answer =
            Request("{\"op\": \"message\", \"host\": \"" + host + "\", \"index\": " + std::to_string(index) + "}");
        ParsedMessage message{JsonTrue(answer, "ok"), JsonString(answer, "subject"), {}};
        for (size_t at = answer.find("{\"type\": "); at != std::string::npos;
             at = answer.find("{\"type\": ", at + 1))
            message.parts.push_back(MessagePart{JsonString(answer, "type", at), JsonString(answer, "filename", at),
                                                JsonNumber(answer, "size", at),
                                                static_cast<uint32_t>(JsonNumber(answer, "crc32", at)),
                                                JsonString(answer, "text", at)});
        return message;
    }

    const std::string& lastError() const { return error_; }

private:
    static std::string StateFile()
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string file(path);
        file.erase(file.find_last_of('\\')); // the program's folder, bin
        file.erase(file.find_last_of('\\') + 1);
        return file + "smtp_server.json";
    }

    static int ControlPort()
    {
        FILE* state = std::fopen(StateFile().c_str(), "rb");
        if (state == nullptr)
            return -1;
        char text[256] = "";
        const size_t length = std::fread(text, 1, sizeof text - 1, state);
        std::fclose(state);
        return static_cast<int>(JsonNumber(std::string(text, length), "control_port"));
    }

    std::string Request(const std::string& line)
    {
        const int port = ControlPort();
        if (port <= 0) {
            error_ = "no scripted SMTP server: " + StateFile() + " is missing (the daemon needs port 25, so root)";
            return "";
        }
        SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(port));
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        std::string answer;
        if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            const std::string out = line + "\n";
            send(s, out.data(), static_cast<int>(out.size()), 0);
            char chunk[65536];
            int received;
            while ((received = recv(s, chunk, sizeof chunk, 0)) > 0) {
                answer.append(chunk, static_cast<size_t>(received));
                if (answer.back() == '\n')
                    break;
            }
        } else {
            error_ = "cannot reach the scripted SMTP server's control port";
        }
        closesocket(s);
        return answer;
    }

    static std::vector<SmtpSessionRecord> ParseSessions(const std::string& answer)
    {
        std::vector<SmtpSessionRecord> sessions;
        for (size_t at = answer.find("{\"received\": "); at != std::string::npos;
             at = answer.find("{\"received\": ", at + 1))
            sessions.push_back(SmtpSessionRecord{DecodeBase64(JsonString(answer, "received", at)),
                                                 JsonString(answer, "state", at), JsonTrue(answer, "ended", at)});
        return sessions;
    }

    std::vector<std::string> hosts_;
    std::string error_;
};

} // namespace mailtest
