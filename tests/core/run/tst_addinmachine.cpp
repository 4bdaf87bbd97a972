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
    static const QStringList kinds{"exec", "read", "write", "in", "out"};
    const QStringList words = text.split(' ');
    return {MachineBreakpoint::Kind(kinds.indexOf(words.at(0))),
            quint16(words.at(1).toUInt(nullptr, 16))};
}

// Runs each of "step", "over", "out", "run", "run:64" (a budget, hex), "to:8002"; the last stop.
MachineStop perform(AddinMachine& machine, const QString& commands) {
    MachineStop stop;
    for (const QString& command : commands.split(' ')) {
        const quint64 number = command.section(':', 1).toULongLong(nullptr, 16);
        stop = command == "step"          ? machine.step()
               : command == "over"        ? machine.stepOver()
               : command == "out"         ? machine.stepOut()
               : command.startsWith("to") ? machine.runTo(quint16(number))
               : number > 0               ? machine.run(number)
                                          : machine.run();
    }
    return stop;
}

// A row of stops(): `text` is how the stop's sentence starts, all of it where the sentence is
// of a kind no row before has pinned.
void addStop(const char* name, const char* code, const QString& commands, Kind kind, int pc,
             int instructions, const QString& text = {}, const QString& breakpoint = {}) {
    QTest::newRow(name) << QByteArray::fromHex(code) << breakpoint << commands << kind << pc << text
                        << instructions;
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
    void stackAndLoadedCode();
    void breakpointsOnAnExample();
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
    // The window edits a flag alone.
    Z80Registers flags = r;
    flags.setFlag(Z80Registers::Sign, true);
    QCOMPARE(flags.af, r.af | 0x80);
    flags.setFlag(Z80Registers::Sign, false);
    QCOMPARE(flags.af, r.af);
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

    // ld ($C000),$002A; ld ($C004),$800D; rst $10; "Hi!"
    addStop("a system call, its text argument quoted", "212A00 2200C0 210D80 2204C0 D7 48692100",
            "run", Kind::SystemCall, 0x800C, 4,
            "System call $002A DS_EVENT_MESSAGE_GET, arguments $0000, $800D \"Hi!\", $0000, "
            "$0000, $0000, $0000: give the result and continue");
    addStop("one letter is no text", "212A00 2200C0 210D80 2204C0 D7 4800", "run", Kind::SystemCall,
            0x800C, 4, "System call $002A DS_EVENT_MESSAGE_GET, arguments $0000, $800D, $0000,");
    addStop("an extended call, named by its own number", "21CE00 2200C0 210100 2202C0 D7", "run",
            Kind::SystemCall, 0x800C, 4, "System call $00CE $0001 DS_TEXT_OUT_24, arguments");
    addStop("a call waits for its answer", "212A00 2200C0 D7", "run step run", Kind::SystemCall,
            0x8006, 2);
    addStop("$42 ends the add-in", "214200 2200C0 D7", "run", Kind::Terminated, 0x8006, 2,
            "The add-in left through system call $0042 DS_ADDIN_TERMINATE at $8006.");
    addStop("a jump outside", "C30040", "run", Kind::LeftCode, 0x4000, 1,
            "The instruction at $8000 jumped to $4000, outside the add-in's code ($8000-$9FFF).");
    addStop("and on from there", "C30040", "run run", Kind::LeftCode, 0x4000, 1,
            "The program counter $4000 is outside the add-in's code ($8000-$9FFF): there is "
            "nothing to run.");
    addStop("a call into the bank", "CD00A0", "step", Kind::LeftCode, 0xA000, 1,
            "The instruction at $8000 called $A000, outside");
    addStop("an RST into the system", "FF", "run", Kind::LeftCode, 0x0038, 1,
            "The instruction at $8000 called $0038, outside");
    addStop("a return deeper in the stack", "3100F0 C9", "run", Kind::LeftCode, 0, 2,
            "The instruction at $8003 returned to $0000, outside");
    addStop("the return from the entry", "00C9", "run", Kind::ReturnedFromEntry, 0, 2,
            "The add-in returned from its entry point at $8001, to $0000 outside its code; "
            "add-ins leave through system call $0042.");
    addStop("a return not taken goes on", "AF C0 76", "run", Kind::Halted, 0x8002, 2);
    QTest::newRow("code running past its end")
        << QByteArray(0x2000, '\0') << QString() << "run:3000" << Kind::LeftCode << 0xA000
        << "The instruction at $9FFF ran on into $A000, outside" << 0x2000;
    addStop("a halt, before it runs", "76", "run", Kind::Halted, 0x8000, 0,
            "The add-in halts at $8000: no interrupts are modelled, so nothing would wake the "
            "processor.");
    addStop("a prefixed halt", "DD76", "step", Kind::Halted, 0x8000, 0);
    addStop("a write into the code", "320080 00", "run", Kind::CodeWrite, 0x8003, 1,
            "The instruction at $8000 wrote $00 to $8000, into the add-in's code: it runs from "
            "flash on the handheld, so the byte stays as it was.");
    addStop("an execute breakpoint", "000076", "run", Kind::Breakpoint, 0x8001, 1,
            "Breakpoint at $8001.", "exec 8001");
    addStop("passed where a command starts", "0076", "run", Kind::Halted, 0x8001, 1, {},
            "exec 8000");
    addStop("a memory-read breakpoint", "3A00F0 76", "run", Kind::Breakpoint, 0x8003, 1,
            "The instruction at $8000 read $00 from $F000: a memory-read breakpoint.", "read F000");
    addStop("an operand fetched is no read", "3E12 76", "run", Kind::Halted, 0x8002, 1, {},
            "read 8001");
    addStop("a memory-write breakpoint", "3E5A 3200F0 76", "run", Kind::Breakpoint, 0x8005, 2,
            "The instruction at $8002 wrote $5A to $F000: a memory-write breakpoint.",
            "write F000");
    addStop("an 8-bit port breakpoint, whatever the high byte", "3E34 DB12 76", "run",
            Kind::Breakpoint, 0x8004, 2,
            "The instruction at $8002 read $00 from port $0012: a port-in breakpoint.", "in 12");
    addStop("a 16-bit port breakpoint", "011234 ED79 76", "run", Kind::Breakpoint, 0x8005, 2,
            "The instruction at $8003 wrote $00 to port $3412: a port-out breakpoint.", "out 3412");
    addStop("a 16-bit port breakpoint, another high byte", "011235 ED79 76", "run", Kind::Halted,
            0x8005, 2, {}, "out 3412");
    addStop("a run's budget", "18FE", "run:64", Kind::Budget, 0x8000, 100,
            "The run used its budget of 100 instructions; it stands at $8000.");
    addStop("an idle prefix is a step of its own", "DDDD213412", "step", Kind::Stepped, 0x8001, 1);
    addStop("the prefix it leaves goes with the next", "DDDD213412", "step step", Kind::Stepped,
            0x8005, 2);
    addStop("step over a call", "CD0480 76 C9", "over", Kind::Stepped, 0x8003, 2,
            "Stepped over to $8003.");
    addStop("step over a repeating copy", "010300 2100F0 1100F1 EDB0 76", "step step step over",
            Kind::Stepped, 0x800B, 6);
    addStop("step over another instruction", "00 76", "over", Kind::Stepped, 0x8001, 1,
            "Stepped to $8001.");
    addStop("step over a call that never comes back", "CD0480 76 18FE", "over", Kind::Budget,
            0x8004, 1'000'000,
            "Step over gave up after 1,000,000 instructions: the call at $8000 has not come "
            "back to $8003; the run stands at $8004.");
    addStop("step out past a nested call", "CD0480 76 CD0880 C9 C9", "step out", Kind::Stepped,
            0x8003, 4, "Stepped out to $8003.");
    addStop("step out of a routine that never returns", "CD0480 76 18FE", "step out", Kind::Budget,
            0x8004, 1'000'001,
            "Step out gave up after 1,000,000 instructions: the routine has not returned; the "
            "run stands at $8004.");
    addStop("run to an address", "000000 76", "to:8002", Kind::Stepped, 0x8002, 2,
            "Reached $8002.");
    addStop("run to where it stands goes round once", "00 18FD", "to:8000", Kind::Stepped, 0x8000,
            2);
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
    QVERIFY2(stop.text.startsWith(text), qPrintable(stop.text));
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
// the machine as it started: every register, every byte, the counters, the port log and the
// answers given.
void AddinMachineTest::stepBackToTheStart_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QList<int>>("firstPort"); // instruction, port, value, out
    TestFiles files;
    const QString hello = files.assembleExample("hello");
    QVERIFY(!hello.isEmpty());
    QTest::newRow("examples/hello.asm") << TestFiles::read(hello) << QList<int>();
    // Out and in, a block copy over the stack, a call answered with a fill.
    QTest::newRow("ports, copies, answers")
        << QByteArray::fromHex("3E07 D312 DB34 0100 10 2100 80 1100 F0 EDB0 212A00 2200C0 D7 "
                               "C5 E1 76")
        << QList{0x8002, 0x0712, 7, 1};
    const QByteArray tafl =
        TestFiles::read(qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + "/tafl.rex");
    if (!tafl.isEmpty()) {
        QTest::newRow("tafl.rex, 50,000 instructions") << tafl.sliced(195) << QList<int>();
    }
}

