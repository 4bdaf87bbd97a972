// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinMachine.h"
#include "TestFiles.h"
#include "Z80Cpu.h"

#include <QtTest>

#include <memory>

namespace {

using Kind = MachineStop::Kind;

std::unique_ptr<AddinMachine> machineOf(const QByteArray& code) {
    return std::make_unique<AddinMachine>(code, 0);
}

// "exec 8001", "read F000", "write F000", "in 12", "out 3412".
MachineBreakpoint breakpointOf(const QString& text) {
    static const QHash<QString, MachineBreakpoint::Kind> kinds{
        {"exec", MachineBreakpoint::Kind::Execute},
        {"read", MachineBreakpoint::Kind::MemoryRead},
        {"write", MachineBreakpoint::Kind::MemoryWrite},
        {"in", MachineBreakpoint::Kind::PortIn},
        {"out", MachineBreakpoint::Kind::PortOut}};
    const QStringList words = text.split(' ');
    return {kinds.value(words.at(0)), quint16(words.at(1).toUInt(nullptr, 16))};
}

// Runs each of "step", "over", "out", "run", "run 100" (a budget), "to 8002", the last stop.
MachineStop perform(AddinMachine& machine, const QString& commands) {
    MachineStop stop;
    const QStringList words = commands.split(' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& command = words.at(i);
        bool number = false;
        const quint64 argument =
            i + 1 < words.size() ? words.at(i + 1).toULongLong(&number, 16) : 0;
        if (command == "step") {
            stop = machine.step();
        } else if (command == "over") {
            stop = machine.stepOver();
        } else if (command == "out") {
            stop = machine.stepOut();
        } else if (command == "to") {
            stop = machine.runTo(quint16(argument));
        } else if (command == "run") {
            stop = number ? machine.run(argument) : machine.run();
        }
        i += number ? 1 : 0;
    }
    return stop;
}

// 64 KiB of memory and no more.
struct PlainBus : Z80Cpu::Bus {
    std::vector<quint8> memory = std::vector<quint8>(AddinMachine::kMemorySize);
    quint8 read(quint16 address, bool /*fetch*/) override { return memory[address]; }
    void write(quint16 address, quint8 value) override { memory[address] = value; }
    quint8 in(quint16 /*port*/) override { return 0x5A; }
    void out(quint16 /*port*/, quint8 /*value*/) override {}
    quint8 peek(quint16 address) const override { return memory[address]; }
};

} // namespace

class AddinMachineTest : public QObject {
    Q_OBJECT

private slots:
    void wiring_data();
    void wiring();
    void registersAfterEveryOpcode_data();
    void registersAfterEveryOpcode();
    void stops_data();
    void stops();
    void answer_data();
    void answer();
    void stepBackToTheStart_data();
    void stepBackToTheStart();
    void journalKeepsItsNewestSteps();
    void breakpointsOnAnExample();
    void realAddinReachesItsFirstCall();
};

// A short program worked out by hand: the registers, the stack and the T-states after each
// instruction, R counting both M1 cycles of a prefixed one.
void AddinMachineTest::wiring_data() {
    QTest::addColumn<int>("steps");
    QTest::addColumn<QList<int>>("expected"); // PC AF BC DE HL IX SP AF' R T-states
    QTest::newRow("ld a,$12") << 1 << QList{0x8002, 0x1200, 0, 0, 0, 0, 0xFFFE, 0, 1, 7};
    QTest::newRow("ld b,a") << 2 << QList{0x8003, 0x1200, 0x1200, 0, 0, 0, 0xFFFE, 0, 2, 11};
    QTest::newRow("add a,b") << 3 << QList{0x8004, 0x2420, 0x1200, 0, 0, 0, 0xFFFE, 0, 3, 15};
    QTest::newRow("ld hl,$F000") << 4
                                 << QList{0x8007, 0x2420, 0x1200, 0, 0xF000, 0, 0xFFFE, 0, 4, 25};
    QTest::newRow("ld (hl),a") << 5
                               << QList{0x8008, 0x2420, 0x1200, 0, 0xF000, 0, 0xFFFE, 0, 5, 32};
    QTest::newRow("inc hl") << 6 << QList{0x8009, 0x2420, 0x1200, 0, 0xF001, 0, 0xFFFE, 0, 6, 38};
    QTest::newRow("push hl") << 7 << QList{0x800A, 0x2420, 0x1200, 0, 0xF001, 0, 0xFFFC, 0, 7, 49};
    QTest::newRow("pop de") << 8
                            << QList{0x800B, 0x2420, 0x1200, 0xF001, 0xF001, 0, 0xFFFE, 0, 8, 59};
    QTest::newRow("ld ix,$1234") << 9 << QList{0x800F, 0x2420, 0x1200, 0xF001, 0xF001,
                                               0x1234, 0xFFFE, 0,      10,     73};
    QTest::newRow("ex af,af'") << 10 << QList{0x8010, 0,      0x1200, 0xF001, 0xF001,
                                              0x1234, 0xFFFE, 0x2420, 11,     77};
}

