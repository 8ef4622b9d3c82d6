#include "monitor/mail/tls_channel.h"

#include <algorithm>
#include <cstring>

bool TlsChannel::Handshake()
{
    if (HandshakeRounds()) {
        const CertificateVerdict verdict = engine_.CheckCertificate();
        if (verdict == CertificateVerdict::Accepted) {
            up_ = true;
            return true;
        }
        reporter_.ShowCertificateRefused(verdict);
    } else if (!host_.SendAborted()) {
        reporter_.ShowSecureFailure(SecureFailure::Handshake, "", 0, 0);
    }
    raw_.GiveUp();
    GiveUp();
    return false;
}

bool TlsChannel::HandshakeRounds()
{
    for (;;) {
        size_t consumed = 0;
        size_t outputLength = 0;
        const TlsResult result =
            engine_.HandshakeStep(input_, inputLength_, &consumed, output_, sizeof output_, &outputLength);
        if (result != TlsResult::Done && result != TlsResult::Continue && result != TlsResult::NeedMore)
            return false;
        DropInput(consumed);
        if (outputLength > 0 && !WriteRaw(output_, outputLength))
            return false;
        if (result == TlsResult::Done)
            return true; // what is left in the input is the first records
        if ((result == TlsResult::NeedMore || inputLength_ == 0) && !ReadRaw())
            return false;
    }
}

bool TlsChannel::ReadRaw()
{
    const uint32_t start = host_.NowMs();
    for (;;) {
        if (inputLength_ == sizeof input_)
            return false; // no message of TLS is this long
        size_t received = 0;
        const IoStatus status = raw_.TryReceive(input_ + inputLength_, sizeof input_ - inputLength_, &received);
        if (status == IoStatus::Done && received > 0) {
            inputLength_ += received;
            return true;
        }
        if (status != IoStatus::WouldBlock ||
            WaitForStep(raw_, host_, StepDirection::Receive, start) != StepOutcome::Ready)
            return false;
    }
}

bool TlsChannel::WriteRaw(const char* data, size_t length)
{
    // The session around polls between the records it writes.
    return WriteWithin(raw_, host_, data, length, false);
}

void TlsChannel::DropInput(size_t count)
{
    count = std::min(count, inputLength_);
    std::memmove(input_, input_ + count, inputLength_ - count);
    inputLength_ -= count;
}

IoStatus TlsChannel::TrySend(const char* data, size_t length, size_t* sent)
{
    if (!up_)
        return IoStatus::Failed;
    // As many records as the output holds go out in one write: each write costs a system call.
    size_t taken = 0;
    size_t used = 0;
    while (taken < length) {
        const size_t chunk = std::min(length - taken, engine_.MaxRecordPlainBytes());
        size_t recordLength = 0;
        if (chunk == 0 || !engine_.Encrypt(data + taken, chunk, output_ + used, sizeof output_ - used, &recordLength))
            break;
        taken += chunk;
        used += recordLength;
    }
    if (taken == 0 || !WriteRaw(output_, used))
        return IoStatus::Failed;
    *sent = taken;
    return IoStatus::Done;
}

// Decrypts the records already received until one gives plain bytes or the input ends within a
// record.
IoStatus TlsChannel::DecryptBuffered()
{
    while (plainLength_ == 0 && inputLength_ > 0) {
        size_t consumed = 0;
        char* plain = nullptr;
        size_t plainLength = 0;
        const TlsResult result = engine_.Decrypt(input_, inputLength_, &consumed, &plain, &plainLength);
        if (result == TlsResult::NeedMore)
            return IoStatus::WouldBlock;
        if (result == TlsResult::Closed)
            return IoStatus::Closed;
        if (result == TlsResult::Failed || plainLength > sizeof plain_)
            return IoStatus::Failed;
        std::memcpy(plain_, plain, plainLength);
        plainStart_ = 0;
        plainLength_ = plainLength;
        DropInput(consumed);
        if (result == TlsResult::Renegotiate && !HandshakeRounds())
            return IoStatus::Failed;
    }
    return plainLength_ > 0 ? IoStatus::Done : IoStatus::WouldBlock;
}

IoStatus TlsChannel::TryReceive(char* buffer, size_t capacity, size_t* received)
{
    if (!up_)
        return IoStatus::Failed;
    for (;;) {
        const IoStatus decrypted = DecryptBuffered();
        if (decrypted == IoStatus::Done) {
            *received = std::min(capacity, plainLength_);
            std::memcpy(buffer, plain_ + plainStart_, *received);
            plainStart_ += *received;
            plainLength_ -= *received;
            return IoStatus::Done;
        }
        if (decrypted != IoStatus::WouldBlock)
            return decrypted;
        if (inputLength_ == sizeof input_)
            return IoStatus::Failed;
        size_t got = 0;
        const IoStatus status = raw_.TryReceive(input_ + inputLength_, sizeof input_ - inputLength_, &got);
        if (status != IoStatus::Done)
            return status;
        inputLength_ += got;
    }
}

Readiness TlsChannel::WaitReady(StepDirection direction, uint32_t sliceMs)
{
    if (direction == StepDirection::Receive && plainLength_ > 0)
        return Readiness::Ready;
    return raw_.WaitReady(direction, sliceMs);
}
