// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Z80Registers.h"

#include <QtGlobal>

#include <memory>

// z80ex's emulated Z80 behind a plain interface: one instruction a step, the registers as a
// value, and memory and ports through a Bus that the owner answers.
class Z80Cpu {
public:
    class Bus {
    public:
        // `fetch`: the processor reads its instruction (an opcode or an operand at the program
        // counter), not data.
        virtual quint8 read(quint16 address, bool fetch) = 0;
        virtual void write(quint16 address, quint8 value) = 0;
        virtual quint8 in(quint16 port) = 0;
        virtual void out(quint16 port, quint8 value) = 0;
        // The byte at `address`, looked at without the processor reading it.
        virtual quint8 peek(quint16 address) const = 0;

    protected:
        Bus() = default;
        ~Bus() = default;
        Bus(const Bus&) = default;
        Bus& operator=(const Bus&) = default;
    };

    // Registers all zero, interrupts off.
    explicit Z80Cpu(Bus& bus);
    ~Z80Cpu();
    Z80Cpu(const Z80Cpu&) = delete;
    Z80Cpu& operator=(const Z80Cpu&) = delete;

    // Runs one instruction, a prefix and its opcode together, and returns its T-states. An idle
    // prefix (DD or FD before another prefix, which takes its place) is an instruction of its
    // own. No interrupt is ever raised. `registers` must hold the registers before it and holds
    // those after it: only what the instruction can change is read back from z80ex, which is
    // most of the time a step takes otherwise.
    int step(Z80Registers& registers);

    // Every register read from z80ex.
    Z80Registers registers() const;
    // Also forgets whatever z80ex holds besides them: a prefix half read, a halt.
    void setRegisters(const Z80Registers& registers);

private:
    struct Callbacks;
    struct Context;
    std::unique_ptr<Context> m_context;
};