void AddinMachineTest::stepBackToTheStart() {
    QFETCH(QByteArray, code);
    QFETCH(QList<int>, firstPort);
    const quint64 budget = 50'000;
    const auto machine = machineOf(code);
    const auto start = machineOf(code);
    MachineStop stop = machine->run(1);
    Z80Registers edited = machine->registers();
    edited.hl = 0xBEEF;
    machine->setRegisters(edited);
    machine->writeMemory(0xFFFF, "edit");
    int entries = 3;
    qsizetype answers = 0;
    while (stop.kind != Kind::Terminated && stop.kind != Kind::Halted &&
           machine->counters().instructions < budget) {
        stop = machine->run(budget - machine->counters().instructions);
        if (stop.kind == Kind::SystemCall) {
            QVERIFY(machine->answer(7, {{0xF000, "answer"}}));
            ++answers;
        }
    }
    QCOMPARE(machine->answersGiven().size(), answers);
    QCOMPARE(machine->portLog().size(), machine->portAccessCount());
    if (!firstPort.isEmpty()) {
        const AddinMachine::PortAccess& port = machine->portLog().front();
        QCOMPARE((QList<int>{port.instruction, port.port, port.value, port.out}), firstPort);
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
    QVERIFY(machine->answersGiven().isEmpty());
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
    QCOMPARE(stop.text, "No earlier step at $8000: the journal keeps the last 131,072 steps.");
    QCOMPARE(machine->counters().instructions, 5U);
    QCOMPARE(machine->counters().tStates, 5U * 12);
}

// The stack names the calls its return addresses return after; a run keeps the code it loaded.
void AddinMachineTest::stackAndLoadedCode() {
    // ld hl,$800B; push hl; call $8008; halt; halt; nop; rst $38
    const QByteArray image = "HEAD" + QByteArray::fromHex("210B80 E5 CD0880 76 76 00 FF");
    AddinMachine machine(image, 4);
    QCOMPARE(machine.run().kind, Kind::Halted);
    QList<int> stack; // address, value, caller or -1 for each word
    for (const MachineStack::Entry& entry : machine.stack(5)) {
        stack << entry.address << entry.value << (entry.caller ? int(*entry.caller) : -1);
    }
    QCOMPARE(stack, (QList{0xFFFA, 0x8007, 0x8004, 0xFFFC, 0x800B, 0x800A, 0xFFFE, 0, -1}));
    QVERIFY(machine.loadedCodeOf("Name" + image.sliced(4), 4));
    QVERIFY(!machine.loadedCodeOf(image.first(image.size() - 1), 4));
    QVERIFY(!machine.loadedCodeOf(image, 3));
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
    QVERIFY(machine.run().text.startsWith("The instruction at $8016 jumped to $0038, outside"));
}

QTEST_GUILESS_MAIN(AddinMachineTest)
#include "tst_addinmachine.moc"
