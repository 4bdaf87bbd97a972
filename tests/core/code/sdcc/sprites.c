/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Pictures as the add-ins keep them: bitmaps full of 00 and FF bytes, a table of structures
   that point at them, a table of bytes, long constants, and a handler reached only through an
   initialised variable. */
#define CALL_NUMBER (*(volatile unsigned int*)0xC000)
#define CALL_ARGUMENTS ((volatile unsigned int*)0xC002)

struct Sprite {
    unsigned char width;
    unsigned char height;
    const unsigned char* bits;
};

static const unsigned char stone[] = {0x00, 0x00, 0x3C, 0x7E, 0xFF, 0xFF, 0x7E, 0x3C,
                                      0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
static const unsigned char king[] = {0x18, 0x18, 0xFF, 0x18, 0x3C, 0x7E, 0x7E, 0xFF,
                                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
static const struct Sprite sprites[] = {{8, 2, stone}, {8, 3, king}, {4, 4, stone + 8}};
static const unsigned char brightness[] = {0, 1, 3, 7, 15, 31, 63, 127, 255, 127, 63, 31};
static const long limits[] = {100000L, -5L, 0x12345678L};

static void draw(const struct Sprite* sprite, unsigned char x, unsigned char y) {
    CALL_NUMBER = 0x0072;
    CALL_ARGUMENTS[0] = (unsigned int)sprite->bits;
    CALL_ARGUMENTS[1] = (unsigned int)x << 8 | y;
    CALL_ARGUMENTS[2] = (unsigned int)sprite->width << 8 | sprite->height;
    __asm__("rst 0x10");
}

static void onTick(void) {
    unsigned char i;
    for (i = 0; i < sizeof sprites / sizeof sprites[0]; ++i) {
        draw(&sprites[i], brightness[i], i);
    }
}

void (*handler)(void) = onTick;

void main(void) {
    if (limits[0] > limits[1]) {
        handler();
    }
    CALL_NUMBER = 0x0042;
    __asm__("rst 0x10");
}
