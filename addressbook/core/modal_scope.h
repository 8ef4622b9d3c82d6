#pragma once
// The log-off refusal (g_program.modalOpen) for as long as a modal dialog runs, also across one
// opened from another.
#include "addressbook/core/program.h"

class ModalScope {
public:
    ModalScope() : outer_(g_program.modalOpen) { g_program.modalOpen = true; }
    ~ModalScope() { g_program.modalOpen = outer_; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    bool outer_;
};
