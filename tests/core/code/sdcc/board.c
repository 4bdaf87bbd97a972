/* SPDX-License-Identifier: GPL-3.0-or-later */
/* A board game's state: a 2D table, moves through function pointers, a dense switch. */
#define CALL_NUMBER (*(volatile unsigned int*)0xC000)
#define CALL_ARGUMENTS ((volatile unsigned int*)0xC002)

static const signed char directions[4][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};
static const unsigned char start[7][7] = {
    {0, 0, 1, 1, 1, 0, 0}, {0, 0, 0, 1, 0, 0, 0}, {1, 0, 2, 2, 2, 0, 1}, {1, 1, 2, 3, 2, 1, 1},
    {1, 0, 2, 2, 2, 0, 1}, {0, 0, 0, 1, 0, 0, 0}, {0, 0, 1, 1, 1, 0, 0},
};
unsigned char board[7][7];
long totals = 123456L;

typedef unsigned char (*Rule)(unsigned char, unsigned char);
static unsigned char capture(unsigned char x, unsigned char y) { return board[y][x] == 1; }
static unsigned char escape(unsigned char x, unsigned char y) { return x == 0 || y == 0 || x == 6 || y == 6; }
static unsigned char blocked(unsigned char x, unsigned char y) { return board[y][x] != 0; }
static Rule rules[3] = {capture, escape, blocked};

static void syscall(unsigned int number, unsigned int argument) {
    CALL_NUMBER = number;
    CALL_ARGUMENTS[0] = argument;
    __asm__("rst 0x10");
}

unsigned char score(unsigned char piece) {
    switch (piece) {
    case 0: return 3;
    case 1: return 5;
    case 2: return 8;
    case 3: return 13;
    case 4: return 21;
    case 5: return 34;
    case 6: return 55;
    case 7: return 89;
    default: return 0;
    }
}

void main(void) {
    unsigned char x, y, r, total = 0;
    for (y = 0; y < 7; ++y)
        for (x = 0; x < 7; ++x)
            board[y][x] = start[y][x];
    for (r = 0; r < 3; ++r)
        for (y = 0; y < 4; ++y)
            total += rules[r](3 + directions[y][0], 3 + directions[y][1]) ? score(board[y][y]) : 0;
    totals += total;
    syscall(0x0084, total);
    syscall(0x0042, 0);
}
