/* SPDX-License-Identifier: GPL-3.0-or-later */
/* A game loop that never returns, a recursive function, a string an initialised pointer
   holds, a table of small numbers, and a routine that takes the call's number on the stack. */
#define CALL_NUMBER (*(volatile unsigned int*)0xC000)
#define CALL_ARGUMENTS ((volatile unsigned int*)0xC002)
#define CALL_RESULT (*(volatile unsigned int*)0xC00E)

unsigned int call(unsigned int number, unsigned int argument) __sdcccall(0) {
    CALL_NUMBER = number;
    CALL_ARGUMENTS[0] = argument;
    __asm__("rst 0x10");
    return CALL_RESULT;
}

static const unsigned char levels[4][6] = {
    {0, 1, 1, 2, 3, 5}, {8, 13, 21, 34, 55, 89}, {1, 0, 1, 0, 1, 0}, {2, 2, 2, 2, 2, 2}};
const char* title = "REX Game";
static const char over[] = "Game over";

static unsigned int fibonacci(unsigned char n) {
    return n < 2 ? n : fibonacci(n - 1) + fibonacci(n - 2);
}

static void play(unsigned char level) {
    unsigned char i;
    for (i = 0; i < 6; ++i) {
        call(0x0084, fibonacci(levels[level & 3][i]));
    }
}

static void forever(void) {
    unsigned char level = 0;
    for (;;) {
        switch (call(0x0070, 0) & 7) {
        case 0: play(level); break;
        case 1: ++level; break;
        case 2: --level; break;
        case 3: call(0x0072, (unsigned int)over); break;
        case 4: call(0x0042, 0); break;
        case 5: level = 0; break;
        case 6: play(3); break;
        default: break;
        }
    }
}

void main(void) {
    call(0x0072, (unsigned int)title);
    forever();
}
