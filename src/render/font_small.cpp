// The Small font: a narrow proportional face for the banner and the map labels.
// Glyphs are 8 columns by 11 rows, top row first. Row 0 is a header: the width
// digit, then '8' ('7' for the underscore). Capitals and digits sit on rows 3-7,
// lower case on rows 5-7 with the baseline on row 7; row 10 is never drawn.
#include "render/fonts.h"

namespace {

// Control codes, the space, the braces, bar and tilde, and every entry without a
// glyph. Ten rows are enough because row 10 is never read.
constexpr char kBlank[] =
    "28000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kExclamation[] =  // !
    "28000000"
    "00000000"
    "00000000"
    "10000000"
    "10000000"
    "10000000"
    "00000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kQuote[] =  // "
    "38000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kHash[] =  // #
    "58000000"
    "00000000"
    "00000000"
    "01010000"
    "11111000"
    "01010000"
    "11111000"
    "01010000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDollar[] =  // $
    "38000000"
    "00000000"
    "01000000"
    "01100000"
    "10000000"
    "01000000"
    "00100000"
    "11000000"
    "01000000"
    "00000000"
    "00000000";

constexpr char kPercent[] =  // %
    "38000000"
    "00000000"
    "00000000"
    "10100000"
    "00100000"
    "01000000"
    "10000000"
    "10100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kAmpersand[] =  // &
    "48000000"
    "00000000"
    "00000000"
    "01000000"
    "10100000"
    "01000000"
    "10110000"
    "01100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kApostrophe[] =  // '
    "18000000"
    "00000000"
    "00000000"
    "10000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kParenOpen[] =  // (
    "28000000"
    "00000000"
    "00000000"
    "01000000"
    "10000000"
    "10000000"
    "10000000"
    "01000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kParenClose[] =  // )
    "28000000"
    "00000000"
    "00000000"
    "10000000"
    "01000000"
    "01000000"
    "01000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kAsterisk[] =  // *
    "58000000"
    "00000000"
    "00000000"
    "00100000"
    "10101000"
    "01110000"
    "10101000"
    "00100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kPlus[] =  // +
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "01000000"
    "11100000"
    "01000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kComma[] =  // ,
    "28000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "01000000"
    "10000000"
    "00000000"
    "00000000";

constexpr char kMinus[] =  // -
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11100000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kPeriod[] =  // .
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "01000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kSlash[] =  // /
    "48000000"
    "00000000"
    "00000000"
    "00010000"
    "00100000"
    "00100000"
    "01000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit0[] =  // 0
    "38000000"
    "00000000"
    "00000000"
    "11100000"
    "10100000"
    "10100000"
    "10100000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit1[] =  // 1
    "38000000"
    "00000000"
    "00000000"
    "01000000"
    "11000000"
    "01000000"
    "01000000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit2[] =  // 2
    "38000000"
    "00000000"
    "00000000"
    "11000000"
    "00100000"
    "01000000"
    "10000000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit3[] =  // 3
    "38000000"
    "00000000"
    "00000000"
    "11000000"
    "00100000"
    "01000000"
    "00100000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit4[] =  // 4
    "38000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "11100000"
    "00100000"
    "00100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit5[] =  // 5
    "38000000"
    "00000000"
    "00000000"
    "11100000"
    "10000000"
    "11000000"
    "00100000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit6[] =  // 6
    "38000000"
    "00000000"
    "00000000"
    "01100000"
    "10000000"
    "11100000"
    "10100000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit7[] =  // 7
    "38000000"
    "00000000"
    "00000000"
    "11100000"
    "00100000"
    "01000000"
    "01000000"
    "01000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit8[] =  // 8
    "38000000"
    "00000000"
    "00000000"
    "11100000"
    "10100000"
    "11100000"
    "10100000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kDigit9[] =  // 9
    "38000000"
    "00000000"
    "00000000"
    "11100000"
    "10100000"
    "11100000"
    "00100000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kColon[] =  // :
    "18000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "10000000"
    "00000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kSemicolon[] =  // ;
    "28000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "01000000"
    "00000000"
    "01000000"
    "10000000"
    "00000000"
    "00000000";

constexpr char kLess[] =  // <
    "38000000"
    "00000000"
    "00000000"
    "00100000"
    "01000000"
    "10000000"
    "01000000"
    "00100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kEquals[] =  // =
    "28000000"
    "00000000"
    "00000000"
    "00000000"
    "11000000"
    "00000000"
    "11000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kGreater[] =  // >
    "38000000"
    "00000000"
    "00000000"
    "10000000"
    "01000000"
    "00100000"
    "01000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kQuestion[] =  // ?
    "38000000"
    "00000000"
    "00000000"
    "11000000"
    "00100000"
    "01000000"
    "00000000"
    "01000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kAt[] =  // @
    "78000000"
    "00000000"
    "00000000"
    "01111100"
    "10000010"
    "10111010"
    "10101110"
    "10000000"
    "01111100"
    "00000000"
    "00000000";

constexpr char kUpperA[] =  // A
    "38000000"
    "00000000"
    "00000000"
    "01000000"
    "10100000"
    "11100000"
    "10100000"
    "10100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperB[] =  // B
    "38000000"
    "00000000"
    "00000000"
    "11000000"
    "10100000"
    "11000000"
    "10100000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperC[] =  // C
    "38000000"
    "00000000"
    "00000000"
    "01100000"
    "10000000"
    "10000000"
    "10000000"
    "01100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperD[] =  // D
    "38000000"
    "00000000"
    "00000000"
    "11000000"
    "10100000"
    "10100000"
    "10100000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperE[] =  // E
    "38000000"
    "00000000"
    "00000000"
    "11100000"
    "10000000"
    "11000000"
    "10000000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperF[] =  // F
    "38000000"
    "00000000"
    "00000000"
    "11100000"
    "10000000"
    "11000000"
    "10000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperG[] =  // G
    "38000000"
    "00000000"
    "00000000"
    "01100000"
    "10000000"
    "10100000"
    "10100000"
    "01100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperH[] =  // H
    "38000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "11100000"
    "10100000"
    "10100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperI[] =  // I
    "38000000"
    "00000000"
    "00000000"
    "11100000"
    "01000000"
    "01000000"
    "01000000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperJ[] =  // J
    "48000000"
    "00000000"
    "00000000"
    "00110000"
    "00010000"
    "00010000"
    "10010000"
    "01100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperK[] =  // K
    "38000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "11000000"
    "10100000"
    "10100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperL[] =  // L
    "38000000"
    "00000000"
    "00000000"
    "10000000"
    "10000000"
    "10000000"
    "10000000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperM[] =  // M
    "58000000"
    "00000000"
    "00000000"
    "10001000"
    "11011000"
    "10101000"
    "10001000"
    "10001000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperN[] =  // N
    "48000000"
    "00000000"
    "00000000"
    "10010000"
    "11010000"
    "10110000"
    "10010000"
    "10010000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperO[] =  // O
    "48000000"
    "00000000"
    "00000000"
    "01100000"
    "10010000"
    "10010000"
    "10010000"
    "01100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperP[] =  // P
    "38000000"
    "00000000"
    "00000000"
    "11000000"
    "10100000"
    "11000000"
    "10000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperQ[] =  // Q
    "48000000"
    "00000000"
    "00000000"
    "01100000"
    "10010000"
    "10010000"
    "10100000"
    "01010000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperR[] =  // R
    "48000000"
    "00000000"
    "00000000"
    "11100000"
    "10010000"
    "11100000"
    "10010000"
    "10010000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperS[] =  // S
    "38000000"
    "00000000"
    "00000000"
    "01100000"
    "10000000"
    "01000000"
    "00100000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperT[] =  // T
    "38000000"
    "00000000"
    "00000000"
    "11100000"
    "01000000"
    "01000000"
    "01000000"
    "01000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperU[] =  // U
    "38000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "10100000"
    "10100000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperV[] =  // V
    "38000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "10100000"
    "10100000"
    "01000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperW[] =  // W
    "58000000"
    "00000000"
    "00000000"
    "10001000"
    "10001000"
    "10101000"
    "11011000"
    "10001000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperX[] =  // X
    "58000000"
    "00000000"
    "00000000"
    "10001000"
    "01010000"
    "00100000"
    "01010000"
    "10001000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperY[] =  // Y
    "38000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "01000000"
    "01000000"
    "01000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUpperZ[] =  // Z
    "48000000"
    "00000000"
    "00000000"
    "11110000"
    "00010000"
    "00100000"
    "01000000"
    "11110000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kBracketOpen[] =  // [
    "28000000"
    "00000000"
    "00000000"
    "11000000"
    "10000000"
    "10000000"
    "10000000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kBackslash[] =  // backslash
    "48000000"
    "00000000"
    "00000000"
    "10000000"
    "01000000"
    "01000000"
    "00100000"
    "00010000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kBracketClose[] =  // ]
    "28000000"
    "00000000"
    "00000000"
    "11000000"
    "01000000"
    "01000000"
    "01000000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kCaret[] =  // ^
    "38000000"
    "00000000"
    "00000000"
    "01000000"
    "10100000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kUnderscore[] =  // _
    "37000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11100000"
    "00000000"
    "00000000";

constexpr char kLowerA[] =  // a
    "48000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "01100000"
    "10100000"
    "01110000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerB[] =  // b
    "38000000"
    "00000000"
    "00000000"
    "10000000"
    "10000000"
    "11000000"
    "10100000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerC[] =  // c
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "01100000"
    "10000000"
    "01100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerD[] =  // d
    "38000000"
    "00000000"
    "00000000"
    "00100000"
    "00100000"
    "01100000"
    "10100000"
    "01100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerE[] =  // e
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11100000"
    "11000000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerF[] =  // f
    "28000000"
    "00000000"
    "00000000"
    "01000000"
    "10000000"
    "11000000"
    "10000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerG[] =  // g
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "01100000"
    "10100000"
    "01100000"
    "00100000"
    "11000000"
    "00000000";

constexpr char kLowerH[] =  // h
    "38000000"
    "00000000"
    "00000000"
    "10000000"
    "10000000"
    "11000000"
    "10100000"
    "10100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerI[] =  // i
    "18000000"
    "00000000"
    "00000000"
    "10000000"
    "00000000"
    "10000000"
    "10000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerJ[] =  // j
    "28000000"
    "00000000"
    "00000000"
    "01000000"
    "00000000"
    "01000000"
    "01000000"
    "01000000"
    "10000000"
    "00000000"
    "00000000";

constexpr char kLowerK[] =  // k
    "38000000"
    "00000000"
    "00000000"
    "10000000"
    "10000000"
    "10100000"
    "11000000"
    "10100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerL[] =  // l
    "18000000"
    "00000000"
    "00000000"
    "10000000"
    "10000000"
    "10000000"
    "10000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerM[] =  // m
    "58000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11110000"
    "10101000"
    "10101000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerN[] =  // n
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11000000"
    "10100000"
    "10100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerO[] =  // o
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11100000"
    "10100000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerP[] =  // p
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11000000"
    "10100000"
    "11000000"
    "10000000"
    "00000000"
    "00000000";

constexpr char kLowerQ[] =  // q
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "01100000"
    "10100000"
    "01100000"
    "00100000"
    "00000000"
    "00000000";

constexpr char kLowerR[] =  // r
    "28000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11000000"
    "10000000"
    "10000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerS[] =  // s
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "01100000"
    "01000000"
    "11000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerT[] =  // t
    "38000000"
    "00000000"
    "00000000"
    "01000000"
    "01000000"
    "11100000"
    "01000000"
    "00100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerU[] =  // u
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "01100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerV[] =  // v
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "01000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerW[] =  // w
    "58000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "10101000"
    "10101000"
    "01010000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerX[] =  // x
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "10100000"
    "01000000"
    "10100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kLowerY[] =  // y
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "01100000"
    "00100000"
    "01000000"
    "10000000";

constexpr char kLowerZ[] =  // z
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11000000"
    "01000000"
    "01100000"
    "00000000"
    "00000000"
    "00000000";

// Redrawn glyphs of the second bank (codes 128-270), which no text reaches.
constexpr char kBankZero[] =  // '0' redrawn round
    "38000000"
    "00000000"
    "00000000"
    "01000000"
    "10100000"
    "10100000"
    "10100000"
    "01000000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kBankLowerA[] =  // 'a' redrawn three wide
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "11000000"
    "01100000"
    "11100000"
    "00000000"
    "00000000"
    "00000000";

constexpr char kBankLowerG[] =  // 'g' redrawn with an open tail
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "01100000"
    "10100000"
    "01100000"
    "00100000"
    "01000000"
    "00000000";

constexpr char kBankLowerY[] =  // 'y' redrawn to show its whole tail
    "38000000"
    "00000000"
    "00000000"
    "00000000"
    "00000000"
    "10100000"
    "10100000"
    "01100000"
    "00100000"
    "11000000"
    "00000000";

}  // namespace

