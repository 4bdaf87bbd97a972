/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Strings reached only through a table of pointers, a table of constants, initialised
   variables, functions called only through pointers, and a system call routine that takes the
   call's number in a register. */
#define CALL_NUMBER (*(volatile unsigned int*)0xC000)
#define CALL_ARGUMENT (*(volatile unsigned int*)0xC002)
#define CALL_RESULT (*(volatile unsigned int*)0xC00E)

static unsigned int system_call(unsigned int number, unsigned int argument) {
    CALL_NUMBER = number;
    CALL_ARGUMENT = argument;
    __asm__("rst 0x10");
    return CALL_RESULT;
}

static const char* const messages[] = {"Restarting...", "White won!", "Black won!"};
static const int table[] = {3, 1, 4, 1, 5, 9, 2, 6};
int counter = 42;
char name[] = "Player";

static int add(int a, int b) { return a + b; }
static int sub(int a, int b) { return a - b; }
static int (*const operations[])(int, int) = {add, sub};

int pick(int what) {
    if (what < 0) {
        return -1;
    }
    return what * 3 + 1;
}

void main(void) {
    int i;
    for (i = 0; i < 3; ++i) {
        system_call(0x0072, (unsigned int)messages[i]);
    }
    counter += table[counter & 7] + pick(counter) + operations[counter & 1](counter, 2);
    system_call(0x0084, (unsigned int)name);
}