void AddinMachineTest::wiring() {
    QFETCH(int, steps);
    QFETCH(QList<int>, expected);
    const auto machine =
        machineOf(QByteArray::fromHex("3E12 47 80 2100F0 77 23 E5 D1 DD213412 08"));
    for (int i = 0; i < steps; ++i) {
        QCOMPARE(machine->step().kind, Kind::Stepped);
    }
    const Z80Registers& r = machine->registers();
    const QList<int> got{r.pc, r.af, r.bc,  r.de, r.hl,
                         r.ix, r.sp, r.af2, r.r,  int(machine->counters().tStates)};
    QCOMPARE(got, expected);
    QCOMPARE(machine->counters().instructions, quint64(steps));
    // The bytes the program stored: A at $F000, HL pushed below the entry's return address.
    QCOMPARE(machine->memory().sliced(0xF000, 1).toByteArray(),
             QByteArray(steps >= 5 ? "\x24" : "\0", 1));
    QCOMPARE(machine->memory().sliced(0xFFFC, 4).toByteArray(),
             QByteArray(steps >= 7 ? "\x01\xF0\0\0" : "\0\0\0\0", 4));
}

// A step reads back from z80ex only the registers its instruction can change: after every
// opcode behind every prefix, they are all that z80ex holds.
void AddinMachineTest::registersAfterEveryOpcode_data() {
    QTest::addColumn<QByteArray>("prefix");
    for (const char* prefix : {"", "CB", "ED", "DD", "FD", "DDCB05", "FDCBFB"}) {
        QTest::newRow(*prefix != 0 ? prefix : "none") << QByteArray::fromHex(prefix);
    }
}

void AddinMachineTest::registersAfterEveryOpcode() {
    QFETCH(QByteArray, prefix);
    for (int opcode = 0; opcode < 256; ++opcode) {
        PlainBus bus;
        Z80Cpu cpu(bus);
        const QByteArray code = prefix + char(opcode) + QByteArray::fromHex("F00D");
        std::copy(code.cbegin(), code.cend(), bus.memory.begin() + 0x8000);
        Z80Registers registers{0x1234, 0x2345, 0x3456, 0x4567, 0x5678, 0x6789,
                               0x789A, 0x89AB, 0x9ABC, 0xABCD, 0xF000, 0x8000,
                               0x12,   0xFE,   1,      true,   false};
        cpu.setRegisters(registers);
        cpu.step(registers);
        QVERIFY2(registers == cpu.registers(), code.toHex(' ').constData());
    }
}

