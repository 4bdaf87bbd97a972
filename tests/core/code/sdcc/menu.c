/* SPDX-License-Identifier: GPL-3.0-or-later */
/* A menu of entries, each a caption and a handler, chosen by key. */
#define CALL_NUMBER (*(volatile unsigned int*)0xC000)
#define CALL_ARGUMENTS ((volatile unsigned int*)0xC002)
#define CALL_RESULT (*(volatile unsigned int*)0xC00E)

unsigned int call2(unsigned int number, unsigned int first, unsigned int second) __sdcccall(0) {
    CALL_NUMBER = number;
    CALL_ARGUMENTS[0] = first;
    CALL_ARGUMENTS[1] = second;
    __asm__("rst 0x10");
    return CALL_RESULT;
}

struct Entry {
    const char* caption;
    void (*handler)(void);
    unsigned char key;
};

static unsigned char score;
static void newGame(void) { score = 0; call2(0x0072, 1, 2); }
static void loadGame(void) { score = 10; call2(0x00CE, 0x0101, 0); }
static void saveGame(void) { call2(0x0084, score, 3); }
static void quit(void) { call2(0x0042, 0, 0); }

static const struct Entry entries[] = {
    {"New game", newGame, 'n'},
    {"Load game", loadGame, 'l'},
    {"Save game", saveGame, 's'},
    {"Quit", quit, 'q'},
};

static const unsigned char sprite[] = {0x00, 0x18, 0x3C, 0x7E, 0xFF, 0x7E, 0x3C, 0x18,
                                       0x00, 0x00, 0x81, 0x42, 0x24, 0x18, 0x00, 0x00};

unsigned char choose(unsigned char key) {
    unsigned char i;
    for (i = 0; i < sizeof entries / sizeof entries[0]; ++i) {
        if (entries[i].key == key) {
            call2(0x0072, (unsigned int)entries[i].caption, (unsigned int)sprite);
            entries[i].handler();
            return i;
        }
    }
    return 0xFF;
}

void main(void) {
    choose(call2(0x0070, 0, 0));
}
