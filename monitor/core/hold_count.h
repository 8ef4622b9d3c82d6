#pragma once
#include <cassert>

// How many open handles and dialogs hold a port entry. A release without its acquire is a
// caller's fault: it never takes the count below zero, so it can never free an entry that
// another holder still uses.
class HoldCount {
public:
    void Acquire() { ++count_; }
    // False, with nothing changed, when nothing held the entry.
    bool Release()
    {
        assert(count_ > 0 && "a port entry released more often than acquired");
        if (count_ == 0)
            return false;
        --count_;
        return true;
    }
    bool Held() const { return count_ > 0; }

private:
    long count_ = 0;
};