void AddinMachineTest::stops_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("breakpoint");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("pc");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("instructions");

    const QByteArray messageCall = QByteArray::fromHex("212A00 2200C0 210D80 2204C0 D7");
    QTest::newRow("a system call, its text argument quoted")
        << messageCall + QByteArray("Hi!\0", 4) << ""
        << "run" << Kind::SystemCall << 0x800C
        << "System call $002A DS_EVENT_MESSAGE_GET, arguments $0000, $800D \"Hi!\", $0000, "
           "$0000, $0000, $0000: give the result and continue"
        << 4;
    QTest::newRow("one letter is no text")
        << messageCall + QByteArray("H\0", 2) << ""
        << "run" << Kind::SystemCall << 0x800C
        << "System call $002A DS_EVENT_MESSAGE_GET, arguments $0000, $800D, $0000, $0000, "
           "$0000, $0000: give the result and continue"
        << 4;
    QTest::newRow("an extended call, named by its own number")
        << QByteArray::fromHex("21CE00 2200C0 210100 2202C0 D7") << ""
        << "run" << Kind::SystemCall << 0x800C
        << "System call $00CE $0001 DS_TEXT_OUT_24, arguments $0001, $0000, $0000, $0000, "
           "$0000, $0000: give the result and continue"
        << 4;
    QTest::newRow("a call waits for its answer")
        << messageCall << ""
        << "run step run" << Kind::SystemCall << 0x800C << "" << 4;
    QTest::newRow("$42 ends the add-in")
        << QByteArray::fromHex("214200 2200C0 D7") << ""
        << "run" << Kind::Terminated << 0x8006
        << "The add-in left through system call $0042 DS_ADDIN_TERMINATE at $8006." << 2;
    QTest::newRow("a jump outside")
        << QByteArray::fromHex("C30040") << ""
        << "run" << Kind::LeftCode << 0x4000
        << "The instruction at $8000 jumped to $4000, outside the add-in's code ($8000-$9FFF)."
        << 1;
    QTest::newRow("and on from there")
        << QByteArray::fromHex("C30040") << ""
        << "run run" << Kind::LeftCode << 0x4000
        << "The program counter $4000 is outside the add-in's code ($8000-$9FFF): there is "
           "nothing to run."
        << 1;
    QTest::newRow("a call into the bank") << QByteArray::fromHex("CD00A0") << ""
                                          << "step" << Kind::LeftCode << 0xA000
                                          << "The instruction at $8000 called $A000, outside "
                                             "the add-in's code ($8000-$9FFF)."
                                          << 1;
    QTest::newRow("an RST into the system")
        << QByteArray::fromHex("FF") << ""
        << "run" << Kind::LeftCode << 0x0038
        << "The instruction at $8000 called $0038, outside the add-in's code ($8000-$9FFF)." << 1;
    QTest::newRow("a return deeper in the stack")
        << QByteArray::fromHex("3100F0 C9") << ""
        << "run" << Kind::LeftCode << 0
        << "The instruction at $8003 returned to $0000, outside the add-in's code "
           "($8000-$9FFF)."
        << 2;
    QTest::newRow("the return from the entry")
        << QByteArray::fromHex("00C9") << ""
        << "run" << Kind::ReturnedFromEntry << 0
        << "The add-in returned from its entry point at $8001, to $0000 outside its code; "
           "add-ins leave through system call $0042."
        << 2;
    QTest::newRow("a return not taken goes on") << QByteArray::fromHex("AF C0 76") << ""
                                                << "run" << Kind::Halted << 0x8002 << "" << 2;
    QTest::newRow("code running past its end")
        << QByteArray(0x2000, '\0') << ""
        << "run 3000" << Kind::LeftCode << 0xA000
        << "The instruction at $9FFF ran on into $A000, outside the add-in's code "
           "($8000-$9FFF)."
        << 0x2000;
    QTest::newRow("a halt, before it runs")
        << QByteArray::fromHex("76") << ""
        << "run" << Kind::Halted << 0x8000
        << "The add-in halts at $8000: no interrupts are modelled, so nothing would wake the "
           "processor."
        << 0;
    QTest::newRow("a prefixed halt") << QByteArray::fromHex("DD76") << ""
                                     << "step" << Kind::Halted << 0x8000 << "" << 0;
    QTest::newRow("a write into the code")
        << QByteArray::fromHex("3200 80 00") << ""
        << "run" << Kind::CodeWrite << 0x8003
        << "The instruction at $8000 wrote $00 to $8000, into the add-in's code: it runs from "
           "flash on the handheld, so the byte stays as it was."
        << 1;
    QTest::newRow("an execute breakpoint")
        << QByteArray::fromHex("000076") << "exec 8001"
        << "run" << Kind::Breakpoint << 0x8001 << "Breakpoint at $8001." << 1;
    QTest::newRow("passed where a command starts") << QByteArray::fromHex("0076") << "exec 8000"
                                                   << "run" << Kind::Halted << 0x8001 << "" << 1;
    QTest::newRow("a memory-read breakpoint")
        << QByteArray::fromHex("3A00F0 76") << "read F000"
        << "run" << Kind::Breakpoint << 0x8003
        << "The instruction at $8000 read $00 from $F000: a memory-read breakpoint." << 1;
    QTest::newRow("an operand fetched is no read") << QByteArray::fromHex("3E12 76") << "read 8001"
                                                   << "run" << Kind::Halted << 0x8002 << "" << 1;
    QTest::newRow("a memory-write breakpoint")
        << QByteArray::fromHex("3E5A 3200F0 76") << "write F000"
        << "run" << Kind::Breakpoint << 0x8005
        << "The instruction at $8002 wrote $5A to $F000: a memory-write breakpoint." << 2;
    QTest::newRow("an 8-bit port breakpoint, whatever the high byte")
        << QByteArray::fromHex("3E34 DB12 76") << "in 12"
        << "run" << Kind::Breakpoint << 0x8004
        << "The instruction at $8002 read $00 from port $0012: a port-in breakpoint." << 2;
    QTest::newRow("a 16-bit port breakpoint")
        << QByteArray::fromHex("011234 ED79 76") << "out 3412"
        << "run" << Kind::Breakpoint << 0x8005
        << "The instruction at $8003 wrote $00 to port $3412: a port-out breakpoint." << 2;
    QTest::newRow("a 16-bit port breakpoint, another high byte")
        << QByteArray::fromHex("011235 ED79 76") << "out 3412"
        << "run" << Kind::Halted << 0x8005 << "" << 2;
    QTest::newRow("a run's budget")
        << QByteArray::fromHex("18FE") << ""
        << "run 64" << Kind::Budget << 0x8000
        << "The run used its budget of 100 instructions; it stands at $8000." << 100;
    QTest::newRow("a step") << QByteArray::fromHex("00") << ""
                            << "step" << Kind::Stepped << 0x8001 << "Stepped to $8001." << 1;
    QTest::newRow("an idle prefix is a step of its own")
        << QByteArray::fromHex("DDDD213412") << ""
        << "step" << Kind::Stepped << 0x8001 << "" << 1;
    QTest::newRow("the prefix it leaves goes with the next")
        << QByteArray::fromHex("DDDD213412") << ""
        << "step step" << Kind::Stepped << 0x8005 << "" << 2;
    QTest::newRow("step over a call")
        << QByteArray::fromHex("CD0480 76 C9") << ""
        << "over" << Kind::Stepped << 0x8003 << "Stepped over to $8003." << 2;
    QTest::newRow("step over a repeating copy")
        << QByteArray::fromHex("010300 2100F0 1100F1 EDB0 76") << ""
        << "step step step over" << Kind::Stepped << 0x800B << "Stepped over to $800B." << 6;
    QTest::newRow("step over another instruction")
        << QByteArray::fromHex("00 76") << ""
        << "over" << Kind::Stepped << 0x8001 << "Stepped to $8001." << 1;
    QTest::newRow("step over a call that never comes back")
        << QByteArray::fromHex("CD0480 76 18FE") << ""
        << "over" << Kind::Budget << 0x8004
        << "Step over gave up after 1,000,000 instructions: the call at $8000 has not come "
           "back to $8003; the run stands at $8004."
        << 1'000'000;
    QTest::newRow("step out past a nested call")
        << QByteArray::fromHex("CD0480 76 CD0880 C9 C9") << ""
        << "step out" << Kind::Stepped << 0x8003 << "Stepped out to $8003." << 4;
    QTest::newRow("step out of a routine that never returns")
        << QByteArray::fromHex("CD0480 76 18FE") << ""
        << "step out" << Kind::Budget << 0x8004
        << "Step out gave up after 1,000,000 instructions: the routine has not returned; the "
           "run stands at $8004."
        << 1'000'001;
    QTest::newRow("run to an address")
        << QByteArray::fromHex("000000 76") << ""
        << "to 8002" << Kind::Stepped << 0x8002 << "Reached $8002." << 2;
    QTest::newRow("run to where it stands goes round once")
        << QByteArray::fromHex("00 18FD") << ""
        << "to 8000" << Kind::Stepped << 0x8000 << "Reached $8000." << 2;
}

