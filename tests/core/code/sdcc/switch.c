/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Dense switches the compiler turns into tables of jumps, on an int and on a char. */
#define CALL_NUMBER (*(volatile unsigned int*)0xC000)
#define CALL_ARGUMENT (*(volatile unsigned int*)0xC002)

int pick(int what) {
    switch (what) {
    case 0: return 10;
    case 1: return 22;
    case 2: return 37;
    case 3: return 41;
    case 4: return 55;
    case 5: return 63;
    case 6: return 71;
    case 7: return 89;
    case 8: return 97;
    case 9: return 101;
    default: return -1;
    }
}

unsigned char pick8(unsigned char what) {
    switch (what) {
    case 1: what += 3; break;
    case 2: what ^= 7; break;
    case 3: what = pick(what); break;
    case 4: what = 9; break;
    case 5: what = pick(7); break;
    case 6: what <<= 2; break;
    case 7: what = 0; break;
    }
    return what;
}

void main(void) {
    CALL_NUMBER = 0x0084;
    CALL_ARGUMENT = pick(pick8(3));
    __asm__("rst 0x10");
}
