#pragma once

// The entries of a recipient list ("a;b;c"), served from the last to the first. The list is
// cut in place: each entry handed out is null-terminated inside it.
template <typename Char>
class RecipientsFromLast {
public:
    explicit RecipientsFromLast(Char* list) : list_(list) {}

    // The next entry to serve, or nullptr when none is left. Empty entries and entries that
    // begin with "@" are skipped.
    const Char* Next()
    {
        while (list_ != nullptr) {
            const Char* entry = CutLastEntry();
            if (entry[0] != Char('\0') && entry[0] != Char('@'))
                return entry;
        }
        return nullptr;
    }

private:
    const Char* CutLastEntry()
    {
        Char* last = nullptr;
        for (Char* p = list_; *p != Char('\0'); ++p)
            if (*p == Char(';'))
                last = p;
        if (last == nullptr) {
            const Char* whole = list_;
            list_ = nullptr;
            return whole;
        }
        *last = Char('\0');
        return last + 1;
    }

    Char* list_;
};