void AddinMachineTest::stops() {
    QFETCH(QByteArray, code);
    QFETCH(QString, breakpoint);
    QFETCH(QString, commands);
    QFETCH(Kind, kind);
    QFETCH(int, pc);
    QFETCH(QString, text);
    QFETCH(int, instructions);
    const auto machine = machineOf(code);
    if (!breakpoint.isEmpty()) {
        machine->addBreakpoint(breakpointOf(breakpoint));
        machine->addBreakpoint(breakpointOf(breakpoint));
        QCOMPARE(machine->breakpoints().size(), 1);
    }
    const MachineStop stop = perform(*machine, commands);
    QCOMPARE(stop.kind, kind);
    QCOMPARE(stop.pc, pc);
    QCOMPARE(machine->registers().pc, pc);
    if (!text.isEmpty()) {
        QCOMPARE(stop.text, text);
    }
    QCOMPARE(machine->counters().instructions, quint64(instructions));
    // The code keeps its bytes whatever ran.
    QCOMPARE(machine->memory().sliced(0x8000, code.size()).toByteArray(), code);
    QCOMPARE(machine->counters().codeWrites, quint64(kind == Kind::CodeWrite ? 1 : 0));
    if (!breakpoint.isEmpty()) {
        machine->removeBreakpoint(breakpointOf(breakpoint));
        QVERIFY(machine->breakpoints().isEmpty());
        QVERIFY(!machine->hasBreakpoint(breakpointOf(breakpoint)));
    }
}

