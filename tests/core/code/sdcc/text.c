/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Messages with line breaks, a table of them, and characters chosen by a switch. */
#define CALL_NUMBER (*(volatile unsigned int*)0xC000)
#define CALL_ARGUMENT (*(volatile unsigned int*)0xC002)

static void show(const char* text) {
    CALL_NUMBER = 0x0072;
    CALL_ARGUMENT = (unsigned int)text;
    __asm__("rst 0x10");
}

static const char help[] = "Move with the arrows.\r\nPress Enter to place a stone.\r\n";
static const char* const levels[] = {"Easy", "Normal", "Hard", "Expert"};
char playerName[12] = "Player one";
int highScores[5] = {1000, 800, 600, 400, 200};
static const char digits[] = "0123456789";

char describe(unsigned char c) {
    switch (c) {
    case 'a': return 'A';
    case 'b': return 'B';
    case 'c': return 'C';
    case 'd': return 'D';
    case 'e': return 'E';
    case 'f': return 'F';
    case 'g': return 'G';
    case 'h': return 'H';
    default: return '?';
    }
}

void number(char* out, unsigned int value) {
    char i = 4;
    do {
        out[i] = digits[value % 10];
        value /= 10;
    } while (i-- > 0);
}

void main(void) {
    char buffer[6];
    unsigned char level;
    show(help);
    for (level = 0; level < 4; ++level) {
        show(levels[level]);
    }
    number(buffer, highScores[2]);
    buffer[5] = describe(playerName[0]);
    show(buffer);
}
