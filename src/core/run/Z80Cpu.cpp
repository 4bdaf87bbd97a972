// SPDX-License-Identifier: GPL-3.0-or-later
#include "Z80Cpu.h"

#include "InstructionFlow.h"
#include "Z80Opcodes.h"

#include <z80ex/z80ex.h>

struct Z80Cpu::Context {
    Z80EX_CONTEXT* cpu = nullptr;
    Bus* bus = nullptr;
};

// z80ex calls these with the context as their data.
struct Z80Cpu::Callbacks {
    static Z80EX_BYTE read(Z80EX_CONTEXT* cpu, Z80EX_WORD address, int m1, void* data) {
        // z80ex moves the program counter on before it fetches an operand: a read just behind
        // it, or an M1 read, is the instruction itself.
        const bool fetch = m1 != 0 || address == Z80EX_WORD(z80ex_get_reg(cpu, regPC) - 1);
        return static_cast<Context*>(data)->bus->read(address, fetch);
    }
    static void write(Z80EX_CONTEXT* /*cpu*/, Z80EX_WORD address, Z80EX_BYTE value, void* data) {
        static_cast<Context*>(data)->bus->write(address, value);
    }
    static Z80EX_BYTE in(Z80EX_CONTEXT* /*cpu*/, Z80EX_WORD port, void* data) {
        return static_cast<Context*>(data)->bus->in(port);
    }
    static void out(Z80EX_CONTEXT* /*cpu*/, Z80EX_WORD port, Z80EX_BYTE value, void* data) {
        static_cast<Context*>(data)->bus->out(port, value);
    }
    // Never asked: no interrupt is raised.
    static Z80EX_BYTE interruptVector(Z80EX_CONTEXT* /*cpu*/, void* /*data*/) { return 0xFF; }
};

Z80Cpu::Z80Cpu(Bus& bus) : m_context(std::make_unique<Context>()) {
    m_context->bus = &bus;
    Context* data = m_context.get();
    m_context->cpu = z80ex_create(Callbacks::read, data, Callbacks::write, data, Callbacks::in,
                                  data, Callbacks::out, data, Callbacks::interruptVector, data);
    setRegisters({});
}

Z80Cpu::~Z80Cpu() {
    z80ex_destroy(m_context->cpu);
}

int Z80Cpu::step(Z80Registers& registers) {
    Z80EX_CONTEXT* cpu = m_context->cpu;
    const quint8 first = m_context->bus->peek(registers.pc);
    const bool indexed = InstructionFlow::isIndexPrefix(first);
    // An index prefix before an unprefixed opcode runs that opcode as it is.
    const quint8 opcode = indexed ? m_context->bus->peek(quint16(registers.pc + 1)) : first;
    int tStates = z80ex_step(cpu);
    int opcodes = 1;
    while (const quint8 prefix = z80ex_last_op_type(cpu)) {
        const quint8 next = m_context->bus->peek(quint16(z80ex_get_reg(cpu, regPC)));
        if (InstructionFlow::isIndexPrefix(prefix) &&
            (InstructionFlow::isIndexPrefix(next) || next == Z80Opcodes::kExtendedPrefix)) {
            // z80ex would hold the idle prefix until the next opcode replaces it: forgetting it
            // now gives the same result and keeps every step's end a state of registers alone.
            registers = this->registers();
            setRegisters(registers);
            return tStates;
        }
        tStates += z80ex_step(cpu);
        ++opcodes;
    }
    if (first == Z80Opcodes::kExtendedPrefix) {
        // LD I,A, LD R,A, IM, RETN: read everything.
        registers = this->registers();
        return tStates;
    }
    const auto get = [cpu](Z80_REG_T reg) { return quint16(z80ex_get_reg(cpu, reg)); };
    registers.af = get(regAF);
    registers.bc = get(regBC);
    registers.de = get(regDE);
    registers.hl = get(regHL);
    registers.sp = get(regSP);
    registers.pc = get(regPC);
    // R counts each opcode fetched in its low seven bits.
    registers.r = quint8((registers.r & 0x80) | ((registers.r + opcodes) & 0x7F));
    if (indexed) {
        registers.ix = get(regIX);
        registers.iy = get(regIY);
    }
    if (opcode == 0x08) { // EX AF,AF'
        registers.af2 = get(regAF_);
    } else if (opcode == 0xD9) { // EXX
        registers.bc2 = get(regBC_);
        registers.de2 = get(regDE_);
        registers.hl2 = get(regHL_);
    } else if (opcode == 0xF3 || opcode == 0xFB) { // DI, EI
        registers.iff1 = get(regIFF1) != 0;
        registers.iff2 = get(regIFF2) != 0;
    }
    return tStates;
}

Z80Registers Z80Cpu::registers() const {
    Z80EX_CONTEXT* cpu = m_context->cpu;
    const auto get = [cpu](Z80_REG_T reg) { return quint16(z80ex_get_reg(cpu, reg)); };
    Z80Registers registers;
    registers.af = get(regAF);
    registers.bc = get(regBC);
    registers.de = get(regDE);
    registers.hl = get(regHL);
    registers.af2 = get(regAF_);
    registers.bc2 = get(regBC_);
    registers.de2 = get(regDE_);
    registers.hl2 = get(regHL_);
    registers.ix = get(regIX);
    registers.iy = get(regIY);
    registers.sp = get(regSP);
    registers.pc = get(regPC);
    registers.i = quint8(get(regI));
    registers.r = quint8((get(regR) & 0x7F) | (get(regR7) & 0x80));
    registers.im = quint8(get(regIM));
    registers.iff1 = get(regIFF1) != 0;
    registers.iff2 = get(regIFF2) != 0;
    return registers;
}

void Z80Cpu::setRegisters(const Z80Registers& registers) {
    Z80EX_CONTEXT* cpu = m_context->cpu;
    z80ex_reset(cpu);
    const auto set = [cpu](Z80_REG_T reg, int value) {
        z80ex_set_reg(cpu, reg, Z80EX_WORD(value));
    };
    set(regAF, registers.af);
    set(regBC, registers.bc);
    set(regDE, registers.de);
    set(regHL, registers.hl);
    set(regAF_, registers.af2);
    set(regBC_, registers.bc2);
    set(regDE_, registers.de2);
    set(regHL_, registers.hl2);
    set(regIX, registers.ix);
    set(regIY, registers.iy);
    set(regSP, registers.sp);
    set(regPC, registers.pc);
    set(regI, registers.i);
    set(regR, registers.r);
    set(regR7, registers.r & 0x80);
    set(regIM, qMin<int>(registers.im, 2));
    set(regIFF1, registers.iff1 ? 1 : 0);
    set(regIFF2, registers.iff2 ? 1 : 0);
}