// An answer puts the result at $C00E and the fills into memory, and the run goes on after the
// `rst $10` as if the call had returned; there is nothing to answer elsewhere.
void AddinMachineTest::answer_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("fillLength");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("pc");
    QTest::addColumn<int>("tStates");
    const QByteArray call = QByteArray::fromHex("212A00 2200C0");
    QTest::newRow("a call") << call + "\xD7\x76" << 3 << true << 0x8007 << 26 + 11;
    QTest::newRow("a prefixed rst $10") << call + "\xDD\xD7\x76" << 0 << true << 0x8008 << 26 + 15;
    QTest::newRow("64 KiB of fills") << call + "\xD7\x76" << 0x10000 << true << 0x8007 << 26 + 11;
    QTest::newRow("more than 64 KiB") << call + "\xD7\x76" << 0x10001 << false << 0x8006 << 26;
    QTest::newRow("no call") << QByteArray("\x76") << 0 << false << 0x8000 << 0;
    QTest::newRow("$42, which ends the add-in")
        << QByteArray::fromHex("214200 2200C0 D7") << 0 << false << 0x8006 << 26;
}

void AddinMachineTest::answer() {
    QFETCH(QByteArray, code);
    QFETCH(int, fillLength);
    QFETCH(bool, answered);
    QFETCH(int, pc);
    QFETCH(int, tStates);
    const auto machine = machineOf(code);
    machine->run();
    const quint64 before = machine->counters().instructions;
    const QByteArray fill(fillLength, '\xAB');
    // Two fills, the first at $F000 and the rest wrapping round from $FFFF.
    QCOMPARE(machine->answer(0x1234, {{0xF000, fill.first(qMin(fillLength, 3))},
                                      {0xFFFF, fill.sliced(qMin(fillLength, 3))}}),
             answered);
    QCOMPARE(machine->registers().pc, pc);
    QCOMPARE(machine->counters().tStates, quint64(tStates));
    QCOMPARE(machine->counters().instructions, before + (answered ? 1 : 0));
    QCOMPARE(machine->memory().sliced(0xC00E, 2).toByteArray(),
             answered ? QByteArray("\x34\x12") : QByteArray(2, '\0'));
    QCOMPARE(machine->byteAt(0xF002), quint8(answered && fillLength >= 3 ? 0xAB : 0));
    QCOMPARE(machine->byteAt(0xF003), quint8(answered && fillLength == 0x10000 ? 0xAB : 0));
    if (answered) {
        QCOMPARE(machine->run().kind, Kind::Halted);
    }
}

// Stepping back from wherever a run ended, through its answers and the window's edits, gives
// the machine as it started: every register, every byte, the counters and the port log.
void AddinMachineTest::stepBackToTheStart_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("budget");
    TestFiles files;
    const QString hello = files.assembleExample("hello");
    QVERIFY(!hello.isEmpty());
    QTest::newRow("examples/hello.asm") << TestFiles::read(hello) << 1000;
    // Out and in, a block copy over the stack, a call answered with a fill.
    QTest::newRow("ports, copies, answers")
        << QByteArray::fromHex("3E07 D312 DB34 0100 10 2100 80 1100 F0 EDB0 212A00 2200C0 D7 "
                               "C5 E1 76")
        << 1000;
    const QByteArray tafl =
        TestFiles::read(qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + "/tafl.rex");
    if (!tafl.isEmpty()) {
        QTest::newRow("tafl.rex, 50,000 instructions") << tafl.sliced(195) << 50'000;
    }
}