const char* const kSmallFont[kSmallFontEntries] = {
    kBlank,         //   0 NUL
    kBlank,         //   1 SOH
    kBlank,         //   2 STX
    kBlank,         //   3 ETX
    kBlank,         //   4 EOT
    kBlank,         //   5 ENQ
    kBlank,         //   6 ACK
    kBlank,         //   7 BEL
    kBlank,         //   8 BS
    kBlank,         //   9 TAB
    kBlank,         //  10 LF
    kBlank,         //  11 VT
    kBlank,         //  12 FF
    kBlank,         //  13 CR
    kBlank,         //  14 SO
    kBlank,         //  15 SI
    kBlank,         //  16 DLE
    kBlank,         //  17 DC1
    kBlank,         //  18 DC2
    kBlank,         //  19 DC3
    kBlank,         //  20 DC4
    kBlank,         //  21 NAK
    kBlank,         //  22 SYN
    kBlank,         //  23 ETB
    kBlank,         //  24 CAN
    kBlank,         //  25 EM
    kBlank,         //  26 SUB
    kBlank,         //  27 ESC
    kBlank,         //  28 FS
    kBlank,         //  29 GS
    kBlank,         //  30 RS
    kBlank,         //  31 US
    kBlank,         //  32 space
    kExclamation,   //  33 !
    kQuote,         //  34 "
    kHash,          //  35 #
    kDollar,        //  36 $
    kPercent,       //  37 %
    kAmpersand,     //  38 &
    kApostrophe,    //  39 '
    kParenOpen,     //  40 (
    kParenClose,    //  41 )
    kAsterisk,      //  42 *
    kPlus,          //  43 +
    kComma,         //  44 ,
    kMinus,         //  45 -
    kPeriod,        //  46 .
    kSlash,         //  47 /
    kDigit0,        //  48 0
    kDigit1,        //  49 1
    kDigit2,        //  50 2
    kDigit3,        //  51 3
    kDigit4,        //  52 4
    kDigit5,        //  53 5
    kDigit6,        //  54 6
    kDigit7,        //  55 7
    kDigit8,        //  56 8
    kDigit9,        //  57 9
    kColon,         //  58 :
    kSemicolon,     //  59 ;
    kLess,          //  60 <
    kEquals,        //  61 =
    kGreater,       //  62 >
    kQuestion,      //  63 ?
    kAt,            //  64 @
    kUpperA,        //  65 A
    kUpperB,        //  66 B
    kUpperC,        //  67 C
    kUpperD,        //  68 D
    kUpperE,        //  69 E
    kUpperF,        //  70 F
    kUpperG,        //  71 G
    kUpperH,        //  72 H
    kUpperI,        //  73 I
    kUpperJ,        //  74 J
    kUpperK,        //  75 K
    kUpperL,        //  76 L
    kUpperM,        //  77 M
    kUpperN,        //  78 N
    kUpperO,        //  79 O
    kUpperP,        //  80 P
    kUpperQ,        //  81 Q
    kUpperR,        //  82 R
    kUpperS,        //  83 S
    kUpperT,        //  84 T
    kUpperU,        //  85 U
    kUpperV,        //  86 V
    kUpperW,        //  87 W
    kUpperX,        //  88 X
    kUpperY,        //  89 Y
    kUpperZ,        //  90 Z
    kBracketOpen,   //  91 [
    kBackslash,     //  92 backslash
    kBracketClose,  //  93 ]
    kCaret,         //  94 ^
    kUnderscore,    //  95 _
    kBlank,         //  96 ` (no glyph)
    kLowerA,        //  97 a
    kLowerB,        //  98 b
    kLowerC,        //  99 c
    kLowerD,        // 100 d
    kLowerE,        // 101 e
    kLowerF,        // 102 f
    kLowerG,        // 103 g
    kLowerH,        // 104 h
    kLowerI,        // 105 i
    kLowerJ,        // 106 j
    kLowerK,        // 107 k
    kLowerL,        // 108 l
    kLowerM,        // 109 m
    kLowerN,        // 110 n
    kLowerO,        // 111 o
    kLowerP,        // 112 p
    kLowerQ,        // 113 q
    kLowerR,        // 114 r
    kLowerS,        // 115 s
    kLowerT,        // 116 t
    kLowerU,        // 117 u
    kLowerV,        // 118 v
    kLowerW,        // 119 w
    kLowerX,        // 120 x
    kLowerY,        // 121 y
    kLowerZ,        // 122 z
    kBlank,         // 123 {
    kBlank,         // 124 |
    kBlank,         // 125 }
    kBlank,         // 126 ~
    kBlank,         // 127 DEL
    kBlank,         // 128 second bank, space
    kExclamation,   // 129 second bank, !
    kQuote,         // 130 second bank, "
    kHash,          // 131 second bank, #
    kDollar,        // 132 second bank, $
    kPercent,       // 133 second bank, %
    kAmpersand,     // 134 second bank, &
    kApostrophe,    // 135 second bank, '
    kParenOpen,     // 136 second bank, (
    kParenClose,    // 137 second bank, )
    kAsterisk,      // 138 second bank, *
    kPlus,          // 139 second bank, +
    kComma,         // 140 second bank, ,
    kMinus,         // 141 second bank, -
    kPeriod,        // 142 second bank, .
    kSlash,         // 143 second bank, /
    kBankZero,      // 144 second bank, 0 redrawn
    kDigit1,        // 145 second bank, 1
    kDigit2,        // 146 second bank, 2
    kDigit3,        // 147 second bank, 3
    kDigit4,        // 148 second bank, 4
    kDigit5,        // 149 second bank, 5
    kDigit6,        // 150 second bank, 6
    kDigit7,        // 151 second bank, 7
    kDigit8,        // 152 second bank, 8
    kDigit9,        // 153 second bank, 9
    kColon,         // 154 second bank, :
    kSemicolon,     // 155 second bank, ;
    kLess,          // 156 second bank, <
    kEquals,        // 157 second bank, =
    kGreater,       // 158 second bank, >
    kQuestion,      // 159 second bank, ?
    kAt,            // 160 second bank, @
    kUpperA,        // 161 second bank, A
    kUpperB,        // 162 second bank, B
    kUpperC,        // 163 second bank, C
    kUpperD,        // 164 second bank, D
    kUpperE,        // 165 second bank, E
    kUpperF,        // 166 second bank, F
    kUpperG,        // 167 second bank, G
    kUpperH,        // 168 second bank, H
    kUpperI,        // 169 second bank, I
    kUpperJ,        // 170 second bank, J
    kUpperK,        // 171 second bank, K
    kUpperL,        // 172 second bank, L
    kUpperM,        // 173 second bank, M
    kUpperN,        // 174 second bank, N
    kUpperO,        // 175 second bank, O
    kUpperP,        // 176 second bank, P
    kUpperQ,        // 177 second bank, Q
    kUpperR,        // 178 second bank, R
    kUpperS,        // 179 second bank, S
    kUpperT,        // 180 second bank, T
    kUpperU,        // 181 second bank, U
    kUpperV,        // 182 second bank, V
    kUpperW,        // 183 second bank, W
    kUpperX,        // 184 second bank, X
    kUpperY,        // 185 second bank, Y
    kUpperZ,        // 186 second bank, Z
    kBracketOpen,   // 187 second bank, [
    kBackslash,     // 188 second bank, backslash
    kBracketClose,  // 189 second bank, ]
    kCaret,         // 190 second bank, ^
    kUnderscore,    // 191 second bank, _
    kBlank,         // 192 second bank, `
    kBankLowerA,    // 193 second bank, a redrawn
    kLowerB,        // 194 second bank, b
    kLowerC,        // 195 second bank, c
    kLowerD,        // 196 second bank, d
    kLowerE,        // 197 second bank, e
    kLowerF,        // 198 second bank, f
    kBankLowerG,    // 199 second bank, g redrawn
    kLowerH,        // 200 second bank, h
    kLowerI,        // 201 second bank, i
    kLowerJ,        // 202 second bank, j
    kLowerK,        // 203 second bank, k
    kLowerL,        // 204 second bank, l
    kLowerM,        // 205 second bank, m
    kLowerN,        // 206 second bank, n
    kLowerO,        // 207 second bank, o
    kLowerP,        // 208 second bank, p
    kLowerQ,        // 209 second bank, q
    kLowerR,        // 210 second bank, r
    kLowerS,        // 211 second bank, s
    kLowerT,        // 212 second bank, t
    kLowerU,        // 213 second bank, u
    kLowerV,        // 214 second bank, v
    kLowerW,        // 215 second bank, w
    kLowerX,        // 216 second bank, x
    kBankLowerY,    // 217 second bank, y redrawn
    kLowerZ,        // 218 second bank, z
    kBlank,         // 219 second bank, {
    kBlank,         // 220 second bank, |
    kBlank,         // 221 second bank, }
    kBlank,         // 222 second bank, ~
    kBlank,         // 223 second bank, no glyph
    kBlank,         // 224 second bank, no glyph
    kBlank,         // 225 second bank, no glyph
    kBlank,         // 226 second bank, no glyph
    kBlank,         // 227 second bank, no glyph
    kBlank,         // 228 second bank, no glyph
    kBlank,         // 229 second bank, no glyph
    kBlank,         // 230 second bank, no glyph
    kBlank,         // 231 second bank, no glyph
    kBlank,         // 232 second bank, no glyph
    kBlank,         // 233 second bank, no glyph
    kBlank,         // 234 second bank, no glyph
    kBlank,         // 235 second bank, no glyph
    kBlank,         // 236 second bank, no glyph
    kBlank,         // 237 second bank, no glyph
    kBlank,         // 238 second bank, no glyph
    kBlank,         // 239 second bank, no glyph
    kBlank,         // 240 second bank, no glyph
    kBlank,         // 241 second bank, no glyph
    kBlank,         // 242 second bank, no glyph
    kBlank,         // 243 second bank, no glyph
    kBlank,         // 244 second bank, no glyph
    kBlank,         // 245 second bank, no glyph
    kBlank,         // 246 second bank, no glyph
    kBlank,         // 247 second bank, no glyph
    kBlank,         // 248 second bank, no glyph
    kBlank,         // 249 second bank, no glyph
    kBlank,         // 250 second bank, no glyph
    kBlank,         // 251 second bank, no glyph
    kBlank,         // 252 second bank, no glyph
    kBlank,         // 253 second bank, no glyph
    kBlank,         // 254 second bank, no glyph
    kBlank,         // 255 second bank, no glyph
    kBlank,         // 256 second bank, no glyph
    kBlank,         // 257 second bank, no glyph
    kBlank,         // 258 second bank, no glyph
    kBlank,         // 259 second bank, no glyph
    kBlank,         // 260 second bank, no glyph
    kBlank,         // 261 second bank, no glyph
    kBlank,         // 262 second bank, no glyph
    kBlank,         // 263 second bank, no glyph
    kBlank,         // 264 second bank, no glyph
    kBlank,         // 265 second bank, no glyph
    kBlank,         // 266 second bank, no glyph
    kBlank,         // 267 second bank, no glyph
    kBlank,         // 268 second bank, no glyph
    kBlank,         // 269 second bank, no glyph
    kBlank,         // 270 second bank, no glyph
};