void AddinMachineTest::stepBackToTheStart() {
    QFETCH(QByteArray, code);
    QFETCH(int, budget);
    const auto machine = machineOf(code);
    const auto start = machineOf(code);
    MachineStop stop = machine->run(1);
    Z80Registers edited = machine->registers();
    edited.hl = 0xBEEF;
    machine->setRegisters(edited);
    machine->writeMemory(0xFFFF, "edit");
    int entries = 3;
    while (stop.kind != Kind::Terminated && stop.kind != Kind::Halted &&
           machine->counters().instructions < quint64(budget)) {
        stop = machine->run(quint64(budget) - machine->counters().instructions);
        if (stop.kind == Kind::SystemCall) {
            QVERIFY(machine->answer(7, {{0xF000, "answer"}}));
        }
    }
    entries += int(machine->counters().instructions) - 1;
    QCOMPARE(machine->journalSize(), entries);
    for (int i = 0; i < entries; ++i) {
        QCOMPARE(machine->stepBack().kind, Kind::SteppedBack);
    }
    stop = machine->stepBack();
    QCOMPARE(stop.kind, Kind::JournalStart);
    QCOMPARE(stop.text, "Back at the start of the run, $8000: there is no earlier step.");
    QCOMPARE(machine->registers(), start->registers());
    QVERIFY(machine->memory() == start->memory());
    QCOMPARE(machine->counters(), start->counters());
    QCOMPARE(machine->portAccessCount(), 0U);
    QVERIFY(machine->portLog().empty());
}

void AddinMachineTest::journalKeepsItsNewestSteps() {
    const auto machine = machineOf(QByteArray::fromHex("18FE"));
    const quint64 steps = MachineJournal::kSteps + 5;
    QCOMPARE(machine->run(steps).kind, Kind::Budget);
    for (int i = 0; i < MachineJournal::kSteps; ++i) {
        QCOMPARE(machine->stepBack().kind, Kind::SteppedBack);
    }
    const MachineStop stop = machine->stepBack();
    QCOMPARE(stop.kind, Kind::JournalStart);
    QCOMPARE(stop.text, "No earlier step at $8000: the journal keeps the last 100,000 steps.");
    QCOMPARE(machine->counters().instructions, 5U);
    QCOMPARE(machine->counters().tStates, 5U * 12);
}

// examples/mishaps.asm keeps the answer it got in its data at $F000 and reads it back.
void AddinMachineTest::breakpointsOnAnExample() {
    TestFiles files;
    const QString path = files.assembleExample("mishaps");
    QVERIFY(!path.isEmpty());
    AddinMachine machine(TestFiles::read(path), 0);
    machine.addBreakpoint({MachineBreakpoint::Kind::MemoryWrite, 0xF000});
    machine.addBreakpoint({MachineBreakpoint::Kind::MemoryRead, 0xF000});
    QCOMPARE(machine.run().kind, Kind::SystemCall);
    QVERIFY(machine.answer(2));
    MachineStop stop = machine.run();
    QCOMPARE(stop.text, "The instruction at $800A wrote $02 to $F000: a memory-write breakpoint.");
    stop = machine.run();
    QCOMPARE(stop.text, "The instruction at $800D read $02 from $F000: a memory-read breakpoint.");
    QCOMPARE(machine.run().kind, Kind::LeftCode);
    QCOMPARE(machine.registers().pc, 0x0038);
}

void AddinMachineTest::realAddinReachesItsFirstCall() {
    const QByteArray tafl =
        TestFiles::read(qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + "/tafl.rex");
    if (tafl.isEmpty()) {
        QSKIP("the real add-in tafl.rex is not available here");
    }
    AddinMachine machine(tafl, 195);
    QCOMPARE(machine.registers().pc, 0x8000);
    const MachineStop stop = machine.run();
    QCOMPARE(stop.kind, Kind::SystemCall);
    QVERIFY2(stop.text.startsWith("System call $0030 DS_EVENT_CLEAR, arguments "),
             qPrintable(stop.text));
    // Its start-up ran: hundreds of instructions, on the stack it set at $FFFF.
    QVERIFY(machine.counters().instructions > 500);
    QVERIFY(machine.counters().lowestSp > 0xF000 && machine.counters().lowestSp < 0xFFFE);
    QCOMPARE(stop.pc, machine.registers().pc);
    QVERIFY(machine.inCode(stop.pc));
}

QTEST_GUILESS_MAIN(AddinMachineTest)
#include "tst_addinmachine.moc"
